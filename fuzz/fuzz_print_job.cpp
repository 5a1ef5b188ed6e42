// The Gerber print job over arbitrary Gerber input, drawn onto a page that
// only checks its calls. The first byte picks the sheet's options.
#include "FuzzSupport.h"
#include "print/GerberPrintJob.h"

#include <cstdio>
#include <fstream>
#include <unistd.h>

using namespace korvane;

namespace {

class CheckedPage : public DrawingSurface {
public:
    int width() const override { return 800; }
    int height() const override { return 1100; }
    void setPen(Colour, int) override {}
    void setCopyMode() override {}
    void setBrush(Colour, BrushStyle style) override { fuzz::check(static_cast<int>(style) <= 2); }
    void setFont(Colour, const std::string &, int) override {}
    void moveTo(int, int) override {}
    void lineTo(int, int) override {}
    PixelPoint penPosition() const override { return {}; }
    void ellipse(int, int, int, int) override {}
    void rectangle(int, int, int, int) override {}
    void arc(int, int, int, int, RayPoint, RayPoint) override {}
    void pie(int, int, int, int, RayPoint, RayPoint) override {}
    void polygon(std::span<const PixelPoint> points) override { fuzz::check(!points.empty()); }
    void floodFill(int, int, Colour) override {}
    Colour getPixel(int, int) const override { return 0; }
    void copyRect(PixelRect, const DrawingSurface &, PixelRect) override {}
    void stretchDraw(PixelRect, const DrawingSurface &) override {}
    void textOut(int, int, const std::string &) override {}
};

class CheckedPrinter : public PrintDevice {
public:
    CheckedPage sheet;
    bool open = false;
    bool choosePrinter() override { return true; }
    PrinterMetrics metrics() const override { return {200, 287, 800, 1100, 800, 1100}; }
    void beginDocument(const std::string &) override
    {
        fuzz::check(!open);
        open = true;
    }
    void endDocument() override
    {
        fuzz::check(open);
        open = false;
    }
    void abortDocument() override
    {
        fuzz::check(open);
        open = false;
    }
    void printLine(const std::string &) override {}
    DrawingSurface *page() override { return open ? &sheet : nullptr; }
};

class NoStatus : public StatusSink {
public:
    void setStatus(const std::string &) override {}
    void clearStatus() override {}
    void setBusy(bool) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t options = data[0];
    // One file per process, removed when the run ends.
    static const struct ScratchFile {
        std::string path = "/tmp/korvane-fuzz-print-" + std::to_string(::getpid()) + ".gbr";
        ~ScratchFile() { std::remove(path.c_str()); }
    } scratch;
    const std::string &path = scratch.path;
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(data + 1), static_cast<std::streamsize>(size - 1));
    }
    GerberPrintGrid grid;
    grid.file(1) = path;
    grid.cell(1, gridcol::File) = "f.gbr";
    grid.cell(1, gridcol::Mirror) = options & 1 ? gridval::Required : "";
    grid.cell(1, gridcol::Polarity) = options & 2 ? gridval::Negative : "";
    if (options & 4) {
        // The same file composed over itself.
        grid.cell(1, gridcol::sign(0)) = options & 8 ? gridval::Minus : gridval::Plus;
        grid.cell(1, gridcol::row(0)) = " 1";
    }
    GerberPrintSettings settings;
    settings.mode = options & 16 ? PrintMode::Color : PrintMode::Mono;
    settings.scale.mode = options & 32 ? ScaleMode::Automatic : ScaleMode::Given;
    settings.regionFill = options & 64 ? RegionFillMode::Hatched : RegionFillMode::Solid;
    ApertureTable table;
    MacroLibrary library;
    GerberInFormat format;
    format.dialect = options & 128 ? GerberDialect::Rs274X : GerberDialect::Rs274D;
    fuzz::QuietPrompter prompter;
    NoStatus status;
    SilentProgress progress;
    CheckedPrinter printer;
    GerberPrintContext ctx{grid, settings, table, library, format, prompter, status, progress, printer};
    runGerberPrint(ctx);
    fuzz::check(!printer.open);
    return 0;
}
