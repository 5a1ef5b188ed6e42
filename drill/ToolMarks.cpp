#include "drill/ToolMarks.h"

#include <array>
#include <stdexcept>

namespace korvane {
namespace {

using K = MarkPart::Kind;

MarkPart circle(double r) { return {K::Circle, r, {}}; }
MarkPart square(double r) { return {K::Square, r, {}}; }
MarkPart path(std::vector<MarkPoint> p) { return {K::Path, 0, std::move(p)}; }

// The strokes that recur in many marks.
MarkPart slash() { return path({{-1, -1}, {1, 1}}); }      // "/"
MarkPart backslash() { return path({{1, -1}, {-1, 1}}); }  // "\"
MarkPart vertical() { return path({{0, -1}, {0, 1}}); }
MarkPart horizontal() { return path({{-1, 0}, {1, 0}}); }
MarkPart triangleDown() { return path({{0, -1}, {-1, 1}, {1, 1}, {0, -1}}); }

std::array<ToolMark, ToolMarkCount> buildMarks()
{
    std::array<ToolMark, ToolMarkCount> m;
    auto set = [&](int tool, std::vector<MarkPart> parts, int fill = 3) {
        m[static_cast<size_t>(tool - 1)] = ToolMark{tool, fill, std::move(parts)};
    };
    set(1, {slash(), backslash()});
    set(2, {circle(1)});
    set(3, {square(1)});
    set(4, {triangleDown()});
    set(5, {path({{-1, -1}, {1, 1}, {-1, 1}, {1, -1}, {-1, -1}})});
    set(6, {path({{-1, -1}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}})});
    set(7, {circle(1), circle(0.5)});
    set(8, {square(1), square(0.5)});
    set(9, {path({{0, -1}, {-1, 1}, {1, 1}, {0, -1}, {0, 1}})});
    set(10, {circle(1), vertical()});
    set(11, {square(1), vertical()});
    set(12, {circle(1), horizontal()});
    set(13, {square(1), horizontal()});
    set(14, {circle(1), horizontal(), vertical()});
    set(15, {square(1), horizontal(), vertical()});
    set(16, {circle(1), backslash()});
    set(17, {square(1), backslash()});
    set(18, {circle(1), slash()});
    set(19, {square(1), slash()});
    set(20, {circle(1), slash(), backslash()});
    set(21, {square(1), slash(), backslash()});
    set(22, {vertical(), slash(), backslash()});
    set(23, {square(1), triangleDown()});
    set(24, {slash(), backslash(), horizontal()});
    set(25, {square(1), circle(0.5)});
    set(26, {square(1), path({{-1, -1}, {0, 1}, {1, -1}})});
    set(27, {vertical(), slash(), backslash(), horizontal()});
    set(28, {square(1), vertical(), slash(), backslash()});
    set(29, {horizontal(), vertical()});
    set(30, {square(1), slash(), backslash(), horizontal()});
    set(31, {path({{-1, -1}, {0, 1}, {1, -1}, {-1, -1}})});
    set(32, {square(1), square(0.5), horizontal(), vertical()});
    set(33, {path({{0, 1}, {1, -1}, {-1, -1}, {0, 1}, {0, -1}})});
    set(34, {square(1), vertical(), slash(), backslash(), horizontal()});
    set(35, {circle(1)}, 4);
    set(36, {square(1)}, 2);
    return m;
}

}  // namespace

const ToolMark &toolMark(int tool)
{
    static const std::array<ToolMark, ToolMarkCount> marks = buildMarks();
    if (tool < 1 || tool > ToolMarkCount)
        throw std::out_of_range("tool mark out of range");
    return marks[static_cast<size_t>(tool - 1)];
}

}  // namespace korvane
