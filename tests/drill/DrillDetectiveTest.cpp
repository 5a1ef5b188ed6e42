// The drill format detective: ranking candidate formats by the hits they put
// on the pads of a real board, and the question of the load.
#include "drill/DrillDetective.h"
#include "DrillSupport.h"
#include "core/TextFile.h"
#include "drill/DrillHeader.h"
#include "gerber/GerberLoadSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

using namespace korvane;
using namespace korvane::testing;

namespace {

// A board's pads: the solder mask of an example board of another CAD program.
struct Board {
    GerberLoadFixture gerber;
    std::vector<Point> pads;  // board mm, Y up
    Board()
    {
        gerber.format.dialect = GerberDialect::Rs274X;
        gerber.load({readFileBytes(std::string(KORVANE_TEST_DATA) + "/gerber/gerbv/numpres-componentmask.grb")});
        for (const auto &it : gerber.items())
            if (it.role == RoleFlash &&
                (it.kind == static_cast<int>(ItemKind::Ellipse) || it.kind == static_cast<int>(ItemKind::Rectangle)))
                pads.push_back({(it.x1 + it.x2) / 2, -(it.y1 + it.y2) / 2});
    }
};

// One coordinate in a format: the integer of its digits, leading zeros left
// out (LZ) or trailing ones (TZ). Empty when it does not fit the digits.
std::string coordinate(double mm, const DrillInFormat &f)
{
    const int integer = std::stoi(f.integerDigits), decimals = std::stoi(f.decimalDigits);
    const double v = (f.unit == LengthUnit::Inch ? mm / 25.4 : mm) * std::pow(10.0, decimals);
    const long long n = std::llround(std::fabs(v));
    std::string digits = std::to_string(n);
    if (static_cast<int>(digits.size()) > integer + decimals)
        return {};
    if (f.zeroSuppression == ZeroSuppression::Trailing) {
        digits.insert(0, static_cast<size_t>(integer + decimals) - digits.size(), '0');
        while (digits.size() > 1 && digits.back() == '0')
            digits.pop_back();
    }
    return (v < 0 ? "-" : "") + digits;
}

// A drill file without a header, its hits on the pads that fit the format.
std::string drillFileFor(const std::vector<Point> &pads, const DrillInFormat &f, int &written)
{
    std::string text = "T1\n";
    written = 0;
    for (const Point &p : pads) {
        std::string x = coordinate(p.x, f), y = coordinate(p.y, f);
        if (x.empty() || y.empty() || x == "0" || y == "0")
            continue;
        text += "X";
        text += x;
        text += "Y";
        text += y;
        text += "\n";
        ++written;
    }
    return text + "M30\n";
}

}  // namespace

TEST(DrillDetective, RanksTheFormatAFileWasWrittenInFirst)
{
    Board board;
    ASSERT_GT(board.pads.size(), 20u);
    const PadMap pads(board.gerber.doc.displayList);
    int covered = 0;
    for (LengthUnit unit : {LengthUnit::Mm, LengthUnit::Inch})
        for (ZeroSuppression zeros : {ZeroSuppression::Leading, ZeroSuppression::Trailing})
            for (int integer = 1; integer <= 4; ++integer)
                for (int decimals = 1; decimals <= 5; ++decimals) {
                    DrillInFormat f = drillFormat(zeros, unit, CoordinateMode::Absolute, std::to_string(integer),
                                                  std::to_string(decimals));
                    int written = 0;
                    const std::string file = drillFileFor(board.pads, f, written);
                    // Too few digits for the board, or too coarse for its pads.
                    const DrillFormatScore truth = scoreDrillFormat(file, pads, f);
                    if (written < 10 || truth.share() < 0.9)
                        continue;
                    ++covered;
                    const auto ranking = rankDrillFormats(file, pads, drillFormat());
                    // Formats that read every hit at the same point tie (with
                    // leading zeros left out the integer digits do not
                    // matter); the one the file was written in is among the first.
                    EXPECT_DOUBLE_EQ(ranking.front().share(), truth.share()) << drillFormatName(f);
                    EXPECT_EQ(scoreDrillFormat(file, pads, ranking.front().format).onPads, truth.onPads)
                        << drillFormatName(f) << " ranked " << drillFormatName(ranking.front().format);
                    EXPECT_LT(ranking.back().share(), 0.5) << drillFormatName(f);
                }
    EXPECT_GE(covered, 40);
}

TEST(DrillDetective, TheQuestionAndItsAnswers)
{
    DrillFormatScore best;
    best.format = drillFormat(ZeroSuppression::Trailing, LengthUnit::Inch, CoordinateMode::Absolute, "2", "4");
    best.hits = 200;
    best.onPads = 195;
    EXPECT_EQ(detectiveQuestion(best), "ドリルファイルのフォーマットが設定と異なる可能性があります。インチ 2.4 TZ "
                                       "で読み込みますか？（パッド上のヒット 97％）");

    const DrillInFormat written =
        drillFormat(ZeroSuppression::Trailing, LengthUnit::Inch, CoordinateMode::Absolute, "2", "4");
    TempDir dir;
    for (Answer answer : {Answer::Yes, Answer::No}) {
        Board board;
        int count = 0;
        const std::string path = dir.write("pads.drl", drillFileFor(board.pads, written, count));
        board.gerber.doc.keepExisting = 1;
        const std::size_t gerberItems = board.gerber.doc.displayList.size();
        DrillInFormat format = drillFormat();  // the first start's mm, LZ, 3.2
        FakePrompter prompter;
        prompter.answers = {answer};
        FakeStatus status;
        DrillLoadContext context{board.gerber.doc, format, prompter, status, nullptr};
        auto outcome = loadDrillFiles(context, {{2, path}});
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_EQ(prompter.shown[0].kind, MessageKind::Confirmation);
        EXPECT_EQ(prompter.shown[0].text.rfind("ドリルファイルのフォーマットが設定と異なる可能性があります。", 0), 0u);
        PadMap pads(board.gerber.doc.displayList);
        std::size_t onPads = 0, hits = 0;
        const auto &main = board.gerber.doc.displayList.main();
        for (std::size_t i = gerberItems; i < main.size(); ++i)
            if (main[i].role == RoleDrillHit && main[i].kind == static_cast<int>(ItemKind::MoveTo)) {
                ++hits;  // tool 1: the first move is at (x - h, y - h)
                onPads += pads.onPad(main[i].x1 + ToolMarkHalfSize, main[i].y1 - ToolMarkHalfSize);
            }
        EXPECT_EQ(hits, static_cast<std::size_t>(count));
        if (answer == Answer::Yes) {
            // Written back, so the dialog shows it: with trailing zeros left
            // out the decimal digits do not change where a hit lands, and the
            // first of equals (2.3) is taken.
            EXPECT_EQ(format.unit, written.unit);
            EXPECT_EQ(format.zeroSuppression, written.zeroSuppression);
            EXPECT_EQ(format.integerDigits, written.integerDigits);
            EXPECT_GT(onPads, hits * 9 / 10);
            EXPECT_NE(outcome.declaredFormatNote.find("パッドとの照合"), std::string::npos);
        } else {
            EXPECT_EQ(format, drillFormat());
            EXPECT_LT(onPads, hits / 2);
        }
    }
}

// A file that declares unit, zeros and digits is read as declared, even
// where its holes meet no pad (a non-plated file): no question is asked.
TEST(DrillDetective, LeavesACompletelyDeclaredFormatAlone)
{
    const DrillInFormat other =
        drillFormat(ZeroSuppression::Trailing, LengthUnit::Mm, CoordinateMode::Absolute, "3", "2");
    TempDir dir;
    Board board;
    int count = 0;
    // Written so that mm 3.2 with trailing zeros left out puts them on the pads.
    const std::string body = drillFileFor(board.pads, other, count);
    const std::string path = dir.write("npth.drl", "M48\nMETRIC,LZ\n;FILE_FORMAT=4:3\nT1C3.0\n%\n" + body);
    board.gerber.doc.keepExisting = 1;
    DrillInFormat format = drillFormat();
    FakePrompter prompter;
    FakeStatus status;
    DrillLoadContext context{board.gerber.doc, format, prompter, status, nullptr};
    const auto outcome = loadDrillFiles(context, {{2, path}});
    EXPECT_TRUE(prompter.shown.empty()) << (prompter.shown.empty() ? "" : prompter.shown[0].text);
    EXPECT_EQ(format.integerDigits, "4");
    EXPECT_EQ(format.decimalDigits, "3");
    EXPECT_EQ(outcome.declaredFormatNote, "npth.drl: ミリ 4.3 TZ（ファイルの宣言） で読み込みました");

    // Declaring the unit and zeros only leaves the digits to the pads (of
    // the formats that tie, the one with the decimals in use is offered).
    const DrillInFormat twoThree =
        drillFormat(ZeroSuppression::Trailing, LengthUnit::Mm, CoordinateMode::Absolute, "2", "3");
    const std::string open =
        dir.write("open.drl", "M48\nMETRIC,LZ\nT1C3.0\n%\n" + drillFileFor(board.pads, twoThree, count));
    Board again;
    again.gerber.doc.keepExisting = 1;
    DrillInFormat format2 = drillFormat();
    FakePrompter prompter2;
    DrillLoadContext context2{again.gerber.doc, format2, prompter2, status, nullptr};
    loadDrillFiles(context2, {{2, open}});
    ASSERT_EQ(prompter2.shown.size(), 1u);
    EXPECT_NE(prompter2.shown[0].text.find("ミリ 2.3 TZ"), std::string::npos) << prompter2.shown[0].text;
}

// Without Gerber data a file that declares nothing is read by the most
// plausible format for a board, and the status note says it was guessed.
TEST(DrillDetective, AHeaderlessFileWithoutPadsIsReadByThePlausibleFormat)
{
    const std::string path = std::string(KORVANE_TEST_DATA) + "/drill/slots/headerless-inch24.drl";
    Document doc;
    DrillInFormat format = drillFormat();  // mm 3.2: a 0.035 mm tool, a 10 mm grid
    FakePrompter prompter;
    FakeStatus status;
    DrillLoadContext context{doc, format, prompter, status, nullptr};
    const auto outcome = loadDrillFiles(context, {{1, path}});
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(drillFormatName(format), "インチ 2.4 LZ");
    EXPECT_EQ(outcome.declaredFormatNote, "headerless-inch24.drl: インチ 2.4 LZ（推定） で読み込みました");
    EXPECT_NEAR(doc.maxX, 2.9 * 25.4, 1e-9);
    EXPECT_NEAR(doc.minX, 0.2 * 25.4, 1e-9);

    const std::string bytes = readFileBytes(path);
    EXPECT_EQ(drillPlausibility(bytes, format).points, FullPlausibility);
    EXPECT_LT(drillPlausibility(bytes, drillFormat()).points, FullPlausibility);
    // Ten times too small crowds the 0.9 mm holes of the 2.54 mm grid.
    EXPECT_LT(drillPlausibility(
                  bytes, drillFormat(ZeroSuppression::Leading, LengthUnit::Inch, CoordinateMode::Absolute, "2", "5"))
                  .points,
              FullPlausibility);
}

// Pads that macros draw as outlines (KiCad's rotated rectangles) count.
TEST(DrillDetective, ThePadMapCountsMacroPads)
{
    GerberLoadFixture g;
    g.loadX("%FSLAX33Y33*%\n%MOMM*%\n%AMROT*4,1,4,-1,-0.5,1,-0.5,1,0.5,-1,0.5,-1,-0.5,30*%\n%ADD10ROT*%\n"
            "D10*\nX10000Y10000D03*\nM02*\n");
    const PadMap pads(g.doc.displayList);
    EXPECT_EQ(pads.size(), 1u);
    EXPECT_TRUE(pads.onPad(10.0, -10.0));
    EXPECT_FALSE(pads.onPad(12.0, -10.0));
}
