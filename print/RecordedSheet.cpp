#include "print/RecordedSheet.h"

namespace korvane {

void RecordedSheet::add(Op op, int a, int b, int c, int d, Colour colour, std::uint8_t style)
{
    calls_.push_back({op, style, colour, a, b, c, d});
}

void RecordedSheet::setPen(Colour colour, int width) { add(Op::Pen, width, 0, 0, 0, colour); }
void RecordedSheet::setCopyMode() { add(Op::CopyMode); }
void RecordedSheet::setBrush(Colour colour, BrushStyle style)
{
    add(Op::Brush, 0, 0, 0, 0, colour, static_cast<std::uint8_t>(style));
}
void RecordedSheet::setFont(Colour colour, const std::string &face, int pointSize)
{
    add(Op::Font, static_cast<int>(texts_.size()), pointSize, 0, 0, colour);
    texts_.push_back(face);
}
void RecordedSheet::moveTo(int x, int y)
{
    pen_ = {x, y};
    add(Op::Move, x, y);
}
void RecordedSheet::lineTo(int x, int y)
{
    pen_ = {x, y};
    add(Op::Line, x, y);
}
void RecordedSheet::ellipse(int x1, int y1, int x2, int y2) { add(Op::Ellipse, x1, y1, x2, y2); }
void RecordedSheet::rectangle(int x1, int y1, int x2, int y2) { add(Op::Rectangle, x1, y1, x2, y2); }
void RecordedSheet::arc(int x1, int y1, int x2, int y2, RayPoint start, RayPoint end)
{
    add(Op::Arc, x1, y1, x2, y2, static_cast<Colour>(rays_.size()));
    rays_.push_back(start);
    rays_.push_back(end);
}
void RecordedSheet::pie(int x1, int y1, int x2, int y2, RayPoint start, RayPoint end)
{
    add(Op::Pie, x1, y1, x2, y2, static_cast<Colour>(rays_.size()));
    rays_.push_back(start);
    rays_.push_back(end);
}
void RecordedSheet::polygon(std::span<const PixelPoint> points)
{
    add(Op::Polygon, static_cast<int>(points_.size()), static_cast<int>(points.size()));
    points_.insert(points_.end(), points.begin(), points.end());
}
void RecordedSheet::floodFill(int x, int y, Colour colour) { add(Op::Fill, x, y, 0, 0, colour); }
void RecordedSheet::textOut(int x, int y, const std::string &text)
{
    add(Op::Text, x, y, static_cast<int>(texts_.size()));
    texts_.push_back(text);
}

void RecordedSheet::playOnto(DrawingSurface &page) const
{
    for (const Call &c : calls_) {
        switch (c.op) {
        case Op::Pen: page.setPen(c.colour, c.a); break;
        case Op::CopyMode: page.setCopyMode(); break;
        case Op::Brush: page.setBrush(c.colour, static_cast<BrushStyle>(c.style)); break;
        case Op::Font: page.setFont(c.colour, texts_[static_cast<size_t>(c.a)], c.b); break;
        case Op::Move: page.moveTo(c.a, c.b); break;
        case Op::Line: page.lineTo(c.a, c.b); break;
        case Op::Ellipse: page.ellipse(c.a, c.b, c.c, c.d); break;
        case Op::Rectangle: page.rectangle(c.a, c.b, c.c, c.d); break;
        case Op::Arc: page.arc(c.a, c.b, c.c, c.d, rays_[c.colour], rays_[c.colour + 1]); break;
        case Op::Pie: page.pie(c.a, c.b, c.c, c.d, rays_[c.colour], rays_[c.colour + 1]); break;
        case Op::Polygon:
            page.polygon(std::span<const PixelPoint>(points_.data() + c.a, static_cast<size_t>(c.b)));
            break;
        case Op::Fill: page.floodFill(c.a, c.b, c.colour); break;
        case Op::Text: page.textOut(c.a, c.b, texts_[static_cast<size_t>(c.c)]); break;
        }
    }
}

}  // namespace korvane
