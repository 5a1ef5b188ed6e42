#pragma once
// The Gerber print: one sheet per grid row, its own file and its
// composition steps drawn over it, mirrored or negative, mono or colour, all
// sheets at one scale and position.
#include "core/Formats.h"
#include "core/Ports.h"
#include "core/PrintDevice.h"
#include "gerber/ApertureTable.h"
#include "gerber/MacroLibrary.h"
#include "print/GerberPrintGrid.h"
#include "print/PrintFrame.h"

namespace korvane {

struct GerberPrintSettings {
    ScaleSettings scale;
    bool title = true;
    PrintMode mode = PrintMode::Mono;
    RegionFillMode regionFill = RegionFillMode::Solid;
    LayerColours rowColours = PrintDefaults::defaultGerberRowColours();
};

struct GerberPrintContext {
    const GerberPrintGrid &grid;
    const GerberPrintSettings &settings;
    ApertureTable &table;
    MacroLibrary &library;
    GerberInFormat &format;
    Prompter &prompter;
    StatusSink &status;
    PrintProgress &progress;
    PrintDevice &device;
};

struct GerberPrintOutcome {
    bool confirmed = false;  // the print dialog was confirmed
    int sheetsPrinted = 0;
    int sheetsAbandoned = 0;
    PrintPlacement placement;
    PageGeometry geometry;
};

GerberPrintOutcome runGerberPrint(GerberPrintContext &context);

// Draws one Gerber file in black, never mirrored or negative, onto `page`
// (the overlay under a drill chart) and flushes its commands in drill mode.
// False when the sheet is to be abandoned: cancelled, or a question
// answered No.
bool drawGerberOverlay(const std::string &path, DrawingSurface &page, const PrintMapping &map, ApertureTable &table,
                       MacroLibrary &library, GerberInFormat &format, Prompter &prompter, PrintProgress &progress);

}  // namespace korvane
