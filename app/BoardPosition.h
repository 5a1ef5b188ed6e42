#pragma once
// The board point under a pixel of the drawing area, for the status bar's
// pointer position.
#include "core/Document.h"
#include "view/ViewTransform.h"

#include <optional>
#include <string>

namespace korvane {

// The board point (mm, Y up) whose stored point the view maps to the pixel
// (column, row) of the picture; nothing while there is no scale yet.
std::optional<Point> boardPointAt(const ViewTransform &view, int column, int row);

// "X 12.345  Y -6.789 mm", or in inch ("X 0.4860  Y -0.2673 inch") when
// the Gerber input format is inch.
std::string pointerPositionText(Point board, bool inch);

}  // namespace korvane
