// RS-274X constructs as the operator sees them: pixels of a small board
// read from a few lines of Gerber, probed at board points.
#include "gerber/ApertureTable.h"
#include "gerber/GerberReader.h"
#include "gerber/MacroLibrary.h"
#include "platform/RasterSurface.h"
#include "support/FakePorts.h"
#include "support/TempDir.h"
#include "view/Renderer.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

constexpr double MmPerPixel = 0.1;
constexpr int Size = 400;  // 40 mm square

// Loads the file as layer 1 (red) and paints it with the board's lower-left
// corner at pixel row Size - 1.
struct Picture {
    Document doc;
    std::unique_ptr<RasterSurface> surface;

    explicit Picture(const std::string &gerber)
    {
        doc.layers.slot(1).colour = colours::Red;
        doc.layers.slot(1).visible = 1;
        korvane::testing::TempDir dir;
        ApertureTable table;
        MacroLibrary library;
        GerberInFormat format;
        format.dialect = GerberDialect::Rs274X;
        korvane::testing::FakePrompter prompter;
        korvane::testing::FakeStatus status;
        GerberLoadContext ctx{doc, table, library, format, prompter, status};
        loadGerberFiles(ctx, {{1, dir.write("board.gbr", gerber)}});
        EXPECT_TRUE(prompter.shown.empty()) << (prompter.shown.empty() ? "" : prompter.shown[0].text);
        surface = std::make_unique<RasterSurface>(Size, Size);
        PixelMapping map;
        map.mmPerPixelX = map.mmPerPixelY = MmPerPixel;
        map.offsetY = -(Size - 1);
        Renderer(*surface, LayerLook::from(doc.layers), RegionFill::Solid, map).paint(doc.displayList);
    }
    // Whether the board point (mm) is painted in the layer colour.
    bool dark(double x, double y) const
    {
        return surface->getPixel(int(std::lround(x / MmPerPixel)), Size - 1 - int(std::lround(y / MmPerPixel))) ==
               quantise565(colours::Red);
    }
};

const std::string Mm33 = "%FSLAX33Y33*%%MOMM*%\n";

}  // namespace

// A pour with a cut-out and an island in it: dark, clear, dark in file order.
TEST(GerberConstructPixels, AnIslandAfterAClearRegionShows)
{
    Picture p(Mm33 + "G36*X1000Y1000D02*X21000Y1000D01*X21000Y21000D01*X1000Y21000D01*X1000Y1000D01*G37*\n"
                     "%LPC*%G36*X5000Y5000D02*X17000Y5000D01*X17000Y17000D01*X5000Y17000D01*X5000Y5000D01*G37*\n"
                     "%LPD*%G36*X9000Y9000D02*X13000Y9000D01*X13000Y13000D01*X9000Y13000D01*X9000Y9000D01*G37*M02*\n");
    EXPECT_TRUE(p.dark(3, 3));
    EXPECT_FALSE(p.dark(7, 7));
    EXPECT_TRUE(p.dark(11, 11));
}

// Clear macro flashes clip: a rotated rectangle of a macro under %LPC
// leaves a white hole in the pour, not a dark pad.
TEST(GerberConstructPixels, AClearMacroFlashClears)
{
    Picture p(Mm33 + "%AMRR*21,1,$1,$2,0,0,$3*%%ADD10RR,6X2X90*%\n"
                     "G36*X1000Y1000D02*X21000Y1000D01*X21000Y21000D01*X1000Y21000D01*X1000Y1000D01*G37*\n"
                     "%LPC*%D10*X11000Y11000D03*M02*\n");
    EXPECT_FALSE(p.dark(11, 13.5));  // turned upright: 2 wide, 6 high
    EXPECT_TRUE(p.dark(13.5, 11));
    EXPECT_TRUE(p.dark(3, 3));
}

// The thermal primitive: a ring from diameter 2 to 3 with two gaps of 0.5.
TEST(GerberConstructPixels, ThermalPrimitiveRingAndGaps)
{
    Picture p(Mm33 + "%AMTH*1,1,0.4,-5,0*7,0,0,3,2,0.5,0*%%ADD10TH*%D10*X10000Y10000D03*M02*\n");
    EXPECT_TRUE(p.dark(10 + 1.25 * std::sqrt(0.5), 10 + 1.25 * std::sqrt(0.5)));  // in the ring
    EXPECT_FALSE(p.dark(10, 10));                                                 // inside it
    EXPECT_FALSE(p.dark(11.25, 10));                                              // in a gap
    EXPECT_FALSE(p.dark(10 + 1.8 * std::sqrt(0.5), 10 + 1.8 * std::sqrt(0.5)));   // outside
    EXPECT_TRUE(p.dark(5, 10));                                                   // the circle before it
}

// Step and repeat and a block aperture under %LR, seen on the board (a
// rectangle flash is its outline on screen).
TEST(GerberConstructPixels, StepRepeatAndTurnedBlocks)
{
    Picture p(Mm33 + "%ADD10R,4X1*%\n%ABD20*%D10*X0Y0D03*%AB*%\n"
                     "%SRX2Y2I15J15*%%LR90*%D20*X5000Y5000D03*%SR*%M02*\n");
    for (double x : {5.0, 20.0})
        for (double y : {5.0, 20.0}) {
            EXPECT_TRUE(p.dark(x, y + 2)) << x << " " << y;
            EXPECT_TRUE(p.dark(x + 0.5, y)) << x << " " << y;
            EXPECT_FALSE(p.dark(x + 2, y)) << x << " " << y;
        }
}
