#include "GerberLoadSupport.h"
#include "core/Numbers.h"
#include "gerber/GerberTexts.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace korvane;
using korvane::testing::GerberLoadFixture;

namespace {

// One RS-274D flash of a 0.5 mm round aperture at X<x>Y<y>, read with the
// given format: the Ellipse's centre is the decoded point.
Point flashCentre(GerberLoadFixture &f, const std::string &x, const std::string &y)
{
    f.table.SetRow(10, "丸", "0.5");
    f.load({"G54D10*\nX" + x + "Y" + y + "D03*\nM02*\n"});
    auto ellipses = f.itemsOfKind(ItemKind::Ellipse);
    if (ellipses.size() != 1)
        return {NAN, NAN};
    return {(ellipses[0].x1 + ellipses[0].x2) / 2, (ellipses[0].y1 + ellipses[0].y2) / 2};
}

}  // namespace

TEST(GerberCoordinates, ZeroSuppressionDecimalPointsAndInch)
{
    struct Case {
        ZeroSuppression zs;
        LengthUnit unit;
        const char *integer, *decimal, *x;
        double expected;
    } cases[] = {
        {ZeroSuppression::Trailing, LengthUnit::Mm, "2", "4", "15", 15.0},
        {ZeroSuppression::Leading, LengthUnit::Mm, "2", "4", "15", 0.0015},
        {ZeroSuppression::Trailing, LengthUnit::Mm, "2", "4", "-15", -15.0},
        {ZeroSuppression::Trailing, LengthUnit::Mm, "2", "4", "1.5", 1.5},
        {ZeroSuppression::Leading, LengthUnit::Inch, "3", "3", "1.5", 38.1},
        {ZeroSuppression::Leading, LengthUnit::Inch, "2", "4", "10000", 25.4},
        {ZeroSuppression::Leading, LengthUnit::Mm, "3", "3", "+1000", 1.0},
    };
    for (const auto &c : cases) {
        GerberLoadFixture f;
        f.format.zeroSuppression = c.zs;
        f.format.unit = c.unit;
        f.format.integerDigits = c.integer;
        f.format.decimalDigits = c.decimal;
        Point p = flashCentre(f, c.x, "1000");
        EXPECT_NEAR(p.x, c.expected, 1e-9) << c.x;
    }
}

TEST(GerberCoordinates, YIsStoredNegatedAndCoordinatesAreModal)
{
    GerberLoadFixture f;
    f.table.SetRow(10, "丸", "0.5");
    f.load({"D10*X1000Y2000D03*X3000D03*Y4000D03*M02*"});
    auto e = f.itemsOfKind(ItemKind::Ellipse);
    ASSERT_EQ(e.size(), 3u);
    EXPECT_DOUBLE_EQ((e[1].x1 + e[1].x2) / 2, 3.0);
    EXPECT_DOUBLE_EQ((e[1].y1 + e[1].y2) / 2, -2.0);
    EXPECT_DOUBLE_EQ((e[2].x1 + e[2].x2) / 2, 3.0);
    EXPECT_DOUBLE_EQ((e[2].y1 + e[2].y2) / 2, -4.0);
    EXPECT_DOUBLE_EQ(f.doc.maxY, 4.0);  // extents keep the board's direction
}

TEST(GerberCoordinates, IncrementalSumsAndNumbersAcrossLineBreaks)
{
    GerberLoadFixture f;
    f.format.coordinateMode = CoordinateMode::Incremental;
    f.table.SetRow(10, "丸", "0.5");
    // "X10\r\n00" continues the number; a lone LF before a digit too.
    f.load({"D10*X10\r\n00Y1000D03*X1\n000D03*\r\n"});
    auto e = f.itemsOfKind(ItemKind::Ellipse);
    ASSERT_EQ(e.size(), 2u);
    EXPECT_DOUBLE_EQ((e[0].x1 + e[0].x2) / 2, 1.0);
    EXPECT_DOUBLE_EQ((e[1].x1 + e[1].x2) / 2, 2.0);
    EXPECT_DOUBLE_EQ((e[1].y1 + e[1].y2) / 2, -1.0);
}

TEST(GerberPreScan, FormatAndUnitBlocksWinOverGCodes)
{
    GerberInFormat format;
    format.dialect = GerberDialect::Rs274X;
    auto r = preScanGerber("%FSLAX24Y24*%\n%MOIN*%\nG91*G71*X10000Y20000D03*\n", format);
    EXPECT_TRUE(r.fsSeen);
    EXPECT_TRUE(r.moSeen);
    EXPECT_EQ(format.zeroSuppression, ZeroSuppression::Leading);
    EXPECT_EQ(format.coordinateMode, CoordinateMode::Absolute);
    EXPECT_EQ(format.integerDigits, "2");
    EXPECT_EQ(format.decimalDigits, "4");
    EXPECT_EQ(format.unit, LengthUnit::Inch);
    EXPECT_EQ(r.maxX, 10000);
    EXPECT_EQ(r.maxY, 20000);

    GerberInFormat d;  // RS-274D: "%" blocks are not looked at, G-codes are
    auto rd = preScanGerber("%FSLAX24Y24*%G91*G70*X1Y1D02*", d);
    EXPECT_FALSE(rd.fsSeen);
    EXPECT_EQ(d.coordinateMode, CoordinateMode::Incremental);
    EXPECT_EQ(d.unit, LengthUnit::Inch);
}

// Zeros that draw count; a move that draws nothing (PADS ends its files
// with "X0Y0D02*") does not, the start of a draw does.
TEST(GerberPreScan, ZerosCountAndMovesOnlyWhereADrawStarts)
{
    GerberInFormat format;
    format.dialect = GerberDialect::Rs274X;
    const PreScanResult r = preScanGerber(
        "%FSLAX33Y33*%%MOMM*%X-9000Y-9000D02*X0Y0D02*X10000D01*Y8000*X20000Y20000D02*X15000Y5000D03*X-1Y-1D02*M02*",
        format);
    EXPECT_EQ(r.minX, 0);
    EXPECT_EQ(r.maxX, 15000);
    EXPECT_EQ(r.minY, 0);
    EXPECT_EQ(r.maxY, 8000);
}

TEST(GerberPreScan, CoordinatesOfEveryLengthReadWhole)
{
    // One to eighteen digits, followed by each kind of ending, and at the
    // very end of the file.
    for (const char *after : {"D03*", "Y5D01*", "D03", "*X1D01*"}) {
        for (int length = 1; length <= 18; ++length) {
            std::string digits;
            for (int k = 0; k < length; ++k)
                digits += char('1' + (k * 7) % 9);
            GerberInFormat format;
            format.dialect = GerberDialect::Rs274X;
            const PreScanResult r = preScanGerber("%FSLAX33Y33*%X" + digits + after, format);
            EXPECT_EQ(r.maxX, std::stod(digits)) << length << " digits, then \"" << after << "\"";
        }
    }
}

// The lines of a macro or of several aperture definitions belong to their
// block: "$2X0.0000" or "R,0.5X0.5" are no coordinates, and their decimal
// points do not make the file's integer coordinates decimal.
TEST(GerberPreScan, MultiLineParameterBlocksAreNoCoordinates)
{
    GerberInFormat format;
    format.dialect = GerberDialect::Rs274X;
    auto r = preScanGerber("%MOIN*%\n%FSLAX24Y24*%\n%AMFID*\n$4=$2X0.0000*\n1,1,0.063,$4,0*\n%\n"
                           "%ADD10C,0.1*\nADD11R,0.5X0.5*%\nX1000Y2000D02*X62992Y53731D01*M02*\n",
                           format);
    EXPECT_TRUE(r.fsSeen);
    EXPECT_FALSE(r.decimalPointSeen);
    EXPECT_EQ(r.minX, 1000);
    EXPECT_EQ(r.maxX, 62992);
    EXPECT_EQ(r.minY, 2000);
    EXPECT_EQ(r.maxY, 53731);
}

TEST(GerberDialect, ParameterBlocksBeforeTheFirstCoordinateDeclareRs274X)
{
    struct Case {
        const char *head;
        bool rs274x;
    } cases[] = {
        {"%FSLAX24Y24*%\nX0Y0D02*", true},
        {"G04 exported X1 Y2*\n%MOIN*%\nX0Y0D02*", true},
        {"%\nFSLAX24Y24*%", true},
        {"%IPPOS*%\n%MOMM*%", true},
        {"G54D10*\nX100Y100D02*\n%FSLAX24Y24*%", false},
        {"G54D10*\nX100Y100D02*X200D01*M02*", false},
        {"", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(declaresRs274X(std::string_view(c.head)), c.rs274x) << c.head;

    korvane::testing::TempDir dir;
    std::string x = dir.write("x.gbr", "%FSLAX24Y24*%%MOMM*%X0Y0D02*"), d = dir.write("d.gbr", "X100Y100D02*");
    GerberInFormat format;
    format.dialect = GerberDialect::Rs274D;
    EXPECT_FALSE(adoptDeclaredRs274X(format, {d}));
    EXPECT_EQ(format.dialect, GerberDialect::Rs274D);
    EXPECT_TRUE(adoptDeclaredRs274X(format, {d, x}));
    EXPECT_EQ(format.dialect, GerberDialect::Rs274X);
    EXPECT_FALSE(adoptDeclaredRs274X(format, {x}));  // already RS-274X: nothing to say
}

TEST(GerberPreScan, RefusalsEndTheLoadBeforeAnyFileIsRead)
{
    GerberLoadFixture x;
    auto outcome = x.loadX("G04 no parameters*\nX1000Y1000D03*\n");
    EXPECT_EQ(outcome.end, GerberLoadOutcome::End::PreScanRefused);
    EXPECT_EQ(x.prompter.texts(), std::vector<std::string>{gerbermsg::NotRs274X});
    EXPECT_EQ(x.doc.displayList.size(), 0u);
    EXPECT_EQ(x.doc.hasData, 0);

    GerberLoadFixture empty;
    empty.load({"G04 nothing drawn*\nM02*\n"});
    EXPECT_EQ(empty.prompter.texts(), std::vector<std::string>{gerbermsg::NoDrawingData});
    EXPECT_EQ(empty.status.status, "");
    EXPECT_EQ(empty.status.busyDepth, 0);

    // An empty file is said to be empty, not to lack the RS-274X blocks.
    GerberLoadFixture none;
    auto nothing = none.loadX("");
    EXPECT_EQ(nothing.end, GerberLoadOutcome::End::PreScanRefused);
    EXPECT_EQ(none.prompter.texts(), std::vector<std::string>{std::string("layer1.gbr\n") + gerbermsg::EmptyFile});
}

TEST(GerberPreScan, EachFileKeepsItsOwnFormatBesideTheLargest)
{
    GerberLoadFixture f;
    f.format.dialect = GerberDialect::Rs274X;
    // The second file is larger: its 2.4 format does not decode the first.
    auto outcome = f.load({"%FSLAX33Y33*%%MOMM*%%ADD10C,0.5*%D10*X10000Y10000D03*M02*",
                           "%FSLAX24Y24*%%MOMM*%%ADD10C,0.5*%D10*X10000Y10000D03*G04 padding padding padding*M02*"});
    EXPECT_EQ(outcome.end, GerberLoadOutcome::End::Completed);
    auto e = f.itemsOfKind(ItemKind::Ellipse);
    ASSERT_EQ(e.size(), 2u);
    EXPECT_DOUBLE_EQ((e[0].x1 + e[0].x2) / 2, 10.0);
    EXPECT_DOUBLE_EQ((e[1].x1 + e[1].x2) / 2, 1.0);
    EXPECT_EQ(f.table.filePath, "未保存");
}

TEST(GerberApertureDefinitions, StandardShapesBecomeTableRows)
{
    GerberLoadFixture f;
    f.loadX("%FSLAX33Y33*%%MOMM*%\n"
            "%ADD10C,0.3X0.8*%\n%ADD11R,1.0X1.0*%\n%ADD12R,1.0X0.5*%\n%ADD14C,0.25*%\n"
            "%ADD15R,2X1X0.5*%\n%ADD16O,2X1*%\n%ADD17C,1X0.4X0.2*%\n%ADD18R,0.7*%\n"
            "%ADD19C,0.1X*%\n%ADD20R,2XX0.5*%\n%ADD21R,1.5X*%\n"
            "D14*X1000Y1000D03*M02*\n");
    // Empty parameters count as not given: no hole, no height.
    EXPECT_TRUE(f.prompter.shown.empty()) << (f.prompter.shown.empty() ? "" : f.prompter.shown[0].text);
    struct Row {
        int dcode;
        const char *shape, *size;
    } rows[] = {{10, "丸ドーナツ", "0.8-0.3"},
                {11, "正方形", "1"},
                {12, "長方形", "1-0.5"},
                {14, "丸", "0.25"},
                {15, "角ドーナツ", "2-1-0.5"},
                {16, "楕円形", "2-1"},
                {17, "丸ドーナツ", "1-0.4-0.2"},
                {18, "正方形", "0.7"},
                {19, "丸", "0.1"},
                {20, "角ドーナツ", "2-0-0.5"},
                {21, "正方形", "1.5"}};
    for (const auto &r : rows) {
        auto row = f.table.Lookup(r.dcode);
        EXPECT_EQ(row.shape, r.shape) << r.dcode;
        EXPECT_EQ(row.size, r.size) << r.dcode;
    }
}

TEST(GerberApertureDefinitions, TextInAParameterIsAConversionError)
{
    GerberLoadFixture f;
    auto outcome = f.loadX("%FSLAX33Y33*%%MOMM*%\n%ADD10C,0.1XA*%\nD10*X1000Y1000D03*M02*\n");
    EXPECT_EQ(outcome.end, GerberLoadOutcome::End::Error);
    EXPECT_EQ(f.prompter.texts(), std::vector<std::string>{"layer1.gbr\n'A' は浮動小数点数ではありません"});
}

TEST(GerberApertureDefinitions, InchSizesAreConvertedAndPolygonsBecomeMacros)
{
    GerberLoadFixture f;
    f.loadX("%FSLAX24Y24*%%MOIN*%\n%ADD10C,0.01*%\n%ADD13P,1.0X8*%\nD13*X10000Y10000D03*M02*\n");
    EXPECT_EQ(f.table.Lookup(10).size, "0.254");
    auto row = f.table.Lookup(13);
    ASSERT_EQ(row.shape.rfind("Macro ", 0), 0u);
    EXPECT_EQ(row.size, "**********");
    int nameLine = std::stoi(row.shape.substr(6));
    EXPECT_EQ(f.library.line(nameLine), "POLMAC" + std::to_string(nameLine));
    // The octagon's first vertex lies at 22.5 degrees on a 25.4 mm circle.
    auto fields = f.library.line(nameLine + 1);
    EXPECT_EQ(fields.rfind("4,1,8,", 0), 0u);
    double r = 12.7;
    EXPECT_NE(
        fields.find(formatReal(r * std::cos(22.5 * M_PI / 180)) + "," + formatReal(r * std::sin(22.5 * M_PI / 180))),
        std::string::npos);
    // The flash is a filled octagon: nine vertices (the first repeated) and a close.
    EXPECT_EQ(f.itemsOfKind(ItemKind::PolygonVertex).size(), 9u);
    EXPECT_EQ(f.itemsOfKind(ItemKind::PolygonClose).size(), 1u);
}

// The items a file gives when fed in pieces of `chunk` bytes.
std::vector<DisplayItem> itemsFedInChunks(const std::string &file, size_t chunk)
{
    Document doc;
    ApertureTable table;
    table.SetRow(10, "丸", "0.5");
    MacroLibrary library;
    GerberInFormat format;
    format.dialect = GerberDialect::Rs274X;
    preScanGerber(file, format);
    korvane::testing::FakePrompter prompter;
    GerberInterpreter interpreter(doc, table, library, format, prompter);
    GerberFileReader reader(interpreter, table, library, format);
    reader.startFile(1);
    for (size_t i = 0; i < file.size(); i += chunk)
        reader.feed(std::string_view(file).substr(i, chunk));
    reader.finish();
    std::vector<DisplayItem> items;
    for (const auto &i : doc.displayList.underlay())
        items.push_back(i);
    for (const auto &i : doc.displayList.main())
        items.push_back(i);
    return items;
}

void expectSameItems(const std::vector<DisplayItem> &pieces, const std::vector<DisplayItem> &whole,
                     const std::string &what)
{
    ASSERT_EQ(pieces.size(), whole.size()) << what;
    for (size_t i = 0; i < whole.size(); ++i) {
        EXPECT_EQ(pieces[i].kind, whole[i].kind) << what << " item " << i;
        EXPECT_EQ(pieces[i].x1, whole[i].x1) << what << " item " << i;
        EXPECT_EQ(pieces[i].y1, whole[i].y1) << what << " item " << i;
        EXPECT_EQ(pieces[i].x2, whole[i].x2) << what << " item " << i;
        EXPECT_EQ(pieces[i].colourLayer, whole[i].colourLayer) << what << " item " << i;
    }
}

TEST(GerberReader, ChunkBoundariesHaveNoVisibleEffect)
{
    const std::string file =
        "%FSLAX24Y24*%%MOMM*%\n%AMBOX*\n21,1,$1,$2,0,0,0*\n%\n%ADD10C,0.5*%%ADD12BOX,1.5X0.5*%\n"
        "G01*D10*X10000\r\n0Y20000D02*X30000Y40000D01*\nG02*X50000Y40000I10000J0D01*\nD12*X1Y1D03*\n"
        "G36*X0Y0D02*X10000Y0D01*X10000Y10000D01*G37*%LPC*%D10*X5000Y5000D03*M02*\n";
    auto whole = itemsFedInChunks(file, file.size());
    ASSERT_GT(whole.size(), 10u);
    for (size_t chunk : {1u, 2u, 3u, 7u, 4097u})
        expectSameItems(itemsFedInChunks(file, chunk), whole, std::to_string(chunk));
}

// Whole words are read in one go, words cut by a chunk or holding signs,
// points or line breaks character by character: both give the same items.
TEST(GerberReader, WordsReadWholeAndCharacterByCharacterAgree)
{
    const std::string words[] = {
        "X-0012Y+0034D01*",   "X12.5Y-.5D01*", "X1234567890123456789Y1D01*", "X123\r\n456Y7\n8D01*",
        "X-5\r\nY-6\r\nD01*", "X-0Y-0D01*",    "X12D001*Y34D0001*",          "D010*X5Y5D03*",
        "X+Y+D01*",           "X99D01X11D01*", "X5Y5D02**X6Y6D1*",           "X7G01Y8D01*",
    };
    // Every length of digits up to and past the 18 a value holds.
    std::string lengths;
    for (size_t n = 1; n <= 20; ++n)
        lengths += "X" + std::string("98765432109876543210").substr(0, n) + "Y" + std::string(n, '7') + "D01*";
    std::vector<std::string> all(std::begin(words), std::end(words));
    all.push_back(lengths);
    for (const char *format : {"%FSLAX24Y24*%", "%FSTAX24Y24*%", "%FSLIX24Y24*%"}) {
        for (const std::string &word : all) {
            const std::string file = std::string(format) + "%MOMM*%\nD10*X100Y100D02*" + word + "M02*\n";
            expectSameItems(itemsFedInChunks(file, 1), itemsFedInChunks(file, file.size()), format + word);
        }
    }
}

TEST(GerberReader, AnUnreadableNumberEndsTheLoadButKeepsWhatWasRead)
{
    GerberLoadFixture f;
    f.table.SetRow(10, "丸", "0.5");
    // The first file is the larger one, so the pre-scan reads it, not the bad one.
    auto outcome = f.load(
        {"D10*X1000Y1000D03*G04 a comment that makes this file the larger one*", "D10*X1.2.3Y5D03*", "D10*X1Y1D03*"});
    EXPECT_EQ(outcome.end, GerberLoadOutcome::End::Error);
    // The message names the file on the line before the platform's text.
    EXPECT_EQ(f.prompter.texts(), std::vector<std::string>{"layer2.gbr\n'1.2.3' は浮動小数点数ではありません"});
    EXPECT_EQ(f.itemsOfKind(ItemKind::Ellipse).size(), 1u);
}
