#include "core/SettingsReport.h"
#include "core/FormatTexts.h"

namespace korvane {
namespace {

namespace t = formattext;

std::string item(const char *label, const std::string &value) { return std::string("  ") + label + ": " + value; }

std::string digits(const std::string &integer, const std::string &decimal) { return integer + "." + decimal; }

const char *modeText(CoordinateMode m) { return m == CoordinateMode::Absolute ? t::Absolute : t::Incremental; }
const char *recordText(RecordMode m, const char *full) { return m == RecordMode::EobNewline ? t::EobNewline : full; }
const char *dialectText(GerberDialect d) { return d == GerberDialect::Rs274D ? t::Rs274D : t::Rs274X; }

const char *zeroDataText(ZeroDataMode m)
{
    return m == ZeroDataMode::All ? t::ZeroDataAll : m == ZeroDataMode::Address ? t::ZeroDataAddress : t::ZeroDataOmit;
}

std::string quoted(const std::string &s) { return "\"" + s + "\""; }

}  // namespace

std::vector<std::string> describeSettings(const Settings &s)
{
    std::vector<std::string> out;
    const auto &gi = s.gerberIn;
    out.push_back(t::GerberInCaption);
    out.push_back(item(t::Format, dialectText(gi.dialect)));
    out.push_back(item(t::Code, gi.charCode == CharCode::Ascii ? t::Ascii : t::Ebcdic));
    out.push_back(item(t::Unit, gi.unit == LengthUnit::Mm ? "ミリ" : t::UnitInchIn));
    out.push_back(item(t::ZeroSuppress, gi.zeroSuppression == ZeroSuppression::Leading ? t::LZ : t::TZ));
    out.push_back(item(t::CoordinateSystem, modeText(gi.coordinateMode)));
    out.push_back(item("円弧", gi.arcMode == ArcMode::FullCircle ? t::FullCircle : t::QuarterCircle));
    out.push_back(item("桁数", digits(gi.integerDigits, gi.decimalDigits)));

    const auto &go = s.gerberOut;
    out.push_back(t::GerberOutCaption);
    out.push_back(item(t::InitCommand, quoted(go.initCommand)));
    out.push_back(item(t::EndCommand, quoted(go.endCommand)));
    out.push_back(item(t::Format, dialectText(go.dialect)));
    out.push_back(item(t::RecordLength, recordText(go.recordMode, t::FullRecordGerber)));
    out.push_back(item(t::CoordinateSystem, modeText(go.coordinateMode)));
    const char *modal = go.modal == ModalMode::G    ? t::ModalG
                        : go.modal == ModalMode::D  ? t::ModalD
                        : go.modal == ModalMode::GD ? t::ModalGD
                                                    : t::ModalNone;
    out.push_back(item(t::Modal, modal));
    out.push_back(item(t::EobCode, go.eobCode ? t::Attach : t::DoNotAttach));
    out.push_back(item(t::G54, go.g54 ? t::Attach : t::DoNotAttach));
    out.push_back(item(t::ZeroData, zeroDataText(go.zeroData)));
    out.push_back(
        item(t::ZeroSuppress, go.zeroSuppression == ZeroSuppression::Leading ? t::Leading : t::NoSuppression));
    out.push_back(item(t::InchMm, go.unit == LengthUnit::Mm ? t::MmSystemGerber : t::InchSystem));
    out.push_back(item("桁数", digits(go.integerDigits, go.decimalDigits)));

    const auto &di = s.drillIn;
    out.push_back(t::DrillInCaption);
    out.push_back(item(t::Code, di.charCode == CharCode::Ascii ? t::Ascii : t::Eia));
    out.push_back(item(t::Unit, di.unit == LengthUnit::Mm ? "ミリ" : t::UnitInchIn));
    out.push_back(item(t::ZeroSuppress, di.zeroSuppression == ZeroSuppression::Leading ? t::LZ : t::TZ));
    out.push_back(item(t::CoordinateSystem, modeText(di.coordinateMode)));
    out.push_back(item(t::X0Y0Data, di.x0y0IsHit ? t::X0Y0Hit : t::X0Y0NoHit));
    out.push_back(item("桁数", digits(di.integerDigits, di.decimalDigits)));

    const auto &dout = s.drillOut;
    out.push_back(t::DrillOutCaption);
    out.push_back(item(t::InitCommand, quoted(dout.initCommand)));
    out.push_back(item(t::ToolSelect, quoted(dout.toolSelect)));
    out.push_back(item(t::HitCommand, quoted(dout.hitCommand)));
    out.push_back(item(t::ToolChange, quoted(dout.toolChange)));
    out.push_back(item(t::EndCommand, quoted(dout.endCommand)));
    out.push_back(item(t::CoordinateSystem, modeText(dout.coordinateMode)));
    out.push_back(item(t::EobCode, dout.eobCode ? t::Attach : t::DoNotAttach));
    out.push_back(
        item(t::ZeroSuppress, dout.zeroSuppression == ZeroSuppression::Leading ? t::Leading : t::NoSuppression));
    out.push_back(item(t::InchMm, dout.unit == LengthUnit::Mm ? "ミリ系" : t::InchSystem));
    out.push_back(item(t::ToolDigits, dout.toolDigits == 1 ? t::ToolDigits1 : t::ToolDigits2));
    out.push_back(item(t::RecordLength, recordText(dout.recordMode, t::FullRecordDrill)));
    out.push_back(item(t::ZeroData, zeroDataText(dout.zeroData)));
    out.push_back(item("桁数", digits(dout.integerDigits, dout.decimalDigits)));
    out.push_back(item(t::Offset, "X " + dout.xOffset + "  Y " + dout.yOffset));

    out.push_back("レイヤーカラー");
    for (size_t i = 0; i < s.layerColours.size(); ++i)
        out.push_back(item(std::to_string(i + 1).c_str(), colourToText(s.layerColours[i])));

    out.push_back("印刷");
    out.push_back(item("ドリル印刷のタイトル", s.print.drillTitle ? "あり" : "なし"));
    out.push_back(item("ガーバー印刷のタイトル", s.print.gerberTitle ? "あり" : "なし"));
    out.push_back(item("ガーバー印刷のモード", s.print.gerberMode == PrintMode::Mono ? "Mono" : "Color"));
    for (size_t i = 0; i < s.print.gerberRowColours.size(); ++i)
        out.push_back(item(("行" + std::to_string(i + 1)).c_str(), colourToText(s.print.gerberRowColours[i])));
    return out;
}

}  // namespace korvane
