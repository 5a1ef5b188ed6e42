#pragma once
// What the Gerber print and the drill print share: the page geometry, the
// scale and placement of the drawing, the mapping from file millimetres to
// printer dots, the title line, the progress box and the list of drawing
// commands that are kept back until a file ends.
#include "core/Colour.h"
#include "core/PrintDevice.h"
#include "view/DrawingSurface.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korvane {

enum class PrintKind { Gerber, Drill };

struct PageGeometry {
    double dotWidthMm = 1;   // mm per dot across
    double dotHeightMm = 1;  // mm per dot down
    int usableWidthMm = 0;
    int usableHeightMm = 0;
};

// The Gerber print truncates the page to whole millimetres and keeps a 15 mm
// margin; the drill print rounds and keeps 20 mm.
PageGeometry computePageGeometry(const PrinterMetrics &metrics, PrintKind kind);

struct DrawingExtents {
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    double width() const { return maxX - minX; }
    double height() const { return maxY - minY; }
};

enum class ScaleMode { Given, Automatic };

struct ScaleSettings {
    ScaleMode mode = ScaleMode::Given;
    double typedScale = 1;
    bool keep = false;  // use the typed scale as it is, never turn the page
    double offsetXMm = 0;
    double offsetYMm = 0;
};

struct PrintPlacement {
    float scale = 1;
    bool landscape = false;
    int offsetXDots = 0;
    int offsetYDots = 0;
};

// Chooses scale and orientation and centres the drawing in the usable band.
// When the page is to be turned, `geometry`'s usable sizes are swapped and
// the placement says landscape; the caller turns the printer.
PrintPlacement placeDrawing(const DrawingExtents &extents, PageGeometry &geometry, const ScaleSettings &settings,
                            PrintKind kind);

// File millimetres to printer dots for one sheet.
class PrintMapping {
public:
    PrintMapping(const PageGeometry &geometry, const PrintPlacement &placement, bool mirrored = false);

    int mapX(double x) const;
    // Board y (upward) to a page row; a mirrored sheet is turned over about
    // the horizontal axis.
    int mapY(double y) const;
    // The same without the vertical flip.
    int mapYRaw(double y) const;
    int toDotsX(double size) const;
    int toDotsY(double size) const;
    // Lengths that the prints round instead of truncating.
    int roundDotsX(double size) const;
    int roundDotsY(double size) const;

    bool mirrored() const { return mirrored_; }
    void setMirrored(bool mirrored) { mirrored_ = mirrored; }
    const PageGeometry &geometry() const { return geometry_; }
    const PrintPlacement &placement() const { return placement_; }

private:
    PageGeometry geometry_;
    PrintPlacement placement_;
    bool mirrored_;
    int flipBase_;
};

// The title line: the full path, the separator and the scale.
std::string titleText(const std::string &fullPath, float scale);
void drawTitle(DrawingSurface &page, const std::string &fullPath, float scale);

// The progress box with its cancel button.
class PrintProgress {
public:
    virtual ~PrintProgress();
    virtual void showProgress(const std::string &label) = 0;
    // Lets pending events run (now and then; calls in between are cheap);
    // true once the cancel button was pressed since the box was shown.
    virtual bool cancelRequested() = 0;
    virtual void hideProgress() = 0;
};

// A progress box that nobody can press (batch runs).
class SilentProgress : public PrintProgress {
public:
    void showProgress(const std::string &) override {}
    bool cancelRequested() override { return false; }
    void hideProgress() override {}
};

enum class PrintCommandKind : std::int32_t {
    Ellipse = 11,
    Rectangle = 12,
    MoveTo = 13,
    LineTo = 14,
    ArcCcw = 15,
    ArcCw = 16,
    PolygonVertex = 18,
    PolygonClose = 19,
    RegionVertex = 23,
    RegionClose = 24,
    SectorCcw = 25,
    SectorCw = 26,
};

struct PrintCommand {
    std::int32_t left = 0, right = 0, top = 0, bottom = 0;
    std::int32_t endX = 0, startX = 0, endY = 0, startY = 0;
    PrintCommandKind kind = PrintCommandKind::MoveTo;
    std::int32_t fill = 0;
    Colour colour = 0;
    std::int32_t penWidth = 0;
};

enum class PrintRenderMode { Gerber = 1, Drill = 2 };
enum class RegionFillMode { Solid, Hatched };

// The commands of one file's drawing pass, drawn when the file ends.
class PrintCommandList {
public:
    // A point command (move, line, vertex) or a closing command.
    void addPoint(PrintCommandKind kind, int x, int y, Colour colour, int penWidth = 0, int fill = 0);
    // A box command (ellipse, rectangle).
    void addBox(PrintCommandKind kind, int left, int top, int right, int bottom, Colour colour, int penWidth, int fill);
    // An arc or sector from `start` to `end` around the box; clockwise kinds
    // are kept with their points exchanged, so the flush always sweeps
    // counter-clockwise.
    void addArc(PrintCommandKind kind, int left, int top, int right, int bottom, PixelPoint start, PixelPoint end,
                Colour colour, int penWidth);
    void add(const PrintCommand &command);

    // Draws the region list, then the main list, and empties both.
    void flush(DrawingSurface &page, PrintRenderMode mode, RegionFillMode regionFill);

    const std::vector<PrintCommand> &main() const { return main_; }
    const std::vector<PrintCommand> &regions() const { return regions_; }
    void clear();

    // The vertex buffer of polygons and regions holds this many points
    // before it has to grow; a larger outline is still drawn whole.
    static constexpr std::size_t VertexBufferSize = 8000;

private:
    void bufferVertex(int x, int y);
    void closePolygon(DrawingSurface &page, const PrintCommand &close, BrushStyle style, Colour colour);

    std::vector<PrintCommand> main_;
    std::vector<PrintCommand> regions_;
    std::vector<PixelPoint> vertices_;
};

}  // namespace korvane
