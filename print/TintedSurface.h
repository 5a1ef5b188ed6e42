#pragma once
// A drawing surface that draws onto another in one tint: every colour but
// white becomes the tint. A Gerber overlay under a drill chart is drawn
// through it in light grey, so that the black tool marks on its pads stay
// readable.
#include "view/DrawingSurface.h"

namespace korvane {

class TintedSurface : public DrawingSurface {
public:
    TintedSurface(DrawingSurface &target, Colour tint) : target_(target), tint_(tint) {}

    int width() const override { return target_.width(); }
    int height() const override { return target_.height(); }
    void setPen(Colour colour, int width) override { target_.setPen(tinted(colour), width); }
    void setCopyMode() override { target_.setCopyMode(); }
    void setBrush(Colour colour, BrushStyle style) override { target_.setBrush(tinted(colour), style); }
    void setFont(Colour colour, const std::string &face, int pointSize) override
    {
        target_.setFont(tinted(colour), face, pointSize);
    }
    void moveTo(int x, int y) override { target_.moveTo(x, y); }
    void lineTo(int x, int y) override { target_.lineTo(x, y); }
    PixelPoint penPosition() const override { return target_.penPosition(); }
    void ellipse(int x1, int y1, int x2, int y2) override { target_.ellipse(x1, y1, x2, y2); }
    void rectangle(int x1, int y1, int x2, int y2) override { target_.rectangle(x1, y1, x2, y2); }
    void arc(int x1, int y1, int x2, int y2, RayPoint start, RayPoint end) override
    {
        target_.arc(x1, y1, x2, y2, start, end);
    }
    void pie(int x1, int y1, int x2, int y2, RayPoint start, RayPoint end) override
    {
        target_.pie(x1, y1, x2, y2, start, end);
    }
    void strokeTo(int x, int y, const ExactStroke &stroke) override { target_.strokeTo(x, y, stroke); }
    void strokeArc(int x1, int y1, int x2, int y2, RayPoint start, RayPoint end, const ExactArc &stroke) override
    {
        target_.strokeArc(x1, y1, x2, y2, start, end, stroke);
    }
    void polygon(std::span<const PixelPoint> points) override { target_.polygon(points); }
    void floodFill(int x, int y, Colour colour) override { target_.floodFill(x, y, tinted(colour)); }
    Colour getPixel(int x, int y) const override { return target_.getPixel(x, y); }
    void copyRect(PixelRect dest, const DrawingSurface &source, PixelRect sourceRect) override
    {
        target_.copyRect(dest, source, sourceRect);
    }
    void stretchDraw(PixelRect rect, const DrawingSurface &raster) override { target_.stretchDraw(rect, raster); }
    void textOut(int x, int y, const std::string &text) override { target_.textOut(x, y, text); }

private:
    Colour tinted(Colour c) const { return c == colours::White ? c : tint_; }

    DrawingSurface &target_;
    Colour tint_;
};

}  // namespace korvane
