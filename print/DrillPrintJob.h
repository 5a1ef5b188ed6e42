#pragma once
// The drill print: per drill file a chart with one tool mark per hit,
// optionally over a Gerber file drawn in black, and a legend sheet listing
// each used tool's mark, name, diameter and hit count.
#include "core/Formats.h"
#include "core/Ports.h"
#include "core/PrintDevice.h"
#include "gerber/ApertureTable.h"
#include "gerber/MacroLibrary.h"
#include "print/PrintFrame.h"

#include <array>
#include <string>
#include <vector>

namespace korvane {

struct DrillPrintRow {
    std::string drillPath;
    std::string overlayPath;  // empty: the chart stands alone
};

struct DrillPrintSettings {
    ScaleSettings scale;
    bool title = true;
};

struct DrillPrintContext {
    const std::vector<DrillPrintRow> &rows;
    const DrillPrintSettings &settings;
    const DrillInFormat &drillFormat;
    ApertureTable &table;
    MacroLibrary &library;
    GerberInFormat &gerberFormat;
    Prompter &prompter;
    StatusSink &status;
    PrintProgress &progress;
    PrintDevice &device;
};

// What one drill file's legend lists, by tool number (from 1; the lists
// grow for tools above 36, which get legend sheets of their own).
struct DrillLegend {
    std::vector<int> counts = std::vector<int>(37);
    std::vector<int> slotCounts = std::vector<int>(37);  // slots and routed paths
    std::vector<std::string> diameters = std::vector<std::string>(37);
    // The Gerber file drawn under the chart, if any.
    std::string overlayName;
    void grow(int tool);
    // The highest tool with holes or slots; 0 for none.
    int lastTool() const;
};

// The ink of a Gerber overlay under a drill chart.
inline constexpr Colour OverlayTint = colours::Silver;

struct DrillPrintOutcome {
    bool confirmed = false;  // the print dialog was confirmed
    int chartsPrinted = 0;
    int chartsAbandoned = 0;
    int legendsPrinted = 0;
    std::vector<DrillLegend> legends;  // per printed legend, in order
};

DrillPrintOutcome runDrillPrint(DrillPrintContext &context);

// Tool mark `tool` (from 1; above 36 the symbols repeat) centred on `centre`, `size` dots across, in
// black outlines (35 and 36 solid); the brush is left clear.
void drawToolMark(DrawingSurface &page, int tool, PixelPoint centre, int size);

// The legend sheet of one drill file onto `page`: the 36 tools from
// `firstTool` (1, 37, 73, ...) in fixed rows. A tool with slotCounts names them
// in the type column ("長穴" and their number).
void drawDrillLegend(DrawingSurface &page, const PageGeometry &geometry, const std::string &fullPath,
                     const DrillLegend &legend, int firstTool = 1);

}  // namespace korvane
