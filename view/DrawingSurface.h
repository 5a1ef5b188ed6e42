#pragma once
// The raster primitives the renderer and the printers paint with. A surface
// is a grid of pixels (row 0 at the top) with a pen, a brush, a font and a
// pen position; platform/ implements it on a 16-bit QImage, tests record it.
#include "core/Colour.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace korvane {

enum class BrushStyle { Solid, Hollow, DiagonalCross };

struct PixelPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PixelPoint &) const = default;
};

// A ray point of arc and pie: a pixel position that need not be whole, so
// that two sweep ends inside one pixel still give two directions.
struct RayPoint {
    double x = 0;
    double y = 0;
    bool operator==(const RayPoint &) const = default;
};

// A straight stroke from `from` to `to`, width in pixels.
struct ExactStroke {
    RayPoint from;
    RayPoint to;
    double width = 0;
};

// An arc of the ellipse inscribed in the box with corners corner1 and
// corner2, swept counter-clockwise from the ray through start to the ray
// through end (rays from the box centre; equal rays give the whole ellipse).
struct ExactArc {
    RayPoint corner1;
    RayPoint corner2;
    RayPoint start;
    RayPoint end;
    double width = 0;
};

// Left and top inclusive, right and bottom exclusive.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const PixelRect &) const = default;
};

class DrawingSurface {
public:
    virtual ~DrawingSurface();

    virtual int width() const = 0;
    virtual int height() const = 0;

    // Widths 0 and 1 both draw one pixel wide.
    virtual void setPen(Colour colour, int width) = 0;
    // The only pen mode: the pen's colour replaces the pixel.
    virtual void setCopyMode() = 0;
    virtual void setBrush(Colour colour, BrushStyle style) = 0;
    virtual void setFont(Colour colour, const std::string &face, int pointSize) = 0;

    virtual void moveTo(int x, int y) = 0;
    // Paints from the pen position up to, not including, (x, y); the pen
    // position becomes (x, y).
    virtual void lineTo(int x, int y) = 0;
    virtual PixelPoint penPosition() const = 0;

    // The figures below never move the pen. Boxes are given by two corners
    // in any order and cover the pixels from the smaller corner up to, not
    // including, the larger one.
    virtual void ellipse(int x1, int y1, int x2, int y2) = 0;
    virtual void rectangle(int x1, int y1, int x2, int y2) = 0;
    // The part of the box's ellipse swept counter-clockwise (as seen on the
    // screen) from the ray through start to the ray through end, both rays
    // from the box centre; the whole ellipse when the rays coincide. Pen only.
    virtual void arc(int x1, int y1, int x2, int y2, RayPoint start, RayPoint end) = 0;
    // The same arc closed by two radii; outline with the pen, inside with the brush.
    virtual void pie(int x1, int y1, int x2, int y2, RayPoint start, RayPoint end) = 0;
    // Strokes at their true geometry, for widths of a pixel or more:
    // every pixel whose centre lies within width / 2 of the path, with round
    // ends, so that strokes laid side by side leave no gap. Positions and the
    // width are in pixels before rounding (pixel centres are whole numbers).
    // strokeTo moves the pen to (x, y) as lineTo does. A surface that draws
    // true widths anyway (a printer page) may keep the rounded forms, which
    // is what these do unless overridden.
    virtual void strokeTo(int x, int y, const ExactStroke &stroke);
    virtual void strokeArc(int x1, int y1, int x2, int y2, RayPoint start, RayPoint end, const ExactArc &stroke);
    // Closed polygon, alternate (odd-even) filling.
    virtual void polygon(std::span<const PixelPoint> points) = 0;
    // Paints with the brush every pixel connected to (x, y) that has the
    // given colour.
    virtual void floodFill(int x, int y, Colour colour) = 0;

    // The colour of a pixel as the surface holds it; white outside.
    virtual Colour getPixel(int x, int y) const = 0;
    // Copies source pixels into dest, scaling when the sizes differ.
    virtual void copyRect(PixelRect dest, const DrawingSurface &source, PixelRect sourceRect) = 0;
    // The whole raster scaled into rect.
    virtual void stretchDraw(PixelRect rect, const DrawingSurface &raster) = 0;
    // Text in the font with its top-left corner at (x, y); the cell
    // background is filled with the brush colour unless the brush is hollow.
    virtual void textOut(int x, int y, const std::string &text) = 0;

    // Layer images. A surface that keeps its pixels (a raster) can paint one
    // file's image apart and lay it over the picture; a printer page cannot,
    // and keeps the defaults (no image; nothing kept).
    //
    // A surface of the same size, every pixel of the background colour, to
    // paint one layer on; nullptr when this surface makes none. Throws
    // std::bad_alloc when there is no memory for it.
    virtual std::unique_ptr<DrawingSurface> newLayerImage(Colour background) const;
    // Lays the pixels of a layer image made by newLayerImage over these, all
    // but those of the colour skip.
    virtual void layImageOver(const DrawingSurface &image, Colour skip);
    // Keeps a copy of the pixels in rect (cut to the surface), until
    // restoreKept lays back those of them whose pixel now has the colour
    // marker: what a figure painted in that colour covered comes back.
    virtual void keepPixels(PixelRect rect);
    virtual void restoreKept(Colour marker);
};

// True when the two rays from centre through a and through b point the same
// way: arc and pie then cover the whole ellipse.
bool raysCoincide(RayPoint centre, RayPoint a, RayPoint b);

// Start angle and counter-clockwise span in degrees (y growing downwards on
// the surface, angles counted as on the screen) of the arc of the ellipse
// inscribed in a width x height box from the ray through start to the ray
// through end. The angles are those of the ellipse's parameter, so the arc
// meets each ray where the ray crosses the ellipse. The span lies in (0, 360].
struct ArcAngles {
    double startDegrees = 0;
    double spanDegrees = 0;
};
ArcAngles arcAngles(double width, double height, RayPoint centre, RayPoint start, RayPoint end);

// A colour as a 16-bit (5-6-5) pixel (the low bits cut off, as Qt does),
// and such a pixel as a colour (its bits repeated into the low ones).
std::uint16_t to565(Colour c);
Colour from565(std::uint16_t pixel);
// The colour a 16-bit (5-6-5) raster keeps of a colour.
Colour quantise565(Colour c);

}  // namespace korvane
