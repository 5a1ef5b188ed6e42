#include "app/BoardPosition.h"

#include <cmath>
#include <cstdio>

namespace korvane {

std::optional<Point> boardPointAt(const ViewTransform &view, int column, int row)
{
    if (!(view.scale > 0) || !(view.mmPerPixelX > 0) || !(view.mmPerPixelY > 0))
        return std::nullopt;
    // The inverse of the renderer's mapping (ViewTransform::mapping).
    const double x = (double(column) + view.offsetX) * view.mmPerPixelX / view.scale;
    const double storedY = ((double(row) + view.offsetY) * view.mmPerPixelY - view.areaHeight - 20) / view.scale;
    return Point{x, -storedY};
}

std::string pointerPositionText(Point board, bool inch)
{
    char text[96];
    const double k = inch ? 1 / 25.4 : 1.0;
    // No "-0.000" for a point just left of or below zero.
    auto tidy = [](double v) { return std::fabs(v) < 5e-5 ? 0.0 : v; };
    std::snprintf(text, sizeof text, inch ? "X %.4f  Y %.4f inch" : "X %.3f  Y %.3f mm", tidy(board.x * k),
                  tidy(board.y * k));
    return text;
}

}  // namespace korvane
