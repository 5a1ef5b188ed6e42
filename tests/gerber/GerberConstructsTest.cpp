// RS-274X constructs as the format defines them: each file's own format,
// step and repeat, block apertures, aperture transforms, image parameters,
// macros, large D-codes, and what the load says when it cannot draw.
#include "GerberLoadSupport.h"
#include "gerber/ApertureTexts.h"
#include "gerber/GerberTexts.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace korvane;
using korvane::testing::GerberLoadFixture;

namespace {

const std::string Mm33 = "%FSLAX33Y33*%%MOMM*%\n";

// Centres of the round flashes (Ellipse items of RoleFlash), board frame.
std::vector<Point> flashCentres(const GerberLoadFixture &f)
{
    std::vector<Point> out;
    for (const DisplayItem &i : f.itemsOfKind(ItemKind::Ellipse))
        if (i.role == RoleFlash)
            out.push_back({(i.x1 + i.x2) / 2, -(i.y1 + i.y2) / 2});
    return out;
}

bool hasCentre(const std::vector<Point> &centres, double x, double y)
{
    for (const Point &c : centres)
        if (std::abs(c.x - x) < 1e-9 && std::abs(c.y - y) < 1e-9)
            return true;
    return false;
}

}  // namespace

// The main sequence holds regions where the file has them: a dark island
// after a clear cut-out is painted after it.
TEST(GerberConstructs, RegionsStandInFileOrderDarkOrClear)
{
    GerberLoadFixture f;
    f.loadX(Mm33 + "G36*X0Y0D02*X10000Y0D01*X10000Y10000D01*X0Y10000D01*X0Y0D01*G37*\n"
                   "%LPC*%G36*X2000Y2000D02*X8000Y2000D01*X8000Y8000D01*X2000Y8000D01*X2000Y2000D01*G37*\n"
                   "%LPD*%G36*X4000Y4000D02*X6000Y4000D01*X6000Y6000D01*X4000Y6000D01*X4000Y4000D01*G37*M02*\n");
    EXPECT_TRUE(f.doc.displayList.underlay().empty());
    std::vector<int> closes;
    for (const DisplayItem &i : f.doc.displayList.main())
        if (i.kind == static_cast<int>(ItemKind::PolygonClose))
            closes.push_back(i.colourLayer);
    EXPECT_EQ(closes, (std::vector<int>{1, 0, 1}));
}

// Each RS-274X file of a load is read by its own %FS and %MO, whatever the
// largest file declares; a file that declares nothing takes the settled format.
TEST(GerberConstructs, EachFileIsReadByItsOwnFormat)
{
    GerberLoadFixture f;
    f.format.dialect = GerberDialect::Rs274X;
    std::string big = "%FSLAX36Y36*%%MOMM*%\n%ADD10C,1*%\nD10*X5000000Y5000000D03*\n";
    big += "G04 " + std::string(4000, '-') + " the largest file*\nM02*\n";
    f.load({big, "%FSLAX24Y24*%%MOIN*%\n%ADD10C,0.04*%\nD10*X10000Y10000D03*M02*\n",
            "%FSLAX23Y23*%\n%MOMM*%%ADD10C,1*%\nD10*X7000Y1000D03*M02*\n"});
    const auto centres = flashCentres(f);
    ASSERT_EQ(centres.size(), 3u);
    EXPECT_TRUE(hasCentre(centres, 5.0, 5.0));
    EXPECT_TRUE(hasCentre(centres, 25.4, 25.4));
    EXPECT_TRUE(hasCentre(centres, 7.0, 1.0));
}

// Every coordinate that draws counts for the extents, zeros included; a
// move that draws nothing does not.
TEST(GerberConstructs, ZeroCoordinatesCountForTheExtents)
{
    GerberLoadFixture f;
    const GerberLoadOutcome out =
        f.loadX(Mm33 + "%ADD10C,0.1*%D10*X-5000Y-5000D02*X0Y0D02*X10000Y0D01*X10000Y8000D01*X0Y8000D01*X0Y0D01*M02*");
    EXPECT_DOUBLE_EQ(out.extents.minX, 0.0);
    EXPECT_DOUBLE_EQ(out.extents.maxX, 10.0);
    EXPECT_DOUBLE_EQ(out.extents.minY, 0.0);
    EXPECT_DOUBLE_EQ(out.extents.maxY, 8.0);
    EXPECT_DOUBLE_EQ(f.doc.minX, 0.0);
}

// %SR: the block is copied to every place of the grid; a new %SR ends it.
TEST(GerberConstructs, StepAndRepeatMakesEveryCopy)
{
    GerberLoadFixture f;
    const GerberLoadOutcome out = f.loadX(Mm33 + "%ADD10C,1*%\n%SRX3Y2I20J10*%\nD10*X1000Y1000D03*\n"
                                                 "%LPC*%X1000Y1000D03*%LPD*%\n%SR*%\nX100000Y0D03*M02*\n");
    const auto centres = flashCentres(f);
    ASSERT_EQ(centres.size(), 13u);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 2; ++j)
            EXPECT_TRUE(hasCentre(centres, 1 + 20.0 * i, 1 + 10.0 * j)) << i << " " << j;
    int clear = 0;
    for (const DisplayItem &e : f.itemsOfKind(ItemKind::Ellipse))
        clear += e.colourLayer == 0 ? 1 : 0;
    EXPECT_EQ(clear, 6);  // the clear flash of every copy
    EXPECT_DOUBLE_EQ(out.extents.maxY, 11.0);
    EXPECT_TRUE(f.prompter.shown.empty());
}

// %AB: the block is an aperture, flashed where D03 says, its polarity
// turned over under %LPC; nothing is drawn where it is defined.
TEST(GerberConstructs, BlockAperturesAreFlashedWithTheirPolarity)
{
    GerberLoadFixture f;
    f.loadX(Mm33 + "%ADD10C,1*%\n%ABD12*%\nD10*X0Y0D03*X2000Y0D03*\n%AB*%\n"
                   "D12*X10000Y10000D03*X20000Y10000D03*%LPC*%X30000Y10000D03*M02*\n");
    EXPECT_TRUE(f.prompter.shown.empty());
    const auto centres = flashCentres(f);
    ASSERT_EQ(centres.size(), 6u);
    EXPECT_FALSE(hasCentre(centres, 0, 0));
    EXPECT_TRUE(hasCentre(centres, 12, 10));
    EXPECT_TRUE(hasCentre(centres, 30, 10));
    const auto ellipses = f.itemsOfKind(ItemKind::Ellipse);
    EXPECT_EQ(ellipses[0].colourLayer, 1);
    EXPECT_EQ(ellipses[5].colourLayer, 0);
}

// %LR turns, %LS scales and %LM mirrors each flash about its centre.
TEST(GerberConstructs, ApertureTransformsTurnScaleAndMirrorFlashes)
{
    GerberLoadFixture f;
    f.loadX(Mm33 + "%ADD10R,4X1*%%ADD11C,1*%\n%AMTRI*4,1,3,0,0,2,0,0,1,0,0,0*%%ADD12TRI*%\n"
                   "%LR90*%D10*X10000Y10000D03*\n%LR0*%%LS2*%D11*X20000Y10000D03*\n"
                   "%LS1*%%LMX*%D12*X30000Y10000D03*M02*\n");
    const auto rects = f.itemsOfKind(ItemKind::Rectangle);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_NEAR(rects[0].x2 - rects[0].x1, 1.0, 1e-12);
    EXPECT_NEAR(rects[0].y2 - rects[0].y1, 4.0, 1e-12);
    const auto round = f.itemsOfKind(ItemKind::Ellipse);
    ASSERT_EQ(round.size(), 1u);
    EXPECT_DOUBLE_EQ(round[0].x2 - round[0].x1, 2.0);
    // The triangle (0,0) (2,0) (0,1) mirrored in X lies left of its flash point.
    double minX = 1e9;
    for (const DisplayItem &v : f.itemsOfKind(ItemKind::PolygonVertex))
        minX = std::min(minX, v.x1);
    EXPECT_DOUBLE_EQ(minX, 28.0);
}

// %OF %SF %MI %IR move the whole image.
TEST(GerberConstructs, ImageParametersMoveTheWholeImage)
{
    struct Case {
        const char *name;
        const char *parameters;
        double x, y;
    };
    for (const Case &c : {Case{"offset", "%OFA1B2*%", 6, 2}, Case{"scale", "%SFA2B1*%", 10, 0},
                          Case{"mirror", "%MIA1B0*%", -5, 0}, Case{"rotation", "%IR90*%", 0, 5}}) {
        GerberLoadFixture f;
        f.loadX(Mm33 + c.parameters + "\n%ADD10C,1*%D10*X5000Y0D03*M02*\n");
        const auto centres = flashCentres(f);
        ASSERT_EQ(centres.size(), 1u) << c.name;
        EXPECT_NEAR(centres[0].x, c.x, 1e-9) << c.name;
        EXPECT_NEAR(centres[0].y, c.y, 1e-9) << c.name;
    }
}

// Macro names are looked up whole; a one-line macro may start with a
// comment; a clear macro flash clears with every primitive.
TEST(GerberConstructs, MacroNamesCommentsAndClearFlashes)
{
    GerberLoadFixture f;
    f.loadX(Mm33 + "%AMROUNDEDRECTD15*21,1,1,1,0,0,0*%\n%AMROUNDEDRECTD150*1,1,3,0,0*%\n"
                   "%AMOCT*0 octagon pad*5,1,8,0,0,2,22.5*%\n"
                   "%ADD15ROUNDEDRECTD15*%%ADD150ROUNDEDRECTD150*%%ADD16OCT*%\n"
                   "D150*X10000Y10000D03*D16*X20000Y10000D03*%LPC*%D15*X30000Y10000D03*M02*\n");
    const auto circles = f.itemsOfKind(ItemKind::Ellipse);
    ASSERT_EQ(circles.size(), 1u);
    EXPECT_DOUBLE_EQ(circles[0].x2 - circles[0].x1, 3.0);
    int octagonVertices = 0, clearVertices = 0;
    for (const DisplayItem &v : f.itemsOfKind(ItemKind::PolygonVertex)) {
        octagonVertices += v.code == 16 ? 1 : 0;
        clearVertices += v.code == 15 && v.colourLayer == 0 ? 1 : 0;
    }
    EXPECT_EQ(octagonVertices, 9);
    EXPECT_EQ(clearVertices, 5);
    EXPECT_TRUE(f.doc.displayList.underlay().empty());
}

// The thermal primitive: outer and inner diameter as given, about its
// centre, turned, in any place of the macro.
TEST(GerberConstructs, ThermalPrimitiveIsDrawnAsDefined)
{
    GerberLoadFixture f;
    f.loadX(Mm33 + "%AMTH*1,1,0.2,5,5*7,1,0,3,2,0.5,45*%%ADD10TH*%D10*X10000Y10000D03*M02*\n");
    double rMin = 1e9, rMax = 0;
    int pieces = 0;
    for (const DisplayItem &i : f.items()) {
        if (i.kind == static_cast<int>(ItemKind::PolygonClose))
            ++pieces;
        if (i.kind != static_cast<int>(ItemKind::PolygonVertex))
            continue;
        // The centre (1, 0) turns with the primitive about the macro origin.
        const double r = std::hypot(i.x1 - (10 + std::sqrt(0.5)), -i.y1 - (10 + std::sqrt(0.5)));
        rMin = std::min(rMin, r);
        rMax = std::max(rMax, r);
    }
    EXPECT_EQ(pieces, 4);
    EXPECT_NEAR(rMax, 1.5, 1e-9);
    EXPECT_NEAR(rMin, 1.0, 1e-9);
}

// A macro of a thermal alone keeps its thermal row, and its flash is the
// primitive at its true size.
TEST(GerberConstructs, AThermalMacroKeepsItsRowAndDrawsExactly)
{
    GerberLoadFixture f;
    f.loadX(Mm33 + "%AMTHX*7,0,0,3,2,0.5,45*%%ADD10THX*%D10*X1000Y1000D03*M02*\n");
    EXPECT_EQ(f.table.Lookup(10).shape, aptmsg::ThermalX);
    double rMax = 0;
    for (const DisplayItem &v : f.itemsOfKind(ItemKind::PolygonVertex))
        rMax = std::max(rMax, std::hypot(v.x1 - 1, v.y1 + 1));
    EXPECT_NEAR(rMax, 1.5, 1e-9);
    EXPECT_TRUE(f.itemsOfKind(ItemKind::UnderEllipse).empty());
}

// D-codes above D999 are set and drawn in RS-274X files.
TEST(GerberConstructs, DCodesAboveD999AreDrawn)
{
    GerberLoadFixture f;
    f.loadX(Mm33 + "%ADD8191C,2*%\nD8191*X5000Y5000D03*M02*\n");
    EXPECT_TRUE(f.prompter.shown.empty());
    const auto round = f.itemsOfKind(ItemKind::Ellipse);
    ASSERT_EQ(round.size(), 1u);
    EXPECT_DOUBLE_EQ(round[0].x2 - round[0].x1, 2.0);
    EXPECT_EQ(round[0].code, 8191);
}

// G74 of one file does not carry into the next.
TEST(GerberConstructs, EachFileStartsFromTheRecordsArcMode)
{
    GerberLoadFixture f;
    f.format.dialect = GerberDialect::Rs274X;
    f.format.arcMode = ArcMode::FullCircle;
    f.load({Mm33 + "%ADD10C,0.1*%G74*D10*X0Y0D02*G03*X1000Y1000I1000J0D01*M02*\n",
            Mm33 + "%ADD10C,0.1*%D10*X5000Y0D02*G02*X5000Y0I1000J0D01*M02*\n"});
    const auto arcs = f.itemsOfKind(ItemKind::ArcCw);
    ASSERT_EQ(arcs.size(), 1u);  // the full circle of the second file
    EXPECT_DOUBLE_EQ(arcs[0].x2 - arcs[0].x1, 2.0);
}

// What cannot be drawn exactly is named once per file, with its line.
TEST(GerberConstructs, UnknownParametersAreNotedOncePerFileWithTheirLine)
{
    GerberLoadFixture f;
    const GerberLoadOutcome out =
        f.loadX(Mm33 + "%TF.FileFunction,Copper*%\n%KOA1*%\n%KOA2*%\n%IPNEG*%\n%ADD10C,1*%D10*X1000Y1000D03*M02*\n");
    // %IPNEG is drawn (the layer's image inverted): nothing to name.
    ASSERT_EQ(out.notes.size(), 1u);
    EXPECT_EQ(out.notes[0], gerbermsg::noteAt("layer1.gbr", 3, gerbermsg::unknownParameter("KOA1")));
}

// Random bytes and a drill file given as Gerber data are named and left unread.
TEST(GerberConstructs, WhatIsNoGerberDataIsSaidSo)
{
    std::string noise;
    for (int i = 0; i < 5000; ++i)
        noise += static_cast<char>((i * 7919 + 13) % 256);
    for (const std::string &bytes : {noise, std::string("M48\nMETRIC,TZ\nT1C0.8\n%\nT1\nX10.0Y5.5\nX2.Y3.\nM30\n")}) {
        GerberLoadFixture f;
        const GerberLoadOutcome out = f.load({bytes});
        ASSERT_EQ(f.prompter.texts().size(), 1u);
        EXPECT_EQ(f.prompter.texts()[0], "layer1.gbr\n" + std::string(gerbermsg::NotGerberData));
        EXPECT_EQ(out.layersUnread, std::vector<int>{1});
        EXPECT_EQ(f.doc.displayList.size(), 0u);
    }
}

// Expansion is counted as it is made: past the limit the file stops with
// a message that names it and the construct.
TEST(GerberConstructs, ExpansionBombsStopAtTheItemLimit)
{
    struct Case {
        const char *construct;
        std::string body;
    };
    std::string macro = "%AMBOMB*";
    for (int i = 0; i < 200; ++i)
        macro += "1,1,0.1," + std::to_string(i) + ",0*";
    macro += "%%ADD10BOMB*%D10*";
    for (int i = 0; i < 200; ++i)
        macro += "X" + std::to_string(i * 1000) + "Y0D03*";
    // Blocks of blocks: D13 is 10 x D12, D12 is 10 x D11, D11 is 10 flashes.
    std::string blocks = "%ADD10C,1*%";
    for (int code = 11; code <= 13; ++code) {
        blocks += "%ABD" + std::to_string(code) + "*%D" + std::to_string(code - 1) + "*";
        for (int i = 0; i < 10; ++i)
            blocks += "X" + std::to_string(i) + "Y0D03*";
        blocks += "%AB*%";
    }
    blocks += "D13*";
    for (int i = 0; i < 20; ++i)
        blocks += "X" + std::to_string(i * 100) + "Y0D03*";
    // Blocks of blocks that never get flashed: D15 would hold 10^6 items.
    std::string held = "%ADD10C,1*%%ABD11*%D10*X0Y0D03*%AB*%";
    for (int code = 12; code <= 17; ++code) {
        held += "%ABD" + std::to_string(code) + "*%D" + std::to_string(code - 1) + "*";
        for (int i = 0; i < 10; ++i)
            held += "X" + std::to_string(i) + "Y0D03*";
        held += "%AB*%";
    }
    const Case cases[] = {
        {"%AM", macro},
        {"%AB", held},
        {"%SR", "%ADD10C,1*%%SRX1000Y1000I1J1*%D10*X0Y0D03*X1000Y0D03*%SR*%"},
        {"%AB", blocks},
    };
    for (const Case &c : cases) {
        GerberLoadFixture f;
        f.format.dialect = GerberDialect::Rs274X;
        std::vector<GerberLoadFile> files{{1, f.dir.write("bomb.gbr", Mm33 + c.body + "M02*\n")}};
        GerberLoadContext ctx{f.doc, f.table, f.library, f.format, f.prompter, f.status};
        ctx.itemLimit = 10000;
        const GerberLoadOutcome out = loadGerberFiles(ctx, files);
        EXPECT_EQ(out.end, GerberLoadOutcome::End::Error) << c.construct;
        ASSERT_EQ(f.prompter.texts().size(), 1u) << c.construct;
        EXPECT_EQ(f.prompter.texts()[0], "bomb.gbr\n" + gerbermsg::tooManyItems(10000, c.construct));
        EXPECT_LE(f.doc.displayList.size(), 10000u) << c.construct;
    }
}
