#pragma once
// The drawing surface of a printer page: the primitives drawn as vectors
// with a QPainter on whatever device it paints (a printer, a PDF file or a
// recorded sheet), in device dots.
#include "view/DrawingSurface.h"

#include <QColor>
#include <QFont>
#include <QPolygon>

class QPainter;

namespace korvane {

class PageSurface : public DrawingSurface {
public:
    // The painter must be active; width and height are the page's in dots.
    // Fonts are sized for `dotsPerInch` whatever device the painter records on.
    PageSurface(QPainter &painter, int width, int height, int dotsPerInch);

    int width() const override { return width_; }
    int height() const override { return height_; }

    void setPen(Colour colour, int width) override;
    void setCopyMode() override;
    void setBrush(Colour colour, BrushStyle style) override;
    void setFont(Colour colour, const std::string &face, int pointSize) override;

    void moveTo(int x, int y) override { pen_ = {x, y}; }
    void lineTo(int x, int y) override;
    PixelPoint penPosition() const override { return pen_; }

    void ellipse(int x1, int y1, int x2, int y2) override;
    void rectangle(int x1, int y1, int x2, int y2) override;
    void arc(int x1, int y1, int x2, int y2, RayPoint start, RayPoint end) override;
    void pie(int x1, int y1, int x2, int y2, RayPoint start, RayPoint end) override;
    void polygon(std::span<const PixelPoint> points) override;
    // A page cannot be read back: flood fill, pixel reads and copies do nothing.
    void floodFill(int, int, Colour) override {}
    Colour getPixel(int, int) const override { return colours::White; }
    void copyRect(PixelRect, const DrawingSurface &, PixelRect) override {}
    // Draws a raster or image surface's picture scaled into the rectangle.
    void stretchDraw(PixelRect rect, const DrawingSurface &source) override;
    void textOut(int x, int y, const std::string &text) override;

private:
    void applyPen();
    void applyBrush();

    QPainter &painter_;
    int width_, height_;
    int dotsPerInch_;
    PixelPoint pen_;
    Colour penColour_ = 0;
    int penWidth_ = 1;
    Colour brushColour_ = colours::White;
    BrushStyle brushStyle_ = BrushStyle::Solid;
    QColor fontColour_ = Qt::black;
    QFont font_;
    void sizeFont(int pointSize);
    bool penDirty_ = true, brushDirty_ = true;
    QPolygon points_;
};

}  // namespace korvane
