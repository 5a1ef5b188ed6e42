#pragma once
// The drawing surface on a 16-bit (5-6-5) QImage, painted with QPainter
// without antialiasing, as the platform's raster primitives behave.
#include "platform/PolygonFill.h"
#include "view/DrawingSurface.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPolygon>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class QPainter;

namespace korvane {

class RasterSurface : public DrawingSurface {
public:
    // A raster of the background colour; isNull() when there was not enough
    // memory for it.
    RasterSurface(int width, int height, Colour background = colours::White);
    ~RasterSurface() override;
    RasterSurface(const RasterSurface &) = delete;
    RasterSurface &operator=(const RasterSurface &) = delete;

    bool isNull() const { return image_.isNull(); }
    const QImage &image() const { return image_; }
    // Ends painting and hands over the raster.
    QImage takeImage();

    int width() const override { return image_.width(); }
    int height() const override { return image_.height(); }

    void setPen(Colour colour, int width) override;
    void setCopyMode() override;
    void setBrush(Colour colour, BrushStyle style) override;
    void setFont(Colour colour, const std::string &face, int pointSize) override;

    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    PixelPoint penPosition() const override { return pen_; }
    void strokeTo(int x, int y, const ExactStroke &stroke) override;
    void strokeArc(int x1, int y1, int x2, int y2, RayPoint start, RayPoint end, const ExactArc &stroke) override;

    void ellipse(int x1, int y1, int x2, int y2) override;
    void rectangle(int x1, int y1, int x2, int y2) override;
    void arc(int x1, int y1, int x2, int y2, RayPoint start, RayPoint end) override;
    void pie(int x1, int y1, int x2, int y2, RayPoint start, RayPoint end) override;
    void polygon(std::span<const PixelPoint> points) override;
    void floodFill(int x, int y, Colour colour) override;

    Colour getPixel(int x, int y) const override;
    // Lays the pixels of above (of the same size) over these, all but those
    // still of the colour clear.
    void layOver(const RasterSurface &above, Colour clear);
    // Takes over the pixels of a raster of the same size.
    void copyPixelsOf(const RasterSurface &other);
    void copyRect(PixelRect dest, const DrawingSurface &source, PixelRect sourceRect) override;
    void stretchDraw(PixelRect rect, const DrawingSurface &raster) override;
    void textOut(int x, int y, const std::string &text) override;

    std::unique_ptr<DrawingSurface> newLayerImage(Colour background) const override;
    void layImageOver(const DrawingSurface &image, Colour skip) override;
    void keepPixels(PixelRect rect) override;
    void restoreKept(Colour marker) override;

private:
    QPainter &painter();
    void applyPen();
    void applyBrush();
    void applyNoPen();
    void applyNoBrush();
    QBrush currentBrush() const;
    QImage imageOf(const DrawingSurface &surface) const;
    void thinLine(PixelPoint from, PixelPoint to);
    void largeEllipse(int left, int top, int right, int bottom);
    void capsule(double x0, double y0, double x1, double y1, double radius, std::uint16_t colour);
    void arcPolyline(int left, int top, int right, int bottom, double startDegrees, double spanDegrees);
    void circleStroke(RayPoint centre, double radius, double startDegrees, double spanDegrees, double halfWidth);
    void ellipseStroke(RayPoint centre, double a, double b, double startDegrees, double spanDegrees, double halfWidth);
    std::uint16_t *row(int y) const { return bits_ + std::ptrdiff_t(y) * stride_; }

    QImage image_;
    // The pixels, written directly by thin lines and flood fills; QPainter
    // paints into the same memory, so both kinds of drawing interleave.
    std::uint16_t *bits_ = nullptr;
    std::ptrdiff_t stride_ = 0;
    std::unique_ptr<QPainter> painter_;
    PixelPoint pen_;

    Colour penColour_ = 0;
    int penWidth_ = 1;
    Colour brushColour_ = 0xFFFFFF;
    BrushStyle brushStyle_ = BrushStyle::Solid;
    QColor fontColour_ = Qt::black;
    QFont font_;

    // What the painter holds, so that an unchanged pen or brush costs nothing.
    enum class Held { None, Pen, NoPen };
    Held penHeld_ = Held::None;
    Colour heldPenColour_ = 0;
    int heldPenWidth_ = -1;
    enum class HeldBrush { None, Brush, NoBrush };
    HeldBrush brushHeld_ = HeldBrush::None;
    Colour heldBrushColour_ = 0;
    BrushStyle heldBrushStyle_ = BrushStyle::Solid;

    PolygonSpans polygonSpans_;

    // The pixels keepPixels took, row by row, and where they came from.
    std::vector<std::uint16_t> kept_;
    PixelRect keptRect_;
};

}  // namespace korvane
