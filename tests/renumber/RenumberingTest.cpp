#include "renumber/Renumbering.h"
#include "convert/ConvertTexts.h"
#include "core/Errors.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace korvane::testing {
namespace {

using Report = std::vector<RenumberReportLine>;

ChangeTable tableOf(RenumberMode mode, std::initializer_list<ChangeRow> rows)
{
    ChangeTable table(mode);
    std::size_t i = 0;
    for (const ChangeRow &row : rows)
        table.rows[i++] = row;
    return table;
}

struct Case {
    const char *name;
    RenumberMode mode;
    std::initializer_list<ChangeRow> rows;
    std::string input;
    std::string output;
    Report report;
};

std::string renumber(const Case &c, std::size_t piece, Report &report)
{
    ChangeTable table = tableOf(c.mode, c.rows);
    StringSink sink;
    RenumberReportLines lines;
    Renumberer r(c.mode, table, sink, lines);
    for (std::size_t i = 0; i < c.input.size(); i += piece)
        r.feed(std::string_view(c.input).substr(i, piece));
    r.finish();
    report = lines.lines;
    return sink.text;
}

TEST(Renumbering, CopiesEveryByteButTheChangedWords)
{
    const RenumberMode T = RenumberMode::Tool, D = RenumberMode::DCode;
    const Case cases[] = {
        {"whole word match", T, {{"T1", "T05"}}, "T1\r\nT01\r\n", "T05\r\nT01\r\n", {{"T1", "T05"}, {"T01", "T01"}}},
        {"twice, two lines", T, {{"T3", "T7"}}, "T3C1.0\r\nT3\r\n", "T7C1.0\r\nT7\r\n", {{"T3", "T7"}, {"T3", "T7"}}},
        {"header words keep their T", T, {{"T1", "T2"}}, "M48\r\nMETRIC\r\n", "M48\r\nMETRIC\r\n", {}},
        {"second T ends the first word", T, {{"T1", "T9"}, {"T2", "T8"}}, "T1T2", "T9T2", {{"T1", "T9"}}},
        {"word at the end", T, {{"T12", "T3"}}, "X1T12", "X1T3", {{"T12", "T3"}}},
        {"first matching row wins", T, {{"T1", "T5"}, {"T1", "T6"}}, "T1\n", "T5\n", {{"T1", "T5"}}},
        {"comments as they are",
         T,
         {{"T20", "T3"}},
         "; date 2023-06-01T20:54:24\n(T20)T20;T20\nT20\n",
         "; date 2023-06-01T20:54:24\n(T20)T3;T20\nT3\n",
         {{"T20", "T3"}, {"T20", "T3"}}},
        {"select renumbered", D, {{"D15", "D22"}}, "G54D15*\r\n", "G54D22*\r\n", {{"D15", "D22"}}},
        {"operations untouched", D, {{"D02", "D22"}}, "X100Y200D02*\r\nD01*D03*", "X100Y200D02*\r\nD01*D03*", {}},
        {"broken word joined", D, {{"D10", "D11"}}, "D1\r\n0*\r\n", "D11*\r\n", {{"D10", "D11"}}},
        {"broken by LF only", D, {}, "D1\n5*", "D15*", {{"D15", "D15"}}},
        {"short operation looked up", D, {}, "X1D2*", "X1D2*", {{"D2", "D2"}}},
        {"unknown code listed", D, {{"D15", "D22"}}, "D16*", "D16*", {{"D16", "D16"}}},
        {"aperture definition", D, {{"D15", "D22"}}, "%ADD15C,0.5*%\r\n", "%ADD22C,0.5*%\r\n", {{"D15", "D22"}}},
        {"only the block's first definition",
         D,
         {{"D10", "D20"}, {"D11", "D21"}},
         "%ADD10C,0.5*ADD11R,1X1*%",
         "%ADD20C,0.5*ADD11R,1X1*%",
         {{"D10", "D20"}}},
        {"other blocks as they are",
         D,
         {{"D10", "D20"}},
         "%LPD*%\r\n%AMDONUT*\r\n1,1,$1,0,0*%\r\n",
         "%LPD*%\r\n%AMDONUT*\r\n1,1,$1,0,0*%\r\n",
         {}},
        {"text before the definition kept",
         D,
         {{"D10", "D20"}},
         "%LPD*%%ADD10C,1*%",
         "%LPD*%%ADD20C,1*%",
         {{"D10", "D20"}}},
        {"D without digits", D, {{"D", "D9"}}, "DX%ADDC*", "DX%ADDC*", {}},
        {"line end after a word without *",
         D,
         {{"D10", "D20"}, {"D11", "D21"}},
         "D10\r\nX1D02\r\nD11\r\n",
         "D20\r\nX1D02\r\nD21\r\n",
         {{"D10", "D20"}, {"D11", "D21"}}},
        {"row without replacement unused", D, {{"D10", ""}}, "D10*", "D10*", {{"D10", "D10"}}},
        {"block cut by the end", D, {{"D10", "D20"}}, "%ADD10", "%ADD20", {{"D10", "D20"}}},
    };
    for (const Case &c : cases) {
        for (std::size_t piece : {c.input.size() + 1, std::size_t{1}}) {
            Report report;
            EXPECT_EQ(renumber(c, piece, report), c.output) << c.name << " in pieces of " << piece;
            EXPECT_EQ(report, c.report) << c.name;
        }
    }
}

TEST(Renumbering, LongBlockWithoutDefinitionPassesThrough)
{
    Case c{"", RenumberMode::DCode, {{"D10", "D20"}}, "%" + std::string(10000, 'G') + "%ADD10C*", "", {}};
    c.output = "%" + std::string(10000, 'G') + "%ADD20C*";
    Report report;
    EXPECT_EQ(renumber(c, 777, report), c.output);
}

TEST(RenumberFile, WritesTheOutputAndRefusesTheInput)
{
    TempDir dir;
    std::string in = dir.write("in.drl", "T1\r\nX1Y1\r\n");
    ChangeTable table = tableOf(RenumberMode::Tool, {{"T1", "T2"}});
    RenumberReportLines report;
    renumberFile(RenumberMode::Tool, table, in, dir.file("out.drl"), report);
    EXPECT_EQ(TempDir::read(dir.file("out.drl")), "T2\r\nX1Y1\r\n");
    EXPECT_EQ(report.lines.size(), 1U);

    try {
        renumberFile(RenumberMode::Tool, table, in, in, report);
        FAIL();
    } catch (const KorvaneError &e) {
        EXPECT_STREQ(e.text(), convmsg::OutputIsInput);
    }
    EXPECT_EQ(TempDir::read(in), "T1\r\nX1Y1\r\n");
    EXPECT_THROW(renumberFile(RenumberMode::Tool, table, dir.file("none.drl"), dir.file("x.drl"), report),
                 KorvaneError);
}

TEST(ChangeTableFile, SavesEveryRowAndLoadsItBack)
{
    TempDir dir;
    for (RenumberMode mode : {RenumberMode::DCode, RenumberMode::Tool}) {
        ChangeTable table(mode);
        table.rows[0] = {"D15", "D22"};
        table.rows[3] = {"D1", "D100"};
        std::string path = dir.file("t.tbl");
        saveChangeTable(path, table, mode, "old.tbl");
        std::string bytes = TempDir::read(path);
        std::string header = mode == RenumberMode::DCode ? "*   Dcode\x94\xd4\x8d\x86\x95\xcf\x8dX\xc3\xb0\xcc\xde\xd9"
                                                         : "*   Tool\x94\xd4\x8d\x86\x95\xcf\x8dX\xc3\xb0\xcc\xde\xd9";
        std::string expected =
            "*\r\n*   KORVANE Ver4\r\n*\r\n" + header + "\r\n*\r\n*   Table File: old.tbl\r\n*\r\nD15 D22\r\n";
        EXPECT_EQ(bytes.substr(0, expected.size()), expected);
        std::size_t rows = static_cast<std::size_t>(changeTableRowCount(mode));
        std::size_t lines = 0;
        for (std::size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2))
            ++lines;
        EXPECT_EQ(lines, 7 + rows);
        EXPECT_NE(bytes.find("\r\n \r\n \r\nD1 D100\r\n \r\n"), std::string::npos);

        ChangeTable loaded(mode);
        loaded.rows[1] = {"x", "y"};
        loadChangeTable(path, loaded);
        EXPECT_EQ(loaded.rows, table.rows);
    }
}

TEST(ChangeTableFile, ReadingRules)
{
    ChangeTable table(RenumberMode::Tool);
    table.rows[3] = {"T9", "T10"};
    readChangeTableLines({"* comment", "", "T1   T2  ", "T3", " T4", "T5 T6 T7"}, table);
    EXPECT_EQ(table.rows[0], (ChangeRow{"T1", "T2"}));
    EXPECT_EQ(table.rows[1], (ChangeRow{"", "T3"}));
    EXPECT_EQ(table.rows[2], (ChangeRow{"", "T4"}));
    EXPECT_EQ(table.rows[3], (ChangeRow{"T5", "T6 T7"}));
    EXPECT_EQ(table.rows[4], (ChangeRow{}));

    std::vector<std::string> many(60, "T1 T2");
    many.back() = "T8 T9";
    readChangeTableLines(many, table);
    EXPECT_EQ(table.rows[49], (ChangeRow{"T1", "T2"}));
}

}  // namespace
}  // namespace korvane::testing
