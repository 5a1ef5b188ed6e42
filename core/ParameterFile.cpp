#include "core/ParameterFile.h"
#include "core/Errors.h"
#include "core/TextFile.h"

namespace korvane {
namespace {

std::string choice(bool first) { return first ? "1" : "2"; }

ZeroDataMode zeroDataFromDigit(const std::string &s)
{
    return s == "1" ? ZeroDataMode::All : s == "2" ? ZeroDataMode::Address : ZeroDataMode::Omit;
}

std::string zeroDataDigit(ZeroDataMode m)
{
    return m == ZeroDataMode::All ? "1" : m == ZeroDataMode::Address ? "2" : "3";
}

template <typename Format>
void loadFrom(const std::string &path, Format &f, void (*apply)(const std::vector<std::string> &, Format &))
{
    apply(readTextLines(path), f);
}

template <typename Format>
bool loadCommand(Format &f, FilePicker &picker, Prompter &prompter, StatusSink &status,
                 void (*load)(const std::string &, Format &))
{
    auto path = picker.openFile(parameterFileOpenSpec());
    if (!path)
        return false;
    try {
        BusyGuard busy(status);
        // Read into a copy so that a failing read leaves the record as it was.
        Format copy = f;
        load(*path, copy);
        f = copy;
        return true;
    } catch (const KorvaneError &e) {
        prompter.error(e.text());
        return false;
    }
}

template <typename Format>
bool saveCommand(const Format &f, FilePicker &picker, Prompter &prompter, StatusSink &status,
                 void (*save)(const std::string &, const Format &))
{
    auto path = picker.saveFile(parameterFileSaveSpec());
    if (!path)
        return false;
    try {
        BusyGuard busy(status);
        save(*path, f);
        return true;
    } catch (const KorvaneError &e) {
        prompter.error(e.text());
        return false;
    }
}

}  // namespace

std::vector<std::string> gerberOutParameterLines(const GerberOutFormat &f)
{
    std::string modal = f.modal == ModalMode::G    ? "1"
                        : f.modal == ModalMode::D  ? "2"
                        : f.modal == ModalMode::GD ? "3"
                                                   : "4";
    return {
        choice(f.dialect == GerberDialect::Rs274D),
        choice(f.recordMode == RecordMode::EobNewline),
        choice(f.coordinateMode == CoordinateMode::Absolute),
        modal,
        f.initCommand,
        choice(f.eobCode),
        choice(f.g54),
        zeroDataDigit(f.zeroData),
        f.endCommand,
        choice(f.zeroSuppression == ZeroSuppression::Leading),
        choice(f.unit == LengthUnit::Mm),
        f.integerDigits,
        f.decimalDigits,
    };
}

std::vector<std::string> drillOutParameterLines(const DrillOutFormat &f)
{
    return {
        f.initCommand,
        f.toolSelect,
        f.hitCommand,
        f.toolChange,
        f.endCommand,
        choice(f.coordinateMode == CoordinateMode::Absolute),
        choice(f.eobCode),
        choice(f.zeroSuppression == ZeroSuppression::Leading),
        choice(f.unit == LengthUnit::Mm),
        choice(f.toolDigits == 1),
        choice(f.recordMode == RecordMode::EobNewline),
        zeroDataDigit(f.zeroData),
        f.integerDigits,
        f.decimalDigits,
        f.xOffset,
        f.yOffset,
    };
}

void applyGerberOutParameterLines(const std::vector<std::string> &lines, GerberOutFormat &f)
{
    for (size_t i = 0; i < lines.size() && i < 13; ++i) {
        const std::string &s = lines[i];
        bool one = s == "1";
        switch (i + 1) {
        case 1:
            if (s == "1" || s == "2")
                f.dialect = one ? GerberDialect::Rs274D : GerberDialect::Rs274X;
            break;
        case 2:
            if (s == "1" || s == "2")
                f.recordMode = one ? RecordMode::EobNewline : RecordMode::FullRecord;
            break;
        case 3: f.coordinateMode = one ? CoordinateMode::Absolute : CoordinateMode::Incremental; break;
        case 4:
            f.modal = one ? ModalMode::G : s == "2" ? ModalMode::D : s == "3" ? ModalMode::GD : ModalMode::None;
            break;
        case 5: f.initCommand = s; break;
        case 6: f.eobCode = one; break;
        case 7: f.g54 = one; break;
        case 8: f.zeroData = zeroDataFromDigit(s); break;
        case 9: f.endCommand = s; break;
        case 10: f.zeroSuppression = one ? ZeroSuppression::Leading : ZeroSuppression::None; break;
        case 11: f.unit = one ? LengthUnit::Mm : LengthUnit::Inch; break;
        case 12: f.integerDigits = s; break;
        case 13: f.decimalDigits = s; break;
        }
    }
}

void applyDrillOutParameterLines(const std::vector<std::string> &lines, DrillOutFormat &f)
{
    for (size_t i = 0; i < lines.size() && i < 16; ++i) {
        const std::string &s = lines[i];
        bool one = s == "1";
        switch (i + 1) {
        case 1: f.initCommand = s; break;
        case 2: f.toolSelect = s; break;
        case 3: f.hitCommand = s; break;
        case 4: f.toolChange = s; break;
        case 5: f.endCommand = s; break;
        case 6: f.coordinateMode = one ? CoordinateMode::Absolute : CoordinateMode::Incremental; break;
        case 7: f.eobCode = one; break;
        case 8: f.zeroSuppression = one ? ZeroSuppression::Leading : ZeroSuppression::None; break;
        case 9: f.unit = one ? LengthUnit::Mm : LengthUnit::Inch; break;
        case 10: f.toolDigits = one ? 1 : 2; break;
        case 11: f.recordMode = one ? RecordMode::EobNewline : RecordMode::FullRecord; break;
        case 12: f.zeroData = zeroDataFromDigit(s); break;
        case 13: f.integerDigits = s; break;
        case 14: f.decimalDigits = s; break;
        case 15: f.xOffset = s; break;
        case 16: f.yOffset = s; break;
        }
    }
}

void loadGerberOutParameters(const std::string &path, GerberOutFormat &f)
{
    loadFrom(path, f, applyGerberOutParameterLines);
}

void saveGerberOutParameters(const std::string &path, const GerberOutFormat &f)
{
    writeFileAtomic(path, encodeTextLines(gerberOutParameterLines(f)));
}

void loadDrillOutParameters(const std::string &path, DrillOutFormat &f)
{
    loadFrom(path, f, applyDrillOutParameterLines);
}

void saveDrillOutParameters(const std::string &path, const DrillOutFormat &f)
{
    writeFileAtomic(path, encodeTextLines(drillOutParameterLines(f)));
}

FileDialogSpec parameterFileOpenSpec()
{
    FileDialogSpec request;
    request.title = "ﾊﾟﾗﾒｰﾀﾌｧｲﾙの選択";
    request.filter = "Parameter Files(*.prm)|*.prm|All Files(*.*)|*.*";
    return request;
}

FileDialogSpec parameterFileSaveSpec()
{
    FileDialogSpec request;
    request.title = "ﾊﾟﾗﾒｰﾀﾌｧｲﾙの保存";
    request.filter = "Parameter Files(*.prm)|*.prm|All Files(*.*)|*.*";
    request.defaultExtension = "prm";
    request.proposedName = "*.prm";
    request.confirmOverwrite = true;
    return request;
}

bool loadParametersCommand(GerberOutFormat &f, FilePicker &picker, Prompter &prompter, StatusSink &status)
{
    return loadCommand(f, picker, prompter, status, loadGerberOutParameters);
}

bool saveParametersCommand(const GerberOutFormat &f, FilePicker &picker, Prompter &prompter, StatusSink &status)
{
    return saveCommand(f, picker, prompter, status, saveGerberOutParameters);
}

bool loadParametersCommand(DrillOutFormat &f, FilePicker &picker, Prompter &prompter, StatusSink &status)
{
    return loadCommand(f, picker, prompter, status, loadDrillOutParameters);
}

bool saveParametersCommand(const DrillOutFormat &f, FilePicker &picker, Prompter &prompter, StatusSink &status)
{
    return saveCommand(f, picker, prompter, status, saveDrillOutParameters);
}

}  // namespace korvane
