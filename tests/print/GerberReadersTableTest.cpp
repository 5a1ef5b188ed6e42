// One tricky RS-274X file through every reader of Gerber data: the load,
// the print, cross-creation and the two usage lists. The file declares its
// own inch 2.4 format (the settings say mm 3.3), repeats its block twice
// with %SR and flashes a block aperture (%AB) of two pads inside it.
#include "RecordingPage.h"
#include "convert/OutputFile.h"
#include "core/Formats.h"
#include "gerber/GerberReader.h"
#include "lists/UsageLists.h"
#include "print/GerberPrintJob.h"
#include "renumber/CrossCreation.h"
#include "support/FakePorts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace korvane;

namespace {

const char *Tricky = "%FSLAX24Y24*%\n%MOIN*%\n%ADD10C,0.02*%\n"
                     "%ABD20*%\nD10*X0Y0D03*X1000Y0D03*\n%AB*%\n"
                     "%SRX2Y1I1.0J0*%\nD10*X5000Y5000D03*\nD20*X5000Y10000D03*\n%SR*%\nM02*\n";

// The six pads in mm, board frame.
const std::vector<Point> Pads = {{12.7, 12.7}, {12.7, 25.4}, {15.24, 25.4}, {38.1, 12.7}, {38.1, 25.4}, {40.64, 25.4}};

class NoProgress : public PrintProgress {
public:
    void showProgress(const std::string &) override {}
    bool cancelRequested() override { return false; }
    void hideProgress() override {}
};

struct Settled {
    GerberInFormat format;
    Settled()
    {
        format.dialect = GerberDialect::Rs274X;
        format.unit = LengthUnit::Mm;
        format.integerDigits = "3";
        format.decimalDigits = "3";
    }
};

}  // namespace

TEST(GerberReadersTable, OneFileThroughEveryReader)
{
    korvane::testing::TempDir dir;
    const std::string path = dir.write("tricky.gbr", Tricky);

    // The load: six pads where the file's own format puts them.
    Document doc;
    {
        Settled s;
        ApertureTable table;
        MacroLibrary library;
        korvane::testing::FakePrompter prompter;
        korvane::testing::FakeStatus status;
        GerberLoadContext ctx{doc, table, library, s.format, prompter, status};
        loadGerberFiles(ctx, {{1, path}});
        EXPECT_TRUE(prompter.shown.empty());
        std::vector<Point> centres;
        for (const DisplayItem &i : doc.displayList.main())
            if (i.kind == static_cast<int>(ItemKind::Ellipse) && i.role == RoleFlash)
                centres.push_back({(i.x1 + i.x2) / 2, -(i.y1 + i.y2) / 2});
        ASSERT_EQ(centres.size(), Pads.size());
        for (const Point &p : Pads)
            EXPECT_TRUE(std::any_of(centres.begin(), centres.end(),
                                    [&](Point c) { return std::abs(c.x - p.x) < 1e-9 && std::abs(c.y - p.y) < 1e-9; }))
                << p.x << " " << p.y;
    }

    // The usage list of the loaded drawing counts every copy; the list of
    // the file counts its words as written.
    {
        const DcodeList drawn = dcodesOfDocument(doc);
        const DcodeList written = dcodesOfFile(path);
        auto count = [](const DcodeList &list, const std::string &code) -> std::size_t {
            for (const auto &row : list.rows)
                if (row.code == code)
                    return row.flashes;
            return 0;
        };
        EXPECT_EQ(count(drawn, "D10"), 6u);
        EXPECT_EQ(count(written, "D10"), 3u);
    }

    // The print: six round pads on the page.
    {
        Settled s;
        ApertureTable table;
        MacroLibrary library;
        korvane::testing::FakePrompter prompter;
        korvane::testing::RecordingPage page;
        PageGeometry geometry{0.1, 0.1, 200, 200};
        PrintMapping map(geometry, PrintPlacement{});
        NoProgress progress;
        EXPECT_TRUE(drawGerberOverlay(path, page, map, table, library, s.format, prompter, progress));
        EXPECT_EQ(page.only("ellipse").size(), Pads.size());
        EXPECT_TRUE(prompter.shown.empty());
    }

    // Cross-creation: a hole for every pad.
    {
        Settings settings;
        settings.gerberIn = Settled().format;
        auto apertures = std::make_unique<ApertureTable>();
        MacroLibrary macros;
        korvane::testing::FakePrompter prompter;
        CrossCreationContext ctx{
            settings.gerberIn, settings.gerberOut, settings.drillIn, settings.drillOut, *apertures, macros, prompter};
        CreationTable table;
        table.rows[0] = {"D10", "T01"};
        StringSink out;
        CreationReport report;
        createDrillFromGerber(ctx, table, Tricky, out, report);
        std::string rows;
        for (const auto &r : report.rows)
            rows += r.source + " " + r.target + " " + std::to_string(r.count) + "; ";
        EXPECT_EQ(rows, "D10 T01 6; ");
    }
}
