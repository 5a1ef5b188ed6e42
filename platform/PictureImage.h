#pragma once
// The picture between QImage and the plain pixel image of the bitmap files.
#include "view/BmpImage.h"

#include "view/DrawingSurface.h"

#include <QImage>

namespace korvane {

// A finished picture as the source of a stretched draw; nothing can be
// drawn on it.
class ImageSurface : public DrawingSurface {
public:
    explicit ImageSurface(const QImage &image) : image_(image) {}
    const QImage &image() const { return image_; }

    int width() const override { return image_.width(); }
    int height() const override { return image_.height(); }
    void setPen(Colour, int) override {}
    void setCopyMode() override {}
    void setBrush(Colour, BrushStyle) override {}
    void setFont(Colour, const std::string &, int) override {}
    void moveTo(int, int) override {}
    void lineTo(int, int) override {}
    PixelPoint penPosition() const override { return {}; }
    void ellipse(int, int, int, int) override {}
    void rectangle(int, int, int, int) override {}
    void arc(int, int, int, int, RayPoint, RayPoint) override {}
    void pie(int, int, int, int, RayPoint, RayPoint) override {}
    void polygon(std::span<const PixelPoint>) override {}
    void floodFill(int, int, Colour) override {}
    Colour getPixel(int x, int y) const override;
    void copyRect(PixelRect, const DrawingSurface &, PixelRect) override {}
    void stretchDraw(PixelRect, const DrawingSurface &) override {}
    void textOut(int, int, const std::string &) override {}

private:
    const QImage &image_;
};

// The picture of a raster or image surface; null for any other.
QImage pictureOf(const DrawingSurface &surface);

PixelImage pixelImageOf(const QImage &image);
QImage qImageOf(const PixelImage &image);

}  // namespace korvane
