#include "print/GerberPrintJob.h"
#include "core/Document.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/Numbers.h"
#include "core/TextFile.h"
#include "gerber/ApertureMacros.h"
#include "gerber/GerberBlockSink.h"
#include "gerber/GerberExpansion.h"
#include "gerber/GerberInterpreter.h"
#include "gerber/GerberReader.h"
#include "print/PrintTexts.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <sys/stat.h>

namespace korvane {
namespace {

constexpr double InchToMm = 25.4;
constexpr std::size_t ReadBlock = 4097;
// The drawing pass looks at the cancel button this often (bytes).
constexpr std::size_t CancelSlice = 64;

struct SheetColours {
    Colour draw = colours::Black;
    Colour pen = colours::Black;
};

// How one sheet is drawn while its files are read.
struct SheetState {
    bool negative = false;
    bool mirrored = false;
    // Under a drill chart: every flash at once and regions filled in the
    // order of the main list.
    bool drillOverlay = false;
    SheetColours colours;
};

// Draws the blocks of one file onto the page: some shapes at once, the rest
// kept in the command list until the file ends.
class PrintSink : public GerberBlockSink {
public:
    PrintSink(DrawingSurface &page, PrintCommandList &list, const PrintMapping &map, const SheetState &sheet,
              const ApertureTable &table, const MacroLibrary &library, GerberInFormat &format, Prompter &prompter)
        : page_(page), list_(list), map_(map), sheet_(sheet), library_(library), format_(format),
          selector_(scratch_, table, library, format, prompter)
    {
    }

    void startFile(int layer) override
    {
        selector_.startFile(layer);
        current_ = previous_ = {};
        dMode_ = 2;
        interpolation_ = Interpolation::Linear;
        region_ = clear_ = false;
        i_ = j_ = 0;
        penKnown_ = false;
    }

    void selectGCode(long code) override
    {
        switch (code) {
        case 1: interpolation_ = Interpolation::Linear; break;
        case 2: interpolation_ = Interpolation::Clockwise; break;
        case 3: interpolation_ = Interpolation::CounterClockwise; break;
        case 74: format_.arcMode = ArcMode::QuarterCircle; break;
        case 75: format_.arcMode = ArcMode::FullCircle; break;
        case 36: region_ = true; break;
        case 37:
            region_ = false;
            list_.addPoint(sheet_.drillOverlay ? PrintCommandKind::PolygonClose : PrintCommandKind::RegionClose, 0, 0,
                           regionCloseColour(), 0);
            break;
        default: break;
        }
    }

    void flashAsMacro(long dcode, int macroLine) override { selector_.flashAsMacro(dcode, macroLine); }

    bool selectDCode(std::string_view digits) override
    {
        if (isOperationCode(digits)) {
            dMode_ = digits.back() - '0';
            return true;
        }
        // The load's selection rules and questions, unchanged.
        return selector_.selectDCode(digits);
    }

    void setX(double x) override { current_.x = x; }
    void setY(double y) override { current_.y = -y; }  // board y, upward
    void setI(double i) override { i_ = i; }
    void setJ(double j) override { j_ = j; }
    void setClearPolarity(bool clear) override { clear_ = clear; }

    void executeBlock() override
    {
        switch (dMode_) {
        case 1: draw(); break;
        case 2:
            if (region_)
                regionVertex(current_);
            else
                deferredMove(current_);
            break;
        case 3: flash(); break;
        default: break;
        }
        previous_ = current_;
    }

private:
    const SelectedAperture &aperture() const { return selector_.aperture(); }
    PixelPoint dot(Point p) const { return {map_.mapX(p.x), map_.mapY(p.y)}; }

    // Deferred commands: dark in the file's colour on a positive sheet,
    // clear in white; the other way round on a negative sheet.
    Colour commandColour() const
    {
        if (!sheet_.negative)
            return clear_ ? colours::White : sheet_.colours.draw;
        return clear_ ? sheet_.colours.draw : colours::White;
    }
    Colour regionCloseColour() const { return sheet_.negative && clear_ ? sheet_.colours.pen : commandColour(); }
    Colour exposed(bool on) const { return on != sheet_.negative ? sheet_.colours.pen : colours::White; }

    void deferredMove(Point p)
    {
        PixelPoint d = dot(p);
        list_.addPoint(PrintCommandKind::MoveTo, d.x, d.y, 0);
        pen_ = d;
        penKnown_ = true;
    }

    void regionVertex(Point p)
    {
        PixelPoint d = dot(p);
        list_.addPoint(sheet_.drillOverlay ? PrintCommandKind::PolygonVertex : PrintCommandKind::RegionVertex, d.x, d.y,
                       0);
    }

    void draw()
    {
        if (interpolation_ != Interpolation::Linear) {
            drawArc();
            return;
        }
        if (region_) {
            regionVertex(current_);
            return;
        }
        const PixelPoint from = dot(previous_), to = dot(current_);
        const int w = map_.toDotsX(aperture().q);
        if (aperture().shape == ApertureShape::Square && (previous_.x == current_.x || previous_.y == current_.y)) {
            const int half = w / 2;
            const int left = std::min(from.x, to.x) - half, right = std::max(from.x, to.x) + half;
            const int top = std::min(from.y, to.y) - half, bottom = std::max(from.y, to.y) + half;
            if (left != right && top != bottom) {
                list_.addBox(PrintCommandKind::Rectangle, left, top, right, bottom, commandColour(), 1, 1);
                deferredMove(current_);
                return;
            }
        }
        // A stroke never starts from where an earlier shape left the pen.
        if (!penKnown_ || !(pen_ == from))
            deferredMove(previous_);
        list_.addPoint(PrintCommandKind::LineTo, to.x, to.y, commandColour(), w);
        pen_ = to;
    }

    // The centre of an arc from the previous point to the current one, in
    // board millimetres; the quarter-circle table is the load's, worked in
    // its frame (y down).
    Point arcCentre(bool clockwise, bool quarter) const
    {
        const Point from = previous_, to = current_;
        if (!quarter)
            return {from.x + i_, from.y + j_};
        const double I = std::abs(i_), J = std::abs(j_);
        const double fy = -from.y;
        const double dx = to.x - from.x, dy = -(to.y - from.y);
        Point c;
        if (J == 0)
            c = {dx >= 0 ? from.x + I : from.x - I, fy};
        else if (I == 0)
            c = {from.x, dy > 0 ? fy + J : fy - J};
        else if (dx > 0 && dy > 0)
            c = clockwise ? Point{from.x - I, fy + J} : Point{from.x + I, fy - J};
        else if (dx > 0 && dy < 0)
            c = clockwise ? Point{from.x + I, fy + J} : Point{from.x - I, fy - J};
        else if (dx < 0 && dy > 0)
            c = clockwise ? Point{from.x - I, fy - J} : Point{from.x + I, fy + J};
        else
            c = clockwise ? Point{from.x + I, fy - J} : Point{from.x - I, fy + J};
        return {c.x, -c.y};
    }

    void drawArc()
    {
        const bool clockwise = interpolation_ == Interpolation::Clockwise;
        const bool quarter = format_.arcMode == ArcMode::QuarterCircle;
        const Point centre = arcCentre(clockwise, quarter);
        const double radiusMm = std::hypot(i_, j_);
        i_ = j_ = 0;
        const bool same = previous_.x == current_.x && previous_.y == current_.y;
        if (region_) {
            if (!(quarter && same))
                arcIntoRegion(centre, radiusMm, clockwise, !quarter, same);
            return;
        }
        const bool near = std::abs(current_.x - previous_.x) < 0.04 && std::abs(current_.y - previous_.y) < 0.04;
        if ((quarter && same) || (near && !same)) {
            deferredMove(current_);
            return;
        }
        const PixelPoint c = dot(centre);
        const int r = map_.roundDotsX(radiusMm);
        // Seen on the page a mirrored sheet turns every arc the other way.
        const bool pageClockwise = clockwise != sheet_.mirrored;
        list_.addArc(pageClockwise ? PrintCommandKind::ArcCw : PrintCommandKind::ArcCcw, c.x - r, c.y - r, c.x + r,
                     c.y + r, dot(previous_), dot(current_), commandColour(), map_.toDotsX(aperture().q));
        deferredMove(current_);
    }

    // An arc of a region becomes vertices along it, no more than half a dot
    // from the true curve, so the outline is the same at any size and on
    // either side of the sheet.
    void arcIntoRegion(Point centre, double radius, bool clockwise, bool fullCircle, bool same)
    {
        const double twoPi = 2 * std::numbers::pi;
        const double a0 = std::atan2(previous_.y - centre.y, previous_.x - centre.x);
        const double a1 = std::atan2(current_.y - centre.y, current_.x - centre.x);
        double sweep = a1 - a0;
        if (clockwise) {
            while (sweep >= 0)
                sweep -= twoPi;
        } else {
            while (sweep <= 0)
                sweep += twoPi;
        }
        if (same)
            sweep = fullCircle ? (clockwise ? -twoPi : twoPi) : 0;
        if (!fullCircle && std::abs(sweep) > std::numbers::pi / 2 + 1e-9) {
            sweep = clockwise ? sweep + twoPi : sweep - twoPi;
            if (std::abs(sweep) > std::numbers::pi / 2 + 1e-9)
                sweep = 0;
        }
        const double dotMm = std::min(map_.geometry().dotWidthMm, map_.geometry().dotHeightMm) /
                             std::max(1e-9, double(map_.placement().scale));
        const double tolerance = dotMm / 2;
        int segments = 1;
        if (radius > tolerance) {
            double step = 2 * std::acos(1 - tolerance / radius);
            if (std::isfinite(step) && step > 0)
                segments = static_cast<int>(std::clamp(std::ceil(std::abs(sweep) / step), 1.0, 20000.0));
        }
        for (int k = 1; k < segments; ++k) {
            double a = a0 + sweep * k / segments;
            regionVertex({centre.x + radius * std::cos(a), centre.y + radius * std::sin(a)});
        }
        regionVertex(current_);
    }

    // ---------------------------------------------------------- flashes

    void atOnceBrush(Colour pen, Colour brush, int width, BrushStyle style)
    {
        page_.setPen(pen, width);
        page_.setBrush(brush, style);
    }
    void circle(PixelPoint c, int d) { page_.ellipse(c.x - d / 2, c.y - d / 2, c.x - d / 2 + d, c.y - d / 2 + d); }
    void box(PixelPoint c, int w, int h)
    {
        page_.rectangle(c.x - w / 2, c.y - h / 2, c.x - w / 2 + w, c.y - h / 2 + h);
    }
    void line(int x0, int y0, int x1, int y1)
    {
        page_.moveTo(x0, y0);
        page_.lineTo(x1, y1);
    }
    // The stadium's centre line: along its longer side.
    void oblong(PixelPoint c, int w, int h, Colour colour)
    {
        atOnceBrush(colour, colour, std::min(w, h), BrushStyle::Solid);
        if (w > h)
            line(c.x - (w / 2 - h / 2), c.y, c.x + (w / 2 - h / 2), c.y);
        else
            line(c.x, c.y - (h / 2 - w / 2), c.x, c.y + (h / 2 - w / 2));
    }

    void flash()
    {
        const SelectedAperture &a = aperture();
        const PixelPoint c = dot(current_);
        const Colour pen = sheet_.colours.pen, brush = sheet_.colours.draw;
        const int qx = map_.toDotsX(a.q), qy = map_.toDotsY(a.q), py = map_.toDotsY(a.p), px = map_.toDotsX(a.p);
        if (a.shape) {
            switch (*a.shape) {
            case ApertureShape::Round:
                if (sheet_.drillOverlay) {
                    atOnceBrush(pen, brush, 1, BrushStyle::Solid);
                    circle(c, qx);
                    break;
                }
                list_.addBox(PrintCommandKind::Ellipse, c.x - qx / 2, c.y - qy / 2, c.x - qx / 2 + qx,
                             c.y - qy / 2 + qy, commandColour(), 1, 0);
                break;
            case ApertureShape::Square:
            case ApertureShape::Rectangle: {
                const int h = *a.shape == ApertureShape::Square ? qy : py;
                atOnceBrush(pen, brush, 1, BrushStyle::Solid);
                box(c, qx, h);
                if (sheet_.drillOverlay)
                    break;
                list_.addBox(PrintCommandKind::Rectangle, c.x - qx / 2, c.y - h / 2, c.x - qx / 2 + qx, c.y - h / 2 + h,
                             commandColour(), 1, 1);
                break;
            }
            case ApertureShape::Oblong: oblong(c, qx, py, pen); break;
            case ApertureShape::DrillHole:
                atOnceBrush(pen, brush, map_.toDotsX(0.2), BrushStyle::Hollow);
                circle(c, qx);
                circle(c, px);
                break;
            case ApertureShape::Target: {
                atOnceBrush(pen, brush, map_.toDotsX(0.25), BrushStyle::Hollow);
                circle(c, map_.toDotsX(3.5));
                circle(c, map_.toDotsX(1.0));
                const int hx = map_.toDotsX(3.5), hy = map_.toDotsY(3.5);
                line(c.x - hx, c.y, c.x + hx, c.y);
                line(c.x, c.y - hy, c.x, c.y + hy);
                break;
            }
            case ApertureShape::Counterbore: {
                atOnceBrush(pen, brush, map_.toDotsX(0.3), BrushStyle::Hollow);
                for (double d : {8.0, 6.0, 3.0, 1.0})
                    circle(c, map_.toDotsX(d));
                const int hx = map_.toDotsX(4.0), hy = map_.toDotsY(4.0);
                line(c.x - hx, c.y, c.x + hx, c.y);
                line(c.x, c.y - hy, c.x, c.y + hy);
                break;
            }
            case ApertureShape::ThermalX:
            case ApertureShape::ThermalPlus:
                thermal(c, *a.shape == ApertureShape::ThermalX, qx, px, map_.toDotsX(a.gap));
                break;
            case ApertureShape::RoundDonut:
            case ApertureShape::SquareDonut:
            case ApertureShape::OblongDonut: {
                const Colour body = sheet_.negative ? colours::White : pen;
                const Colour hole = sheet_.negative ? pen : colours::White;
                if (*a.shape == ApertureShape::OblongDonut) {
                    oblong(c, qx, py, body);
                } else {
                    atOnceBrush(body, body, 1, BrushStyle::Solid);
                    if (*a.shape == ApertureShape::RoundDonut)
                        circle(c, qx);
                    else
                        box(c, qx, py);
                }
                if (a.hx > 0) {
                    atOnceBrush(hole, hole, 1, BrushStyle::Solid);
                    if (a.hy > 0)
                        box(c, map_.toDotsX(a.hx), map_.toDotsY(a.hy));
                    else
                        circle(c, map_.toDotsX(a.hx));
                }
                break;
            }
            case ApertureShape::Macro: macro(a); break;
            }
        }
        // Shapes drawn at once leave the page's brush solid.
        page_.setBrush(brush, BrushStyle::Solid);
        page_.moveTo(c.x, c.y);
        deferredMove(current_);
    }

    void thermal(PixelPoint c, bool diagonal, int g, int f, int gapWidth)
    {
        const Colour ring = sheet_.negative ? colours::White : sheet_.colours.pen;
        const Colour gaps = sheet_.negative ? sheet_.colours.pen : colours::White;
        atOnceBrush(ring, sheet_.colours.draw, roundToInt((g - f) / 2.0), BrushStyle::Hollow);
        circle(c, g);
        atOnceBrush(gaps, gaps, gapWidth, BrushStyle::Solid);
        if (!diagonal) {
            const int d = g / 2 + (g - f) / 2 + (g - f) / 4;
            line(c.x - d, c.y, c.x + d, c.y);
            line(c.x, c.y - d, c.x, c.y + d);
            return;
        }
        int d = g / 4 + (g - f) / 2 + (g - f) / 4;
        if (g / 2 - d > 14) {
            const int e = g / 2 - d - 14;
            d = (g + e) / 4 + (g + e - f) / 2 + (g + e - f) / 4;
        }
        line(c.x - d, c.y - d, c.x + d, c.y + d);
        line(c.x - d, c.y + d, c.x + d, c.y - d);
    }

    // The macro's primitives as the load computes them, turned into dots:
    // outlines kept as polygon commands, every other primitive drawn at once.
    void macro(const SelectedAperture &a)
    {
        if (a.macroLine <= 0)
            return;
        MacroFlash f;
        f.nameLine = a.macroLine;
        f.at = {current_.x, -current_.y};
        f.layer = 1;
        f.code = a.code;
        scratch_.displayList.discard();
        flashMacro(scratch_, library_, f);
        auto at = [&](double x, double y) { return PixelPoint{map_.mapX(x), map_.mapY(-y)}; };
        std::vector<PixelPoint> polygon;
        auto drawAll = [&](const ItemSequence &items, bool deferOutlines) {
            for (const DisplayItem &it : items) {
                const Colour colour = exposed(it.colourLayer != 0);
                const auto kind = static_cast<ItemKind>(it.kind < 40 ? it.kind : it.kind - UnderlayOffset);
                switch (kind) {
                case ItemKind::Ellipse: {
                    const int l = map_.mapX(it.x1), r = map_.mapX(it.x2);
                    const int t = map_.mapY(-it.y1), b = map_.mapY(-it.y2);
                    atOnceBrush(colour, colour, 1,
                                it.fill == 2 || it.fill == 3 ? BrushStyle::Hollow : BrushStyle::Solid);
                    page_.ellipse(l, t, r, b);
                    break;
                }
                case ItemKind::MoveTo: {
                    PixelPoint p = at(it.x1, it.y1);
                    page_.moveTo(p.x, p.y);
                    break;
                }
                case ItemKind::LineTo: {
                    PixelPoint p = at(it.x1, it.y1);
                    atOnceBrush(colour, colour, std::max(1, map_.toDotsX(it.width)), BrushStyle::Solid);
                    page_.lineTo(p.x, p.y);
                    break;
                }
                case ItemKind::PolygonVertex: {
                    PixelPoint p = at(it.x1, it.y1);
                    if (deferOutlines)
                        list_.addPoint(PrintCommandKind::PolygonVertex, p.x, p.y, 0);
                    else
                        polygon.push_back(p);
                    break;
                }
                case ItemKind::PolygonClose:
                    if (deferOutlines) {
                        list_.addPoint(PrintCommandKind::PolygonClose, 0, 0, colour, 1);
                    } else {
                        atOnceBrush(colour, colour, 1, BrushStyle::Solid);
                        if (polygon.size() > 1 && polygon.front() == polygon.back())
                            polygon.pop_back();
                        if (!polygon.empty())
                            page_.polygon(polygon);
                        polygon.clear();
                    }
                    break;
                default: break;
                }
            }
        };
        drawAll(scratch_.displayList.underlay(), false);
        drawAll(scratch_.displayList.main(), true);
        scratch_.displayList.discard();
    }

    DrawingSurface &page_;
    PrintCommandList &list_;
    const PrintMapping &map_;
    const SheetState &sheet_;
    const MacroLibrary &library_;
    GerberInFormat &format_;
    Document scratch_;
    // Chooses apertures by the load's rules; its own drawing is never used.
    GerberInterpreter selector_;

    Point current_{}, previous_{};
    int dMode_ = 2;
    Interpolation interpolation_ = Interpolation::Linear;
    bool region_ = false, clear_ = false;
    double i_ = 0, j_ = 0;
    PixelPoint pen_{};
    bool penKnown_ = false;
};

std::int64_t fileSize(const std::string &path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

// The image polarity a file declares (%IPNEG / %IPPOS), if any; the last
// one counts.
std::optional<bool> imagePolarityNegative(std::string_view bytes)
{
    std::optional<bool> negative;
    for (size_t at = bytes.find("IP"); at != std::string_view::npos; at = bytes.find("IP", at + 2)) {
        // Only as a parameter statement: after "%" or "*" inside a block.
        if (at == 0 || (bytes[at - 1] != '%' && bytes[at - 1] != '*'))
            continue;
        std::string_view rest = bytes.substr(at + 2, 3);
        if (rest == "NEG")
            negative = true;
        else if (rest == "POS")
            negative = false;
    }
    return negative;
}

class GerberPrintRun {
public:
    explicit GerberPrintRun(GerberPrintContext &ctx) : ctx_(ctx), grid_(ctx.grid), settings_(ctx.settings) {}

    GerberPrintOutcome run()
    {
        GerberPrintOutcome outcome;
        if (!ctx_.device.choosePrinter())
            return outcome;
        outcome.confirmed = true;
        BusyGuard busy(ctx_.status);
        ctx_.device.beginJob();
        try {
            geometry_ = computePageGeometry(ctx_.device.metrics(), PrintKind::Gerber);
            printRows();
        } catch (const KorvaneError &e) {
            ctx_.prompter.error(e.text());
        }
        ctx_.device.endJob();
        ctx_.progress.hideProgress();
        ctx_.prompter.information(printmsg::GerberPrintFinished);
        ctx_.status.clearStatus();
        outcome.sheetsPrinted = printed_;
        outcome.sheetsAbandoned = abandoned_;
        outcome.placement = placement_;
        outcome.geometry = geometry_;
        return outcome;
    }

private:
    const std::string &cell(int row, int column) const { return grid_.cell(row, column); }

    void printRows()
    {
        for (int row = 1; row <= GerberPrintGrid::Rows; ++row) {
            if (cell(row, gridcol::Standalone) == gridval::NotRequired || grid_.file(row).empty())
                continue;
            if (!printSheet(row))
                return;  // the set-up refused the job
        }
    }

    struct Step {
        std::string path;
        bool own = false;
        bool minus = false;
        int namedRow = 0;
    };

    std::vector<Step> sequenceOf(int row) const
    {
        std::vector<Step> steps{{grid_.file(row), true, false, row}};
        for (int k = 0; k < 4; ++k) {
            const std::string &sign = cell(row, gridcol::sign(k));
            const int named = compositionRow(cell(row, gridcol::row(k)));
            if (sign.empty() || named == 0)
                break;
            if (grid_.file(named).empty())
                continue;  // a step naming a row without a file draws nothing
            steps.push_back({grid_.file(named), false, sign == gridval::Minus, named});
        }
        return steps;
    }

    SheetColours coloursFor(int baseRow, const Step &step) const
    {
        const bool negativeCell = cell(baseRow, gridcol::Polarity) == gridval::Negative;
        const bool colour = settings_.mode == PrintMode::Color;
        Colour c;
        if (step.own)
            c = colour ? settings_.rowColours[static_cast<size_t>(baseRow - 1)] : colours::Black;
        else if (step.minus)
            c = negativeCell ? colours::Black : colours::White;
        else if (colour)
            c = settings_.rowColours[static_cast<size_t>(step.namedRow - 1)];
        else
            c = negativeCell ? colours::White : colours::Black;
        return {c, c};
    }

    // False when the job is to end. A failure of the printer abandons the
    // sheet before it is reported.
    bool printSheet(int row)
    {
        bool pageOpen = false;
        try {
            return printSheet(row, pageOpen);
        } catch (const KorvaneError &) {
            if (pageOpen)
                ctx_.device.abortDocument();
            throw;
        }
    }

    bool printSheet(int row, bool &pageOpen)
    {
        SheetState sheet;
        PrintCommandList list;
        bool abandoned = false;
        for (const Step &step : sequenceOf(row)) {
            if (abandoned)
                break;
            sheet.colours = coloursFor(row, step);
            const std::string name = fileNameOf(step.path);
            ctx_.status.setStatus(name + (step.own ? printmsg::StatusPrinting : printmsg::StatusComposing));
            ctx_.progress.showProgress(name + (step.own ? printmsg::ProgressPrinting : printmsg::ProgressComposing));
            if (step.own)
                fontColour_ = cell(row, gridcol::Polarity) == gridval::Negative ? colours::Black : colours::White;
            if (!setUpDone_) {
                setUpDone_ = true;
                if (!setUp(row)) {
                    ctx_.progress.hideProgress();
                    return false;
                }
            }
            if (step.own) {
                sheet.mirrored = cell(row, gridcol::Mirror) == gridval::Required;
                const std::string &polarity = cell(row, gridcol::Polarity);
                sheet.negative = polarity == gridval::Negative || (polarity.empty() && imageNegative_);
                ctx_.device.beginDocument(name);
                pageOpen = true;
                DrawingSurface *page = ctx_.device.page();
                if (!page)
                    throw KorvaneError("プリンタに出力できません");
                page->setCopyMode();
                page->setBrush(sheet.colours.draw, BrushStyle::Solid);
                page->setPen(sheet.colours.pen, 1);
                page->setFont(fontColour_, "", 0);
                if (sheet.negative)
                    negativeBackground(*page, sheet);
                if (settings_.title)
                    drawTitle(*page, step.path, placement_.scale);
            }
            DrawingSurface &page = *ctx_.device.page();
            PrintMapping map(geometry_, placement_, sheet.mirrored);
            bool drawn = false;
            try {
                drawn = drawFile(step.path, page, list, map, sheet);
            } catch (const KorvaneError &e) {
                ctx_.prompter.error(e.text());
            }
            if (drawn)
                list.flush(page, PrintRenderMode::Gerber, settings_.regionFill);
            list.clear();
            ctx_.progress.hideProgress();
            abandoned = !drawn;
        }
        if (!pageOpen)
            return true;
        pageOpen = false;
        if (abandoned) {
            ctx_.device.abortDocument();
            ++abandoned_;
        } else {
            ctx_.device.endDocument();
            ++printed_;
        }
        return true;
    }

    // Fills the drawing's band, 10 mm wider all round than the reference
    // extents; on a normal sheet the band is mapped the right way up, so a Y
    // offset moves it with the drawing.
    void negativeBackground(DrawingSurface &page, SheetState &sheet)
    {
        const PrintMapping map(geometry_, placement_, sheet.mirrored);
        const double s = placement_.scale;
        const double pad = s > 0 ? 10 / s : 0;
        page.setPen(sheet.colours.draw, 1);
        page.setBrush(sheet.colours.draw, BrushStyle::Solid);
        page.rectangle(map.mapX(reference_.minX - pad), map.mapY(reference_.minY - pad),
                       map.mapX(reference_.maxX + pad), map.mapY(reference_.maxY + pad));
        sheet.colours = {colours::White, colours::White};
        page.setPen(colours::White, 1);
        page.setBrush(colours::White, BrushStyle::Solid);
    }

    // Reads one file through the block reader; false when the sheet is to be
    // abandoned (cancel, or a question answered No).
    bool drawFile(const std::string &path, DrawingSurface &page, PrintCommandList &list, const PrintMapping &map,
                  const SheetState &sheet)
    {
        if (cancelFirstSheet_) {
            cancelFirstSheet_ = false;
            return false;
        }
        PrintSink sink(page, list, map, sheet, ctx_.table, ctx_.library, ctx_.format, ctx_.prompter);
        // Step and repeat and block apertures are printed copy by copy.
        ExpandingSink expanding(sink);
        GerberFileReader reader(expanding, ctx_.table, ctx_.library, ctx_.format);
        reader.startFile(1);
        InputFile input(path);
        std::vector<char> buffer(ReadBlock);
        for (;;) {
            const size_t n = input.read(buffer.data(), buffer.size());
            if (n == 0)
                break;
            for (size_t at = 0; at < n; at += CancelSlice) {
                if (ctx_.progress.cancelRequested())
                    return false;
                if (!reader.feed(std::string_view(buffer.data() + at, std::min(CancelSlice, n - at))))
                    return false;
            }
        }
        if (ctx_.progress.cancelRequested())
            return false;
        reader.finish();
        return !reader.stopped();
    }

    // Fixes scale, orientation and position for every sheet from the files'
    // extents. False when the job is to end.
    bool setUp(int startingRow)
    {
        int smallest = 0;
        std::int64_t smallestSize = 0;
        for (int r = 1; r <= GerberPrintGrid::Rows; ++r) {
            if (grid_.file(r).empty())
                continue;
            std::int64_t size = fileSize(grid_.file(r));
            if (smallest == 0 || size < smallestSize) {
                smallest = r;
                smallestSize = size;
            }
        }
        std::array<DrawingExtents, GerberPrintGrid::Rows + 1> extents{};
        bool decimalSeen = false;
        auto toMm = [&](const PreScanResult &scan, const GerberInFormat &f) {
            decimalSeen = decimalSeen || scan.decimalPointSeen;
            std::int32_t digits = 0;
            tryParseInt(f.decimalDigits, digits);
            const double unit = (decimalSeen ? 1.0 : std::pow(10.0, -std::clamp(digits, 0, 20))) *
                                (f.unit == LengthUnit::Inch ? InchToMm : 1.0);
            return DrawingExtents{scan.minX * unit, scan.minY * unit, scan.maxX * unit, scan.maxY * unit};
        };
        {
            if (ctx_.progress.cancelRequested())
                return false;
            std::string bytes = readFileBytes(grid_.file(smallest));
            PreScanResult scan = preScanGerber(bytes, ctx_.format);
            if (cell(startingRow, gridcol::Polarity) != gridval::Positive) {
                if (std::optional<bool> neg = imagePolarityNegative(bytes)) {
                    imageNegative_ = *neg;
                    fontColour_ = *neg ? colours::Black : colours::White;
                }
            }
            if (ctx_.progress.cancelRequested())
                return false;
            const bool parameterSeen = scan.fsSeen || scan.moSeen;
            if (ctx_.format.dialect == GerberDialect::Rs274X && !parameterSeen) {
                ctx_.prompter.error(printmsg::NotRs274X);
                return false;
            }
            if (parameterSeen)
                ctx_.table.Clear();
            extents[static_cast<size_t>(smallest)] = toMm(scan, ctx_.format);
        }
        for (int r = 1; r <= GerberPrintGrid::Rows; ++r) {
            if (r == smallest || grid_.file(r).empty())
                continue;
            if (ctx_.progress.cancelRequested()) {
                cancelFirstSheet_ = true;
                break;
            }
            // Extents only: the job's format stays as the smallest file set it;
            // each file's extents are in its own format, as it is drawn.
            GerberInFormat copy = ctx_.format;
            std::string bytes = readFileBytes(grid_.file(r));
            const PreScanResult scan = preScanGerber(bytes, copy);
            extents[static_cast<size_t>(r)] = toMm(scan, copy);
        }
        reference_ = {};
        for (int r = 1; r <= GerberPrintGrid::Rows; ++r) {
            const DrawingExtents &e = extents[static_cast<size_t>(r)];
            if (e.width() > reference_.width() && e.height() > reference_.height())
                reference_ = e;
        }
        // Files without coordinates in both axes still give a place to print.
        if (reference_.width() <= 0 && reference_.height() <= 0)
            for (int r = 1; r <= GerberPrintGrid::Rows; ++r)
                if (extents[static_cast<size_t>(r)].width() > 0 || extents[static_cast<size_t>(r)].height() > 0) {
                    reference_ = extents[static_cast<size_t>(r)];
                    break;
                }
        placement_ = placeDrawing(reference_, geometry_, settings_.scale, PrintKind::Gerber);
        if (placement_.landscape)
            ctx_.device.turnPage();
        return true;
    }

    GerberPrintContext &ctx_;
    const GerberPrintGrid &grid_;
    const GerberPrintSettings &settings_;
    PageGeometry geometry_;
    PrintPlacement placement_;
    DrawingExtents reference_;
    bool setUpDone_ = false;
    bool imageNegative_ = false;
    bool cancelFirstSheet_ = false;
    Colour fontColour_ = colours::White;
    int printed_ = 0;
    int abandoned_ = 0;
};

}  // namespace

GerberPrintOutcome runGerberPrint(GerberPrintContext &context) { return GerberPrintRun(context).run(); }

bool drawGerberOverlay(const std::string &path, DrawingSurface &page, const PrintMapping &map, ApertureTable &table,
                       MacroLibrary &library, GerberInFormat &format, Prompter &prompter, PrintProgress &progress)
{
    SheetState sheet;  // black, positive, the right way round
    sheet.drillOverlay = true;
    PrintCommandList list;
    PrintSink sink(page, list, map, sheet, table, library, format, prompter);
    ExpandingSink expanding(sink);
    GerberFileReader reader(expanding, table, library, format);
    reader.startFile(1);
    InputFile input(path);
    std::vector<char> buffer(ReadBlock);
    for (;;) {
        const size_t n = input.read(buffer.data(), buffer.size());
        if (n == 0)
            break;
        for (size_t at = 0; at < n; at += CancelSlice) {
            if (progress.cancelRequested())
                return false;
            if (!reader.feed(std::string_view(buffer.data() + at, std::min(CancelSlice, n - at))))
                return false;
        }
    }
    if (progress.cancelRequested())
        return false;
    reader.finish();
    if (reader.stopped())
        return false;
    list.flush(page, PrintRenderMode::Drill, RegionFillMode::Solid);
    return true;
}

}  // namespace korvane
