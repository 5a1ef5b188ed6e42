#include "core/SettingsFile.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/TextFile.h"

namespace korvane {
namespace {

const char *yesNo(bool b) { return b ? "Yes" : "No"; }
const char *unitText(LengthUnit u) { return u == LengthUnit::Mm ? "mm" : "inch"; }
const char *typeText(CoordinateMode m) { return m == CoordinateMode::Absolute ? "Abs" : "Inc"; }
const char *lineFeedText(RecordMode m) { return m == RecordMode::EobNewline ? "Eob" : "Full"; }
const char *dialectText(GerberDialect d) { return d == GerberDialect::Rs274D ? "Rs274d" : "Rs274x"; }

const char *zeroDataText(ZeroDataMode m)
{
    switch (m) {
    case ZeroDataMode::All: return "All";
    case ZeroDataMode::Address: return "Address";
    case ZeroDataMode::Omit: return "Suppress";
    }
    return "All";
}

const char *modalText(ModalMode m)
{
    switch (m) {
    case ModalMode::G: return "G";
    case ModalMode::D: return "D";
    case ModalMode::GD: return "GD";
    case ModalMode::None: return "Not";
    }
    return "Not";
}

std::string str(const char *a, const char *b) { return std::string(a) + b; }

enum class Section { None, LayerTable, DrillPrint, GerberPrint, DrillIn, DrillOut, GerberIn, GerberOut };

Section sectionOf(std::string_view line)
{
    if (line == "[Layer Table]")
        return Section::LayerTable;
    if (line == "[Drill Print]")
        return Section::DrillPrint;
    if (line == "[Gerber Print]")
        return Section::GerberPrint;
    if (line == "[Drill-In Format]")
        return Section::DrillIn;
    if (line == "[Drill-Out Format]")
        return Section::DrillOut;
    if (line == "[Gerber-In Format]")
        return Section::GerberIn;
    if (line == "[Gerber-Out Format]")
        return Section::GerberOut;
    return Section::None;
}

// The value of a "Key = value" line from a fixed 1-based character position.
std::string valueFrom(std::string_view line, size_t position)
{
    return std::string(trimBlanks(dropCharacters(line, position - 1)));
}

ZeroDataMode zeroDataFrom(std::string_view line)
{
    if (line == "Zero Data = All")
        return ZeroDataMode::All;
    if (line == "Zero Data = Address")
        return ZeroDataMode::Address;
    return ZeroDataMode::Omit;
}

void applyColour(std::string_view line, Colour &target, Prompter &prompter)
{
    try {
        target = colourFromText(line);
    } catch (const KorvaneError &e) {
        prompter.error(e.text());
    }
}

void applyLine(Section section, int item, std::string_view line, Settings &s, Prompter &prompter)
{
    switch (section) {
    case Section::None: return;
    case Section::LayerTable:
        if (item >= 1 && item <= 15)
            applyColour(line, s.layerColours[static_cast<size_t>(item - 1)], prompter);
        return;
    case Section::DrillPrint: s.print.drillTitle = line == "Title = Yes"; return;
    case Section::GerberPrint:
        if (item == 1)
            s.print.gerberTitle = line == "Title = Yes";
        else if (item == 2)
            s.print.gerberMode = line == "Print Mode = Mono" ? PrintMode::Mono : PrintMode::Color;
        else if (item >= 3 && item <= 17)
            applyColour(line, s.print.gerberRowColours[static_cast<size_t>(item - 3)], prompter);
        return;
    case Section::DrillIn: {
        auto &f = s.drillIn;
        switch (item) {
        case 1: f.charCode = line == "Code = Ascii" ? CharCode::Ascii : CharCode::Eia; break;
        case 2: f.unit = line == "Unit = mm" ? LengthUnit::Mm : LengthUnit::Inch; break;
        case 3:
            f.zeroSuppression = line == "Suppress = LZ" ? ZeroSuppression::Leading : ZeroSuppression::Trailing;
            break;
        case 4: f.coordinateMode = line == "Type = Abs" ? CoordinateMode::Absolute : CoordinateMode::Incremental; break;
        case 5: f.x0y0IsHit = line != "X0Y0 = No"; break;
        case 6: f.integerDigits = std::string(line); break;
        case 7: f.decimalDigits = std::string(line); break;
        default: break;
        }
        return;
    }
    case Section::DrillOut: {
        auto &f = s.drillOut;
        switch (item) {
        case 1: f.initCommand = valueFrom(line, 16); break;
        case 2: f.toolSelect = valueFrom(line, 15); break;
        case 3: f.hitCommand = valueFrom(line, 15); break;
        case 4: f.toolChange = valueFrom(line, 15); break;
        case 5: f.endCommand = valueFrom(line, 15); break;
        case 6: f.coordinateMode = line == "Type = Abs" ? CoordinateMode::Absolute : CoordinateMode::Incremental; break;
        case 7: f.eobCode = line == "EOB(*) = Yes"; break;
        case 8: f.zeroSuppression = line == "Suppress = LZ" ? ZeroSuppression::Leading : ZeroSuppression::None; break;
        case 9: f.unit = line == "Unit = mm" ? LengthUnit::Mm : LengthUnit::Inch; break;
        case 10: f.toolDigits = line == "Tool Colum = 1" ? 1 : 2; break;
        case 11: f.recordMode = line == "Line Feed = Eob" ? RecordMode::EobNewline : RecordMode::FullRecord; break;
        case 12: f.zeroData = zeroDataFrom(line); break;
        case 13: f.integerDigits = std::string(line); break;
        case 14: f.decimalDigits = std::string(line); break;
        case 15: f.xOffset = valueFrom(line, 11); break;
        case 16: f.yOffset = valueFrom(line, 11); break;
        default: break;
        }
        return;
    }
    case Section::GerberIn: {
        auto &f = s.gerberIn;
        switch (item) {
        case 1: f.dialect = line == "Format = Rs274d" ? GerberDialect::Rs274D : GerberDialect::Rs274X; break;
        case 2: f.charCode = line == "Code = Ascii" ? CharCode::Ascii : CharCode::Ebcdic; break;
        case 3: f.unit = line == "Unit = mm" ? LengthUnit::Mm : LengthUnit::Inch; break;
        case 4:
            f.zeroSuppression = line == "Suppress = LZ" ? ZeroSuppression::Leading : ZeroSuppression::Trailing;
            break;
        case 5: f.coordinateMode = line == "Type = Abs" ? CoordinateMode::Absolute : CoordinateMode::Incremental; break;
        case 6: f.arcMode = line == "Arc = 360" ? ArcMode::FullCircle : ArcMode::QuarterCircle; break;
        case 7: f.integerDigits = std::string(line); break;
        case 8: f.decimalDigits = std::string(line); break;
        default: break;
        }
        return;
    }
    case Section::GerberOut: {
        auto &f = s.gerberOut;
        switch (item) {
        case 1: f.initCommand = valueFrom(line, 16); break;
        case 2: f.endCommand = valueFrom(line, 15); break;
        case 3: f.dialect = line == "Format = Rs274d" ? GerberDialect::Rs274D : GerberDialect::Rs274X; break;
        case 4: f.recordMode = line == "Line Feed = Eob" ? RecordMode::EobNewline : RecordMode::FullRecord; break;
        case 5: f.coordinateMode = line == "Type = Abs" ? CoordinateMode::Absolute : CoordinateMode::Incremental; break;
        case 6:
            f.modal = line == "Modal = Not" ? ModalMode::None
                      : line == "Modal = G" ? ModalMode::G
                      : line == "Modal = D" ? ModalMode::D
                                            : ModalMode::GD;
            break;
        case 7: f.eobCode = line == "EOB(*) = Yes"; break;
        case 8: f.g54 = line != "G54 = No"; break;
        case 9: f.zeroData = zeroDataFrom(line); break;
        case 10: f.zeroSuppression = line == "Suppress = LZ" ? ZeroSuppression::Leading : ZeroSuppression::None; break;
        case 11: f.unit = line == "Unit = mm" ? LengthUnit::Mm : LengthUnit::Inch; break;
        case 12: f.integerDigits = std::string(line); break;
        case 13: f.decimalDigits = std::string(line); break;
        default: break;
        }
        return;
    }
    }
}

}  // namespace

std::string settingsPath(const std::string &startDirectory)
{
    if (startDirectory.empty())
        return SettingsFileName;
    if (startDirectory.back() == '/')
        return startDirectory + SettingsFileName;
    return startDirectory + "/" + SettingsFileName;
}

std::vector<std::string> settingsLines(const Settings &s)
{
    std::vector<std::string> l;
    l.push_back("[Layer Table]");
    for (Colour c : s.layerColours)
        l.push_back(colourToText(c));
    l.push_back("");
    l.push_back("[Drill Print]");
    l.push_back(str("Title = ", yesNo(s.print.drillTitle)));
    l.push_back("");
    l.push_back("[Gerber Print]");
    l.push_back(str("Title = ", yesNo(s.print.gerberTitle)));
    l.push_back(s.print.gerberMode == PrintMode::Mono ? "Print Mode = Mono" : "Print Mode = Color");
    for (Colour c : s.print.gerberRowColours)
        l.push_back(colourToText(c));
    l.push_back("");

    const auto &di = s.drillIn;
    l.push_back("[Drill-In Format]");
    l.push_back(di.charCode == CharCode::Ascii ? "Code = Ascii" : "Code = Eia");
    l.push_back(str("Unit = ", unitText(di.unit)));
    l.push_back(di.zeroSuppression == ZeroSuppression::Leading ? "Suppress = LZ" : "Suppress = TZ");
    l.push_back(str("Type = ", typeText(di.coordinateMode)));
    l.push_back(str("X0Y0 = ", yesNo(di.x0y0IsHit)));
    l.push_back(di.integerDigits);
    l.push_back(di.decimalDigits);
    l.push_back("");

    const auto &dout = s.drillOut;
    l.push_back("[Drill-Out Format]");
    l.push_back("Init Command = " + dout.initCommand);
    l.push_back("Tool Select = " + dout.toolSelect);
    l.push_back("Hit Command = " + dout.hitCommand);
    l.push_back("Tool Chenge = " + dout.toolChange);
    l.push_back("End Command = " + dout.endCommand);
    l.push_back(str("Type = ", typeText(dout.coordinateMode)));
    l.push_back(str("EOB(*) = ", yesNo(dout.eobCode)));
    l.push_back(dout.zeroSuppression == ZeroSuppression::Leading ? "Suppress = LZ" : "Suppress = No");
    l.push_back(str("Unit = ", unitText(dout.unit)));
    l.push_back(dout.toolDigits == 1 ? "Tool Colum = 1" : "Tool Colum = 2");
    l.push_back(str("Line Feed = ", lineFeedText(dout.recordMode)));
    l.push_back(str("Zero Data = ", zeroDataText(dout.zeroData)));
    l.push_back(dout.integerDigits);
    l.push_back(dout.decimalDigits);
    l.push_back("X_offset = " + dout.xOffset);
    l.push_back("Y_offset = " + dout.yOffset);
    l.push_back("");

    const auto &gi = s.gerberIn;
    l.push_back("[Gerber-In Format]");
    l.push_back(str("Format = ", dialectText(gi.dialect)));
    l.push_back(gi.charCode == CharCode::Ascii ? "Code = Ascii" : "Code = Ebcdic");
    l.push_back(str("Unit = ", unitText(gi.unit)));
    l.push_back(gi.zeroSuppression == ZeroSuppression::Leading ? "Suppress = LZ" : "Suppress = TZ");
    l.push_back(str("Type = ", typeText(gi.coordinateMode)));
    l.push_back(gi.arcMode == ArcMode::FullCircle ? "Arc = 360" : "Arc = 1/4");
    l.push_back(gi.integerDigits);
    l.push_back(gi.decimalDigits);
    l.push_back("");

    const auto &go = s.gerberOut;
    l.push_back("[Gerber-Out Format]");
    l.push_back("Init Command = " + go.initCommand);
    l.push_back("End Command = " + go.endCommand);
    l.push_back(str("Format = ", dialectText(go.dialect)));
    l.push_back(str("Line Feed = ", lineFeedText(go.recordMode)));
    l.push_back(str("Type = ", typeText(go.coordinateMode)));
    l.push_back(str("Modal = ", modalText(go.modal)));
    l.push_back(str("EOB(*) = ", yesNo(go.eobCode)));
    l.push_back(str("G54 = ", yesNo(go.g54)));
    l.push_back(str("Zero Data = ", zeroDataText(go.zeroData)));
    l.push_back(go.zeroSuppression == ZeroSuppression::Leading ? "Suppress = LZ" : "Suppress = No");
    l.push_back(str("Unit = ", unitText(go.unit)));
    l.push_back(go.integerDigits);
    l.push_back(go.decimalDigits);
    return l;
}

void applySettingsLines(const std::vector<std::string> &lines, Settings &settings, Prompter &prompter)
{
    Section section = Section::None;
    int counter = 0;
    for (const auto &raw : lines) {
        std::string_view line = trimBlanks(raw);
        if (line.empty())
            continue;
        if (Section s = sectionOf(line); s != Section::None) {
            section = s;
            counter = 1;
            continue;
        }
        applyLine(section, counter, line, settings, prompter);
        ++counter;
    }
}

void loadSettingsFile(const std::string &path, Settings &settings, Prompter &prompter)
{
    std::vector<std::string> lines;
    try {
        lines = readTextLines(path);
    } catch (const KorvaneError &e) {
        prompter.error(e.text());
        return;
    }
    applySettingsLines(lines, settings, prompter);
}

void saveSettingsFile(const std::string &path, const Settings &settings)
{
    // The last line has no blank line after it, but still ends with CR LF.
    writeFileAtomic(path, encodeTextLines(settingsLines(settings)));
}

}  // namespace korvane
