#include "platform/PolygonFill.h"

#include <algorithm>

namespace korvane {
namespace {

constexpr std::int64_t One = 1 << 16;  // one pixel in 16.16 fixed point

}  // namespace

bool PolygonSpans::prepare(std::span<const PixelPoint> points, int height)
{
    edges_.clear();
    active_.clear();
    nextEdge_ = 0;
    firstRow_ = 0;
    lastRow_ = -1;
    const std::size_t n = points.size();
    if (n < 3 || height <= 0)
        return false;
    edges_.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        PixelPoint a = points[i], b = points[(i + 1) % n];
        if (a.y == b.y)
            continue;  // a horizontal edge crosses no row's centre line
        if (a.y > b.y)
            std::swap(a, b);
        // Row y is sampled at y + 0.5: the edge covers rows a.y to b.y - 1.
        Edge e;
        e.firstRow = std::max(a.y, 0);
        e.lastRow = std::min(b.y - 1, height - 1);
        if (e.firstRow > e.lastRow)
            continue;
        const std::int64_t dx = std::int64_t(b.x) - a.x, dy = std::int64_t(b.y) - a.y;
        // Truncated towards zero, as the slope is turned into fixed point.
        e.step = static_cast<std::int64_t>(double(dx) / double(dy) * double(One));
        // The position at the centre line of the first row, from the upper
        // end (the product floors, as an arithmetic shift does).
        const __int128 rows = __int128(std::int64_t(e.firstRow) - a.y) * One + One / 2;
        const __int128 product = __int128(e.step) * rows;
        __int128 offset = product / One;
        if (product % One != 0 && product < 0)
            --offset;
        e.x = One / 2 + std::int64_t(a.x) * One + static_cast<std::int64_t>(offset);
        if (dx == 0)
            e.step = 0;
        edges_.push_back(e);
    }
    if (edges_.empty())
        return false;
    std::sort(edges_.begin(), edges_.end(), [](const Edge &l, const Edge &r) { return l.firstRow < r.firstRow; });
    firstRow_ = edges_.front().firstRow;
    for (const Edge &e : edges_)
        lastRow_ = std::max(lastRow_, e.lastRow);
    return true;
}

void PolygonSpans::crossingsOfRow(int y)
{
    auto byX = [this](std::size_t l, std::size_t r) { return edges_[l].x < edges_[r].x; };
    // The edges go on from the row before, in its order by x: keep those
    // that reach this row.
    std::size_t kept = 0;
    for (std::size_t k = 0; k < active_.size(); ++k)
        if (edges_[active_[k]].lastRow >= y)
            active_[kept++] = active_[k];
    active_.resize(kept);
    // Their order changes little from row to row: an insertion sort costs
    // about one pass, and a row where many edges cross is sorted outright.
    const std::size_t budget = 4 * active_.size() + 64;
    std::size_t moves = 0;
    for (std::size_t i = 1; i < active_.size() && moves <= budget; ++i) {
        const std::size_t edge = active_[i];
        std::size_t j = i;
        for (; j > 0 && byX(edge, active_[j - 1]); --j, ++moves)
            active_[j] = active_[j - 1];
        active_[j] = edge;
    }
    if (moves > budget)
        std::sort(active_.begin(), active_.end(), byX);
    // Edges that start on this row join in order.
    const std::size_t old = active_.size();
    while (nextEdge_ < edges_.size() && edges_[nextEdge_].firstRow <= y)
        active_.push_back(nextEdge_++);
    if (active_.size() > old) {
        std::sort(active_.begin() + std::ptrdiff_t(old), active_.end(), byX);
        std::inplace_merge(active_.begin(), active_.begin() + std::ptrdiff_t(old), active_.end(), byX);
    }
    // The first pixel whose centre lies right of each crossing, in order.
    crossings_.clear();
    for (std::size_t edge : active_) {
        Edge &e = edges_[edge];
        crossings_.push_back(e.x >> 16);
        e.x += e.step;
    }
}

}  // namespace korvane
