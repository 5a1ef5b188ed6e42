// End to end on example files of other programs (tests/data/gerber/gerbv):
// each loads without a message and gives the items its picture was checked
// with against gerbv's.
#include "GerberLoadSupport.h"
#include "core/TextFile.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace korvane;
using korvane::testing::GerberLoadFixture;

namespace {

std::map<int, int> kindCounts(const GerberLoadFixture &f)
{
    std::map<int, int> counts;
    for (const auto &item : f.items())
        ++counts[item.kind];
    return counts;
}

std::string text(const std::map<int, int> &counts)
{
    std::string out;
    for (auto [kind, n] : counts)
        out += std::to_string(kind) + ":" + std::to_string(n) + " ";
    return out;
}

}  // namespace

TEST(RealGerberFiles, LoadWithoutAMessageAndGiveTheirItems)
{
    struct Case {
        const char *file;
        const char *counts;  // kind:count, in kind order
    } cases[] = {
        {"am-test.gbx", "11:12 13:5 14:9 18:215 19:10 "},
        {"example.grb", "11:5 13:1 18:10 19:2 "},
        {"jj1.grb", "11:48 18:120 19:24 "},
        {"limit-ex.grb", "18:40 19:8 "},
        {"top-cop.gbx", "12:4 13:170 14:525 18:450 19:50 "},
        {"uwe-example.gbr", "11:4 13:3 14:6 18:20 19:4 "},
    };
    for (const auto &c : cases) {
        GerberLoadFixture f;
        f.format.dialect = GerberDialect::Rs274X;
        f.format.unit = LengthUnit::Inch;  // what a file without %MO is read in
        auto outcome = f.load({readFileBytes(std::string(KORVANE_TEST_DATA) + "/gerber/gerbv/" + c.file)});
        EXPECT_EQ(outcome.end, GerberLoadOutcome::End::Completed) << c.file;
        EXPECT_TRUE(f.prompter.shown.empty())
            << c.file << ": " << (f.prompter.shown.empty() ? "" : f.prompter.shown[0].text);
        EXPECT_EQ(text(kindCounts(f)), c.counts) << c.file;
    }
}
