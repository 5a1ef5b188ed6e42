#include "core/SettingsFile.h"
#include "core/Colour.h"
#include "core/ParameterFile.h"
#include "core/TextFile.h"
#include "support/FakePorts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace korvane;
using korvane::testing::FakePrompter;
using korvane::testing::TempDir;

namespace {

Settings changedSettings()
{
    Settings s;
    s.gerberIn = {GerberDialect::Rs274X,
                  CharCode::Ebcdic,
                  LengthUnit::Inch,
                  ZeroSuppression::Trailing,
                  CoordinateMode::Incremental,
                  ArcMode::QuarterCircle,
                  "2",
                  "4"};
    s.gerberOut.initCommand = "G90 G71  *";
    s.gerberOut.endCommand = "M02";
    s.gerberOut.dialect = GerberDialect::Rs274X;
    s.gerberOut.recordMode = RecordMode::FullRecord;
    s.gerberOut.coordinateMode = CoordinateMode::Incremental;
    s.gerberOut.modal = ModalMode::D;
    s.gerberOut.eobCode = false;
    s.gerberOut.g54 = true;
    s.gerberOut.zeroData = ZeroDataMode::Address;
    s.gerberOut.zeroSuppression = ZeroSuppression::None;
    s.gerberOut.unit = LengthUnit::Inch;
    s.gerberOut.integerDigits = "2";
    s.gerberOut.decimalDigits = "5";
    s.drillIn = {
        CharCode::Eia, LengthUnit::Inch, ZeroSuppression::Trailing, CoordinateMode::Incremental, true, "2", "4"};
    s.drillOut = {"M48 INCH",
                  "T%T",
                  "",
                  "M06 T%T",
                  "M30",
                  CoordinateMode::Incremental,
                  false,
                  ZeroSuppression::None,
                  LengthUnit::Inch,
                  1,
                  RecordMode::FullRecord,
                  ZeroDataMode::Omit,
                  "2",
                  "4",
                  "-1.5",
                  "2.25"};
    s.layerColours[3] = rgb(0x40, 0x80, 0x20);
    s.layerColours[14] = colours::Navy;
    s.print.drillTitle = false;
    s.print.gerberTitle = false;
    s.print.gerberMode = PrintMode::Color;
    s.print.gerberRowColours[0] = 0x123456;
    return s;
}

Settings readBack(const std::vector<std::string> &lines, FakePrompter &prompter)
{
    Settings s;
    applySettingsLines(lines, s, prompter);
    return s;
}

}  // namespace

TEST(SettingsFile, WritesEveryItemInCp932WithCrLf)
{
    TempDir dir;
    auto path = settingsPath(dir.path());
    EXPECT_EQ(path, dir.path() + "/Reravado4.ini");
    saveSettingsFile(path, Settings{});
    std::string bytes = TempDir::read(path);
    auto lines = settingsLines(Settings{});
    // 62 items, two of which are blocks of fifteen colours.
    ASSERT_EQ(lines.size(), 90u);
    EXPECT_EQ(lines[0], "[Layer Table]");
    EXPECT_EQ(lines[1], "clLime");
    EXPECT_EQ(lines[16], "");
    EXPECT_EQ(lines[22], "Print Mode = Mono");
    EXPECT_EQ(lines[27], "clSilver");  // row 5 differs from the layer defaults
    EXPECT_EQ(lines[52], "Tool Chenge = ");
    EXPECT_EQ(lines[89], "3");
    EXPECT_EQ(bytes.substr(0, 15), "[Layer Table]\r\n");
    EXPECT_EQ(bytes.substr(bytes.size() - 5), "\r\n3\r\n");
    EXPECT_EQ(bytes.find("\n\n"), std::string::npos);  // every line end is CR LF
}

TEST(SettingsFile, RoundTripKeepsEveryFieldIncludingInnerBlanksAndEmptyTemplates)
{
    TempDir dir;
    auto path = dir.file("Reravado4.ini");
    Settings written = changedSettings();
    saveSettingsFile(path, written);
    Settings read;
    FakePrompter prompter;
    loadSettingsFile(path, read, prompter);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(read, written);
    EXPECT_EQ(read.drillOut.initCommand, "M48 INCH");
    EXPECT_EQ(read.drillOut.hitCommand, "");
    EXPECT_EQ(read.gerberOut.initCommand, "G90 G71  *");
    EXPECT_EQ(colourToText(read.layerColours[3]), "$00208040");
}

TEST(SettingsFile, OuterBlanksOfATemplateAreLostButOtherwiseValuesSurvive)
{
    Settings written;
    written.drillOut.initCommand = "  M48  ";
    FakePrompter prompter;
    Settings read = readBack(settingsLines(written), prompter);
    EXPECT_EQ(read.drillOut.initCommand, "M48");
}

TEST(SettingsFile, SectionsInAnyOrderMissingAndExtraLines)
{
    FakePrompter prompter;
    Settings read = readBack({"junk before any header",
                              "[Gerber-Out Format]",
                              "Init Command = X",
                              "",
                              "End Command = Y",
                              "Format = Rs274x",
                              "[Drill-In Format]",
                              "Code = Eia",
                              "[Layer Table]",
                              "clRed",
                              "[Drill Print]",
                              "Title = No",
                              "Title = Yes",
                              "[Gerber-In Format]",
                              "Format = Rs274d",
                              "Code = Ascii",
                              "Unit = mm",
                              "Suppress = LZ",
                              "Type = Abs",
                              "Arc = 360",
                              "4",
                              "6",
                              "extra",
                              "extra"},
                             prompter);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(read.gerberOut.initCommand, "X");
    EXPECT_EQ(read.gerberOut.endCommand, "Y");
    EXPECT_EQ(read.gerberOut.dialect, GerberDialect::Rs274X);
    EXPECT_EQ(read.gerberOut.recordMode, RecordMode::EobNewline);  // missing line: default
    EXPECT_EQ(read.drillIn.charCode, CharCode::Eia);
    EXPECT_EQ(read.drillIn.decimalDigits, "2");
    EXPECT_EQ(read.layerColours[0], colours::Red);
    EXPECT_EQ(read.layerColours[1], colours::Red);  // slot 2 keeps its default
    EXPECT_TRUE(read.print.drillTitle);             // every line of [Drill Print] applies
    EXPECT_EQ(read.gerberIn.integerDigits, "4");
    EXPECT_EQ(read.gerberIn.decimalDigits, "6");
}

TEST(SettingsFile, ChoiceLinesFallBackToTheOtherValue)
{
    struct Case {
        const char *line;
        ModalMode modal;
    } cases[] = {{"Modal = Not", ModalMode::None}, {"Modal = G", ModalMode::G},     {"Modal = D", ModalMode::D},
                 {"Modal = GD", ModalMode::GD},    {"Modal = none", ModalMode::GD}, {"rubbish", ModalMode::GD}};
    for (const auto &c : cases) {
        FakePrompter prompter;
        Settings s = readBack({"[Gerber-Out Format]", "a", "b", "c", "d", "e", c.line}, prompter);
        EXPECT_EQ(s.gerberOut.modal, c.modal) << c.line;
    }
    FakePrompter prompter;
    Settings s = readBack({"[Gerber-Out Format]", "a", "b", "Format = RS274D", "x", "x", "x", "EOB(*) = yes",
                           "G54 = no", "Zero Data = Suppressed", "[Drill-In Format]", "Code = ASCII", "Unit = MM",
                           "Suppress = lz", "Type = abs", "X0Y0 = no"},
                          prompter);
    EXPECT_EQ(s.gerberOut.dialect, GerberDialect::Rs274X);
    EXPECT_FALSE(s.gerberOut.eobCode);
    EXPECT_TRUE(s.gerberOut.g54);
    EXPECT_EQ(s.gerberOut.zeroData, ZeroDataMode::Omit);
    EXPECT_EQ(s.drillIn.charCode, CharCode::Eia);
    EXPECT_EQ(s.drillIn.unit, LengthUnit::Inch);
    EXPECT_EQ(s.drillIn.zeroSuppression, ZeroSuppression::Trailing);
    EXPECT_EQ(s.drillIn.coordinateMode, CoordinateMode::Incremental);
    EXPECT_TRUE(s.drillIn.x0y0IsHit);
}

TEST(SettingsFile, ColoursByNameSystemNameDecimalAndHex)
{
    FakePrompter prompter;
    Settings s = readBack({"[Layer Table]", "clSkyBlue", "$00208040", "255", "clBtnFace", "CLRED", "-1"}, prompter);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(s.layerColours[0], colours::SkyBlue);
    EXPECT_EQ(s.layerColours[1], 0x208040u);
    EXPECT_EQ(s.layerColours[2], colours::Red);
    EXPECT_EQ(s.layerColours[3], rgb(240, 240, 240));
    EXPECT_EQ(s.layerColours[4], colours::Red);
    EXPECT_EQ(s.layerColours[5], 0xFFFFFFFFu);
    EXPECT_EQ(colourToText(0xFFFFFFFFu), "$FFFFFFFF");
    EXPECT_EQ(colourToText(colours::MedGray), "clMedGray");
}

TEST(SettingsFile, ABadColourIsReportedSkippedAndReadingGoesOn)
{
    // Stopping at the bad line would let the next close write defaults over
    // every later section; only that one colour is lost.
    FakePrompter prompter;
    Settings s =
        readBack({"[Layer Table]", "clRed", "purplish", "clBlue", "[Gerber-In Format]", "Format = Rs274x"}, prompter);
    ASSERT_EQ(prompter.texts(), std::vector<std::string>{"'purplish' は整数ではありません"});
    EXPECT_EQ(prompter.shown[0].kind, MessageKind::Error);
    EXPECT_EQ(s.layerColours[0], colours::Red);
    EXPECT_EQ(s.layerColours[1], colours::Red);  // slot 2 default kept
    EXPECT_EQ(s.layerColours[2], colours::Blue);
    EXPECT_EQ(s.gerberIn.dialect, GerberDialect::Rs274X);
}

TEST(SettingsFile, AMissingFileIsReportedAndDefaultsStay)
{
    TempDir dir;
    FakePrompter prompter;
    Settings s;
    loadSettingsFile(dir.file("Reravado4.ini"), s, prompter);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"ファイルが見つかりません"});
    EXPECT_EQ(s, Settings{});
}

TEST(SettingsFile, ApertureButtonEnablingPairs)
{
    struct Case {
        GerberDialect in, out;
        bool enabled;
    } cases[] = {{GerberDialect::Rs274D, GerberDialect::Rs274X, true},
                 {GerberDialect::Rs274D, GerberDialect::Rs274D, false},
                 {GerberDialect::Rs274X, GerberDialect::Rs274X, false},
                 {GerberDialect::Rs274X, GerberDialect::Rs274D, false}};
    for (const auto &c : cases) {
        Settings s;
        s.gerberIn.dialect = c.in;
        s.gerberOut.dialect = c.out;
        FakePrompter prompter;
        Settings read = readBack(settingsLines(s), prompter);
        EXPECT_EQ(apertureButtonEnabled(read.gerberIn, read.gerberOut), c.enabled);
    }
}

TEST(ParameterFile, GerberRoundTripKeepsOuterBlanks)
{
    TempDir dir;
    GerberOutFormat f = changedSettings().gerberOut;
    f.initCommand = "  G71*  ";
    saveGerberOutParameters(dir.file("g.prm"), f);
    EXPECT_EQ(TempDir::read(dir.file("g.prm")).substr(0, 9), "2\r\n2\r\n2\r\n");
    GerberOutFormat read;
    loadGerberOutParameters(dir.file("g.prm"), read);
    EXPECT_EQ(read, f);
}

TEST(ParameterFile, DrillRoundTrip)
{
    TempDir dir;
    DrillOutFormat f = changedSettings().drillOut;
    saveDrillOutParameters(dir.file("d.prm"), f);
    EXPECT_EQ(readTextLines(dir.file("d.prm")).size(), 16u);
    DrillOutFormat read;
    loadDrillOutParameters(dir.file("d.prm"), read);
    EXPECT_EQ(read, f);
}

TEST(ParameterFile, ShortFilesAndUnknownDigits)
{
    GerberOutFormat g;
    g.dialect = GerberDialect::Rs274X;
    applyGerberOutParameterLines({"5", "2", "9", "7"}, g);
    EXPECT_EQ(g.dialect, GerberDialect::Rs274X);  // "5" leaves it
    EXPECT_EQ(g.recordMode, RecordMode::FullRecord);
    EXPECT_EQ(g.coordinateMode, CoordinateMode::Incremental);
    EXPECT_EQ(g.modal, ModalMode::None);
    EXPECT_TRUE(g.eobCode);  // not reached

    DrillOutFormat d;
    applyDrillOutParameterLines({"A", "B", "C", "D", "E", "1", "x", "1", "1", "1", "1", "2"}, d);
    EXPECT_EQ(d.initCommand, "A");
    EXPECT_FALSE(d.eobCode);
    EXPECT_EQ(d.toolDigits, 1);
    EXPECT_EQ(d.zeroData, ZeroDataMode::Address);
    EXPECT_EQ(d.decimalDigits, "2");
}

TEST(ParameterFile, CommandsUseThePickersAndReportErrors)
{
    TempDir dir;
    korvane::testing::FakeFilePicker picker;
    korvane::testing::FakeStatus status;
    FakePrompter prompter;
    GerberOutFormat f;
    picker.saveAnswers.push_back(dir.file("a.prm"));
    EXPECT_TRUE(saveParametersCommand(f, picker, prompter, status));
    EXPECT_EQ(picker.asked[0].title, "ﾊﾟﾗﾒｰﾀﾌｧｲﾙの保存");
    EXPECT_EQ(picker.asked[0].filter, "Parameter Files(*.prm)|*.prm|All Files(*.*)|*.*");
    EXPECT_EQ(picker.asked[0].defaultExtension, "prm");
    EXPECT_TRUE(picker.asked[0].confirmOverwrite);
    EXPECT_EQ(status.maxBusyDepth, 1);
    EXPECT_EQ(status.busyDepth, 0);

    // Cancelled picker: nothing happens.
    EXPECT_FALSE(loadParametersCommand(f, picker, prompter, status));
    EXPECT_EQ(picker.asked[1].title, "ﾊﾟﾗﾒｰﾀﾌｧｲﾙの選択");

    picker.openAnswers.push_back(dir.file("missing.prm"));
    EXPECT_FALSE(loadParametersCommand(f, picker, prompter, status));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"ファイルが見つかりません"});
    EXPECT_EQ(status.busyDepth, 0);
}
