// Each Gerber file is an image of its own: clear objects erase from their
// own file only, the holes of a flash show what lies beneath it, a negative
// file is drawn inverted, and the files are laid over one another in slot
// order. Files with none of these paint as the one pass always did.
#include "platform/PiecePainting.h"
#include "platform/RasterSurface.h"
#include "support/GerberSession.h"
#include "view/LayerPainting.h"
#include "view/Renderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace korvane;

namespace {

const std::string Layers = std::string(KORVANE_TEST_DATA) + "/gerber/layers/";

// 20 x 10 mm boards at 0.05 mm per pixel, board (0, 0) at column 20 and
// 20 rows above the bottom.
constexpr int W = 440, H = 240;
constexpr double MmPerPixel = 0.05;

PixelMapping boardMapping()
{
    PixelMapping map;
    map.mmPerPixelX = map.mmPerPixelY = MmPerPixel;
    map.offsetX = -20;
    map.offsetY = -(H - 20);
    return map;
}

struct Board : korvane::testing::GerberSession {
    explicit Board(const std::vector<GerberLoadFile> &files)
    {
        EXPECT_EQ(load(files).end, GerberLoadOutcome::End::Completed);
        for (const GerberLoadFile &f : files)
            doc.layers.slot(f.layer).visible = 1;
    }
    Colour colour(int layer) const { return quantise565(doc.layers.slot(layer).colour); }
    LayerLook look() const { return LayerLook::from(doc.layers); }

    // What the window shows.
    std::unique_ptr<RasterSurface> picture() const
    {
        auto raster = std::make_unique<RasterSurface>(W, H);
        paintLayers(*raster, doc.displayList, look(), RegionFill::Solid, boardMapping());
        return raster;
    }
};

// The colour at a board point (mm, Y up).
Colour at(const DrawingSurface &s, double x, double y)
{
    const PixelPoint p = boardMapping().point(x, -y);
    return s.getPixel(p.x, p.y);
}

bool samePixels(const RasterSurface &a, const RasterSurface &b) { return a.image() == b.image(); }

TEST(LayerImages, ClearObjectsEraseTheirOwnFileOnly)
{
    Board board({{1, Layers + "copper.gbr"}, {2, Layers + "clear_over_trace.gbr"}});
    const auto picture = board.picture();
    const Colour copper = board.colour(1), mask = board.colour(2);
    struct Probe {
        double x, y;
        Colour expected;
        const char *what;
    };
    const Probe probes[] = {
        {2, 5, mask, "the trace"},
        {18, 8, mask, "the dark strip"},
        {5, 5, copper, "a clear round pad over the trace shows the copper beneath"},
        {10, 5, copper, "a clear square pad clears its whole area"},
        {10, 6.2, copper, "a clear square pad clears its whole area, off the trace too"},
        {15, 8, copper, "a clear region clears its file's earlier drawing"},
        {15, 6.5, copper, "a clear region over bare copper"},
    };
    for (const Probe &p : probes)
        EXPECT_EQ(at(*picture, p.x, p.y), p.expected) << p.what << " at " << p.x << ", " << p.y;
}

TEST(LayerImages, HolesOfAFlashShowWhatLiesBeneathIt)
{
    Board board({{1, Layers + "holes_over_trace.gbr"}});
    const auto picture = board.picture();
    const Colour ink = board.colour(1);
    // A donut aperture at x 5 and a macro with an exposure-off square at
    // x 15, both over a 0.5 mm trace along y 5.
    for (const double x : {5.0, 15.0}) {
        EXPECT_EQ(at(*picture, x, 5), ink) << "the trace shows through the hole at x " << x;
        EXPECT_EQ(at(*picture, x, 5.4), colours::White) << "the hole beside the trace at x " << x;
        EXPECT_EQ(at(*picture, x, 6.2), ink) << "the pad around the hole at x " << x;
    }
    // Over copper on the layer beneath, the holes show the copper.
    Board stacked({{1, Layers + "copper.gbr"}, {2, Layers + "holes_over_trace.gbr"}});
    const auto both = stacked.picture();
    for (const double x : {5.0, 15.0}) {
        EXPECT_EQ(at(*both, x, 5.4), stacked.colour(1)) << "x " << x;
        EXPECT_EQ(at(*both, x, 5), stacked.colour(2)) << "x " << x;
    }
}

TEST(LayerImages, NegativeFileIsDrawnInvertedWithinItsExtents)
{
    Board board({{1, Layers + "negative.gbr"}});
    ASSERT_TRUE(board.doc.layers.slot(1).negative);
    const auto picture = board.picture();
    const Colour ink = board.colour(1);
    EXPECT_EQ(at(*picture, 10, 5), ink) << "bare film inside the extents";
    EXPECT_EQ(at(*picture, 5, 5), colours::White) << "a dark flash";
    EXPECT_EQ(at(*picture, 10, 9.8), colours::White) << "outside the extents";

    // Read again without %IPNEG the slot is positive.
    Board positive({{1, Layers + "holes_over_trace.gbr"}});
    EXPECT_FALSE(positive.doc.layers.slot(1).negative);
}

// The batch front end paints in pieces on threads when the one pass gives
// the picture, and the layered way otherwise: the same pixels either way.
TEST(LayerImages, BatchPicturesAreTheWindowsPicture)
{
    Board board(
        {{1, Layers + "copper.gbr"}, {2, Layers + "clear_over_trace.gbr"}, {3, Layers + "holes_over_trace.gbr"}});
    EXPECT_FALSE(paintsAsOnePass(board.doc.displayList, board.look()));
    const auto window = board.picture();
    RasterSurface pieces(W, H);
    paintInPieces(pieces, board.doc.displayList, board.look(), RegionFill::Solid, boardMapping(), 3);
    EXPECT_TRUE(samePixels(*window, pieces));
}

// Files with no clear object, hole or negative image paint exactly as the
// one pass in item order: several layers, hidden ones among them, the pen
// carried over from layer to layer.
TEST(LayerImages, FilesWithoutClearingPaintAsTheOnePass)
{
    const std::string Data = KORVANE_TEST_DATA;
    Board board({{1, Layers + "copper.gbr"},
                 {2, Data + "/gerber/silk_inch.gbr"},
                 {3, Data + "/gerber/gerbv/top-cop.gbx"},
                 {4, Data + "/gerber/gerbv/limit-ex.grb"},
                 {5, Data + "/gerber/stroked_pour.gbr"}});
    for (const bool hideSecond : {false, true}) {
        board.doc.layers.slot(2).visible = hideSecond ? 0 : 1;
        const LayerLook look = board.look();
        ASSERT_TRUE(paintsAsOnePass(board.doc.displayList, look));
        RasterSurface layered(W, H), onePass(W, H);
        PixelMapping map = boardMapping();
        map.mmPerPixelX = map.mmPerPixelY = 0.2;
        paintLayers(layered, board.doc.displayList, look, RegionFill::Hatch, map);
        Renderer(onePass, look, RegionFill::Hatch, map).paint(board.doc.displayList);
        EXPECT_TRUE(samePixels(layered, onePass)) << "second layer hidden: " << hideSecond;
    }
}

}  // namespace
