#pragma once
// The 36 tool marks: a small symbol per tool number, 2h across (h = 0.5 mm
// on the board), made of circles, squares and paths. Offsets are in units of
// h with +Y upwards. The drill reader, the drill print and the legend of the
// main window all draw from this one table.
#include <vector>

namespace korvane {

struct MarkPoint {
    double x;
    double y;
};

struct MarkPart {
    enum class Kind { Circle, Square, Path } kind;
    double radius = 0;              // circle and square, in units of h
    std::vector<MarkPoint> points;  // path
};

struct ToolMark {
    int tool = 0;
    // 4 = solid circle, 2 = solid square, 3 = outline (the display-list fill codes)
    int fill = 3;
    std::vector<MarkPart> parts;
};

inline constexpr int ToolMarkCount = 36;

// tool in 1..36.
const ToolMark &toolMark(int tool);

// The symbol a tool is drawn with: tools above 36 take the 36 symbols in
// turn (T37 the mark of T1, T73 again), so every tool is drawn.
constexpr int markOfTool(int tool) { return tool >= 1 ? (tool - 1) % ToolMarkCount + 1 : 0; }

}  // namespace korvane
