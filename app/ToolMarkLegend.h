#pragma once
// The legend of the 36 tool marks shown in the main window's panel.
#include "drill/DrillReader.h"  // ToolMarkPanelWidth

#include <QPixmap>

class QPainter;
class QPointF;

namespace korvane {

inline constexpr int ToolMarkLegendWidth = 83;
inline constexpr int ToolMarkLegendHeight = 396;

// Draws tool mark `tool` centred on `centre`, `halfSize` pixels from the
// centre to its edge, with the painter's pen and brush colour.
void paintToolMark(QPainter &painter, int tool, const QPointF &centre, double halfSize);

// 83 x 396 pixels: marks 01 to 36 numbered, in two columns.
QPixmap toolMarkLegend();

}  // namespace korvane
