// A batch picture painted while the load appends must be the picture the
// one pass paints after the load, or not be used at all.
#include "platform/LoadPainting.h"
#include "core/Document.h"
#include "gerber/GerberReader.h"
#include "platform/RasterSurface.h"
#include "support/GerberSession.h"
#include "support/TempDir.h"
#include "view/Renderer.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>

using namespace korvane;
using korvane::testing::FakePrompter;
using korvane::testing::GerberSession;
using korvane::testing::TempDir;

namespace {

const std::string Data = KORVANE_TEST_DATA;

// Strokes, arcs, flashes, clear strokes and regions (in file order), each
// kind over more than one chunk of items.
std::string boardText()
{
    std::string t = "%FSLAX33Y33*%\r\n%MOMM*%\r\n%ADD10C,0.200*%\r\n%ADD11C,1.500*%\r\n%ADD12R,1.200X0.800*%\r\n"
                    "%ADD13O,1.500X0.900*%\r\nG01*\r\n";
    auto xy = [](int x, int y) { return "X" + std::to_string(x) + "Y" + std::to_string(y); };
    for (int i = 0; i < 3000; ++i) {
        const int x = (i * 7919) % 150000, y = (i * 104729) % 100000;
        t += "D10*\r\n" + xy(x, y) + "D02*\r\n" + xy(x + 3000, y + (i % 7) * 500) + "D01*\r\n";
        t += "D1" + std::to_string(1 + i % 3) + "*\r\n" + xy(y, x % 100000) + "D03*\r\n";
        if (i % 5 == 0)
            t += "D11*\r\nG75*\r\n" + xy(x, y) + "D02*\r\nG03" + xy(x - 2000, y + 2000) + "I-2000J0D01*\r\nG01*\r\n";
        if (i % 2 == 0)
            t += "G36*\r\n" + xy(x, y) + "D02*\r\n" + xy(x + 2000, y) + "D01*\r\n" + xy(x + 2000, y + 1500) +
                 "D01*\r\n" + xy(x, y + 1500) + "D01*\r\n" + xy(x, y) + "D01*\r\nG37*\r\n";
        if (i % 11 == 0)
            t += "%LPC*%\r\nD10*\r\n" + xy(x, y) + "D02*\r\n" + xy(x + 1000, y + 1000) + "D01*\r\n%LPD*%\r\n";
    }
    return t + "M02*\r\n";
}

PixelMapping fitted(const Document &doc, int w, int h)
{
    PixelMapping map;
    map.mmPerPixelX = map.mmPerPixelY = std::max(doc.extentX / (w - 40), doc.extentY / (h - 40));
    map.offsetX = static_cast<int>(std::floor(doc.minX / map.mmPerPixelX)) - 20;
    map.offsetY = static_cast<int>(std::floor(-(doc.minY + doc.extentY) / map.mmPerPixelY)) - 20;
    return map;
}

QImage onePass(const DisplayList &list, const PictureSetup &setup)
{
    RasterSurface raster(setup.width, setup.height);
    Renderer(raster, setup.look, setup.fill, setup.mapping).paint(list);
    return raster.takeImage();
}

// Starts the painting once the pre-scan has set the extents, as the batch
// front end does.
struct PaintAfterPreScan : GerberLoadObserver {
    Document &doc;
    PictureSetup setup;
    std::unique_ptr<PaintingWhileLoading> painting;
    PaintAfterPreScan(Document &d, RegionFill fill) : doc(d) { setup.fill = fill; }
    void preScanDone() override
    {
        setup.width = 800;
        setup.height = 600;
        setup.look = LayerLook::from(doc.layers);
        setup.mapping = fitted(doc, setup.width, setup.height);
        painting = std::make_unique<PaintingWhileLoading>(doc.displayList, setup);
    }
};

TEST(LoadPainting, FollowsAGerberLoadToTheOnePassPicture)
{
    TempDir dir;
    const std::string path = dir.write("board.gbr", boardText());
    for (RegionFill fill : {RegionFill::Solid, RegionFill::Hatch}) {
        GerberSession session;
        Document &doc = session.doc;
        FakePrompter &prompter = session.prompter;
        doc.layers.slot(1).visible = 1;
        PaintAfterPreScan observer(doc, fill);
        session.load({{1, path}}, &observer);
        ASSERT_TRUE(prompter.shown.empty()) << prompter.shown.front().text;
        ASSERT_TRUE(observer.painting);
        ASSERT_GT(doc.displayList.main().size(), 2 * ItemSequence::ChunkSize);
        // The load's own extents replace the pre-scan's; the board keeps
        // its set-up only when they fit alike.
        PictureSetup after = observer.setup;
        after.mapping = fitted(doc, after.width, after.height);
        ASSERT_EQ(after, observer.setup);

        RasterSurface raster(after.width, after.height);
        ASSERT_TRUE(observer.painting->finishInto(raster, after));
        EXPECT_TRUE(raster.takeImage() == onePass(doc.displayList, after)) << "fill " << int(fill);
    }
}

// An item of layer 1 in its colour, at (x, y).
DisplayItem layerItem(std::int32_t kind, double x = 0, double y = 0)
{
    DisplayItem d;
    d.kind = kind;
    d.x1 = x;
    d.y1 = y;
    d.layer = 1;
    d.colourLayer = 1;
    d.width = 0.2;
    return d;
}

// Appended item by item, over more than a chunk: a move and a stroke per
// step, a region in the underlay now and then.
void appendBoard(DisplayList &list, int steps, std::int32_t firstMainKind = 13, int regionsEvery = 50)
{
    for (int i = 0; i < steps; ++i) {
        const double x = (i * 37) % 200, y = (i * 53) % 150;
        list.append(layerItem(i == 0 ? firstMainKind : 13, x, y));
        list.append(layerItem(14, x + 5, y + 3));
        if (regionsEvery > 0 && i % regionsEvery == 0) {
            for (auto [dx, dy] : {std::pair{0, 0}, {4, 0}, {4, 4}, {0, 0}})
                list.append(layerItem(48, x + dx, y + dy));
            list.append(layerItem(49));
        }
    }
}

TEST(LoadPainting, IsNotUsedUnlessItIsTheOnePass)
{
    PictureSetup setup;
    setup.width = 320;
    setup.height = 240;
    setup.look.colour[1] = 0x0000FF;
    setup.look.visible[1] = true;
    setup.mapping.mmPerPixelX = setup.mapping.mmPerPixelY = 0.8;
    setup.mapping.offsetY = -220;

    struct Case {
        const char *what;
        bool used;
        // Before the painting starts, during the load, and the set-up the
        // picture is asked for with.
        std::function<void(DisplayList &)> before, during;
        std::function<void(PictureSetup &)> asked;
    };
    auto nothing = [](DisplayList &) {};
    auto same = [](PictureSetup &) {};
    const Case cases[] = {
        {"a board followed to the end", true, nothing, [](DisplayList &l) { appendBoard(l, 3000); }, same},
        {"an underlay only after the last whole chunk", true, nothing,
         [](DisplayList &l) {
             appendBoard(l, 3000, 13, 0);
             appendBoard(l, 1);
         },
         same},
        {"the picture asked for another way", false, nothing, [](DisplayList &l) { appendBoard(l, 3000); },
         [](PictureSetup &s) { s.mapping.offsetX += 1; }},
        {"the list not empty at the start", false, [](DisplayList &l) { appendBoard(l, 1); },
         [](DisplayList &l) { appendBoard(l, 3000); }, same},
        {"the list cleared during the load", false, nothing,
         [](DisplayList &l) {
             appendBoard(l, 3000);
             l.discard();
             appendBoard(l, 3000);
         },
         same},
        {"a flood fill, which reads the pixels", false, nothing,
         [](DisplayList &l) {
             appendBoard(l, 3000);
             l.append(layerItem(17));
         },
         same},
        {"a main sequence that does not start with a move", false, nothing,
         [](DisplayList &l) { appendBoard(l, 3000, 14); }, same},
        {"a hole, which needs the layer's own image", false, nothing,
         [](DisplayList &l) {
             appendBoard(l, 3000);
             DisplayItem hole = layerItem(11);
             hole.colourLayer = 0;
             l.append(hole);
         },
         same},
        {"an underlay that leaves a polygon open", false, nothing,
         [](DisplayList &l) {
             appendBoard(l, 3000);
             l.append(layerItem(48));
         },
         same},
    };
    for (const Case &c : cases) {
        DisplayList list;
        c.before(list);
        PictureSetup asked = setup;
        c.asked(asked);
        bool used;
        RasterSurface raster(setup.width, setup.height);
        {
            PaintingWhileLoading painting(list, setup);
            c.during(list);
            used = painting.finishInto(raster, asked);
        }
        EXPECT_EQ(used, c.used) << c.what;
        const QImage got = raster.takeImage();
        if (used) {
            EXPECT_TRUE(got == onePass(list, asked)) << c.what;
        } else {
            QImage white(got.size(), got.format());
            white.fill(Qt::white);
            EXPECT_TRUE(got == white) << c.what << ": the raster was painted";
        }
    }
}

}  // namespace
