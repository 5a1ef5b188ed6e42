// The polygon fill of the raster gives QPainter's aliased odd-even fill
// pixel for pixel (the picture of small regions stays as it was), and with
// the thin outline over it.
#include "platform/RasterSurface.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace korvane;

namespace {

constexpr int W = 48, H = 40;
constexpr Colour Blue = colours::Blue;

// What the polygon looked like when QPainter filled it: its fill, then our
// thin outline (a hollow polygon draws only that).
QImage reference(const std::vector<PixelPoint> &points, BrushStyle style)
{
    RasterSurface outline(W, H);
    outline.setPen(Blue, 0);
    outline.setBrush(Blue, BrushStyle::Hollow);
    outline.polygon(points);
    QImage image = outline.takeImage();
    QPolygon polygon;
    for (const PixelPoint &p : points)
        polygon << QPoint(p.x, p.y);
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(style == BrushStyle::Solid ? QBrush(Qt::blue) : QBrush(Qt::blue, Qt::DiagCrossPattern));
    painter.drawPolygon(polygon, Qt::OddEvenFill);
    return image;
}

std::string differences(const QImage &expected, const QImage &actual)
{
    std::string out;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (expected.pixel(x, y) != actual.pixel(x, y))
                out += std::string(expected.pixel(x, y) == QColor(Qt::white).rgb() ? "+" : "-") + "(" +
                       std::to_string(x) + "," + std::to_string(y) + ")";
    return out;
}

void expectSamePixels(const std::vector<PixelPoint> &points, const std::string &label)
{
    for (BrushStyle style : {BrushStyle::Solid, BrushStyle::DiagonalCross}) {
        RasterSurface s(W, H);
        s.setPen(Blue, 0);
        s.setBrush(Blue, style);
        s.polygon(points);
        EXPECT_EQ(differences(reference(points, style), s.image()), "")
            << label << (style == BrushStyle::Solid ? " solid" : " hatched");
    }
}

}  // namespace

TEST(PolygonFill, ShapesFillAsQPainterFilledThem)
{
    struct Case {
        const char *label;
        std::vector<PixelPoint> points;
    } cases[] = {
        {"rectangle", {{5, 5}, {30, 5}, {30, 20}, {5, 20}}},
        {"triangle", {{3, 30}, {20, 2}, {44, 37}}},
        {"thin sliver", {{2, 2}, {45, 4}, {2, 5}}},
        {"concave", {{4, 4}, {40, 4}, {40, 36}, {22, 12}, {4, 36}}},
        {"self-crossing star", {{24, 2}, {34, 36}, {6, 14}, {42, 14}, {14, 36}}},
        {"collinear and repeated points", {{5, 5}, {15, 5}, {25, 5}, {25, 5}, {25, 25}, {5, 25}}},
        {"reaching off the raster", {{-20, -10}, {70, 8}, {30, 90}}},
        {"wholly off the raster", {{60, 60}, {90, 60}, {90, 90}}},
        {"one row high", {{5, 10}, {30, 10}, {30, 11}, {5, 11}}},
    };
    for (const auto &c : cases)
        expectSamePixels(c.points, c.label);
}

TEST(PolygonFill, RandomPolygonsFillAsQPainterFilledThem)
{
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> x(-6, W + 5), y(-6, H + 5), count(3, 12);
    for (int n = 0; n < 300; ++n) {
        std::vector<PixelPoint> points(static_cast<size_t>(count(rng)));
        for (auto &p : points)
            p = {x(rng), y(rng)};
        std::string pts;
        for (auto &p : points)
            pts += std::to_string(p.x) + "," + std::to_string(p.y) + " ";
        expectSamePixels(points, "random polygon " + std::to_string(n) + ": " + pts);
    }
}
