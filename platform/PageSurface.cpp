#include "platform/PageSurface.h"
#include "platform/Fonts.h"
#include "platform/PictureImage.h"
#include "platform/QtColour.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace korvane {
namespace {

QRectF boxOf(int x1, int y1, int x2, int y2)
{
    return QRectF(std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1), std::abs(y2 - y1));
}

}  // namespace

PageSurface::PageSurface(QPainter &painter, int width, int height, int dotsPerInch)
    : painter_(painter), width_(width), height_(height), dotsPerInch_(dotsPerInch > 0 ? dotsPerInch : 600),
      font_(proportionalGothic())
{
    sizeFont(10);
}

void PageSurface::sizeFont(int pointSize) { font_.setPixelSize(std::max(1, pointSize * dotsPerInch_ / 72)); }

void PageSurface::setPen(Colour colour, int width)
{
    if (colour != penColour_ || width != penWidth_)
        penDirty_ = true;
    penColour_ = colour;
    penWidth_ = width;
}

void PageSurface::setCopyMode() { painter_.setCompositionMode(QPainter::CompositionMode_SourceOver); }

void PageSurface::setBrush(Colour colour, BrushStyle style)
{
    if (colour != brushColour_ || style != brushStyle_)
        brushDirty_ = true;
    brushColour_ = colour;
    brushStyle_ = style;
}

void PageSurface::setFont(Colour colour, const std::string &face, int pointSize)
{
    fontColour_ = toQColor(colour);
    // An empty face keeps the page's default font.
    if (!face.empty()) {
        font_ = face.find("ゴシック") != std::string::npos ? monospaceGothic() : QFont(QString::fromStdString(face));
        sizeFont(pointSize > 0 ? pointSize : 10);
    }
}

// Wide pens have round caps and joins; widths 0 and 1 are one dot.
void PageSurface::applyPen()
{
    if (!penDirty_)
        return;
    QPen pen(toQColor(penColour_), std::max(1, penWidth_), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter_.setPen(pen);
    penDirty_ = false;
}

void PageSurface::applyBrush()
{
    if (!brushDirty_)
        return;
    switch (brushStyle_) {
    case BrushStyle::Solid: painter_.setBrush(QBrush(toQColor(brushColour_), Qt::SolidPattern)); break;
    case BrushStyle::Hollow: painter_.setBrush(Qt::NoBrush); break;
    case BrushStyle::DiagonalCross: painter_.setBrush(QBrush(toQColor(brushColour_), Qt::DiagCrossPattern)); break;
    }
    brushDirty_ = false;
}

void PageSurface::lineTo(int x, int y)
{
    applyPen();
    if (pen_.x == x && pen_.y == y)
        painter_.drawPoint(x, y);
    else
        painter_.drawLine(pen_.x, pen_.y, x, y);
    pen_ = {x, y};
}

void PageSurface::ellipse(int x1, int y1, int x2, int y2)
{
    applyPen();
    applyBrush();
    painter_.drawEllipse(boxOf(x1, y1, x2, y2));
}

void PageSurface::stretchDraw(PixelRect rect, const DrawingSurface &source)
{
    const QImage picture = pictureOf(source);
    if (!picture.isNull() && rect.width() > 0 && rect.height() > 0)
        painter_.drawImage(QRect(rect.left, rect.top, rect.width(), rect.height()), picture);
}

void PageSurface::rectangle(int x1, int y1, int x2, int y2)
{
    applyPen();
    applyBrush();
    painter_.drawRect(boxOf(x1, y1, x2, y2));
}

void PageSurface::arc(int x1, int y1, int x2, int y2, RayPoint start, RayPoint end)
{
    const QRectF r = boxOf(x1, y1, x2, y2);
    const ArcAngles a = arcAngles(r.width(), r.height(), {r.center().x(), r.center().y()}, start, end);
    applyPen();
    if (a.spanDegrees >= 360) {
        painter_.setBrush(Qt::NoBrush);
        brushDirty_ = true;
        painter_.drawEllipse(r);
        return;
    }
    QPainterPath path;
    path.arcMoveTo(r, a.startDegrees);
    path.arcTo(r, a.startDegrees, a.spanDegrees);
    painter_.strokePath(path, painter_.pen());
}

void PageSurface::pie(int x1, int y1, int x2, int y2, RayPoint start, RayPoint end)
{
    const QRectF r = boxOf(x1, y1, x2, y2);
    const ArcAngles a = arcAngles(r.width(), r.height(), {r.center().x(), r.center().y()}, start, end);
    applyPen();
    applyBrush();
    if (a.spanDegrees >= 360) {
        painter_.drawEllipse(r);
        return;
    }
    QPainterPath path;
    path.moveTo(r.center());
    path.arcTo(r, a.startDegrees, a.spanDegrees);
    path.closeSubpath();
    painter_.drawPath(path);
}

void PageSurface::polygon(std::span<const PixelPoint> points)
{
    if (points.empty())
        return;
    applyPen();
    applyBrush();
    points_.resize(static_cast<int>(points.size()));
    for (size_t i = 0; i < points.size(); ++i)
        points_[static_cast<int>(i)] = QPoint(points[i].x, points[i].y);
    painter_.drawPolygon(points_, Qt::OddEvenFill);
}

void PageSurface::textOut(int x, int y, const std::string &text)
{
    const QString s = QString::fromStdString(text);
    painter_.setFont(font_);
    const QFontMetrics metrics(font_, painter_.device());
    if (brushStyle_ != BrushStyle::Hollow)
        painter_.fillRect(QRect(x, y, metrics.horizontalAdvance(s), metrics.height()), toQColor(brushColour_));
    painter_.setPen(fontColour_);
    penDirty_ = true;
    painter_.drawText(QPoint(x, y + metrics.ascent()), s);
}

}  // namespace korvane
