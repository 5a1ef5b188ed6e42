#pragma once
// Ports and a picture host for benchmarks: no questions, no status, a
// 1280 x 960 area at 0.25 mm per pixel.
#include "core/Document.h"
#include "core/Ports.h"
#include "gerber/GerberReader.h"
#include "platform/RasterSurface.h"
#include "view/ViewControl.h"

#include <memory>
#include <string>

namespace korvane::bench {

class QuietPrompter : public Prompter {
public:
    Answer show(MessageKind, const std::string &, Buttons b) override
    {
        return b == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    }
};

class NoStatus : public StatusSink {
public:
    void setStatus(const std::string &) override {}
    void clearStatus() override {}
    void setBusy(bool) override {}
};

class OffscreenHost : public PictureHost {
public:
    int pictureWidth() const override { return 1280; }
    int pictureHeight() const override { return 960; }
    void setPictureSize(int, int) override {}
    void clearPicture() override {}
    std::unique_ptr<DrawingSurface> createRaster(int w, int h) override
    {
        return std::make_unique<RasterSurface>(w, h);
    }
    void showRaster(std::unique_ptr<DrawingSurface>) override {}
    double screenMmPerPixelX() const override { return 0.25; }
    double screenMmPerPixelY() const override { return 0.25; }
};

// Loads one RS-274X file into layer 1 (lime, visible), every question
// answered Yes.
inline void loadBoard(Document &doc, const std::string &path)
{
    ApertureTable table;
    MacroLibrary library;
    GerberInFormat format;
    format.dialect = GerberDialect::Rs274X;
    QuietPrompter prompter;
    NoStatus status;
    doc.layers.slot(1).colour = colours::Lime;
    doc.layers.slot(1).visible = 1;
    GerberLoadContext context{doc, table, library, format, prompter, status, nullptr};
    loadGerberFiles(context, {{1, path}});
}

}  // namespace korvane::bench
