#include "cli/PrintCommands.h"
#include "cli/CliPorts.h"
#include "core/Errors.h"
#include "core/Numbers.h"
#include "core/SettingsFile.h"
#include "gerber/ApertureCommands.h"
#include "gerber/GerberReader.h"
#include "platform/QtPrintDevice.h"
#include "print/DrillPrintJob.h"
#include "print/GerberPrintJob.h"

#include <QFile>
#include <QGuiApplication>
#include <QPageSize>
#include <QPrinter>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <unistd.h>

namespace korvane::cli {

const char *PrintUsage =
    "  print gerber --prm PARAMS.prm [--scale S|--auto] [--keep] [--mono|--colour] [--paper A4|A3|...]\n"
    "       [--landscape] [--no-title] [--hatch] [--offset X,Y] [--apt FILE] [--settings FILE]\n"
    "       [--answer yes|no] -o OUT.pdf\n"
    "                               印刷パラメータファイルの各行をシートとして PDF に印刷します\n"
    "  print drill DRILL... [--overlay N=GERBER] [--scale S|--auto] [--keep] [--paper A4|A3|...]\n"
    "       [--landscape] [--no-title] [--offset X,Y] [--apt FILE] [--settings FILE] [--answer yes|no]\n"
    "       -o OUT.pdf\n"
    "                               ドリルファイルごとにドリル図と凡例を PDF に印刷します\n";

namespace {

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

double realArgument(const std::string &text)
{
    double v;
    if (!tryParseReal(text, v))
        throw UsageError("数値ではありません: " + text);
    return v;
}

std::optional<QPageSize::PageSizeId> paperOf(const std::string &name)
{
    static const std::map<std::string, QPageSize::PageSizeId> papers = {
        {"A2", QPageSize::A2},         {"A3", QPageSize::A3},       {"A4", QPageSize::A4},
        {"A5", QPageSize::A5},         {"B4", QPageSize::B4},       {"B5", QPageSize::B5},
        {"LETTER", QPageSize::Letter}, {"LEGAL", QPageSize::Legal}, {"TABLOID", QPageSize::Tabloid}};
    std::string upper;
    for (char c : name)
        upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    auto it = papers.find(upper);
    if (it == papers.end())
        return std::nullopt;
    return it->second;
}

// The PDF a print writes: next to the output and renamed over it once every
// sheet is in, so a failed print never destroys an earlier PDF.
struct PdfOutput {
    PdfOutput(const std::string &out, QPageSize::PageSizeId paper, bool landscape)
        : app(argc, argv), target(QString::fromStdString(out)),
          temporary(target + QStringLiteral(".part") + QString::number(::getpid())), printer(QPrinter::HighResolution),
          device(printer)
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(temporary);
        printer.setPageSize(QPageSize(paper));
        printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
        device.setChooser([](QPrinter &) { return true; });
    }
    // False (and no output) when nothing was printed.
    bool commit(bool printed)
    {
        if (!printed) {
            QFile::remove(temporary);
            std::cerr << "印刷されたシートがありません\n";
            return false;
        }
        QFile::remove(target);
        if (!QFile::rename(temporary, target)) {
            QFile::remove(temporary);
            throw KorvaneError(fileErrorText(EACCES));
        }
        return true;
    }

    static inline int argc = 1;
    static inline char name[] = "korvane-cli";
    static inline char *argv[] = {name, nullptr};
    struct Platform {
        Platform()
        {
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            dropRuntimeFolderWarning();
        }
    } platform;
    QGuiApplication app;
    QString target, temporary;
    QPrinter printer;
    QtPrintDevice device;
};

std::string absolutePath(const std::string &path)
{
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.lexically_normal().string();
}

// The options both prints take: the sheet's scale, paper and title, the
// output, the aperture table, the settings file and the answer to questions.
struct SheetOptions {
    std::string out, apt, settingsFile = settingsPath(currentDirectory());
    ScaleSettings scale;
    std::optional<bool> title;
    QPageSize::PageSizeId paper = QPageSize::A4;
    bool landscape = false;
    Answer answer = Answer::Yes;
};

// Reads the option at args[i] (and its value) into `options`; false when it
// is not one of the shared options.
bool sheetOption(const std::vector<std::string> &args, size_t &i, SheetOptions &options)
{
    const std::string &a = args[i];
    auto value = [&]() -> const std::string & {
        if (i + 1 >= args.size())
            throw UsageError(a + " に値がありません");
        return args[++i];
    };
    if (a == "-o") {
        options.out = value();
    } else if (a == "--scale") {
        options.scale.mode = ScaleMode::Given;
        options.scale.typedScale = realArgument(value());
        if (!(options.scale.typedScale > 0))
            throw UsageError("--scale は正の数で指定して下さい");
    } else if (a == "--auto") {
        options.scale.mode = ScaleMode::Automatic;
    } else if (a == "--keep") {
        options.scale.keep = true;
    } else if (a == "--paper") {
        auto id = paperOf(value());
        if (!id)
            throw UsageError("不明な用紙: " + args[i]);
        options.paper = *id;
    } else if (a == "--landscape") {
        options.landscape = true;
    } else if (a == "--no-title") {
        options.title = false;
    } else if (a == "--offset") {
        const std::string &v = value();
        auto comma = v.find(',');
        if (comma == std::string::npos)
            throw UsageError("--offset は X,Y の形で指定して下さい");
        options.scale.offsetXMm = realArgument(v.substr(0, comma));
        options.scale.offsetYMm = realArgument(v.substr(comma + 1));
    } else if (a == "--apt") {
        options.apt = value();
    } else if (a == "--settings") {
        options.settingsFile = value();
    } else if (a == "--answer") {
        const std::string &v = value();
        if (v != "yes" && v != "no")
            throw UsageError("--answer は yes か no で指定して下さい");
        options.answer = v == "yes" ? Answer::Yes : Answer::No;
    } else {
        return false;
    }
    return true;
}

int printGerber(const std::vector<std::string> &args)
{
    SheetOptions options;
    std::string prm;
    GerberPrintSettings print;
    std::optional<bool> colour;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (sheetOption(args, i, options))
            continue;
        if (a == "--prm" && i + 1 < args.size()) {
            prm = args[++i];
        } else if (a == "--mono" || a == "--colour" || a == "--color") {
            colour = a != "--mono";
        } else if (a == "--hatch") {
            print.regionFill = RegionFillMode::Hatched;
        } else {
            throw UsageError(a == "--prm" ? a + " に値がありません" : "不明なオプション: " + a);
        }
    }
    if (prm.empty() || options.out.empty())
        throw UsageError("--prm と -o を指定して下さい");
    print.scale = options.scale;

    StderrPrompter prompter(options.answer);
    SilentStatus status;
    NoFilePicker picker;
    Settings settings;
    loadSettingsFor(options.settingsFile, settings, prompter);
    const int settingsErrors = prompter.errorCount();
    print.title = options.title.value_or(settings.print.gerberTitle);
    print.mode = colour ? (*colour ? PrintMode::Color : PrintMode::Mono) : settings.print.gerberMode;
    print.rowColours = settings.print.gerberRowColours;

    GerberPrintGrid grid;
    // The sheets' titles show full paths.
    prm = absolutePath(prm);
    if (!loadGerberPrintParameters(grid, prm, prompter))
        return 1;
    ApertureTable table;
    MacroLibrary library;
    if (!options.apt.empty())
        loadAptPath(options.apt, table, library, prompter, picker);
    for (int r = 1; r <= GerberPrintGrid::Rows; ++r)
        if (!grid.file(r).empty() && declaresRs274X(grid.file(r)))
            settings.gerberIn.dialect = GerberDialect::Rs274X;

    PdfOutput pdf(options.out, options.paper, options.landscape);
    SilentProgress progress;
    GerberPrintContext context{grid, print, table, library, settings.gerberIn, prompter, status, progress, pdf.device};
    GerberPrintOutcome outcome = runGerberPrint(context);
    if (!pdf.commit(outcome.sheetsPrinted > 0))
        return 1;
    std::cout << options.out << ": " << outcome.sheetsPrinted << " シート (スケール "
              << formatReal(outcome.placement.scale) << (outcome.placement.landscape ? ", 横" : "") << ")\n";
    const bool complete = outcome.sheetsAbandoned == 0 && prompter.errorCount() == settingsErrors;
    return complete ? 0 : 1;
}

int printDrill(const std::vector<std::string> &args)
{
    SheetOptions options;
    DrillPrintSettings print;
    std::vector<DrillPrintRow> rows;
    std::vector<std::pair<int, std::string>> overlays;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (sheetOption(args, i, options))
            continue;
        if (a == "--overlay") {
            if (i + 1 >= args.size())
                throw UsageError(a + " に値がありません");
            const std::string &v = args[++i];
            auto eq = v.find('=');
            std::int32_t n = 0;
            if (eq == std::string::npos || !tryParseInt(v.substr(0, eq), n) || n < 1)
                throw UsageError("--overlay は N=GERBER の形で指定して下さい");
            overlays.emplace_back(n, absolutePath(v.substr(eq + 1)));
        } else if (!a.empty() && a[0] == '-') {
            throw UsageError("不明なオプション: " + a);
        } else {
            rows.push_back({absolutePath(a), {}});
        }
    }
    print.scale = options.scale;
    if (rows.empty() || options.out.empty())
        throw UsageError("ドリルファイルと -o を指定して下さい");
    for (const auto &[n, path] : overlays) {
        if (static_cast<size_t>(n) > rows.size())
            throw UsageError("--overlay の番号にドリルファイルがありません: " + std::to_string(n));
        rows[static_cast<size_t>(n - 1)].overlayPath = path;
    }

    StderrPrompter prompter(options.answer);
    SilentStatus status;
    NoFilePicker picker;
    Settings settings;
    loadSettingsFor(options.settingsFile, settings, prompter);
    const int settingsErrors = prompter.errorCount();
    print.title = options.title.value_or(settings.print.drillTitle);
    ApertureTable table;
    MacroLibrary library;
    if (!options.apt.empty())
        loadAptPath(options.apt, table, library, prompter, picker);
    for (const DrillPrintRow &row : rows)
        if (!row.overlayPath.empty() && declaresRs274X(row.overlayPath))
            settings.gerberIn.dialect = GerberDialect::Rs274X;

    PdfOutput pdf(options.out, options.paper, options.landscape);
    SilentProgress progress;
    DrillPrintContext context{rows,     print,  settings.drillIn, table,     library, settings.gerberIn,
                              prompter, status, progress,         pdf.device};
    DrillPrintOutcome outcome = runDrillPrint(context);
    if (!pdf.commit(outcome.legendsPrinted > 0))
        return 1;
    std::cout << options.out << ": " << outcome.chartsPrinted << " ドリル図, " << outcome.legendsPrinted << " 凡例\n";
    const bool complete = outcome.chartsAbandoned == 0 && prompter.errorCount() == settingsErrors;
    return complete ? 0 : 1;
}

}  // namespace

int runPrint(const std::vector<std::string> &args)
{
    try {
        if (!args.empty() && args[0] == "drill")
            return printDrill(std::vector<std::string>(args.begin() + 1, args.end()));
        if (args.empty() || args[0] != "gerber")
            throw UsageError("print gerber または print drill の形で指定して下さい");
        return printGerber(std::vector<std::string>(args.begin() + 1, args.end()));
    } catch (const UsageError &e) {
        std::cerr << e.what() << "\n";
        return 2;
    }
}

}  // namespace korvane::cli
