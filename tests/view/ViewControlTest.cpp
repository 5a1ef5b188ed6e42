// Fit, zoom and redraw on a fake drawing area.
#include "view/ViewControl.h"
#include "support/FakePorts.h"
#include "view/RecordingSurface.h"
#include "view/ViewTexts.h"

#include <gtest/gtest.h>

#include <memory>

using namespace korvane;
using korvane::testing::FakePrompter;
using korvane::testing::Figure;
using korvane::testing::RecordingSurface;

namespace {

class FakeHost : public PictureHost {
public:
    int w = 1200, h = 900;
    double mmX = 0.25, mmY = 0.25;
    bool outOfMemory = false;
    int rastersMade = 0;
    std::unique_ptr<DrawingSurface> shown;  // null after a clear
    bool everShown = false;

    int pictureWidth() const override { return w; }
    int pictureHeight() const override { return h; }
    void setPictureSize(int width, int height) override
    {
        w = width;
        h = height;
    }
    void clearPicture() override { shown.reset(); }
    std::unique_ptr<DrawingSurface> createRaster(int width, int height) override
    {
        if (outOfMemory)
            return nullptr;
        ++rastersMade;
        return std::make_unique<RecordingSurface>(width, height);
    }
    void showRaster(std::unique_ptr<DrawingSurface> raster) override
    {
        shown = std::move(raster);
        everShown = true;
    }
    double screenMmPerPixelX() const override { return mmX; }
    double screenMmPerPixelY() const override { return mmY; }

    const std::vector<Figure> &figures() const { return static_cast<RecordingSurface &>(*shown).figures; }
};

struct View {
    Document doc;
    FakePrompter prompter;
    FakeHost host;
    ViewController view{doc, prompter, host};

    // A drawing 200 x 100 mm with its lower left corner at board (minX, minY),
    // outlined by one Rectangle item.
    View(double minX = 0, double minY = 0, double extentX = 200, double extentY = 100)
    {
        doc.layers.slot(1).colour = colours::Red;
        doc.layers.slot(1).visible = 1;
        doc.minX = minX;
        doc.minY = minY;
        doc.extentX = extentX;
        doc.extentY = extentY;
        AppendArgs a{ItemKind::Rectangle};
        a.fill = 1;
        a.colourLayer = a.layer = 1;
        a.x1 = minX;
        a.x2 = minX + extentX;
        a.y1 = -minY;
        a.y2 = -(minY + extentY);
        doc.appendItem(a);
        doc.hasData = 1;
        view.setStatusBarHeight(19);
    }

    // A fitted view as a load leaves it.
    void load(const char *platform = "") { view.fitLoadedDrawing(platform); }
    ViewTransform &t() { return view.transform(); }
};

}  // namespace

TEST(FitScale, FitsTheExtentsOrShowsTrueSizeWithoutThem)
{
    struct Case {
        double extentX, extentY, width, height;
        float expected;
    };
    const Case cases[] = {
        {200, 100, 330, 230, 1.5f},                            // height allows 2.0, width only 1.5
        {200, 100, 530, 180, 1.5f},                            // height limits
        {100, 200, 230, 330, 1.5f},                            // tall: width limits to 2.0, height to 1.5
        {100, 200, 180, 530, 1.5f}, {200, 0, 330, 230, 1.5f},  // everything on one horizontal line
        {0, 100, 330, 230, 2.0f},                              // on one vertical line
        {0, 0, 330, 230, 1.0f},                                // one drill hit
        {200, 100, 20, 20, 1.0f},                              // no room at all
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << c.extentX << " x " << c.extentY << " in " << c.width << " x " << c.height);
        EXPECT_FLOAT_EQ(fitScaleFor(c.extentX, c.extentY, c.width, c.height), c.expected);
    }
}

TEST(ScreenMetrics, UsesThePhysicalSizeUnlessItIsImplausible)
{
    EXPECT_DOUBLE_EQ(mmPerPixelFrom(508, 1920, 96), 508.0 / 1920);
    EXPECT_DOUBLE_EQ(mmPerPixelFrom(0, 1920, 120), 25.4 / 120);    // not reported
    EXPECT_DOUBLE_EQ(mmPerPixelFrom(10000, 1920, 96), 25.4 / 96);  // a 10 m screen
    EXPECT_DOUBLE_EQ(mmPerPixelFrom(0, 0, 0), 25.4 / 96);
}

TEST(ZoomLimits, DependOnThePlatformName)
{
    EXPECT_EQ(zoomLimitsFor("WindowsNT").width, 8000);
    EXPECT_EQ(zoomLimitsFor("WindowsNT").height, 7600);
    EXPECT_EQ(zoomLimitsFor("Windows9x").width, 7000);
    EXPECT_EQ(zoomLimitsFor("Win32s").height, 6600);
    EXPECT_EQ(zoomLimitsFor("").width, LinuxZoomLimits.width);
    EXPECT_EQ(zoomLimitsFor("Linux").height, LinuxZoomLimits.height);
}

// Base 1200 x 900 px at 0.25 mm per pixel with a 19 px status bar: the
// usable area is 270 x 183 mm, the fit scale 1.2, and the drawing is centred
// in [0, 270] x [20, 203] mm.
TEST(Fit, CentresTheExtentsInTheBaseArea)
{
    View v(10, 5);
    v.load();
    EXPECT_EQ(v.t().areaWidth, 270);
    EXPECT_EQ(v.t().areaHeight, 183);
    EXPECT_FLOAT_EQ(v.t().fitScale, 1.2f);
    EXPECT_FLOAT_EQ(v.t().scale, 1.2f);
    EXPECT_EQ(v.t().offsetX, -12);
    EXPECT_EQ(v.t().offsetY, 102);
    ASSERT_EQ(v.host.figures().size(), 1u);
    // Left edge 15 mm = 60 px in; top 20 + 31.5 mm = 206 px down.
    EXPECT_EQ(v.host.figures()[0].points, (std::vector<PixelPoint>{{60, 686}, {1020, 206}}));
}

TEST(Zoom, OutStepsByHalfDownToTheLimit)
{
    View v;
    v.load();
    v.t().scale = v.t().fitScale = 3.37f;
    for (float expected : {2.87f, 2.37f, 1.87f, 1.37f, 0.87f, 0.37f}) {
        v.view.zoomOut();
        EXPECT_NEAR(v.t().scale, expected, 1e-6);
    }
    EXPECT_TRUE(v.prompter.shown.empty());
    const ViewTransform before = v.t();
    v.view.zoomOut();
    EXPECT_EQ(v.prompter.texts(), std::vector<std::string>{msg::ZoomOutLimit});
    EXPECT_EQ(v.prompter.shown[0].kind, MessageKind::Warning);
    EXPECT_EQ(v.t().scale, before.scale);
    EXPECT_EQ(v.t().offsetX, before.offsetX);
}

TEST(Zoom, InGrowsTheAreaAndShiftsTheDrawing20mmRight)
{
    View v;
    v.load();
    v.t().scale = 1.5f;
    v.view.zoomIn();
    EXPECT_FLOAT_EQ(v.t().scale, 2.0f);
    EXPECT_NEAR(v.t().zoomX, 1.63333, 1e-5);
    EXPECT_EQ(v.host.w, 1960);
    EXPECT_EQ(v.host.h, 1130);  // zoomY = 260 / 225 + 0.1
    EXPECT_EQ(v.t().areaWidth, 460);
    EXPECT_EQ(v.t().areaHeight, 252);
    EXPECT_EQ(v.t().offsetX, -200);  // (0 - (30 + 20)) / 0.25
    EXPECT_EQ(v.t().offsetY, 104);   // ((252 - 200) / 2) / 0.25
    EXPECT_EQ(v.host.figures().size(), 1u);
    EXPECT_TRUE(v.prompter.shown.empty());

    // Fit returns to the base size, centred without the shift.
    v.view.fitAll();
    EXPECT_EQ(v.host.w, 1200);
    EXPECT_EQ(v.host.h, 900);
    EXPECT_EQ(v.t().scale, v.t().fitScale);
    EXPECT_EQ(v.t().offsetX, -60);  // -(270 - 240) / 2 / 0.25
}

// On a 1000 px wide area at 0.25 mm per pixel, zoom in to scale 2 asks for
// Round(4 * (2 * extentX + 60) + 100) pixels.
TEST(Zoom, InIsRefusedAtTheLimitOfThePlatform)
{
    struct Case {
        const char *platform;
        double extentX;
        bool refused;
    };
    const Case cases[] = {
        {"", 957.375, false},  // 7999 px on Linux
        {"", 957.5, true},     // 8000 px
        {"WindowsNT", 957.375, false},
        {"WindowsNT", 957.5, true},
        {"Windows9x", 832.375, false},  // 6999 px
        {"Windows9x", 832.5, true},     // 7000 px
        {"Win32s", 832.5, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << '"' << c.platform << "\" " << c.extentX);
        View v(0, 0, c.extentX, 10);
        v.host.w = 1000;
        v.host.h = 800;
        v.load(c.platform);
        v.t().scale = 1.5f;
        const int made = v.host.rastersMade;
        v.view.zoomIn();
        if (c.refused) {
            EXPECT_EQ(v.prompter.texts(), std::vector<std::string>{msg::ZoomInLimit});
            EXPECT_FLOAT_EQ(v.t().scale, 1.5f);
            EXPECT_GT(v.t().zoomX, 1.0f);  // the refused factors are kept
            EXPECT_EQ(v.host.w, 1000);
            EXPECT_EQ(v.host.rastersMade, made);
        } else {
            EXPECT_TRUE(v.prompter.shown.empty());
            EXPECT_FLOAT_EQ(v.t().scale, 2.0f);
            EXPECT_EQ(v.host.w, c.extentX > 900 ? 7999 : 6999);
        }
    }
}

TEST(Zoom, WithoutMemoryForTheLargerPictureKeepsTheView)
{
    for (bool in : {true, false}) {
        SCOPED_TRACE(in ? "zoom in" : "zoom out");
        View v;
        v.load();
        v.t().scale = 2.5f;
        v.view.zoomIn();  // a zoomed view to start from
        v.prompter.shown.clear();
        const ViewTransform before = v.t();
        const DrawingSurface *picture = v.host.shown.get();
        const int w = v.host.w, h = v.host.h;
        v.host.outOfMemory = true;
        in ? v.view.zoomIn() : v.view.zoomOut();
        EXPECT_EQ(v.prompter.texts(), std::vector<std::string>{msg::ZoomOutOfMemory});
        EXPECT_EQ(v.prompter.shown[0].kind, MessageKind::Warning);
        EXPECT_EQ(v.host.shown.get(), picture);
        EXPECT_EQ(v.host.w, w);
        EXPECT_EQ(v.host.h, h);
        EXPECT_EQ(v.t().scale, before.scale);
        EXPECT_EQ(v.t().zoomX, before.zoomX);
        EXPECT_EQ(v.t().offsetX, before.offsetX);
        EXPECT_EQ(v.t().areaHeight, before.areaHeight);

        // Memory back: the user goes on zooming.
        v.host.outOfMemory = false;
        in ? v.view.zoomIn() : v.view.zoomOut();
        EXPECT_FLOAT_EQ(v.t().scale, in ? 3.5f : 2.5f);
    }
}

TEST(Redraw, WithoutMemoryWarnsAndKeepsThePicture)
{
    View v;
    v.load();
    const DrawingSurface *picture = v.host.shown.get();
    const ViewTransform before = v.t();
    v.host.outOfMemory = true;
    v.view.redrawView();
    v.view.fitAll();
    EXPECT_EQ(v.prompter.texts(), (std::vector<std::string>{msg::DrawOutOfMemory, msg::DrawOutOfMemory}));
    EXPECT_EQ(v.host.shown.get(), picture);
    EXPECT_EQ(v.t().offsetY, before.offsetY);
}

TEST(Commands, DoNothingWithoutADrawing)
{
    View v;
    v.doc.hasData = 0;
    v.view.fitAll();
    v.view.redrawView();
    v.view.zoomIn();
    v.view.zoomOut();
    EXPECT_EQ(v.host.rastersMade, 0);
    EXPECT_TRUE(v.prompter.shown.empty());
    EXPECT_EQ(v.t().scale, 0);
}

TEST(Fit, DoesNothingWhenZoomXIsExactlyOne)
{
    View v;
    v.load();
    v.t().zoomX = 1.0f;
    v.t().scale = 4;
    const int made = v.host.rastersMade;
    v.view.fitAll();
    EXPECT_EQ(v.host.rastersMade, made);
    EXPECT_EQ(v.t().scale, 4);
}

TEST(Redraw, KeepsScaleAndOffsetsAndLeavesOutHiddenLayers)
{
    View v;
    v.load();
    v.t().scale = 2.5f;
    v.view.zoomIn();
    const ViewTransform before = v.t();
    const int w = v.host.w;
    v.doc.layers.slot(1).visible = 0;
    v.view.redrawView();
    EXPECT_TRUE(v.host.figures().empty());
    EXPECT_EQ(v.t().scale, before.scale);
    EXPECT_EQ(v.t().offsetX, before.offsetX);
    EXPECT_EQ(v.t().offsetY, before.offsetY);
    EXPECT_EQ(v.host.w, w);
}

// Short arcs whose ends fall in one pixel column used to vanish after the
// first such arc, and only in a redraw: both passes must agree.
TEST(Redraw, ShowsTheSamePictureAsTheFit)
{
    View v(0, 0, 100, 100);
    for (int i = 0; i < 4; ++i) {
        AppendArgs a{ItemKind::ArcCcw};
        a.colourLayer = a.layer = 1;
        a.x1 = 10 + 20 * i;
        a.x2 = 20 + 20 * i;
        a.y1 = -60;
        a.y2 = -50;
        a.arcStart = {15.01 + 20 * i, -60};
        a.arcEnd = {14.99 + 20 * i, -60};
        v.doc.appendItem(a);
    }
    v.load();
    const auto fitted = v.host.figures();
    v.view.redrawView();
    const auto redrawn = v.host.figures();
    ASSERT_EQ(fitted.size(), 5u);
    ASSERT_EQ(redrawn.size(), fitted.size());
    for (std::size_t i = 0; i < fitted.size(); ++i) {
        EXPECT_EQ(redrawn[i].points, fitted[i].points);
        EXPECT_EQ(redrawn[i].start, fitted[i].start);
        EXPECT_EQ(redrawn[i].end, fitted[i].end);
    }
}

TEST(Fit, ALoadOverAZoomedViewKeepsTheBaseSize)
{
    View v;
    v.load();
    v.view.zoomIn();
    ASSERT_GT(v.host.w, 1200);
    v.load();
    EXPECT_EQ(v.t().baseWidth, 1200);
    EXPECT_EQ(v.host.w, 1200);
    EXPECT_EQ(v.host.h, 900);
}

TEST(ClearAll, ReturnsToTheBaseSizeAndZeroesTheScales)
{
    View v;
    v.load();
    v.view.zoomIn();
    ASSERT_NE(v.host.w, 1200);
    v.view.clearAll();
    EXPECT_EQ(v.host.w, 1200);
    EXPECT_EQ(v.host.h, 900);
    EXPECT_EQ(v.host.shown, nullptr);
    const ViewTransform &t = v.t();
    EXPECT_EQ(t.scale, 0);
    EXPECT_EQ(t.fitScale, 0);
    EXPECT_EQ(t.zoomX, 0);
    EXPECT_EQ(t.baseWidth, 0);
    EXPECT_EQ(t.areaHeight, 0);
}

TEST(Fit, ShowsASingleHitAtTrueSize)
{
    View v(50, 50, 0, 0);
    v.load();
    EXPECT_FLOAT_EQ(v.t().scale, 1.0f);
    ASSERT_EQ(v.host.figures().size(), 1u);
    // The point sits in the middle of the usable area: 135 mm across, 20 + 91.5 mm down.
    EXPECT_EQ(v.host.figures()[0].points[0], (PixelPoint{540, 446}));
    v.view.zoomIn();
    for (int i = 0; i < 3; ++i)
        v.view.zoomOut();
    EXPECT_FLOAT_EQ(v.t().scale, 0.5f);
    EXPECT_EQ(v.prompter.texts(), std::vector<std::string>{msg::ZoomOutLimit});
}

namespace {

// A document of flashes (ellipses of the given diameter) at the points, with
// the extents a load gives them.
Document flashedAt(std::initializer_list<Point> centres, double diameter, double strokeWidth = 0)
{
    Document doc;
    double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
    for (const Point &c : centres) {
        AppendArgs a{ItemKind::Ellipse};
        a.colourLayer = a.layer = 1;
        a.x1 = c.x - diameter / 2;
        a.x2 = c.x + diameter / 2;
        a.y1 = -(c.y + diameter / 2);
        a.y2 = -(c.y - diameter / 2);
        doc.appendItem(a);
        minX = std::min(minX, c.x);
        maxX = std::max(maxX, c.x);
        minY = std::min(minY, c.y);
        maxY = std::max(maxY, c.y);
    }
    if (strokeWidth > 0) {
        // A stroke from the first centre to the last.
        AppendArgs move{ItemKind::MoveTo};
        move.x1 = centres.begin()->x;
        move.y1 = -centres.begin()->y;
        doc.appendItem(move);
        AppendArgs line{ItemKind::LineTo};
        line.colourLayer = line.layer = 1;
        line.width = strokeWidth;
        line.x1 = (centres.end() - 1)->x;
        line.y1 = -(centres.end() - 1)->y;
        doc.appendItem(line);
    }
    doc.minX = minX;
    doc.maxX = maxX;
    doc.minY = minY;
    doc.maxY = maxY;
    doc.extentX = maxX - minX;
    doc.extentY = maxY - minY;
    doc.hasData = 1;
    return doc;
}

}  // namespace

TEST(FitBox, TakesWhatIsDrawnOnlyWhereTheCoordinatesSpanAlmostNothing)
{
    struct Case {
        const char *what;
        Document doc;
        FitBox expected;
    };
    const Case cases[] = {
        {"an ordinary board", flashedAt({{10, 20}, {110, 80}}, 2), {10, 20, 100, 60}},
        {"a board of 4 mm with small pads", flashedAt({{1, 1}, {5, 5}}, 0.6), {1, 1, 4, 4}},
        {"a pad larger than the board's span", flashedAt({{10, 10}, {16, 16}}, 30), {10, 10, 6, 6}},
        {"pads within 5 um", flashedAt({{10, 10}, {10.005, 10.003}}, 1.5), {10.0025 - 2.5, 10.0015 - 2.5, 5, 5}},
        {"a large pad within 5 um",
         flashedAt({{10, 10}, {10.005, 10.005}}, 8),
         {10.0025 - 4.0025, 10.0025 - 4.0025, 8.005, 8.005}},
        {"a stroke along X", flashedAt({{0, 3}, {50, 3}}, 0, 0.25), {0, 3 - 2.5, 50, 5}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const FitBox box = fitBoxOf(c.doc);
        EXPECT_NEAR(box.minX, c.expected.minX, 1e-9);
        EXPECT_NEAR(box.minY, c.expected.minY, 1e-9);
        EXPECT_NEAR(box.extentX, c.expected.extentX, 1e-9);
        EXPECT_NEAR(box.extentY, c.expected.extentY, 1e-9);
    }
}

TEST(FitBox, ZoomKeepsTheClusterCentred)
{
    Document doc = flashedAt({{10, 10}, {10.005, 10.005}}, 1);
    doc.layers.slot(1).visible = 1;
    FakePrompter prompter;
    FakeHost host;
    ViewController view(doc, prompter, host);
    view.fitLoadedDrawing("");
    // 5 mm fill the usable height of 225 - 30 - 30 mm: the pad is a fifth of
    // it, not the whole area.
    const ViewTransform &t = view.transform();
    EXPECT_FLOAT_EQ(t.fitScale, 33.0f);
    const auto padOnScreen = [&] { return host.figures().at(0).points; };
    const auto centre = [](const std::vector<PixelPoint> &p) {
        return PixelPoint{(p[0].x + p[1].x) / 2, (p[0].y + p[1].y) / 2};
    };
    const std::vector<PixelPoint> fitted = padOnScreen();
    EXPECT_NEAR(fitted[1].x - fitted[0].x, 33 / 0.25, 2);
    EXPECT_NEAR(centre(fitted).x, t.areaWidth / 2.0 / 0.25, 2);
    EXPECT_NEAR(centre(fitted).y, (t.areaHeight / 2.0 + 20) / 0.25, 2);
    view.zoomIn();
    ASSERT_TRUE(prompter.shown.empty());
    const std::vector<PixelPoint> zoomed = padOnScreen();
    EXPECT_GT(zoomed[1].x - zoomed[0].x, fitted[1].x - fitted[0].x);
    // Zoom centres the box in the larger area, 20 mm right of the middle.
    const PixelPoint c = centre(zoomed);
    EXPECT_NEAR(c.x, (t.areaWidth / 2.0 + 20) / 0.25, 2);
    EXPECT_NEAR(c.y, (t.areaHeight / 2.0 + 20) / 0.25, 2);
}
