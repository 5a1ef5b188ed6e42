#include "GerberLoadSupport.h"
#include "core/Errors.h"
#include "gerber/ApertureMacros.h"
#include "gerber/MacroExpression.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace korvane;
using korvane::testing::GerberLoadFixture;

TEST(MacroExpression, FullGrammarWithPrecedenceAndParentheses)
{
    auto params = [](int k) -> std::optional<double> {
        if (k == 1)
            return 2.0;
        if (k == 2)
            return -0.5;
        return std::nullopt;
    };
    struct Case {
        const char *text;
        double value;
    } cases[] = {{"1.08239X$1", 2.16478},
                 {"$1+$2", 1.5},
                 {"$1-$2", 2.5},
                 {"$1/4", 0.5},
                 {"1+2x3", 7},
                 {"(1+2)x3", 9},
                 {"-$1", -2},
                 {"$1x-2", -4},
                 {"", 0},
                 {"10/4/5", 0.5},
                 {" 3 ", 3},
                 {"$1/0", 0},
                 {"1.5E-6", 1.5e-6},
                 {"2E2x$1", 400}};
    for (const auto &c : cases)
        EXPECT_NEAR(evaluateMacroExpression(c.text, params), c.value, 1e-12) << c.text;
    for (const char *bad : {"$3", "1+", "(1", "1.2.3", "abc", "$"})
        EXPECT_THROW(evaluateMacroExpression(bad, params), KorvaneError) << bad;
    EXPECT_THROW(evaluateMacroExpression(std::string(500, '(') + "1", params), KorvaneError);
}

TEST(ApertureMacros, DefinitionInstantiatedWithTheApertureParameters)
{
    for (bool inch : {false, true}) {
        GerberLoadFixture f;
        f.loadX(std::string("%FSLAX24Y24*%") + (inch ? "%MOIN*%" : "%MOMM*%") +
                "\n%AMBOX*\n21,1,$1,$2,0,0,0*\n%\n%ADD12BOX,1.5X0.5*%\nD12*X10000Y10000D03*M02*\n");
        auto row = f.table.Lookup(12);
        ASSERT_EQ(row.shape.rfind("Macro ", 0), 0u) << row.shape;
        int nameLine = std::stoi(row.shape.substr(6));
        EXPECT_EQ(f.library.line(nameLine), "BOX-D12");
        EXPECT_EQ(f.library.line(nameLine + 1), inch ? "21,1,38.1,12.7,0,0,0" : "21,1,1.5,0.5,0,0,0");
        EXPECT_EQ(f.library.line(nameLine + 2), "END");
        auto vertices = f.itemsOfKind(ItemKind::PolygonVertex);
        ASSERT_EQ(vertices.size(), 5u);
    }
}

// Inch parameters are scaled only where they end up as lengths: vertex
// counts, exposures, rotations and ring counts stay as written, also when
// they reach a primitive through a variable.
TEST(ApertureMacros, InchParametersAreConvertedByTheirUse)
{
    GerberLoadFixture f;
    auto outcome = f.loadX("G04 the macros of a hand-written verification file*\n%MOIN*%\n%FSLAX23Y23*%\n"
                           "%AMCIRCLE*\n0 a comment*\n1,1,$1,0,0*\n%\n"
                           "%AMVECTOR*\n2,1,$1,0,0,$2+1,$3,-135*\n%\n"
                           "%AMLINE1*\n21,1,$1,$2,0,0,-135*\n%\n"
                           "%AMPOLYGON*\n5,1,$1,0,0,0.5,$2*\n%\n"
                           "%AMCOUNTS*\n$4=$1+1*\n5,$3,$4,0,0,$2,$1x10*\n6,0,0,$2,0.01,0.01,$1,0.005,0.2,$1*\n%\n"
                           "%ADD11CIRCLE,.5*%\n%ADD12VECTOR,0.05X0X0*%\n%ADD13LINE1,0.3X0.05*%\n"
                           "%ADD16POLYGON,3X-10*%\n%ADD17POLYGON,6X0*%\n%ADD20COUNTS,5X0.5X1*%\n"
                           "D16*X1000Y1000D03*D20*X2000D03*M02*\n");
    EXPECT_EQ(outcome.end, GerberLoadOutcome::End::Completed);
    EXPECT_TRUE(f.prompter.shown.empty()) << (f.prompter.shown.empty() ? "" : f.prompter.shown[0].text);
    auto copy = [&](int dcode) {
        std::vector<std::string> lines;
        auto row = f.table.Lookup(dcode);
        if (row.shape.rfind("Macro ", 0) != 0)
            return lines;
        for (int n = std::stoi(row.shape.substr(6)) + 1; f.library.line(n) != "END"; ++n)
            lines.push_back(f.library.line(n));
        return lines;
    };
    using Lines = std::vector<std::string>;
    EXPECT_EQ(copy(11), Lines{"1,1,12.7,0,0"});
    EXPECT_EQ(copy(12), (Lines{"2,1,1.27,0,0,25.4,0,-135"}));
    EXPECT_EQ(copy(13), Lines{"21,1,7.62,1.27,0,0,-135"});
    EXPECT_EQ(copy(16), Lines{"5,1,3,0,0,12.7,-10"});
    EXPECT_EQ(copy(17), Lines{"5,1,6,0,0,12.7,0"});
    EXPECT_EQ(copy(20), (Lines{"5,1,6,0,0,12.7,50", "6,0,0,12.7,0.254,0.254,5,0.127,5.08,5"}));
    // The hexagon of D20 is flashed with six vertices and the first repeated.
    EXPECT_EQ(f.itemsOfKind(ItemKind::PolygonVertex).size(), 4u + 7u);
}

TEST(ApertureMacros, ThermalMacrosBecomeThermalApertures)
{
    GerberLoadFixture f;
    f.loadX("%FSLAX24Y24*%%MOMM*%\n%AMTHX*\n7,0,0,1.0,0.6,0.2,45*\n%\n%AMTHP*\n7,0,0,1.0,0.6,0.2,0*\n%\n"
            "%AMTHV*\n7,0,0,$1,$2,$3,45*\n%\n%ADD10THX*%%ADD11THP*%%ADD12THV,2X1X0.3*%D10*X1Y1D03*M02*\n");
    EXPECT_EQ(f.table.Lookup(10).shape, "サーマル×");
    EXPECT_EQ(f.table.Lookup(10).size, "1-0.6-0.2");
    EXPECT_EQ(f.table.Lookup(11).shape, "サーマル＋");
    EXPECT_EQ(f.table.Lookup(12).size, "2-1-0.3");
}

TEST(ApertureMacros, OctagonWithMultiplicationAndOneFlashCountedOnce)
{
    // The octagon pads a widely used CAD program writes.
    GerberLoadFixture f;
    f.loadX("%FSLAX24Y24*%%MOMM*%\n%AMOC8*\n5,1,8,0,0,1.08239X$1,22.5*%\n%ADD15OC8,1.6*%\n"
            "D15*X10000Y10000D03*M02*\n");
    auto vertices = f.itemsOfKind(ItemKind::PolygonVertex);
    ASSERT_EQ(vertices.size(), 9u);
    double r = 1.08239 * 1.6 / 2;
    EXPECT_NEAR(vertices[0].x1, 1.0 + r * std::cos(22.5 * M_PI / 180), 1e-9);
    int flashes = 0;
    for (const auto &item : f.items())
        flashes += item.role == RoleFlash;
    EXPECT_EQ(flashes, 1);
}

TEST(ApertureMacros, PrimitivePlacementAndMoire)
{
    MacroLibrary library;
    int name = library.append("T");
    library.append("1,1,0.5,0,1");
    library.append("6,0,0,5,0.5,0.5,3,0.1,6,0");
    library.append("END");
    Document doc;
    flashMacro(doc, library, {name, {10, -10}, 2, 20});
    // Every primitive stands in the main sequence, in its order.
    EXPECT_TRUE(doc.displayList.underlay().empty());
    const auto &u = doc.displayList.main();
    ASSERT_GE(u.size(), 4u);
    // The circle sits 1 mm above the flash point (board Y 11, stored -11).
    EXPECT_DOUBLE_EQ((u[0].y1 + u[0].y2) / 2, -11.0);
    EXPECT_DOUBLE_EQ((u[0].x1 + u[0].x2) / 2, 10.0);
    EXPECT_EQ(u[0].role, RoleFlash);
    EXPECT_EQ(u[0].layer, 2);
    // Three rings, each 2 (t + g) = 2 smaller.
    EXPECT_DOUBLE_EQ(u[1].x2 - u[1].x1, 4.5);
    EXPECT_DOUBLE_EQ(u[2].x2 - u[2].x1, 2.5);
    EXPECT_DOUBLE_EQ(u[3].x2 - u[3].x1, 0.5);
    EXPECT_EQ(u[1].role, RoleAuxiliary);

    // Rotated, every crosshair line is a MoveTo to the centre and a LineTo.
    MacroLibrary rotated;
    int moire = rotated.append("MOIRE");
    rotated.append("6,0,0,5,0.5,0.5,2,0.2,6,30");
    rotated.append("END");
    Document turned;
    flashMacro(turned, rotated, {moire, {10, -10}, 1, 21});
    const auto &t = turned.displayList.main();
    ASSERT_EQ(t.size(), 2u + 8u);
    for (size_t k = 0; k < 4; ++k) {
        const auto &move = t[2 + 2 * k], &line = t[3 + 2 * k];
        EXPECT_EQ(move.kind, static_cast<int>(ItemKind::MoveTo)) << k;
        EXPECT_DOUBLE_EQ(move.x1, 10.0);
        EXPECT_DOUBLE_EQ(move.y1, -10.0);
        EXPECT_EQ(line.kind, static_cast<int>(ItemKind::LineTo)) << k;
        double angle = (30.0 + 90.0 * static_cast<double>(k)) * M_PI / 180;
        EXPECT_NEAR(line.x1, 10.0 + 3 * std::cos(angle), 1e-9) << k;
        EXPECT_NEAR(line.y1, -10.0 - 3 * std::sin(angle), 1e-9) << k;
    }
}

TEST(ApertureMacros, DamagedPrimitivesGetAConversionMessageAndStayInsideTheData)
{
    for (const char *body :
         {"4,1,1000000,0,0,1,1", "5,1,2,0,0,1,0", "4,1,3,0,0,1,0", "1,1,$1,0,0", "5,1,2.5,0,0,1,0"}) {
        MacroLibrary library;
        int name = library.append("BAD");
        library.append(body);
        // No "END": the flash must stop at the end of the library.
        Document doc;
        EXPECT_THROW(flashMacro(doc, library, {name, {0, 0}, 1, 10}), KorvaneError) << body;
    }
    GerberLoadFixture f;
    for (const char *count : {"2", "2.5"}) {
        GerberLoadFixture p;
        p.loadX(std::string("%FSLAX24Y24*%%MOMM*%\n%ADD10P,1X") + count + "X45*%\nD10*X1Y1D03*M02*\n");
        // The message quotes the bad vertex count, not the whole parameter text.
        EXPECT_EQ(p.prompter.texts(),
                  std::vector<std::string>{std::string("layer1.gbr\n'") + count + "' は整数ではありません"});
    }
}

TEST(ApertureMacros, InchStatementConversion)
{
    struct Case {
        const char *in, *out;
    } cases[] = {{"1,1,0.1,0.2,0.3", "1,1,2.54,5.08,7.62"},
                 {"21,1,$1,$2,0.1,0", "21,1,$1,$2,2.54,0,0"},
                 {"20,1,0.01,0,0,1,0", "20,1,0.254,0,0,25.4,0,0"},
                 {"4,1,2,0,0,1,0,0,1,45", "4,1,2,0,0,25.4,0,0,25.4,45"},
                 {"$3=$1+0.1", "$3=$1+2.54"},
                 {"$3=$1/2", "$3=$1/2"}};
    for (const auto &c : cases)
        EXPECT_EQ(convertStatementToMillimetres(c.in), c.out) << c.in;
}
