#pragma once
// A printer page that logs every figure in dots with the pen, brush and font
// it was drawn with, and a printer that hands out such pages.
#include "core/PrintDevice.h"
#include "view/DrawingSurface.h"

#include <memory>
#include <string>
#include <vector>

namespace korvane::testing {

struct PageFigure {
    std::string op;  // line, ellipse, rectangle, arc, pie, polygon, text, stretch
    std::vector<PixelPoint> points;
    RayPoint start{}, end{};
    Colour pen = 0;
    int penWidth = 0;
    Colour brush = 0;
    BrushStyle style = BrushStyle::Solid;
    Colour font = 0;
    std::string text;
};

class RecordingPage : public DrawingSurface {
public:
    std::vector<PageFigure> figures;

    int width() const override { return 5000; }
    int height() const override { return 7000; }
    void setPen(Colour c, int w) override { pen_ = c, penWidth_ = w; }
    void setCopyMode() override {}
    void setBrush(Colour c, BrushStyle s) override { brush_ = c, style_ = s; }
    void setFont(Colour c, const std::string &, int) override { font_ = c; }
    void moveTo(int x, int y) override { at_ = {x, y}; }
    void lineTo(int x, int y) override
    {
        add("line", {at_, {x, y}});
        at_ = {x, y};
    }
    PixelPoint penPosition() const override { return at_; }
    void ellipse(int a, int b, int c, int d) override { add("ellipse", {{a, b}, {c, d}}); }
    void rectangle(int a, int b, int c, int d) override { add("rectangle", {{a, b}, {c, d}}); }
    void arc(int a, int b, int c, int d, RayPoint s, RayPoint e) override
    {
        add("arc", {{a, b}, {c, d}});
        figures.back().start = s;
        figures.back().end = e;
    }
    void pie(int a, int b, int c, int d, RayPoint s, RayPoint e) override
    {
        add("pie", {{a, b}, {c, d}});
        figures.back().start = s;
        figures.back().end = e;
    }
    void polygon(std::span<const PixelPoint> p) override { add("polygon", {p.begin(), p.end()}); }
    void floodFill(int, int, Colour) override {}
    Colour getPixel(int, int) const override { return 0xFFFFFF; }
    void copyRect(PixelRect, const DrawingSurface &, PixelRect) override {}
    void stretchDraw(PixelRect r, const DrawingSurface &) override
    {
        add("stretch", {{r.left, r.top}, {r.right, r.bottom}});
    }
    void textOut(int x, int y, const std::string &t) override
    {
        add("text", {{x, y}});
        figures.back().text = t;
    }

    std::vector<PageFigure> only(const std::string &op) const
    {
        std::vector<PageFigure> out;
        for (const auto &f : figures)
            if (f.op == op)
                out.push_back(f);
        return out;
    }

private:
    void add(const char *op, std::vector<PixelPoint> pts)
    {
        figures.push_back({op, std::move(pts), {}, {}, pen_, penWidth_, brush_, style_, font_, {}});
    }
    PixelPoint at_;
    Colour pen_ = 0, brush_ = 0, font_ = 0;
    int penWidth_ = 0;
    BrushStyle style_ = BrushStyle::Solid;
};

// A printer of 600 dots per inch on A4 (printable area 200 x 287 mm) whose
// documents are recorded pages.
class RecordingPrinter : public PrintDevice {
public:
    bool confirm = true;
    PrinterMetrics size{200.0, 287.0, 4724, 6780, 4724, 6780};
    std::vector<std::string> calls;
    std::vector<std::unique_ptr<RecordingPage>> sheets;  // ended documents
    std::unique_ptr<RecordingPage> current;
    bool landscape = false;

    bool choosePrinter() override
    {
        calls.push_back("choose");
        return confirm;
    }
    PrinterMetrics metrics() const override { return size; }
    void beginJob() override { calls.push_back("job"); }
    void endJob() override { calls.push_back("end job"); }
    void turnPage() override
    {
        landscape = !landscape;
        calls.push_back("turn");
    }
    void beginDocument(const std::string &title) override
    {
        calls.push_back("begin " + title);
        current = std::make_unique<RecordingPage>();
    }
    void endDocument() override
    {
        calls.push_back("end");
        if (current)
            sheets.push_back(std::move(current));
    }
    void abortDocument() override
    {
        calls.push_back("abort");
        current.reset();
    }
    void printLine(const std::string &) override {}
    DrawingSurface *page() override { return current.get(); }
};

}  // namespace korvane::testing
