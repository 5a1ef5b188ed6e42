// A mixed board (Gerber layers with arcs, regions and macros, and a drill
// file) must keep drawing the same picture and saving the same workspace
// bytes, however the display list is held in memory.
#include "core/Document.h"
#include "core/LayerSelection.h"
#include "core/WorkspaceFile.h"
#include "drill/DrillReader.h"
#include "gerber/GerberReader.h"
#include "platform/PiecePainting.h"
#include "platform/RasterSurface.h"
#include "support/GerberSession.h"
#include "view/LayerPainting.h"
#include "view/Renderer.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>

using namespace korvane;

namespace {

const std::string Data = KORVANE_TEST_DATA;

std::string readBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct MixedBoard : korvane::testing::GerberSession {
    MixedBoard()
    {
        load({{1, Data + "/gerber/copper_mm.gbr"},
              {2, Data + "/gerber/silk_inch.gbr"},
              {3, Data + "/gerber/gerbv/am-test.gbx"}});
        assignLayerFile(doc.layers.slot(4), Data + "/drill/board.drl", LayerLoadKind::Drill);
        doc.keepExisting = 1;
        DrillLoadContext drill{doc, settings.drillIn, prompter, status, nullptr};
        loadDrillFiles(drill, pendingDrillFiles(doc.layers));
    }

    // The board fitted with a margin, or zoom times closer about its
    // centre; painted as the window paints it or in pieces on threads.
    QImage picture(RegionFill fill = RegionFill::Solid, double zoom = 1, int threads = 1)
    {
        for (int n = 1; n <= 4; ++n)
            doc.layers.slot(n).visible = 1;
        constexpr int W = 640, H = 480;
        RasterSurface raster(W, H);
        PixelMapping map;
        // Stored y is the negated board Y.
        map.mmPerPixelX = map.mmPerPixelY = std::max(doc.extentX / (W - 40), doc.extentY / (H - 40)) / zoom;
        map.offsetX = static_cast<int>(std::floor((doc.minX + doc.extentX / 2) / map.mmPerPixelX)) - W / 2;
        map.offsetY = static_cast<int>(std::floor(-(doc.minY + doc.extentY / 2) / map.mmPerPixelY)) - H / 2;
        if (zoom == 1) {
            map.offsetX = static_cast<int>(std::floor(doc.minX / map.mmPerPixelX)) - 20;
            map.offsetY = static_cast<int>(std::floor(-(doc.minY + doc.extentY) / map.mmPerPixelY)) - 20;
        }
        const LayerLook look = LayerLook::from(doc.layers);
        if (threads == 1)
            paintLayers(raster, doc.displayList, look, fill, map);
        else
            paintInPieces(raster, doc.displayList, look, fill, map, threads);
        return raster.takeImage().convertToFormat(QImage::Format_RGB32);
    }
};

TEST(GoldenBoard, DrawsTheStoredPictureAndSavesTheStoredWorkspace)
{
    MixedBoard board;
    ASSERT_GT(board.doc.displayList.main().size(), 100u);

    const QImage picture = board.picture();
    const std::string goldenPng = Data + "/golden/mixed_board.png";
    const std::string goldenGdb = Data + "/golden/mixed_board.gdb";
    if (std::getenv("KORVANE_WRITE_GOLDEN")) {
        picture.save(QString::fromStdString(goldenPng));
        std::ofstream(goldenGdb, std::ios::binary) << workspaceBytes(board.doc);
    }
    const QImage golden = QImage(QString::fromStdString(goldenPng)).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(golden.size(), picture.size());
    int differing = 0;
    for (int y = 0; y < golden.height(); ++y)
        for (int x = 0; x < golden.width(); ++x)
            differing += golden.pixel(x, y) != picture.pixel(x, y);
    EXPECT_EQ(differing, 0);

    const std::string bytes = readBytes(goldenGdb);
    ASSERT_FALSE(bytes.empty());
    EXPECT_TRUE(workspaceBytes(board.doc) == bytes) << "the saved workspace differs from the stored one";

    // Read back and saved again, the workspace is the same to the byte.
    Document again;
    ASSERT_TRUE(applyWorkspace(readWorkspace(bytes), again));
    EXPECT_TRUE(workspaceBytes(again) == bytes);
}

// A batch picture is painted in pieces on several threads and laid
// together: each piece must go on exactly where the one pass stood (the pen,
// an open polygon, the underlay first), and what one piece leaves unpainted
// must show the pieces below it.
TEST(GoldenBoard, PiecesOnThreadsPaintTheOnePassPicture)
{
    MixedBoard board;
    ASSERT_TRUE(paintsWithoutReading(board.doc.displayList));
    const LayerLook look = LayerLook::from(board.doc.layers);
    ASSERT_EQ(passCuts(board.doc.displayList, look, 3).size(), 2u);
    for (RegionFill fill : {RegionFill::Solid, RegionFill::Hatch})
        for (double zoom : {1.0, 6.0}) {
            const QImage whole = board.picture(fill, zoom, 1);
            for (int threads : {2, 3, 16})
                EXPECT_TRUE(board.picture(fill, zoom, threads) == whole) << "zoom " << zoom << ", " << threads;
        }
}

}  // namespace
