// The renderer's per-item rules, checked on a recording surface.
#include "view/Renderer.h"
#include "view/RecordingSurface.h"
#include "view/ViewTransform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace korvane;
using korvane::testing::Figure;
using korvane::testing::RecordingSurface;

namespace {

constexpr Colour Red = colours::Red, Blue = colours::Blue, White = colours::White;

// One millimetre per pixel, no offsets: a stored point maps to its rounded value.
PixelMapping unitMapping() { return PixelMapping{}; }

struct Scene {
    Document doc;
    Scene()
    {
        doc.layers.slot(1).colour = Red;
        doc.layers.slot(1).visible = 1;
        doc.layers.slot(2).colour = Blue;
        doc.layers.slot(2).visible = 1;
        doc.layers.slot(3).colour = colours::Lime;  // hidden
    }
    void add(ItemKind kind, double x1, double y1, double x2 = 0, double y2 = 0, int fill = 2, int colourLayer = 1,
             int layer = 1, double width = 0)
    {
        AppendArgs a{kind};
        a.fill = fill;
        a.colourLayer = colourLayer;
        a.layer = layer;
        a.width = width;
        a.x1 = x1;
        a.y1 = y1;
        a.x2 = x2;
        a.y2 = y2;
        doc.appendItem(a);
    }
    void arc(ItemKind kind, Point centre, double radius, Point from, Point to, int layer = 1)
    {
        AppendArgs a{kind};
        a.colourLayer = layer;
        a.layer = layer;
        a.x1 = centre.x - radius;
        a.x2 = centre.x + radius;
        a.y1 = centre.y - radius;
        a.y2 = centre.y + radius;
        a.arcStart = from;
        a.arcEnd = to;
        doc.appendItem(a);
    }
    std::vector<Figure> render(RegionFill fill = RegionFill::Solid, PixelMapping m = unitMapping())
    {
        RecordingSurface s;
        Renderer r(s, LayerLook::from(doc.layers), fill, m);
        r.paint(doc.displayList);
        return s.figures;
    }
};

}  // namespace

TEST(Mapping, RoundsHalfToEvenAndPlacesRowsBelowTheTopMargin)
{
    ViewTransform t;
    t.scale = 1;
    t.mmPerPixelX = t.mmPerPixelY = 0.5;
    t.areaHeight = 10;
    t.offsetX = 3;
    t.offsetY = 4;
    const PixelMapping m = t.mapping();
    // 1.25 / 0.5 = 2.5 -> 2; 1.75 / 0.5 = 3.5 -> 4; (-5.25 + 10 + 20) / 0.5 = 49.5 -> 50.
    EXPECT_EQ(m.point(1.25, -5.25), (PixelPoint{-1, 46}));
    EXPECT_EQ(m.point(1.75, -5.75), (PixelPoint{1, 44}));
    EXPECT_EQ(m.penWidth(0.75), 2);  // 1.5 -> 2
    EXPECT_EQ(m.penWidth(0.25), 0);  // 0.5 -> 0
    EXPECT_EQ(m.penWidth(1.25), 2);  // 2.5 -> 2
}

// Brush, pen and colours per kind, fill and colour layer.
TEST(Renderer, PaintsEachKindWithItsPenAndBrush)
{
    using B = BrushStyle;
    struct Case {
        const char *what;
        ItemKind kind;
        int fill;
        int colourLayer;
        double width;
        RegionFill region;
        const char *op;
        Colour pen;
        int penWidth;
        Colour brush;
        B style;
    };
    const Case cases[] = {
        {"ellipse fill 1 solid", ItemKind::Ellipse, 1, 1, 0, RegionFill::Solid, "ellipse", Red, 0, Red, B::Solid},
        {"ellipse fill 2 hollow", ItemKind::Ellipse, 2, 1, 3, RegionFill::Solid, "ellipse", Red, 3, Red, B::Hollow},
        {"ellipse fill 3 hollow", ItemKind::Ellipse, 3, 1, 0, RegionFill::Solid, "ellipse", Red, 0, Red, B::Hollow},
        {"ellipse fill 4 solid", ItemKind::Ellipse, 4, 2, 0, RegionFill::Solid, "ellipse", Blue, 0, Blue, B::Solid},
        {"ellipse width 1.0 is one pixel", ItemKind::Ellipse, 2, 1, 1.0, RegionFill::Solid, "ellipse", Red, 1, Red,
         B::Hollow},
        {"clear ellipse is white", ItemKind::Ellipse, 1, 0, 0, RegionFill::Solid, "ellipse", White, 0, White, B::Solid},
        {"underlay ellipse", ItemKind::UnderEllipse, 3, 1, 0, RegionFill::Solid, "ellipse", Red, 0, Red, B::Hollow},
        {"rectangle fill 1 outline", ItemKind::Rectangle, 1, 1, 5, RegionFill::Solid, "rectangle", Red, 1, Red,
         B::Hollow},
        {"rectangle fill 2 solid", ItemKind::Rectangle, 2, 1, 0, RegionFill::Solid, "rectangle", Red, 1, Red, B::Solid},
        {"rectangle fill 3 white brush", ItemKind::Rectangle, 3, 2, 0, RegionFill::Solid, "rectangle", Blue, 1, White,
         B::Hollow},
        {"clear rectangle fill 3", ItemKind::UnderRectangle, 3, 0, 0, RegionFill::Solid, "rectangle", White, 1, White,
         B::Hollow},
        {"rectangle fill 4 solid", ItemKind::Rectangle, 4, 1, 0, RegionFill::Solid, "rectangle", Red, 1, Red, B::Solid},
        {"line width", ItemKind::LineTo, 1, 1, 4, RegionFill::Solid, "line", Red, 4, Red, B::Hollow},
        {"underlay line", ItemKind::UnderLineTo, 2, 2, 0.4, RegionFill::Solid, "line", Blue, 0, Blue, B::Solid},
        {"flood fill hollow", ItemKind::FloodFill, 1, 1, 0, RegionFill::Solid, "fill", 0x123456, 0, Red, B::Hollow},
        {"flood fill solid", ItemKind::UnderFloodFill, 4, 0, 0, RegionFill::Solid, "fill", 0x123456, 0, White,
         B::Solid},
        {"region without outline width", ItemKind::PolygonClose, 0, 1, 0, RegionFill::Solid, "polygon", Red, 0, Red,
         B::Solid},
        {"region with width", ItemKind::UnderPolygonClose, 0, 1, 0.3, RegionFill::Solid, "polygon", Red, 1, Red,
         B::Solid},
        {"hatched region", ItemKind::PolygonClose, 0, 2, 0, RegionFill::Hatch, "polygon", Blue, 0, Blue,
         B::DiagonalCross},
        {"sector", ItemKind::SectorCcw, 0, 1, 2, RegionFill::Solid, "pie", Red, 2, Red, B::Solid},
        {"hatched sector", ItemKind::SectorCw, 0, 1, 0, RegionFill::Hatch, "pie", Red, 0, Red, B::DiagonalCross},
        {"arc", ItemKind::ArcCcw, 0, 2, 3, RegionFill::Solid, "arc", Blue, 3, Blue, B::Solid},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Scene s;
        const bool polygon = c.kind == ItemKind::PolygonClose || c.kind == ItemKind::UnderPolygonClose;
        if (polygon)
            for (Point p : {Point{0, 0}, Point{10, 0}, Point{10, 10}})
                s.add(c.kind == ItemKind::PolygonClose ? ItemKind::PolygonVertex : ItemKind::UnderPolygonVertex, p.x,
                      p.y, 0, 0, 0, c.colourLayer);
        AppendArgs a{c.kind};
        a.fill = c.fill;
        a.colourLayer = c.colourLayer;
        a.layer = 1;
        a.width = c.width;
        a.x1 = 2;
        a.y1 = 3;
        a.x2 = polygon ? 0 : 12;
        a.y2 = polygon ? 0 : 13;
        a.arcStart = {12, 8};
        a.arcEnd = {7, 3};
        s.doc.appendItem(a);
        RecordingSurface surface;
        surface.pixelColour = 0x123456;
        Renderer r(surface, LayerLook::from(s.doc.layers), c.region, unitMapping());
        r.paint(s.doc.displayList);
        ASSERT_EQ(surface.figures.size(), 1u);
        const Figure &f = surface.figures[0];
        EXPECT_EQ(f.op, c.op);
        EXPECT_EQ(f.penColour, c.pen);
        if (f.op != "fill") {
            EXPECT_EQ(f.penWidth, c.penWidth);
        }
        EXPECT_EQ(f.brushColour, c.brush);
        EXPECT_EQ(f.brush, c.style);
    }
}

TEST(Renderer, PlacesFiguresAtTheMappedPoints)
{
    Scene s;
    s.add(ItemKind::Ellipse, 2.4, 3.5, 12.6, 14.5);
    s.add(ItemKind::MoveTo, 1, 1);
    s.add(ItemKind::LineTo, 20, 7);
    s.add(ItemKind::FloodFill, 5, 6);
    const auto f = s.render();
    ASSERT_EQ(f.size(), 3u);
    EXPECT_EQ(f[0].points, (std::vector<PixelPoint>{{2, 4}, {13, 14}}));
    EXPECT_EQ(f[1].points, (std::vector<PixelPoint>{{1, 1}, {20, 7}}));
    EXPECT_EQ(f[2].points, (std::vector<PixelPoint>{{5, 6}}));
}

TEST(Renderer, DrawsNothingForKindsOutsideTheTable)
{
    Scene s;
    for (int kind : {0, 45, 46, 50, 54, 57}) {
        DisplayItem item;
        item.kind = kind;
        item.layer = item.colourLayer = 1;
        item.x2 = item.y2 = 5;
        s.doc.displayList.appendToMain(item);
    }
    EXPECT_TRUE(s.render().empty());
}

// A flood fill reads the pixels around it, so a list holding one (in either
// sequence, or as the underlay twin) is painted in one pass, never in pieces.
TEST(Renderer, OnlyListsWithoutFloodFillsPaintInPieces)
{
    auto item = [](int kind) {
        DisplayItem i;
        i.kind = kind;
        i.layer = i.colourLayer = 1;
        return i;
    };
    auto plain = [&](DisplayList &list) {
        for (int kind : {11, 12, 13, 14, 15, 18, 19, 41, 55})
            list.append(item(kind));
    };
    DisplayList withoutFills;
    plain(withoutFills);
    EXPECT_TRUE(paintsWithoutReading(withoutFills));
    for (int kind : {17, 47}) {
        DisplayList appended, loaded;
        plain(appended);
        plain(loaded);
        appended.append(item(kind));
        loaded.appendToMain(item(kind));
        EXPECT_FALSE(paintsWithoutReading(appended)) << kind;
        EXPECT_FALSE(paintsWithoutReading(loaded)) << kind;
    }
}

// A piece starts at a move the renderer paints, with no polygon open: from
// the middle on, a move inside an open polygon or on a hidden layer is
// passed over.
TEST(Renderer, CutsAPassOnlyWhereAFreshRendererGoesOnAlike)
{
    struct Case {
        const char *what;
        std::vector<int> kinds;
        std::vector<int> hiddenAt;
        int pieces;
        std::vector<std::size_t> cuts;
    };
    const std::vector<Case> cases = {
        {"the first move from the middle", {13, 14, 14, 13, 14, 14, 13, 14}, {}, 2, {6}},
        {"three pieces", {13, 14, 13, 14, 13, 14, 13, 14, 13}, {}, 3, {4, 6}},
        {"not inside an open polygon", {18, 18, 18, 19, 13, 14, 18, 18, 13, 18, 19, 13, 14}, {}, 2, {11}},
        {"not while it is unknown whether one is open", {18, 19, 13, 14, 13, 14}, {}, 2, {}},
        {"underlay twins count alike", {13, 14, 48, 43, 49, 43, 14}, {}, 2, {5}},
        {"not on a hidden layer", {13, 14, 14, 13, 14, 13, 14}, {3, 5}, 2, {}},
        {"nowhere to cut", {13, 14, 14, 14}, {}, 2, {}},
        {"one piece", {13, 14, 13, 14}, {}, 1, {}},
        {"an empty list", {}, {}, 2, {}},
        {"a single move", {13}, {}, 4, {}},
        {"more pieces than moves", {13, 14, 13, 14}, {}, 16, {2}},
    };
    for (const Case &c : cases) {
        DisplayList list;
        LayerLook look;
        look.visible[1] = true;
        for (std::size_t i = 0; i < c.kinds.size(); ++i) {
            DisplayItem item;
            item.kind = c.kinds[i];
            item.colourLayer = 1;
            item.layer = std::find(c.hiddenAt.begin(), c.hiddenAt.end(), int(i)) != c.hiddenAt.end() ? 2 : 1;
            list.appendToMain(item);
        }
        EXPECT_EQ(passCuts(list, look, c.pieces), c.cuts) << c.what;
    }
}

TEST(Renderer, HiddenItemsNeitherPaintNorMoveThePen)
{
    Scene s;
    s.add(ItemKind::UnderMoveTo, 5, 5);
    s.add(ItemKind::MoveTo, 50, 50, 0, 0, 2, 3, 3);  // hidden layer 3
    s.add(ItemKind::LineTo, 9, 9);                   // from the underlay's pen position
    s.add(ItemKind::Ellipse, 0, 0, 5, 5, 1, 1, 3);   // hidden
    s.add(ItemKind::LineTo, 60, 60, 0, 0, 2, 2, 3);  // hidden, whatever its colour layer
    s.add(ItemKind::LineTo, 20, 9, 0, 0, 2, 2, 2);
    const auto f = s.render();
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[0].points, (std::vector<PixelPoint>{{5, 5}, {9, 9}}));
    EXPECT_EQ(f[1].points, (std::vector<PixelPoint>{{9, 9}, {20, 9}}));
    EXPECT_EQ(f[1].penColour, Blue);
}

TEST(Renderer, PaintsTheUnderlayBeforeTheMainSequence)
{
    Scene s;
    s.add(ItemKind::Ellipse, 0, 0, 4, 4, 1, 1);
    s.add(ItemKind::UnderEllipse, 0, 0, 8, 8, 1, 2);
    const auto f = s.render();
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[0].penColour, Blue);
    EXPECT_EQ(f[1].penColour, Red);
}

namespace {

std::vector<PixelPoint> polygonOf(Scene &s, std::initializer_list<PixelPoint> vertices, int layer = 1)
{
    for (PixelPoint p : vertices)
        s.add(ItemKind::PolygonVertex, p.x, p.y, 0, 0, 0, layer, layer);
    s.add(ItemKind::PolygonClose, 0, 0, 0, 0, 0, layer, layer);
    const auto f = s.render();
    if (f.empty())
        return {};
    EXPECT_EQ(f.size(), 1u);
    return f.back().points;
}

}  // namespace

TEST(Renderer, LeavesOutTheLastVertexOnlyWhenItRepeatsTheFirst)
{
    Scene closed, open;
    EXPECT_EQ(polygonOf(closed, {{0, 0}, {10, 0}, {10, 10}, {0, 0}}),
              (std::vector<PixelPoint>{{0, 0}, {10, 0}, {10, 10}}));
    EXPECT_EQ(polygonOf(open, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}),
              (std::vector<PixelPoint>{{0, 0}, {10, 0}, {10, 10}, {0, 10}}));
}

TEST(Renderer, ClosesWithFewerThanThreeVerticesDrawNothingAndEmptyTheStore)
{
    for (int count : {0, 1, 2}) {
        SCOPED_TRACE(count);
        Scene s;
        for (int i = 0; i < count; ++i)
            s.add(ItemKind::PolygonVertex, 50 + i, 50, 0, 0, 0);
        s.add(ItemKind::PolygonClose, 0, 0);
        EXPECT_TRUE(s.render().empty());
        EXPECT_EQ(polygonOf(s, {{0, 0}, {4, 0}, {4, 4}}), (std::vector<PixelPoint>{{0, 0}, {4, 0}, {4, 4}}));
    }
}

TEST(Renderer, KeepsEveryVertexOfAVeryLargePolygon)
{
    Scene s;
    const int n = 10000;
    for (int i = 0; i < n; ++i) {
        const double a = 2 * 3.141592653589793 * i / n;
        s.add(ItemKind::UnderPolygonVertex, std::round(5000 * std::cos(a)), std::round(5000 * std::sin(a)), 0, 0, 0);
    }
    s.add(ItemKind::UnderPolygonClose, 0, 0);
    const auto f = s.render();
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(f[0].points.size(), std::size_t(n));
    EXPECT_EQ(f[0].points.back(), (PixelPoint{5000, -3}));
}

TEST(Renderer, OpenVerticesNeverJoinAnotherLayersPolygonOrTheNextPass)
{
    Scene s;
    s.add(ItemKind::PolygonVertex, 90, 90, 0, 0, 0, 1, 1);  // left open by layer 1
    s.add(ItemKind::PolygonVertex, 91, 95, 0, 0, 0, 1, 1);
    EXPECT_EQ(polygonOf(s, {{0, 0}, {4, 0}, {4, 4}}, 2), (std::vector<PixelPoint>{{0, 0}, {4, 0}, {4, 4}}));

    // A pass that ends with open vertices leaves nothing for the next one.
    Scene t;
    t.add(ItemKind::UnderPolygonClose, 0, 0);
    for (Point p : {Point{0, 0}, Point{9, 0}, Point{9, 9}})
        t.add(ItemKind::PolygonVertex, p.x, p.y, 0, 0, 0);
    RecordingSurface surface;
    Renderer r(surface, LayerLook::from(t.doc.layers), RegionFill::Solid, unitMapping());
    r.paint(t.doc.displayList);
    r.paint(t.doc.displayList);
    EXPECT_TRUE(surface.figures.empty());
}

namespace {

double spanOf(const Figure &f)
{
    const PixelPoint a = f.points[0], b = f.points[1];
    const RayPoint centre{(a.x + b.x) / 2.0, (a.y + b.y) / 2.0};
    return arcAngles(b.x - a.x, b.y - a.y, centre, f.start, f.end).spanDegrees;
}

}  // namespace

// Stored y is the negated board Y; the arcs below run around (0, 0) with
// radius 10 mm on a view where the whole circle is a few pixels across.
TEST(Renderer, SweepsArcsByTheirStoredEndsNotTheirRoundedPixels)
{
    const double d = 0.01;  // radians either side of the +X axis
    const Point below{10 * std::cos(d), 10 * std::sin(d)}, above{10 * std::cos(d), -10 * std::sin(d)};
    struct Case {
        const char *what;
        ItemKind kind;
        Point from, to;
        double span;
    };
    const Case cases[] = {
        {"full circle", ItemKind::ArcCcw, {10, 0}, {10, 0}, 360},
        {"short counter-clockwise arc", ItemKind::ArcCcw, below, above, 2 * d * 180 / 3.141592653589793},
        {"nearly full counter-clockwise arc", ItemKind::ArcCcw, above, below, 360 - 2 * d * 180 / 3.141592653589793},
        {"short clockwise arc", ItemKind::ArcCw, above, below, 2 * d * 180 / 3.141592653589793},
        {"full clockwise sector", ItemKind::SectorCw, {0, 10}, {0, 10}, 360},
        {"short sector", ItemKind::SectorCcw, below, above, 2 * d * 180 / 3.141592653589793},
    };
    PixelMapping coarse;
    coarse.mmPerPixelX = coarse.mmPerPixelY = 4;  // 20 mm across is 5 pixels
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Scene s;
        s.arc(c.kind, {0, 0}, 10, c.from, c.to);
        const auto f = s.render(RegionFill::Solid, coarse);
        ASSERT_EQ(f.size(), 1u);
        EXPECT_NEAR(spanOf(f[0]), c.span, 1e-9);
    }
    // Short arcs one after another all draw: nothing carries from one arc to the next.
    Scene s;
    for (int i = 0; i < 5; ++i)
        s.arc(ItemKind::ArcCcw, {0, 0}, 10, below, above);
    const auto f = s.render(RegionFill::Solid, coarse);
    ASSERT_EQ(f.size(), 5u);
    for (const Figure &fig : f)
        EXPECT_LT(spanOf(fig), 2);
}

TEST(Renderer, GivesArcRaysTheStoredDirectionsOnScreen)
{
    // A quarter from board +X to board +Y: on screen from the right to the top.
    Scene s;
    s.arc(ItemKind::ArcCcw, {0, 0}, 10, {10, 0}, {0, -10});
    const auto f = s.render();
    ASSERT_EQ(f.size(), 1u);
    const PixelPoint a = f[0].points[0], b = f[0].points[1];
    const ArcAngles angles = arcAngles(b.x - a.x, b.y - a.y, {0, 0}, f[0].start, f[0].end);
    EXPECT_NEAR(angles.startDegrees, 0, 1e-9);
    EXPECT_NEAR(angles.spanDegrees, 90, 1e-9);
}

// A pad flashed again at the same pixels, with nothing painted between,
// would change no pixel and is painted once; anything painted between, or
// another colour, pen or place, paints it again.
TEST(Renderer, PaintsAFigureRepeatedOverItselfOnce)
{
    Scene s;
    for (int i = 0; i < 3; ++i)
        s.add(ItemKind::Ellipse, 10, 10, 20, 20, 0);
    s.add(ItemKind::Ellipse, 10, 10, 20, 20, 0, 2);  // another colour
    s.add(ItemKind::Ellipse, 10, 10, 20, 20, 0);
    s.add(ItemKind::MoveTo, 0, 0);
    s.add(ItemKind::LineTo, 30, 30, 0, 0, 0);  // a stroke between
    s.add(ItemKind::Ellipse, 10, 10, 20, 20, 0);
    s.add(ItemKind::Rectangle, 10, 10, 20, 20, 0);
    s.add(ItemKind::Rectangle, 10, 10, 20, 20, 0);
    s.add(ItemKind::Rectangle, 10.2, 10, 21, 20, 0);  // rounds elsewhere
    std::vector<std::string> ops;
    for (const Figure &f : s.render())
        ops.push_back(f.op);
    EXPECT_EQ(ops,
              (std::vector<std::string>{"ellipse", "ellipse", "ellipse", "line", "ellipse", "rectangle", "rectangle"}));
}
