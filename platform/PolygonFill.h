#pragma once
// Filling a polygon with integer vertices row by row, in time that grows
// with its edges and the rows it covers, not with their product: copper
// pours of tens of thousands of vertices fill as fast as small pads.
#include "view/DrawingSurface.h"

#include <cstdint>
#include <span>
#include <vector>

namespace korvane {

// The odd-even spans of a polygon as QPainter's aliased fill covers them:
// a pixel is inside when its centre is (a centre on an edge by the fixed
// point rounding that fill uses); spans are cut to the raster
// (width x height). `span(y, x0, x1)` receives the pixels x0 to x1 - 1 of
// row y, rows from top to bottom.
class PolygonSpans {
public:
    template <typename SpanFn>
    void run(std::span<const PixelPoint> points, int width, int height, SpanFn &&span)
    {
        if (!prepare(points, height))
            return;
        for (int y = firstRow_; y <= lastRow_; ++y) {
            crossingsOfRow(y);
            for (std::size_t i = 0; i + 1 < crossings_.size(); i += 2) {
                const std::int64_t x0 = std::max<std::int64_t>(crossings_[i], 0);
                const std::int64_t x1 = std::min<std::int64_t>(crossings_[i + 1], width);
                if (x0 < x1)
                    span(y, static_cast<int>(x0), static_cast<int>(x1));
            }
        }
    }

private:
    // x positions are 16.16 fixed point with half a pixel added, stepped
    // row by row, as QPainter's scan converter keeps them: the same
    // rounding puts every pixel on an edge on the same side as before.
    struct Edge {
        int firstRow = 0, lastRow = 0;  // rows whose centre line the edge crosses
        std::int64_t x = 0;             // at the present row
        std::int64_t step = 0;          // per row
    };
    bool prepare(std::span<const PixelPoint> points, int height);
    void crossingsOfRow(int y);

    std::vector<Edge> edges_;              // sorted by first row
    std::vector<std::size_t> active_;      // edges crossing the present row
    std::vector<std::int64_t> crossings_;  // first pixel right of each crossing
    std::size_t nextEdge_ = 0;
    int firstRow_ = 0, lastRow_ = -1;
};

}  // namespace korvane
