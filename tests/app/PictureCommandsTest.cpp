#include "app/PictureCommands.h"
#include "app/DrawingArea.h"
#include "core/TextFile.h"
#include "print/RecordingPage.h"
#include "support/MainWindowFixture.h"
#include "view/BmpImage.h"

#include <QAction>
#include <QPainter>
#include <gtest/gtest.h>

#include <cstring>

using namespace korvane;
using namespace korvane::testing;

namespace {

// Left half black, right half red.
QImage halves(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB16);
    img.fill(Qt::black);
    QPainter(&img).fillRect(w / 2, 0, w - w / 2, h, Qt::red);
    return img;
}

TEST(PictureCommandsTest, VisiblePartFillsTheWholeRaster)
{
    // Scrolled to the right half and as wide as it: all red, at full size.
    QImage part = visiblePart(halves(200, 100), {100, 0}, {100, 100});
    ASSERT_EQ(part.size(), QSize(200, 100));
    for (QPoint p : {QPoint(0, 0), QPoint(199, 99), QPoint(50, 50)})
        EXPECT_EQ(part.pixelColor(p), QColor(Qt::red)) << p.x();
    EXPECT_TRUE(visiblePart(QImage(), {0, 0}, {10, 10}).isNull());
}

TEST(PictureCommandsTest, HardCopyFrameAndPage)
{
    // Twice as wide as high: the page's width, half its height less an inch.
    const PixelRect f = hardCopyFrame(4724, 6780, 600, 200, 100);
    EXPECT_EQ(f.left, 0);
    EXPECT_EQ(f.right, 4724);
    EXPECT_EQ(f.bottom, 3390 - 600);

    RecordingPrinter printer;
    FakePrompter prompter;
    FakeStatus status;
    EXPECT_TRUE(hardCopy(halves(200, 100), printer, prompter, status));
    ASSERT_EQ(printer.sheets.size(), 1u);
    const auto &figures = printer.sheets[0]->figures;
    ASSERT_EQ(figures.size(), 2u);
    EXPECT_EQ(figures[0].op, "rectangle");
    EXPECT_EQ(figures[0].points, (std::vector<PixelPoint>{{0, 0}, {4724, 3390 - 600}}));
    EXPECT_EQ(figures[0].style, BrushStyle::Hollow);
    EXPECT_EQ(figures[0].pen, colours::Black);
    EXPECT_EQ(figures[1].op, "stretch");
    EXPECT_EQ(figures[1].points, (std::vector<PixelPoint>{{10, 10}, {4714, 3390 - 610}}));

    printer.confirm = false;
    EXPECT_FALSE(hardCopy(halves(200, 100), printer, prompter, status));
    EXPECT_EQ(printer.sheets.size(), 1u);
}

TEST_F(MainFixture, SaveAndLoadImage)
{
    auto window = makeWindow();
    const std::string path = dir.file("picture.bmp");
    FakePrompter p;
    FakeFilePicker pick;
    FakeStatus s;
    pick.saveAnswers.push_back(path);
    saveImage(halves(30, 20), p, pick, s);
    ASSERT_EQ(pick.asked.size(), 1u);
    EXPECT_EQ(pick.asked[0].defaultExtension, "bmp");
    EXPECT_TRUE(pick.asked[0].confirmOverwrite);
    const std::string bytes = readFileBytes(path);
    std::int32_t resolution[2];
    std::memcpy(resolution, bytes.data() + 38, 8);
    EXPECT_EQ(resolution[0], 23616);
    EXPECT_EQ(resolution[1], 23616);
    EXPECT_EQ(bytes[28], 8);

    // Loading it into the window: the area takes its size and the three
    // picture commands are enabled, without any data loaded.
    EXPECT_FALSE(window->action("saveImageAction")->isEnabled());
    picker.openAnswers.push_back(path);
    window->action("loadImageAction")->trigger();
    EXPECT_EQ(window->drawingArea()->picture().size(), QSize(30, 20));
    EXPECT_EQ(window->drawingArea()->picture().pixelColor(29, 0), QColor(Qt::red));
    for (const char *name : {"copyToClipboardAction", "saveImageAction", "screenHardCopyAction"})
        EXPECT_TRUE(window->action(name)->isEnabled()) << name;
    EXPECT_FALSE(window->action("fitAllAction")->isEnabled());

    // Not a bitmap: refused with its message, the picture stays.
    picker.openAnswers.push_back(dir.write("x.bmp", "not a picture"));
    window->action("loadImageAction")->trigger();
    EXPECT_EQ(prompter.texts().back(), std::string(BmpNotABitmap));
    EXPECT_EQ(window->drawingArea()->picture().size(), QSize(30, 20));
}

}  // namespace
