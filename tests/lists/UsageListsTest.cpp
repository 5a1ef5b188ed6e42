#include "lists/UsageLists.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

using testing::TempDir;
using Lines = std::vector<std::string>;

Lines dcodeRows(const DcodeList &list)
{
    Lines out;
    for (const DcodeUsage &r : list.rows)
        out.push_back(r.code + " " + std::to_string(r.flashes) + " " + std::to_string(r.draws));
    return out;
}

Lines toolRows(const ToolList &list)
{
    Lines out;
    for (const ToolUsage &r : list.rows)
        out.push_back(r.tool.empty() ? "-" : r.tool + " " + std::to_string(r.count) + " " + r.diameter);
    return out;
}

// Fed in pieces of every size, so that a word cut between two reads counts
// as if it were whole.
DcodeList scanDcodes(std::string_view text, size_t piece)
{
    DcodeScanner s;
    for (size_t i = 0; i < text.size(); i += piece)
        s.feed(text.substr(i, piece));
    return s.finish("f.ger");
}

ToolList scanTools(std::string_view text, bool x0y0IsHit = false, size_t piece = 1)
{
    ToolScanner s(x0y0IsHit);
    for (size_t i = 0; i < text.size(); i += piece)
        s.feed(text.substr(i, piece));
    return s.finish("f.drl");
}

TEST(DcodeScanner, CountsFlashesDrawsAndRepeatedDrawBlocks)
{
    struct Case {
        const char *text;
        Lines rows;
    };
    const Case cases[] = {
        {"D10*X0Y0D03*X100Y0D03*D11*X0Y0D02*X100Y0D01*Y100*D10*X50Y50D03*M02*", {"D10 3 0", "D11 0 2"}},
        {"X0Y0D03*D12*X5Y5D03*M02*", {"D12 2 0"}},
        {"X0Y0D03*X5Y5D01*M02*", {}},
        // "D1" and "D01" both draw; D010 is another aperture than D10.
        {"D10*X0Y0D2*X5Y0D1*X9Y9D01*D010*X1Y1D3*", {"D10 0 2", "D010 1 0"}},
        // A D word broken over a line is one word; CR then a letter ends it.
        {"D1\r\n0*X1Y1D03*D1\r0*X2Y2D3*D11\rX5Y5D03*", {"D10 2 0", "D11 1 0"}},
        // Parameter blocks are skipped whole.
        {"%ADD10C,0.5*%%ADD11R,1X1*%D11*X1Y1D03*", {"D11 1 0"}},
    };
    for (const Case &c : cases) {
        for (size_t piece : {1, 3, 1000}) {
            SCOPED_TRACE(std::string(c.text) + " in pieces of " + std::to_string(piece));
            EXPECT_EQ(dcodeRows(scanDcodes(c.text, piece)), c.rows);
        }
    }
}

TEST(DcodeScanner, MoreThanAHundredCodesAreAllListed)
{
    std::string text;
    for (int d = 10; d < 160; ++d)
        text += "D" + std::to_string(d) + "*X1Y1D03*";
    DcodeList list = scanDcodes(text, 7);
    ASSERT_EQ(list.rows.size(), 150u);
    EXPECT_EQ(list.rows[149].code, "D159");
    EXPECT_EQ(list.rows[149].flashes, 1u);
}

TEST(ToolScanner, CountsHitsPerToolText)
{
    struct Case {
        const char *text;
        bool x0y0IsHit;
        Lines rows;
    };
    const Case cases[] = {
        {"T1\nX100Y100\nX200Y100\nX300Y100\nT2\nX1Y1\nX2Y2\nT1\nX1Y1\nX2Y2\nX3Y3\nX4Y4\n", false, {"T1 7 ", "T2 2 "}},
        {"T1C0.8\nT2C1.0\n%\nT2\nX1Y1\nT1\nX2Y2\nX3Y3\n", false, {"T1 2 0.8", "T2 1 1.0"}},
        // Hits before the first tool are not counted; T0 and T00 are no tools;
        // T1 and T01 differ; a tool without hits leaves its row empty.
        {"X1Y1\nT01\nX1Y1\nT00\nX2Y2\nT3\nT1\nX5Y5\n", false, {"T01 2 ", "-", "T1 1 "}},
        // A block at the origin is a hit only without G80 and with x0y0IsHit.
        {"T1\nX0Y0\nG80\nX0Y0\n", true, {"T1 1 "}},
        {"T1\nX0Y0\n", false, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        Lines rows = toolRows(scanTools(c.text, c.x0y0IsHit));
        while (!rows.empty() && rows.back() == "-")
            rows.pop_back();
        EXPECT_EQ(rows, c.rows);
    }
    try {
        scanTools("T1\nX-Y5\n");
        FAIL() << "a lone '-' is no integer";
    } catch (const KorvaneError &e) {
        EXPECT_STREQ(e.text(), "'-' は整数ではありません");
    }
}

TEST(UsageListReports, LogAndPrintLinesByteForByte)
{
    DcodeList d = scanDcodes("D10*X0Y0D03*D11*X0Y0D02*X100Y0D01*", 4);
    EXPECT_EQ(dcodeLogLines(d),
              (Lines{"*", "*   KORVANE Ver4", "*", "*   使用Dcode番号一覧表", "*", "*   Gerber File: f.ger", "*", "",
                     std::string(41, '-'), "D10    ﾌﾗｯｼｭ：1     ﾄﾞﾛｰ：0", "D11    ﾌﾗｯｼｭ：0     ﾄﾞﾛｰ：1",
                     std::string(41, '-')}));
    Lines printed = dcodePrintLines(d);
    EXPECT_EQ(printed[3], "*   使用Dコード一覧表");
    EXPECT_EQ(printed[8], " DｺｰﾄﾞNo.\tﾌﾗｯｼｭ\t\t\tﾄﾞﾛｰ");
    EXPECT_EQ(printed[9], std::string(45, '-'));
    EXPECT_EQ(printed[10], "    D10             1\t\t\t0");

    ToolList t = scanTools("T1\nX1Y1\n");
    Lines log = toolLogLines(t);
    ASSERT_EQ(log.size(), 8u + 2 + 36 + 1);
    EXPECT_EQ(log[5], "*   Drill File: f.drl");
    EXPECT_EQ(log[8], "Tool  ｶｳﾝﾄ");
    EXPECT_EQ(log[9], std::string(25, '-'));
    EXPECT_EQ(log[10], "T1   1");
    EXPECT_EQ(log[11], "   ");
    EXPECT_EQ(log.back(), std::string(25, '-'));
    Lines tp = toolPrintLines(t);
    EXPECT_EQ(tp[8], " ToolNo.\tｶｳﾝﾄ");
    EXPECT_EQ(tp[9], std::string(32, '-'));
    EXPECT_EQ(tp[10], "    T1              1");

    TempDir dir;
    saveListLog(dir.file("d.log"), dcodeLogLines(d));
    std::string bytes = TempDir::read(dir.file("d.log"));
    EXPECT_EQ(bytes.substr(0, 21), "*\r\n*   KORVANE Ver4\r\n");
    EXPECT_EQ(cp932ToUtf8(bytes).find("D10    ﾌﾗｯｼｭ：1     ﾄﾞﾛｰ：0\r\n") != std::string::npos, true);
    EXPECT_NE(bytes.find(utf8ToCp932("ﾌﾗｯｼｭ")), std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.size() - 43), std::string(41, '-') + "\r\n");
}

TEST(UsageListsOfTheDisplay, RolesCodesAndToolNames)
{
    Document doc;
    auto add = [&](ItemKind kind, int code, int role, double tool = 0) {
        AppendArgs a{kind};
        a.code = code;
        a.role = role;
        a.toolSize = tool;
        doc.appendItem(a);
    };
    add(ItemKind::UnderPolygonVertex, 20, RoleDraw);
    add(ItemKind::Ellipse, 11, RoleFlash);
    add(ItemKind::MoveTo, 11, RoleAuxiliary);
    add(ItemKind::LineTo, 10, RoleDraw);
    add(ItemKind::Ellipse, 10, RoleFlash);
    add(ItemKind::MoveTo, 5, RoleDrillHit, 0.8);
    add(ItemKind::MoveTo, 12, RoleDrillHit, 1.25);
    add(ItemKind::MoveTo, 5, RoleDrillHit, 0.8);
    EXPECT_TRUE(dcodesOfDocument(doc).rows.empty()) << "nothing shown";
    doc.hasData = 1;
    doc.drillLoaded = 1;
    DcodeList d = dcodesOfDocument(doc);
    EXPECT_EQ(d.source, "表示データ");
    EXPECT_EQ(dcodeRows(d), (Lines{"D11 1 0", "D10 1 1", "D20 0 1"}));
    EXPECT_EQ(toolRows(toolsOfDocument(doc)), (Lines{"T05 2 0.8", "T12 1 1.25"}));
}

}  // namespace
}  // namespace korvane
