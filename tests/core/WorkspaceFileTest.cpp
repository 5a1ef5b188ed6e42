#include "core/WorkspaceFile.h"

#include "core/Encoding.h"
#include "core/Messages.h"
#include "core/Numbers.h"
#include "core/TextFile.h"
#include "support/FakePorts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <csignal>
#include <cstring>
#include <limits>
#include <random>
#include <sys/resource.h>

using namespace korvane;
using namespace korvane::testing;

namespace {

class FakeWindow : public WorkspaceWindow {
public:
    std::vector<std::string> calls;
    std::string caption = "ＫＯＲＶＡＮＥ";

    void layerTableChanged() override { calls.push_back("layerTable"); }
    void workspaceRead(int dataKind) override { calls.push_back("workspaceRead " + std::to_string(dataKind)); }
    void clearAllData() override { calls.push_back("clearAllData"); }
    void fitLoadedDrawing() override { calls.push_back("fit"); }
    void clearView() override { calls.push_back("clearView"); }
    void clearLayerSelection() override { calls.push_back("clearLayerSelection"); }
    void clearApertureTable() override { calls.push_back("clearApertureTable"); }
    void setCaption(const std::string &text) override { caption = text; }
};

AppendArgs box(ItemKind kind, double x1, double x2, double y1, double y2)
{
    AppendArgs a{kind};
    a.x1 = x1, a.x2 = x2, a.y1 = y1, a.y2 = y2;
    return a;
}

// Gerber and drill data on three slots, one of them without a name, with
// items in both sequences.
Document sampleDocument()
{
    Document doc;
    doc.hasData = 1;
    doc.gerberLoaded = 1;
    doc.drillLoaded = 1;
    doc.layers.slot(1).colour = colours::Lime;
    doc.layers.slot(1).fileName = "top layer.gbr";
    doc.layers.slot(2).colour = colours::Red;  // no name: not written
    doc.layers.slot(3).colour = 0x123456;
    doc.layers.slot(3).fileName = "ドリル.drl";
    doc.minX = -12.5;
    doc.minY = 0.000001;
    doc.extentX = 100;
    doc.extentY = 0.25;

    AppendArgs ellipse = box(ItemKind::UnderEllipse, 1, 2, -3, -4);
    ellipse.fill = 4, ellipse.colourLayer = 0, ellipse.layer = 2, ellipse.code = 10, ellipse.role = 1;
    ellipse.width = 1, ellipse.toolSize = 0.5;
    doc.appendItem(ellipse);
    AppendArgs sector = box(ItemKind::SectorCw, -1, 1, -1, 1);
    sector.arcStart = {1, 0}, sector.arcEnd = {0, 1}, sector.layer = 1, sector.colourLayer = 1;
    sector.width = 0.1;
    doc.appendItem(sector);
    AppendArgs line{ItemKind::LineTo, 1, 3, 3, 7, 3};
    line.width = 2E20, line.x1 = 0.000001, line.y1 = -7.75, line.toolSize = 0.8;
    doc.appendItem(line);
    return doc;
}

std::vector<DisplayItem> itemsOf(const ItemSequence &seq) { return {seq.begin(), seq.end()}; }

void expectSameItem(const DisplayItem &a, const DisplayItem &b)
{
    EXPECT_EQ(a.x1, b.x1);
    EXPECT_EQ(a.x2, b.x2);
    EXPECT_EQ(a.y1, b.y1);
    EXPECT_EQ(a.y2, b.y2);
    EXPECT_EQ(a.sweepEndX, b.sweepEndX);
    EXPECT_EQ(a.sweepStartX, b.sweepStartX);
    EXPECT_EQ(a.sweepEndY, b.sweepEndY);
    EXPECT_EQ(a.sweepStartY, b.sweepStartY);
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.toolSize, b.toolSize);
    EXPECT_EQ(a.kind, b.kind);
    EXPECT_EQ(a.fill, b.fill);
    EXPECT_EQ(a.colourLayer, b.colourLayer);
    EXPECT_EQ(a.layer, b.layer);
    EXPECT_EQ(a.code, b.code);
    EXPECT_EQ(a.role, b.role);
}

const std::string Header = "1 clLime a.gbr\r\n**end**\r\n0 0\r\n10 10\r\n";
const std::string Item = "1 0 0 0 -2 0 0 0 13 0 1 1 1 0 0 0\r\n";

}  // namespace

TEST(WorkspaceLayout, WritesTheExactLayout)
{
    const std::string expected = "0 2\r\n"
                                 "1 clLime top layer.gbr\r\n"
                                 "3 $00123456 " +
                                 utf8ToCp932("ドリル.drl") +
                                 "\r\n"
                                 "**end**\r\n"
                                 "-12.5 1E-6\r\n"
                                 "100 0.25\r\n"
                                 // underlay first: the ellipse as kind 11, the sector as 56
                                 "1 2 0 0 -3 -4 0 0 11 1 4 0 2 10 1 0.5\r\n"
                                 "-1 1 1 0 -1 1 0 1 56 0.1 0 1 1 0 0 0\r\n"
                                 "1E-6 0 0 0 -7.75 0 0 0 14 2E20 1 3 3 7 3 0.8\r\n";
    EXPECT_EQ(workspaceBytes(sampleDocument()), expected);
}

TEST(WorkspaceLayout, DataKindLineFollowsTheLoadFlags)
{
    struct Case {
        int gerber, drill;
        const char *firstLine;
    } cases[] = {{1, 0, "0 0"}, {0, 1, "0 1"}, {1, 1, "0 2"}, {0, 0, "**end**"}};
    for (const auto &c : cases) {
        Document doc;
        doc.gerberLoaded = c.gerber;
        doc.drillLoaded = c.drill;
        std::string bytes = workspaceBytes(doc);
        EXPECT_EQ(bytes.substr(0, bytes.find("\r\n")), c.firstLine) << c.gerber << c.drill;
    }
}

TEST(WorkspaceLayout, ValuesNoLineCouldHoldAreWrittenSoTheFileReadsBackWhole)
{
    Document doc = sampleDocument();
    doc.layers.slot(1).fileName = "two\nlines.gbr";  // a legal Linux file name
    doc.extentX = -1;
    AppendArgs bad{ItemKind::LineTo};
    bad.layer = 1;
    bad.x1 = std::numeric_limits<double>::infinity();
    bad.y1 = std::numeric_limits<double>::quiet_NaN();
    bad.width = -std::numeric_limits<double>::max();
    doc.appendItem(bad);
    doc.appendItem(AppendArgs{ItemKind::MoveTo, 0, 1, 1});

    WorkspaceData data = readWorkspace(workspaceBytes(doc));
    EXPECT_EQ(data.error, "");
    EXPECT_EQ(data.items.size(), 5u);
    ASSERT_EQ(data.layers.size(), 2u);
    EXPECT_EQ(data.layers[0].fileName, "two?lines.gbr");
    EXPECT_EQ(data.extentX, 0);
    const DisplayItem &item = data.items.main()[3];
    EXPECT_EQ(item.x1, 1.79769313486231E308);
    EXPECT_EQ(item.y1, 0);
    EXPECT_EQ(item.width, -1.79769313486231E308);
}

TEST(WorkspaceLayout, EveryRealIsWrittenInTheGeneralForm)
{
    // Decimals of three and six places as files give them, near misses,
    // values of many digits and of every size, against the general form.
    std::mt19937_64 rng(11);
    std::vector<double> values = {0.0001, -0.0001, 0.00009, 999999999.999, 1e9 + 0.5, 0.1 + 0.2, 123.4560001, -5e-5};
    for (int i = 0; i < 30000; ++i) {
        const double whole = double(rng() % 2'000'000'000) - 1e9;
        switch (i % 5) {
        case 0: values.push_back(whole / 1e3); break;
        case 1: values.push_back(whole / 1e6); break;
        case 2: values.push_back(double(rng() % 100'000) / 1e6 * 25.4); break;
        case 3: values.push_back(std::nextafter(whole / 1e3, 0.0)); break;
        default: {
            const auto bits = rng();
            double v;
            std::memcpy(&v, &bits, sizeof v);
            values.push_back(std::isfinite(v) && std::fabs(v) < 1.79769313486231E308 ? v : whole / 7);
        }
        }
    }
    // In x and, negated, in y; with a thousand codes, so that the line ends
    // of many attribute sets are written in turn.
    Document doc;
    for (std::size_t i = 0; i < values.size(); ++i) {
        AppendArgs a{ItemKind::MoveTo};
        a.layer = 1;
        a.x1 = values[i];
        a.y1 = -values[i];
        a.code = static_cast<std::int32_t>(i % 1000);
        doc.appendItem(a);
    }
    const std::string bytes = workspaceBytes(doc);
    const std::string header = "**end**\r\n0 0\r\n0 0\r\n";
    ASSERT_EQ(bytes.substr(0, header.size()), header);
    std::size_t at = header.size();
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::size_t end = bytes.find("\r\n", at);
        std::vector<std::string> fields;
        for (std::size_t from = at; from < end;) {
            const std::size_t space = std::min(bytes.find(' ', from), end);
            fields.push_back(bytes.substr(from, space - from));
            from = space + 1;
        }
        ASSERT_EQ(fields.size(), 16u) << i;
        ASSERT_EQ(fields[0], formatReal(values[i])) << values[i];
        ASSERT_EQ(fields[4], formatReal(-values[i])) << values[i];
        ASSERT_EQ(fields[13], std::to_string(i % 1000)) << i;
        at = end + 2;
    }
}

TEST(WorkspaceRead, ASavedDrawingReadsBackWithEveryItemInTheMainSequence)
{
    const Document saved = sampleDocument();
    Document doc;
    doc.keepExisting = 1;
    doc.appendItem(box(ItemKind::Rectangle, 5, 6, 7, 8));
    doc.layers.slot(5).fileName = "other.gbr";  // not in the file: its file is gone, its tick stays
    doc.layers.slot(5).pendingPath = AlreadyLoadedMarker;
    doc.layers.slot(5).visible = 1;
    doc.layers.slot(1).assignedPath = "/data/top layer.gbr";
    doc.layers.slot(1).pendingPath = AlreadyLoadedMarker;
    doc.layers.slot(1).fileKind = "gb";

    WorkspaceData data = readWorkspace(workspaceBytes(saved));
    EXPECT_EQ(data.error, "");
    EXPECT_EQ(data.dataKind(), 2);
    ASSERT_TRUE(applyWorkspace(std::move(data), doc));

    EXPECT_EQ(doc.displayList.underlay().size(), 0u);
    auto items = itemsOf(doc.displayList.main());
    ASSERT_EQ(items.size(), 3u);
    DisplayItem ellipse = saved.displayList.underlay()[0];
    ellipse.kind = 11;
    expectSameItem(items[0], ellipse);
    expectSameItem(items[1], saved.displayList.underlay()[1]);
    expectSameItem(items[2], saved.displayList.main()[0]);

    EXPECT_EQ(doc.hasData, 1);
    EXPECT_EQ(doc.gerberLoaded, 1);
    EXPECT_EQ(doc.drillLoaded, 1);
    EXPECT_EQ(doc.minX, -12.5);
    EXPECT_EQ(doc.minY, 0.000001);
    EXPECT_EQ(doc.extentX, 100);
    EXPECT_EQ(doc.extentY, 0.25);
    const LayerSlot &top = doc.layers.slot(1);
    EXPECT_EQ(top.fileName, "top layer.gbr");
    EXPECT_EQ(top.colour, colours::Lime);
    EXPECT_EQ(top.visible, 1);
    // Loaded, from no file that could be read again.
    EXPECT_EQ(top.assignedPath, "");
    EXPECT_EQ(top.pendingPath, AlreadyLoadedMarker);
    EXPECT_EQ(doc.layers.slot(3).fileName, "ドリル.drl");
    EXPECT_EQ(doc.layers.slot(3).colour, 0x123456u);
    EXPECT_EQ(doc.layers.slot(2).visible, 0);  // its items keep layer 2
    EXPECT_EQ(doc.layers.slot(5).fileName, "");
    EXPECT_EQ(doc.layers.slot(5).pendingPath, "");
    EXPECT_EQ(doc.layers.slot(5).visible, 1);
}

// Items share their line ends, which are read once and then recognised:
// ends that differ in one character, or more ends than are kept at once,
// must each still give their own values, and a bad end its message.
TEST(WorkspaceRead, LineEndsThatRepeatReadAsTheirOwnValues)
{
    std::string file = "**end**\r\n0 0\r\n1 1\r\n";
    std::vector<int> codes;
    for (int i = 0; i < 60; ++i) {
        const int code = i % 3 == 0 ? 10 + i % 20 : 10 + (i * 7) % 11;
        codes.push_back(code);
        // Codes 10 and 12 give ends of one length that differ in one place.
        file += "1 0 0 0 2 0 0 0 14 0.25 2 1 1 " + std::to_string(code) + " 2 " + (code % 2 ? "0.5" : "0") + "\r\n";
    }
    file += "1 0 0 0 2 0 0 0 14 0.25 2 1 16 10 2 0\r\n";  // layer out of range, after an end like it
    WorkspaceData data = readWorkspace(file);
    ASSERT_EQ(data.items.main().size(), codes.size());
    std::size_t i = 0;
    for (const DisplayItem &item : data.items.main()) {
        EXPECT_EQ(item.code, codes[i]) << i;
        EXPECT_EQ(item.toolSize, codes[i] % 2 ? 0.5 : 0.0) << i;
        EXPECT_EQ(item.width, 0.25);
        EXPECT_EQ(item.layer, 1);
        ++i;
    }
    EXPECT_EQ(data.error, msg::outOfRange("レイヤー番号", "16", "1～15"));
    EXPECT_EQ(data.errorLine, 3 + codes.size() + 1);
}

// Decimals are read in place; every one must be the double the general
// reading gives, the nearest to its text.
TEST(WorkspaceRead, DecimalFieldsReadAsTheNearestDouble)
{
    std::mt19937_64 rng(5);
    std::string file = "**end**\r\n0 0\r\n1 1\r\n";
    std::vector<std::string> texts;
    for (int i = 0; i < 20000; ++i) {
        const int decimals = 1 + static_cast<int>(rng() % 12);
        const int whole = static_cast<int>(rng() % 13);
        std::string text = (rng() % 2 ? "-" : "") +
                           std::to_string(rng() % 10'000'000'000'000ull).substr(0, static_cast<std::size_t>(whole) + 1);
        text +=
            "." + std::to_string(rng() % 1'000'000'000'000ull + 1'000'000'000'000ull).substr(1, std::size_t(decimals));
        if (text.size() > 15)
            text.resize(15);
        if (text.back() == '.')
            text += '5';
        texts.push_back(text);
        file += text + " 0 0 0 0 0 0 0 13 0 0 1 1 0 0 0\r\n";
    }
    WorkspaceData data = readWorkspace(file);
    ASSERT_EQ(data.error, "");
    ASSERT_EQ(data.items.main().size(), texts.size());
    std::size_t i = 0;
    for (const DisplayItem &item : data.items.main()) {
        double expected = 0;
        std::from_chars(texts[i].data(), texts[i].data() + texts[i].size(), expected);
        ASSERT_EQ(item.x1, expected) << texts[i];
        ++i;
    }
}

TEST(WorkspaceRead, StopsAtTheFirstUnreadableOrOutOfRangeLineKeepingTheItemsBefore)
{
    struct Case {
        std::string file;
        std::string error;
        std::size_t line;
        std::size_t items;
    } cases[] = {
        {"", "'' は整数ではありません", 1, 0},
        {"abc\r\n**end**\r\n0 0\r\n1 1\r\n" + Item, "'abc' は整数ではありません", 1, 0},
        {"2 clNoSuch a.gbr\r\n**end**\r\n0 0\r\n1 1\r\n" + Item, "'clNoSuch' は整数ではありません", 1, 0},
        {"1 clLime a.gbr\r\n", "'' は整数ではありません", 2, 0},  // no "**end**"
        {"**end**\r\n1.5\r\n10 10\r\n" + Item, "'' は浮動小数点数ではありません", 2, 0},
        {"**end**\r\n0 0\r\n-1 10\r\n" + Item, "'-1' は浮動小数点数ではありません", 3, 0},
        {"**end**\r\n0 0\r\n", "'' は浮動小数点数ではありません", 3, 0},
        {Header + Item + "1 0 0 0 -2 0 0 0 13 0 1 1 1 0 0 abc\r\n" + Item, "'abc' は浮動小数点数ではありません", 6, 1},
        {Header + Item + "1 0 0 0 -2 0 0 0 13 0 1 1 1 0\r\n", "'' は整数ではありません", 6, 1},
        {Header + Item + "\r\n" + Item, "'' は浮動小数点数ではありません", 6, 1},
        {Header + Item + "1  0 0 -2 0 0 0 13 0 1 1 1 0 0 0\r\n", "'' は浮動小数点数ではありません", 6, 1},
        {Header + Item + "1 0 0 0 -2 0 0 0 13 0 1 1 1 0 0 0 9\r\n", "'0 9' は浮動小数点数ではありません", 6, 1},
        {Header + "1 0 0 0 -2 0 0 0 13 0 1 1 16 0 0 0\r\n", "レイヤー番号 '16' は範囲外です（1～15）", 5, 0},
        {Header + "1 0 0 0 -2 0 0 0 13 0 1 1 0 0 0 0\r\n", "レイヤー番号 '0' は範囲外です（1～15）", 5, 0},
        {Header + "1 0 0 0 -2 0 0 0 13 0 1 -1 1 0 0 0\r\n", "色レイヤー番号 '-1' は範囲外です（0～15）", 5, 0},
        {Header + "1 0 0 0 -2 0 0 0 13 0 1 16 1 0 0 0\r\n", "色レイヤー番号 '16' は範囲外です（0～15）", 5, 0},
        {Header + "1 0 0 0 -2 0 0 0 41 0 1 1 1 0 0 0\r\n", "種類 '41' は範囲外です（11～19, 55, 56）", 5, 0},
        {Header + "1 0 0 0 -2 0 0 0 20 0 1 1 1 0 0 0\r\n", "種類 '20' は範囲外です（11～19, 55, 56）", 5, 0},
        {Header + "1E400 0 0 0 -2 0 0 0 13 0 1 1 1 0 0 0\r\n", "'1E400' は浮動小数点数ではありません", 5, 0},
        {Header + "-1.7976931348623157E308 0 0 0 -2 0 0 0 13 0 1 1 1 0 0 0\r\n",
         "'-1.7976931348623157E308' は浮動小数点数ではありません", 5, 0},  // the next save could not write it
        {Header + std::string(300, '7') + "x 0\r\n", "'" + std::string(100, '7') + "…' は浮動小数点数ではありません", 5,
         0},
        {Header + "nan 0 0 0 -2 0 0 0 13 0 1 1 1 0 0 0\r\n", "'nan' は浮動小数点数ではありません", 5, 0},
        {Header + "1 0 0 0 -2 0 0 0 13 0 1 99999999999 1 0 0 0\r\n", "'99999999999' は整数ではありません", 5, 0},
    };
    for (const auto &c : cases) {
        WorkspaceData data = readWorkspace(c.file);
        EXPECT_EQ(data.error, c.error) << c.file;
        EXPECT_EQ(data.errorLine, c.line) << c.file;
        EXPECT_EQ(data.items.size(), c.items) << c.file;
    }
}

TEST(WorkspaceRead, LinesTheLoadTakesOrIgnores)
{
    WorkspaceData data = readWorkspace("0 1\n"               // LF line ends read too
                                       "0 5\n"               // an unknown data kind does nothing
                                       "16 clRed nowhere\n"  // no such slot: ignored
                                       "-3 x\n"
                                       "2 $000000FF  spaced name \n"
                                       "2 clBlue again\n"  // the last line for a slot wins
                                       "**end**\n"
                                       "0 0\n"
                                       "0 0\n"
                                       "1 0 0 0 -2 0 0 0 55 0 1 0 15 7 2\n");  // fifteen values
    EXPECT_EQ(data.error, "");
    EXPECT_EQ(data.dataKind(), 1);
    ASSERT_EQ(data.layers.size(), 2u);
    EXPECT_EQ(data.layers[0].slot, 2);
    EXPECT_EQ(data.layers[0].colour, colours::Red);
    EXPECT_EQ(data.layers[0].fileName, " spaced name ");
    ASSERT_EQ(data.items.size(), 1u);
    const DisplayItem &item = data.items.main()[0];
    EXPECT_EQ(item.kind, 55);
    EXPECT_EQ(item.layer, 15);
    EXPECT_EQ(item.role, 2);
    EXPECT_EQ(item.toolSize, 0);

    Document doc;
    ASSERT_TRUE(applyWorkspace(std::move(data), doc));
    EXPECT_EQ(doc.layers.slot(2).colour, colours::Blue);
    EXPECT_EQ(doc.layers.slot(2).fileName, "again");
}

TEST(WorkspaceRead, FlagsNotNamedKeepTheirValuesAndAFileWithoutItemsChangesNothing)
{
    Document doc;
    doc.gerberLoaded = 1;
    ASSERT_TRUE(applyWorkspace(readWorkspace("0 1\r\n**end**\r\n0 0\r\n1 1\r\n" + Item), doc));
    EXPECT_EQ(doc.gerberLoaded, 1);
    EXPECT_EQ(doc.drillLoaded, 1);

    Document kept = sampleDocument();
    EXPECT_FALSE(applyWorkspace(readWorkspace("0 1\r\n5 clRed b.drl\r\n**end**\r\n1 2\r\n3 4\r\n"), kept));
    EXPECT_EQ(kept.displayList.size(), 3u);
    EXPECT_EQ(kept.layers.slot(5).fileName, "");
    EXPECT_EQ(kept.extentX, 100);
}

// ---- the commands ------------------------------------------------------------

TEST(WorkspaceCommands, SaveAsksForAFileWritesItAndNamesTheWindow)
{
    TempDir dir;
    Document doc = sampleDocument();
    FakePrompter prompter;
    FakeFilePicker picker;
    FakeStatus status;
    FakeWindow window;
    std::string path = dir.file("board.gdb");
    picker.saveAnswers.push_back(path);

    ASSERT_TRUE(saveWorkspace(doc, prompter, picker, status, window));
    ASSERT_EQ(picker.asked.size(), 1u);
    const FileDialogSpec &request = picker.asked[0];
    EXPECT_EQ(request.title, "ﾃﾞｰﾀﾍﾞｰｽの保存");
    EXPECT_EQ(request.filter, "KORVANE Files(*.gdb)|*.gdb|All Files(*.*)|*.*");
    EXPECT_EQ(request.defaultExtension, "gdb");
    EXPECT_EQ(request.proposedName, "");
    EXPECT_TRUE(request.confirmOverwrite);
    EXPECT_EQ(status.statusHistory, std::vector<std::string>{path + "を保存中．．．"});
    EXPECT_EQ(status.status, "");
    EXPECT_EQ(status.busyDepth, 0);
    EXPECT_EQ(window.caption, "board.gdb");
    EXPECT_EQ(TempDir::read(path), workspaceBytes(doc));
    EXPECT_TRUE(prompter.shown.empty());

    // Cancelled, or nothing to save: no file, no caption.
    FakeWindow other;
    EXPECT_FALSE(saveWorkspace(doc, prompter, picker, status, other));
    doc.hasData = 0;
    picker.saveAnswers.push_back(dir.file("never.gdb"));
    EXPECT_FALSE(saveWorkspace(doc, prompter, picker, status, other));
    EXPECT_EQ(picker.asked.size(), 2u);
    EXPECT_EQ(other.caption, "ＫＯＲＶＡＮＥ");
    EXPECT_FALSE(fileExists(dir.file("never.gdb")));
}

TEST(WorkspaceCommands, AFailedSaveKeepsThePreviousFile)
{
    // A file size limit makes the write fail half-way, even for root.
    TempDir dir;
    std::string path = dir.write("board.gdb", "precious");
    FakePrompter prompter;
    FakeFilePicker picker;
    FakeStatus status;
    FakeWindow window;
    picker.saveAnswers.push_back(path);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 16;
    ::setrlimit(RLIMIT_FSIZE, &small);
    bool saved = saveWorkspace(sampleDocument(), prompter, picker, status, window);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"ディスクがいっぱいです"});
    EXPECT_EQ(prompter.shown[0].kind, MessageKind::Error);
    EXPECT_EQ(TempDir::read(path), "precious");
    EXPECT_EQ(window.caption, "ＫＯＲＶＡＮＥ");
    EXPECT_EQ(status.busyDepth, 0);
}

TEST(WorkspaceCommands, LoadReplacesTheDrawingAndFitsIt)
{
    TempDir dir;
    Document saved = sampleDocument();
    saved.gerberLoaded = 0;  // drill data only
    std::string path = dir.write("drill only.gdb", workspaceBytes(saved));
    Document doc;
    doc.keepExisting = 1;
    doc.appendItem(box(ItemKind::Rectangle, 5, 6, 7, 8));
    FakePrompter prompter;
    FakeFilePicker picker;
    FakeStatus status;
    FakeWindow window;
    picker.openAnswers.push_back(path);

    ASSERT_TRUE(loadWorkspace(doc, prompter, picker, status, window));
    ASSERT_EQ(picker.asked.size(), 1u);
    EXPECT_EQ(picker.asked[0].title, "ﾃﾞｰﾀﾍﾞｰｽの選択");
    EXPECT_EQ(picker.asked[0].filter, "KORVANE Files(*.gdb)|*.gdb|All Files(*.*)|*.*");
    EXPECT_EQ(status.statusHistory, std::vector<std::string>{"drill only.gdbを読込中．．．"});
    EXPECT_EQ(status.status, "");
    EXPECT_EQ(status.busyDepth, 0);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(window.calls, (std::vector<std::string>{"workspaceRead 1", "layerTable", "fit"}));
    EXPECT_EQ(doc.displayList.main().size(), 3u);
    EXPECT_EQ(doc.displayList.main()[0].kind, 11);
    EXPECT_EQ(doc.drillLoaded, 1);
    EXPECT_EQ(doc.hasData, 1);

    picker.openAnswers.push_back(std::nullopt);
    EXPECT_FALSE(loadWorkspace(doc, prompter, picker, status, window));
    EXPECT_EQ(window.calls.size(), 3u);
}

TEST(WorkspaceCommands, ALoadThatReadsNoItemLeavesThePresentDrawing)
{
    struct Case {
        std::string name;
        std::string bytes;  // empty name: the file does not exist
        std::vector<std::string> messages;
        bool applied;
    } cases[] = {
        {"", "", {"ファイルが見つかりません"}, false},
        {"picture.bmp", "BM6 picture", {"'BM6' は整数ではありません"}, false},
        {"empty.gdb", "**end**\r\n0 0\r\n1 1\r\n", {}, false},
        {"damaged.gdb", Header + Item + "1 0 0 0 -2 0 x\r\n", {"'x' は浮動小数点数ではありません"}, true},
    };
    for (const auto &c : cases) {
        TempDir dir;
        std::string path = c.name.empty() ? dir.file("missing.gdb") : dir.write(c.name, c.bytes);
        Document doc = sampleDocument();
        FakePrompter prompter;
        FakeStatus status;
        FakeWindow window;
        EXPECT_EQ(openWorkspace(path, doc, prompter, status, window), c.applied) << c.name;
        EXPECT_EQ(prompter.texts(), c.messages) << c.name;
        EXPECT_EQ(status.busyDepth, 0);
        if (c.applied) {
            // What was read before the damaged line is drawn.
            EXPECT_EQ(doc.displayList.size(), 1u);
            EXPECT_EQ(window.calls, (std::vector<std::string>{"workspaceRead -1", "layerTable", "fit"}));
        } else {
            EXPECT_EQ(doc.displayList.size(), 3u) << c.name;
            EXPECT_EQ(doc.layers.slot(1).fileName, "top layer.gbr");
            EXPECT_EQ(doc.extentX, 100);
            EXPECT_TRUE(window.calls.empty()) << c.name;
        }
    }
}

TEST(WorkspaceCommands, ClearAllAsksThenEmptiesTheDocumentAndTheWindowsParts)
{
    Document doc = sampleDocument();
    doc.keepExisting = 1;
    doc.maxX = 40;
    for (int n = 1; n <= LayerCount; ++n) {
        doc.layers.slot(n).visible = 1;
        doc.layers.slot(n).assignedPath = "/data/f" + std::to_string(n);
        doc.layers.slot(n).pendingPath = AlreadyLoadedMarker;
    }
    FakePrompter prompter;
    FakeStatus status;
    FakeWindow window;

    prompter.answers.push_back(Answer::No);
    EXPECT_FALSE(clearAll(doc, prompter, status, window));
    EXPECT_EQ(doc.displayList.size(), 3u);
    EXPECT_TRUE(window.calls.empty());
    EXPECT_EQ(status.maxBusyDepth, 0);

    prompter.answers.push_back(Answer::Yes);
    EXPECT_TRUE(clearAll(doc, prompter, status, window));
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[1].kind, MessageKind::Warning);
    EXPECT_EQ(prompter.shown[1].buttons, Buttons::YesNo);
    EXPECT_EQ(prompter.shown[1].text, "全てのデータを消去して初期化しますか？");
    EXPECT_EQ(doc.displayList.size(), 0u);
    EXPECT_EQ(doc.hasData + doc.gerberLoaded + doc.drillLoaded + doc.keepExisting, 0);
    EXPECT_EQ(doc.extentX, 0);
    EXPECT_EQ(doc.extentY, 0);
    EXPECT_EQ(doc.minX, -12.5);  // the next load overwrites them
    EXPECT_EQ(doc.maxX, 40);
    for (int n = 1; n <= LayerCount; ++n) {
        const LayerSlot &slot = doc.layers.slot(n);
        EXPECT_EQ(slot.fileName, "");
        EXPECT_EQ(slot.visible, 0);
        EXPECT_EQ(slot.assignedPath, "");
        EXPECT_EQ(slot.pendingPath, "");
    }
    EXPECT_EQ(doc.layers.slot(1).colour, colours::Lime);
    EXPECT_EQ(window.calls, (std::vector<std::string>{"clearView", "layerTable", "clearLayerSelection",
                                                      "clearApertureTable", "clearAllData"}));
    EXPECT_EQ(status.busyDepth, 0);
    EXPECT_EQ(status.maxBusyDepth, 1);
}
