#include "cli/ConvertCommands.h"
#include "cli/CliPorts.h"
#include "convert/CheckedRewrite.h"
#include "convert/ConversionBatch.h"
#include "convert/ConvertTexts.h"
#include "convert/DrillWriter.h"
#include "convert/GerberWriter.h"
#include "convert/TapeCodes.h"
#include "core/Errors.h"
#include "core/Messages.h"
#include "core/SettingsFile.h"
#include "gerber/ApertureCommands.h"

#include <iostream>
#include <memory>
#include <stdexcept>

namespace korvane::cli {

const char *ConvertUsage =
    "  convert gerber|drill [--settings FILE] [--auto-aperture yes|no] [--apt T.apt] [--answer yes|no]\n"
    "       [--in-dialect d|x] [--out-dialect d|x] [--in-unit mm|inch] [--out-unit mm|inch]\n"
    "       [--in-digits I.D] [--out-digits I.D] [--in-mode abs|inc] [--out-mode abs|inc]\n"
    "       [--in-zeros lead|trail|none] [--out-zeros lead|trail|none] [--no-check] IN... [-o OUT ...]\n"
    "                               設定ファイルの出力フォーマットでガーバー／ドリルを変換し、\n"
    "                               入力と出力を読み直して照合します。-o は前から順に入力に対応し、\n"
    "                               無い分は 名前.cam を提案します。入力や先の出力と重なる組は\n"
    "                               変換しません（--apt: RS274Dの入力では読込、--auto-aperture yes\n"
    "                               では作成したテーブルの保存先）\n"
    "  tape eia-to-ascii|ascii-to-eia|ebcdic-to-ascii|ascii-to-ebcdic IN OUT\n"
    "                               テープコードとASCIIを相互に変換します\n";

namespace {

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

template <typename T>
T choice(const std::string &option, const std::string &value, std::initializer_list<std::pair<const char *, T>> list)
{
    for (const auto &[name, v] : list)
        if (value == name)
            return v;
    throw UsageError(option + " の値が正しくありません: " + value);
}

void splitDigits(const std::string &option, const std::string &text, std::string &integers, std::string &decimals)
{
    auto dot = text.find('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 >= text.size())
        throw UsageError(option + " は 整数桁.小数桁 で指定して下さい: " + text);
    integers = text.substr(0, dot);
    decimals = text.substr(dot + 1);
}

struct Overrides {
    std::string inDialect, outDialect, inUnit, outUnit, inDigits, outDigits, inMode, outMode, inZeros, outZeros;
};

template <typename In, typename Out>
void applyOverrides(const Overrides &o, In &in, Out &out)
{
    auto unit = [](const std::string &opt, const std::string &v) {
        return choice<LengthUnit>(opt, v, {{"mm", LengthUnit::Mm}, {"inch", LengthUnit::Inch}});
    };
    auto mode = [](const std::string &opt, const std::string &v) {
        return choice<CoordinateMode>(opt, v,
                                      {{"abs", CoordinateMode::Absolute}, {"inc", CoordinateMode::Incremental}});
    };
    auto zeros = [](const std::string &opt, const std::string &v) {
        return choice<ZeroSuppression>(opt, v,
                                       {{"lead", ZeroSuppression::Leading},
                                        {"trail", ZeroSuppression::Trailing},
                                        {"none", ZeroSuppression::None}});
    };
    if (!o.inUnit.empty())
        in.unit = unit("--in-unit", o.inUnit);
    if (!o.outUnit.empty())
        out.unit = unit("--out-unit", o.outUnit);
    if (!o.inDigits.empty())
        splitDigits("--in-digits", o.inDigits, in.integerDigits, in.decimalDigits);
    if (!o.outDigits.empty())
        splitDigits("--out-digits", o.outDigits, out.integerDigits, out.decimalDigits);
    if (!o.inMode.empty())
        in.coordinateMode = mode("--in-mode", o.inMode);
    if (!o.outMode.empty())
        out.coordinateMode = mode("--out-mode", o.outMode);
    if (!o.inZeros.empty())
        in.zeroSuppression = zeros("--in-zeros", o.inZeros);
    if (!o.outZeros.empty())
        out.zeroSuppression = zeros("--out-zeros", o.outZeros);
}

GerberDialect dialect(const std::string &option, const std::string &v)
{
    return choice<GerberDialect>(option, v, {{"d", GerberDialect::Rs274D}, {"x", GerberDialect::Rs274X}});
}

}  // namespace

int runConvert(const std::vector<std::string> &args)
{
    try {
        if (args.empty() || (args[0] != "gerber" && args[0] != "drill"))
            throw UsageError("convert の後に gerber か drill を指定して下さい");
        bool gerber = args[0] == "gerber";
        std::string settingsFile = settingsPath(currentDirectory()), apt;
        std::vector<std::string> inputs, outputs;
        bool autoAperture = false, check = true;
        Answer answer = Answer::Yes;
        Overrides o;
        for (size_t i = 1; i < args.size(); ++i) {
            const std::string &a = args[i];
            auto value = [&]() -> const std::string & {
                if (i + 1 >= args.size())
                    throw UsageError(a + " に値がありません");
                return args[++i];
            };
            if (a == "--settings")
                settingsFile = value();
            else if (a == "--apt")
                apt = value();
            else if (a == "-o")
                outputs.push_back(value());
            else if (a == "--no-check")
                check = false;
            else if (a == "--auto-aperture")
                autoAperture = choice<bool>(a, value(), {{"yes", true}, {"no", false}});
            else if (a == "--answer")
                answer = choice<Answer>(a, value(), {{"yes", Answer::Yes}, {"no", Answer::No}});
            else if (a == "--in-dialect")
                o.inDialect = value();
            else if (a == "--out-dialect")
                o.outDialect = value();
            else if (a == "--in-unit")
                o.inUnit = value();
            else if (a == "--out-unit")
                o.outUnit = value();
            else if (a == "--in-digits")
                o.inDigits = value();
            else if (a == "--out-digits")
                o.outDigits = value();
            else if (a == "--in-mode")
                o.inMode = value();
            else if (a == "--out-mode")
                o.outMode = value();
            else if (a == "--in-zeros")
                o.inZeros = value();
            else if (a == "--out-zeros")
                o.outZeros = value();
            else if (!a.empty() && a[0] == '-')
                throw UsageError("不明なオプション: " + a);
            else
                inputs.push_back(a);
        }
        if (inputs.empty())
            throw UsageError("入力ファイルがありません");
        if (outputs.size() > inputs.size())
            throw UsageError("-o が入力ファイルより多く指定されています");

        StderrPrompter prompter(answer);
        Settings settings;
        loadSettingsFor(settingsFile, settings, prompter);
        int settingsErrors = prompter.errorCount();
        if (gerber) {
            applyOverrides(o, settings.gerberIn, settings.gerberOut);
            if (!o.inDialect.empty())
                settings.gerberIn.dialect = dialect("--in-dialect", o.inDialect);
            if (!o.outDialect.empty())
                settings.gerberOut.dialect = dialect("--out-dialect", o.outDialect);
        } else {
            applyOverrides(o, settings.drillIn, settings.drillOut);
        }
        auto table = std::make_unique<ApertureTable>();
        MacroLibrary library;
        NoFilePicker picker;
        bool fillsTable = gerber && autoAperture && settings.gerberIn.dialect == GerberDialect::Rs274X &&
                          settings.gerberOut.dialect == GerberDialect::Rs274D;
        if (gerber && !apt.empty() && !fillsTable && !loadAptPath(apt, *table, library, prompter, picker))
            return 1;

        ConversionBatch batch(gerber ? ConversionMode::Gerber : ConversionMode::Drill);
        batch.setFiles(inputs, outputs, prompter, picker);
        ConversionResources resources{settings, *table, library};
        ConversionRunOptions options;
        options.autoApertureTable = autoAperture;
        options.check = check;
        options.checkOnSecondThread = true;
        SilentStatus status;
        ConversionRunOutcome outcome = runConversion(batch, resources, prompter, status, options);
        if (outcome.end != ConversionRunOutcome::End::Finished)
            return 1;

        bool allConverted = prompter.errorCount() == settingsErrors;
        bool different = false;
        for (const PairOutcome &pair : outcome.pairs) {
            if (pair.end != PairOutcome::End::Converted) {
                allConverted = false;
                continue;
            }
            std::cout << pair.output << "\n";
            if (check)
                std::cout << verdictText(pair.verdict) << "\n";
            different = different || pair.verdict.result == CheckVerdict::Result::Different;
        }
        if (fillsTable && !apt.empty() && outcome.autoApertureTable)
            saveAptPath(apt, *table, library, prompter, picker);
        if (!allConverted)
            return 1;
        return different ? 3 : 0;
    } catch (const UsageError &e) {
        std::cerr << e.what() << "\n";
        return 2;
    }
}

int runTape(const std::vector<std::string> &args)
{
    if (args.size() != 3) {
        std::cerr << "使い方: korvane-cli tape eia-to-ascii|ascii-to-eia|ebcdic-to-ascii|ascii-to-ebcdic IN OUT\n";
        return 2;
    }
    TapeOperation op;
    try {
        op = choice<TapeOperation>("tape", args[0],
                                   {{"eia-to-ascii", TapeOperation::DecodeEia},
                                    {"ascii-to-eia", TapeOperation::EncodeEia},
                                    {"ebcdic-to-ascii", TapeOperation::DecodeEbcdic},
                                    {"ascii-to-ebcdic", TapeOperation::EncodeEbcdic}});
    } catch (const UsageError &e) {
        std::cerr << e.what() << "\n";
        return 2;
    }
    StderrPrompter prompter;
    try {
        convertTapeFile(op, args[1], args[2]);
    } catch (const KorvaneError &e) {
        prompter.error(e.text());
        return 1;
    }
    prompter.information(convmsg::TapeDone);
    return 0;
}

}  // namespace korvane::cli
