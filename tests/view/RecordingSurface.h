#pragma once
// A drawing surface that logs every figure with the pen and brush it was
// painted with, for checking the renderer without pixels.
#include "view/DrawingSurface.h"

#include <string>
#include <vector>

namespace korvane::testing {

struct Figure {
    std::string op;  // "line", "ellipse", "rectangle", "arc", "pie", "polygon", "fill"
    std::vector<PixelPoint> points;
    RayPoint start{}, end{};
    Colour penColour = 0;
    int penWidth = 0;
    Colour brushColour = 0;
    BrushStyle brush = BrushStyle::Solid;
};

class RecordingSurface : public DrawingSurface {
public:
    RecordingSurface(int w = 200, int h = 100) : w_(w), h_(h) {}

    std::vector<Figure> figures;
    Colour pixelColour = 0xFFFFFF;  // what getPixel answers

    int width() const override { return w_; }
    int height() const override { return h_; }
    void setPen(Colour colour, int width) override
    {
        penColour_ = colour;
        penWidth_ = width;
    }
    void setCopyMode() override {}
    void setBrush(Colour colour, BrushStyle style) override
    {
        brushColour_ = colour;
        brush_ = style;
    }
    void setFont(Colour, const std::string &, int) override {}
    void moveTo(int x, int y) override { pen_ = {x, y}; }
    void lineTo(int x, int y) override
    {
        add("line", {pen_, {x, y}});
        pen_ = {x, y};
    }
    PixelPoint penPosition() const override { return pen_; }
    void ellipse(int x1, int y1, int x2, int y2) override { add("ellipse", {{x1, y1}, {x2, y2}}); }
    void rectangle(int x1, int y1, int x2, int y2) override { add("rectangle", {{x1, y1}, {x2, y2}}); }
    void arc(int x1, int y1, int x2, int y2, RayPoint s, RayPoint e) override
    {
        add("arc", {{x1, y1}, {x2, y2}});
        figures.back().start = s;
        figures.back().end = e;
    }
    void pie(int x1, int y1, int x2, int y2, RayPoint s, RayPoint e) override
    {
        add("pie", {{x1, y1}, {x2, y2}});
        figures.back().start = s;
        figures.back().end = e;
    }
    void polygon(std::span<const PixelPoint> points) override
    {
        add("polygon", std::vector<PixelPoint>(points.begin(), points.end()));
    }
    void floodFill(int x, int y, Colour colour) override
    {
        add("fill", {{x, y}});
        figures.back().penColour = colour;  // the colour asked for
    }
    Colour getPixel(int, int) const override { return pixelColour; }
    void copyRect(PixelRect, const DrawingSurface &, PixelRect) override {}
    void stretchDraw(PixelRect, const DrawingSurface &) override {}
    void textOut(int, int, const std::string &) override {}

private:
    void add(const char *op, std::vector<PixelPoint> pts)
    {
        figures.push_back({op, std::move(pts), {}, {}, penColour_, penWidth_, brushColour_, brush_});
    }

    int w_, h_;
    PixelPoint pen_;
    Colour penColour_ = 0;
    int penWidth_ = 0;
    Colour brushColour_ = 0;
    BrushStyle brush_ = BrushStyle::Solid;
};

}  // namespace korvane::testing
