#include "print/DrillPrintJob.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/Numbers.h"
#include "core/TextFile.h"
#include "drill/DrillHeader.h"
#include "drill/DrillReader.h"
#include "drill/ToolMarks.h"
#include "gerber/GerberReader.h"
#include "print/GerberPrintJob.h"
#include "print/PrintTexts.h"
#include "print/TintedSurface.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

namespace korvane {
namespace {

constexpr double InchToMm = 25.4;
constexpr std::size_t ReadBlock = 4097;
// The chart looks at the cancel button this often (bytes).
constexpr std::size_t CancelSlice = 256;
constexpr const char *PageFont = "MS ゴシック";
constexpr int PageFontPoints = 9;

void pageState(DrawingSurface &page, Colour font)
{
    page.setCopyMode();
    page.setPen(colours::Black, 1);
    page.setBrush(colours::Black, BrushStyle::Hollow);
    page.setFont(font, PageFont, PageFontPoints);
}

// Reads a file in blocks, handing each slice to `feed`; false once the
// cancel button was pressed.
template <class Feed>
bool readSliced(const std::string &path, PrintProgress &progress, Feed feed)
{
    InputFile input(path);
    std::vector<char> buffer(ReadBlock);
    for (;;) {
        const std::size_t n = input.read(buffer.data(), buffer.size());
        if (n == 0)
            break;
        for (std::size_t at = 0; at < n; at += CancelSlice) {
            if (progress.cancelRequested())
                return false;
            feed(std::string_view(buffer.data() + at, std::min(CancelSlice, n - at)));
        }
    }
    return !progress.cancelRequested();
}

// The first 64 KB of a file, where its header stands.
std::string readHead(const std::string &path)
{
    InputFile input(path);
    std::string head(std::size_t{64} * 1024, '\0');
    std::size_t n = 0;
    while (n < head.size()) {
        const std::size_t got = input.read(head.data() + n, head.size() - n);
        if (got == 0)
            break;
        n += got;
    }
    head.resize(n);
    return head;
}

// Draws a mark at every hit and keeps the legend's figures.
class ChartSink : public DrillHitSink {
public:
    ChartSink(DrawingSurface &page, const PrintMapping &map, int markSize, DrillLegend &legend)
        : page_(page), map_(map), size_(markSize), legend_(legend)
    {
    }
    void hit(int tool, double x, double storedY, double) override
    {
        if (tool < 1)
            return;
        legend_.grow(tool);
        ++legend_.counts[static_cast<std::size_t>(tool)];
        drawToolMark(page_, tool, {map_.mapX(x), map_.mapY(-storedY)}, size_);
    }
    // The path in a one-dot line, the tool's mark at both ends.
    void path(const DrillPath &path) override
    {
        legend_.grow(path.tool);
        ++legend_.slotCounts[static_cast<std::size_t>(path.tool)];
        const std::vector<Point> points = drillPathPoints(path);
        page_.setPen(colours::Black, 1);
        page_.moveTo(map_.mapX(points.front().x), map_.mapY(-points.front().y));
        for (std::size_t i = 1; i < points.size(); ++i)
            page_.lineTo(map_.mapX(points[i].x), map_.mapY(-points[i].y));
        drawToolMark(page_, path.tool, {map_.mapX(path.startX), map_.mapY(-path.startStoredY)}, size_);
        drawToolMark(page_, path.tool, {map_.mapX(path.end().x), map_.mapY(-path.end().storedY)}, size_);
    }
    void diameterText(int tool, const std::string &text) override
    {
        if (tool < 1)
            return;
        legend_.grow(tool);
        legend_.diameters[static_cast<std::size_t>(tool)] = text;
    }

private:
    DrawingSurface &page_;
    const PrintMapping &map_;
    int size_;
    DrillLegend &legend_;
};

class DrillPrintRun {
public:
    explicit DrillPrintRun(DrillPrintContext &ctx) : ctx_(ctx), settings_(ctx.settings) {}

    DrillPrintOutcome run()
    {
        // A drill file that cannot be read is named at once; with none left
        // nothing is printed (and no document begun).
        std::vector<DrillPrintRow> readable;
        for (const DrillPrintRow &row : ctx_.rows) {
            try {
                InputFile probe(row.drillPath);
                readable.push_back(row);
            } catch (const KorvaneError &e) {
                ctx_.prompter.error(fileNameOf(row.drillPath) + "\n" + e.text());
            }
        }
        if (readable.empty()) {
            if (!ctx_.rows.empty())
                ctx_.prompter.error(printmsg::NothingToPrint);
            return outcome_;
        }
        if (!ctx_.device.choosePrinter())
            return outcome_;
        outcome_.confirmed = true;
        BusyGuard busy(ctx_.status);
        ctx_.device.beginJob();
        try {
            drillNumberRules(ctx_.drillFormat);  // digit counts that are not numbers stop here
            jobGeometry_ = computePageGeometry(ctx_.device.metrics(), PrintKind::Drill);
            for (const DrillPrintRow &row : readable)
                if (!printRow(row))
                    break;
        } catch (const KorvaneError &e) {
            if (pageOpen_)
                ctx_.device.abortDocument();
            ctx_.progress.hideProgress();
            ctx_.prompter.error(e.text());
        }
        ctx_.device.endJob();
        ctx_.status.clearStatus();
        return outcome_;
    }

private:
    void show(const std::string &path)
    {
        const std::string name = fileNameOf(path);
        ctx_.status.setStatus(name + printmsg::StatusPrinting);
        ctx_.progress.showProgress(name + printmsg::ProgressPrinting);
    }

    // Places the drawing for this file and turns the paper when the
    // placement wants the other orientation.
    void place(const DrawingExtents &extents)
    {
        geometry_ = jobGeometry_;
        placement_ = placeDrawing(extents, geometry_, settings_.scale, PrintKind::Drill);
        if (placement_.landscape != landscape_) {
            ctx_.device.turnPage();
            landscape_ = placement_.landscape;
        }
    }

    void beginPage(const std::string &title)
    {
        ctx_.device.beginDocument(title);
        pageOpen_ = true;
        if (!ctx_.device.page())
            throw KorvaneError("プリンタに出力できません");
    }
    void endPage(bool keep)
    {
        pageOpen_ = false;
        if (keep) {
            ctx_.device.endDocument();
        } else {
            ctx_.device.abortDocument();
        }
    }

    // False when the whole print is to stop.
    bool printRow(const DrillPrintRow &row)
    {
        // Each file by the format its header declares, as the drill load reads it.
        rules_ = drillNumberRules(declaredDrillFormat(readHead(row.drillPath), ctx_.drillFormat));
        DrillLegend legend;
        bool chartOk = true;
        const bool overlay = !row.overlayPath.empty();
        if (overlay)
            legend.overlayName = fileNameOf(row.overlayPath);
        if (overlay) {
            std::optional<bool> begun = beginOverlay(row);
            if (!begun)
                return false;
            chartOk = *begun;
        }
        show(row.drillPath);
        if (!overlay)
            chartOk = scanDrillExtents(row.drillPath);
        if (chartOk)
            chartOk = drawChart(row, overlay, legend);
        else if (pageOpen_)
            endPage(false);
        if (chartOk)
            ++outcome_.chartsPrinted;
        else
            ++outcome_.chartsAbandoned;

        // One sheet for tools 1 to 36, one more for every further 36 used.
        for (int first = 1; first == 1 || first <= legend.lastTool(); first += ToolMarkCount) {
            beginPage(fileNameOf(row.drillPath));
            DrawingSurface &page = *ctx_.device.page();
            pageState(page, colours::Black);
            drawDrillLegend(page, geometry_, row.drillPath, legend, first);
            endPage(true);
            ++outcome_.legendsPrinted;
        }
        outcome_.legends.push_back(legend);

        ctx_.progress.hideProgress();
        ctx_.prompter.information(printmsg::DrillPrintFinished);
        ctx_.status.clearStatus();
        return true;
    }

    // Nothing when the whole print stops; otherwise whether the overlay
    // was drawn (false: the chart is abandoned).
    std::optional<bool> beginOverlay(const DrillPrintRow &row)
    {
        show(row.overlayPath);
        if (ctx_.progress.cancelRequested()) {
            ctx_.progress.hideProgress();
            return std::nullopt;
        }
        GerberInFormat &format = ctx_.gerberFormat;
        const PreScanResult scan = preScanGerber(readFileBytes(row.overlayPath), format);
        if (ctx_.progress.cancelRequested()) {
            ctx_.progress.hideProgress();
            return std::nullopt;
        }
        const bool parameterSeen = scan.fsSeen || scan.moSeen;
        if (format.dialect == GerberDialect::Rs274X && !parameterSeen) {
            ctx_.prompter.error(printmsg::NotRs274X);
            ctx_.progress.hideProgress();
            return std::nullopt;
        }
        if (parameterSeen)
            ctx_.table.Clear();
        std::int32_t digits = 0;
        tryParseInt(format.decimalDigits, digits);
        const double unit = (scan.decimalPointSeen ? 1.0 : std::pow(10.0, -std::clamp(digits, 0, 20))) *
                            (format.unit == LengthUnit::Inch ? InchToMm : 1.0);
        place({scan.minX * unit, scan.minY * unit, scan.maxX * unit, scan.maxY * unit});

        beginPage(fileNameOf(row.drillPath));
        DrawingSurface &page = *ctx_.device.page();
        page.setCopyMode();
        page.setPen(colours::Black, 1);
        page.setBrush(colours::Black, BrushStyle::Solid);
        page.setFont(colours::White, PageFont, PageFontPoints);
        if (settings_.title)
            drawTitle(page, row.drillPath, placement_.scale);
        const PrintMapping map(geometry_, placement_);
        bool drawn = false;
        try {
            // In light grey: the black tool marks stay readable on its pads.
            TintedSurface grey(page, OverlayTint);
            drawn = drawGerberOverlay(row.overlayPath, grey, map, ctx_.table, ctx_.library, format, ctx_.prompter,
                                      ctx_.progress);
        } catch (const KorvaneError &e) {
            ctx_.prompter.error(e.text());
        }
        pageState(page, colours::Black);
        return drawn;
    }

    bool scanDrillExtents(const std::string &path)
    {
        DrillExtentsScanner scanner(rules_);
        scanner.startFile();
        try {
            if (!readSliced(path, ctx_.progress, [&](std::string_view s) { scanner.feed(s); }))
                return false;
            scanner.finish();
        } catch (const KorvaneError &e) {
            ctx_.prompter.error(e.text());
            return false;
        }
        DrillRawExtents raw = scanner.extents();
        auto mm = [&](double v) {
            if (!raw.decimalSeen)
                v /= rules_.divisor;
            return rules_.inch ? v * InchToMm : v;
        };
        place({mm(raw.minX), mm(raw.minY), mm(raw.maxX), mm(raw.maxY)});
        return true;
    }

    bool drawChart(const DrillPrintRow &row, bool overlay, DrillLegend &legend)
    {
        const int markSize = roundToInt(placement_.scale * 1.0 / geometry_.dotWidthMm);
        if (!overlay) {
            beginPage(fileNameOf(row.drillPath));
            DrawingSurface &page = *ctx_.device.page();
            pageState(page, colours::Black);
            if (settings_.title)
                drawTitle(page, row.drillPath, placement_.scale);
        }
        DrawingSurface &page = *ctx_.device.page();
        const PrintMapping map(geometry_, placement_);
        ChartSink sink(page, map, markSize, legend);
        DrillFileReader reader(rules_, sink);
        reader.startFile();
        bool drawn = false;
        try {
            drawn = readSliced(row.drillPath, ctx_.progress, [&](std::string_view s) { reader.feed(s); });
            if (drawn)
                reader.finish();
        } catch (const KorvaneError &e) {
            ctx_.prompter.error(e.text());
            drawn = false;
        }
        endPage(drawn);
        return drawn;
    }

    DrillPrintContext &ctx_;
    const DrillPrintSettings &settings_;
    DrillNumberRules rules_;
    PageGeometry jobGeometry_;
    PageGeometry geometry_;
    PrintPlacement placement_;
    bool landscape_ = false;
    bool pageOpen_ = false;
    DrillPrintOutcome outcome_;
};

}  // namespace

void DrillLegend::grow(int tool)
{
    const auto size = static_cast<std::size_t>(tool) + 1;
    if (size > counts.size()) {
        counts.resize(size);
        slotCounts.resize(size);
        diameters.resize(size);
    }
}

int DrillLegend::lastTool() const
{
    for (std::size_t t = counts.size(); t-- > 1;)
        if (counts[t] != 0 || slotCounts[t] != 0)
            return static_cast<int>(t);
    return 0;
}

void drawToolMark(DrawingSurface &page, int tool, PixelPoint centre, int size)
{
    if (tool < 1)
        return;
    const ToolMark &mark = toolMark(markOfTool(tool));
    const int h = size / 2;
    const int q = size / 4;
    page.setPen(colours::Black, 1);
    page.setBrush(colours::Black, mark.fill == 3 ? BrushStyle::Hollow : BrushStyle::Solid);
    for (const MarkPart &part : mark.parts) {
        if (part.kind == MarkPart::Kind::Path) {
            bool first = true;
            for (const MarkPoint &p : part.points) {
                // The table's +Y is toward the top of the sheet.
                const int x = centre.x + roundToInt(p.x * h);
                const int y = centre.y - roundToInt(p.y * h);
                if (first)
                    page.moveTo(x, y);
                else
                    page.lineTo(x, y);
                first = false;
            }
            continue;
        }
        const int r = part.radius < 1 ? q : h;
        if (part.kind == MarkPart::Kind::Circle)
            page.ellipse(centre.x - r, centre.y - r, centre.x + r, centre.y + r);
        else
            page.rectangle(centre.x - r, centre.y - r, centre.x + r, centre.y + r);
    }
    page.setBrush(colours::Black, BrushStyle::Hollow);
}

void drawDrillLegend(DrawingSurface &page, const PageGeometry &g, const std::string &fullPath,
                     const DrillLegend &legend, int firstTool)
{
    auto X = [&](double mm) { return roundToInt(mm / g.dotWidthMm); };
    auto Y = [&](double mm) { return roundToInt(mm / g.dotHeightMm); };
    auto line = [&](double x0, double y0, double x1, double y1) {
        page.moveTo(X(x0), Y(y0));
        page.lineTo(X(x1), Y(y1));
    };
    page.textOut(1, 1, fullPath);
    page.setPen(colours::Black, 1);
    page.setBrush(colours::Black, BrushStyle::Hollow);
    const char *headers[] = {printmsg::LegendMark, printmsg::LegendTool, printmsg::LegendDiameter, printmsg::LegendType,
                             printmsg::LegendCount};
    const double headerX[] = {11, 22, 37, 52, 67};
    for (double left : {10.0, 90.0}) {
        page.rectangle(X(left), Y(20), X(left + 70), Y(134));
        for (int y = 26; y <= 128; y += 6)
            line(left, y, left + 70, y);
        for (double x : {10.0, 25.0, 40.0, 55.0})
            line(left + x, 20, left + x, 134);
        for (int k = 0; k < 5; ++k)
            page.textOut(X(left - 10 + headerX[k]), Y(22), headers[k]);
    }
    const int markSize = X(4);
    for (int row = 1; row <= ToolMarkCount; ++row) {
        const int tool = firstTool + row - 1;
        const auto at = static_cast<std::size_t>(tool);
        const int count = at < legend.counts.size() ? legend.counts[at] : 0;
        const int slotCount = at < legend.slotCounts.size() ? legend.slotCounts[at] : 0;
        if (count == 0 && slotCount == 0)
            continue;
        const bool left = row <= 18;
        const int r = left ? row : row - 18;
        const double base = left ? 0 : 80;
        const double y = 28 + 6 * (r - 1);
        drawToolMark(page, tool, {X(base + 15), Y(29 + 6 * (r - 1))}, markSize);
        char name[16];
        std::snprintf(name, sizeof name, "T%02d", tool);
        page.textOut(X(base + 24), Y(y), name);
        page.textOut(X(base + 37), Y(y), legend.diameters[at]);
        if (slotCount != 0)
            page.textOut(X(base + 52), Y(y), printmsg::LegendSlots + std::to_string(slotCount));
        page.textOut(X(base + 67), Y(y), std::to_string(count));
    }
    if (!legend.overlayName.empty())
        page.textOut(X(10), Y(138), printmsg::LegendOverlay + legend.overlayName);
}

DrillPrintOutcome runDrillPrint(DrillPrintContext &context) { return DrillPrintRun(context).run(); }

}  // namespace korvane
