#include "app/ToolMarkLegend.h"
#include "drill/ToolMarks.h"
#include "platform/Fonts.h"

#include <QPainter>
#include <QPainterPath>

namespace korvane {

void paintToolMark(QPainter &painter, int tool, const QPointF &centre, double h)
{
    const ToolMark &mark = toolMark(tool);
    QColor colour = painter.pen().color();
    bool solid = mark.fill == 4 || mark.fill == 2;
    painter.setBrush(solid ? QBrush(colour) : Qt::NoBrush);
    for (const MarkPart &part : mark.parts) {
        // Mark offsets have +Y upwards; the screen's y grows downwards.
        switch (part.kind) {
        case MarkPart::Kind::Circle: painter.drawEllipse(centre, part.radius * h, part.radius * h); break;
        case MarkPart::Kind::Square: {
            double r = part.radius * h;
            painter.drawRect(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r));
            break;
        }
        case MarkPart::Kind::Path: {
            QPainterPath path;
            for (size_t i = 0; i < part.points.size(); ++i) {
                QPointF p(centre.x() + part.points[i].x * h, centre.y() - part.points[i].y * h);
                if (i == 0)
                    path.moveTo(p);
                else
                    path.lineTo(p);
            }
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(path);
            break;
        }
        }
    }
    painter.setBrush(Qt::NoBrush);
}

QPixmap toolMarkLegend()
{
    QPixmap pixmap(ToolMarkLegendWidth, ToolMarkLegendHeight);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setFont(proportionalGothic(10));
    const int rows = 18;
    const double rowHeight = double(ToolMarkLegendHeight) / rows;
    const double columnWidth = ToolMarkLegendWidth / 2.0;
    for (int tool = 1; tool <= ToolMarkCount; ++tool) {
        int column = (tool - 1) / rows;
        int row = (tool - 1) % rows;
        double left = column * columnWidth;
        double top = row * rowHeight;
        painter.setPen(Qt::black);
        painter.drawText(QRectF(left + 1, top, 16, rowHeight), Qt::AlignVCenter | Qt::AlignLeft,
                         QString("%1").arg(tool, 2, 10, QChar('0')));
        painter.setPen(QPen(QColor(0, 0, 160), 1));
        paintToolMark(painter, tool, QPointF(left + 28, top + rowHeight / 2), 7);
    }
    return pixmap;
}

}  // namespace korvane
