// Drawings whose coordinates span (almost) nothing are fitted by what they
// draw: the pad or hole shows whole, with background around it.
#include "drill/DrillReader.h"
#include "gerber/GerberLoadSupport.h"
#include "platform/RasterSurface.h"
#include "view/ViewControl.h"

#include <QImage>
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

using namespace korvane;
using korvane::testing::FakePrompter;

namespace {

// A drawing area that keeps the raster it is shown, at 0.25 mm a pixel.
class RasterHost : public PictureHost {
public:
    int w = 640, h = 480;
    std::unique_ptr<DrawingSurface> shown;

    int pictureWidth() const override { return w; }
    int pictureHeight() const override { return h; }
    void setPictureSize(int width, int height) override
    {
        w = width;
        h = height;
    }
    void clearPicture() override { shown.reset(); }
    std::unique_ptr<DrawingSurface> createRaster(int width, int height) override
    {
        return std::make_unique<RasterSurface>(width, height);
    }
    void showRaster(std::unique_ptr<DrawingSurface> raster) override { shown = std::move(raster); }
    double screenMmPerPixelX() const override { return 0.25; }
    double screenMmPerPixelY() const override { return 0.25; }

    QImage picture() const
    {
        return static_cast<RasterSurface &>(*shown).image().convertToFormat(QImage::Format_RGB32);
    }
};

struct PaintedBox {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    long pixels = 0;
};

PaintedBox paintedBoxOf(const QImage &picture)
{
    PaintedBox box;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) != qRgb(255, 255, 255)) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
                ++box.pixels;
            }
    return box;
}

// The drawing is whole on the picture, well inside its border, and more
// than a dot but far less than the picture.
void expectShownWholeWithBackground(const QImage &picture)
{
    const PaintedBox box = paintedBoxOf(picture);
    ASSERT_GT(box.pixels, 0) << "nothing drawn";
    EXPECT_GT(box.left, 20);
    EXPECT_GT(box.top, 20);
    EXPECT_LT(box.right, picture.width() - 20);
    EXPECT_LT(box.bottom, picture.height() - 20);
    EXPECT_GE(box.right - box.left, 4);
    EXPECT_LT(box.right - box.left, picture.width() / 2);
    EXPECT_LT(box.bottom - box.top, picture.height() / 2);
}

std::string flashes(int count, int spreadInTenthMicrons)
{
    std::ostringstream g;
    g << "%FSLAX24Y24*%\n%MOMM*%\n%ADD10C,1.5*%\nD10*\n";
    for (int i = 0; i < count; ++i)
        g << 'X' << 100000 + i % (spreadInTenthMicrons + 1) << 'Y' << 100000 + (i * 7) % (spreadInTenthMicrons + 1)
          << "D03*\n";
    g << "M02*\n";
    return g.str();
}

void fitGerber(const std::string &file, RasterHost &host)
{
    korvane::testing::GerberLoadFixture f;
    f.doc.layers.slot(1).visible = 1;
    f.doc.layers.slot(1).colour = colours::Red;
    f.loadX(file);
    ASSERT_TRUE(f.prompter.shown.empty()) << f.prompter.shown.front().text;
    ViewController view(f.doc, f.prompter, host);
    view.fitLoadedDrawing("");
}

}  // namespace

TEST(FitToDrawing, PadsWithinMicrometresShowWhole)
{
    struct Case {
        const char *what;
        int count, spread;
    };
    // One pad at a point (its extents reach to the origin) and clusters of
    // flashes whose coordinates differ by up to 5 micrometres.
    for (const Case &c :
         {Case{"one pad", 1, 0}, Case{"two pads 1 um apart", 2, 10}, Case{"10,000 pads within 5 um", 10000, 50}}) {
        SCOPED_TRACE(c.what);
        RasterHost host;
        fitGerber(flashes(c.count, c.spread), host);
        ASSERT_TRUE(host.shown);
        expectShownWholeWithBackground(host.picture());
    }
}

TEST(FitToDrawing, OneDrillHoleShowsWhole)
{
    for (const char *holes : {"X10.0Y5.0\n", "X10.0Y5.0\nX10.002Y5.001\n"}) {
        SCOPED_TRACE(holes);
        korvane::testing::TempDir dir;
        Document doc;
        doc.layers.slot(1).visible = 1;
        doc.layers.slot(1).colour = colours::Blue;
        doc.layers.slot(1).fileKind = "nc";
        doc.layers.slot(1).pendingPath =
            dir.write("one.drl", std::string("M48\nMETRIC,TZ\nT1C0.8\n%\nT1\n") + holes + "M30\n");
        DrillInFormat format;
        FakePrompter prompter;
        korvane::testing::FakeStatus status;
        DrillLoadContext ctx{doc, format, prompter, status};
        loadDrillFiles(ctx, pendingDrillFiles(doc.layers));
        ASSERT_EQ(doc.drillLoaded, 1);
        RasterHost host;
        ViewController view(doc, prompter, host);
        view.fitLoadedDrawing("");
        ASSERT_TRUE(host.shown);
        expectShownWholeWithBackground(host.picture());
    }
}
