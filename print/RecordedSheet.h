#pragma once
// A sheet kept as the list of its drawing calls, so that a printer can take
// it whole when it ends, or drop it when it is abandoned. Far smaller and
// quicker to play than a platform picture.
#include "view/DrawingSurface.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korvane {

class RecordedSheet : public DrawingSurface {
public:
    RecordedSheet(int width, int height) : width_(width), height_(height) {}

    int width() const override { return width_; }
    int height() const override { return height_; }
    void setPen(Colour colour, int width) override;
    void setCopyMode() override;
    void setBrush(Colour colour, BrushStyle style) override;
    void setFont(Colour colour, const std::string &face, int pointSize) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    PixelPoint penPosition() const override { return pen_; }
    void ellipse(int x1, int y1, int x2, int y2) override;
    void rectangle(int x1, int y1, int x2, int y2) override;
    void arc(int x1, int y1, int x2, int y2, RayPoint start, RayPoint end) override;
    void pie(int x1, int y1, int x2, int y2, RayPoint start, RayPoint end) override;
    void polygon(std::span<const PixelPoint> points) override;
    void floodFill(int x, int y, Colour colour) override;
    // A sheet in the making cannot be read back.
    Colour getPixel(int, int) const override { return colours::White; }
    void copyRect(PixelRect, const DrawingSurface &, PixelRect) override {}
    void stretchDraw(PixelRect, const DrawingSurface &) override {}
    void textOut(int x, int y, const std::string &text) override;

    // Draws every recorded call onto `page`, in order.
    void playOnto(DrawingSurface &page) const;
    std::size_t size() const { return calls_.size(); }

private:
    enum class Op : std::uint8_t {
        Pen,
        CopyMode,
        Brush,
        Font,
        Move,
        Line,
        Ellipse,
        Rectangle,
        Arc,
        Pie,
        Polygon,
        Fill,
        Text
    };
    struct Call {
        Op op;
        std::uint8_t style = 0;
        Colour colour = 0;
        std::int32_t a = 0, b = 0, c = 0, d = 0;  // box, point, or first/count of the extra data
    };
    void add(Op op, int a = 0, int b = 0, int c = 0, int d = 0, Colour colour = 0, std::uint8_t style = 0);

    int width_, height_;
    PixelPoint pen_;
    std::vector<Call> calls_;
    std::vector<PixelPoint> points_;  // polygon vertices
    std::vector<RayPoint> rays_;      // arc and pie radials, two per call
    std::vector<std::string> texts_;  // texts and font faces
};

}  // namespace korvane
