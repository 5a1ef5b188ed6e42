#include "cli/CrossCommands.h"
#include "cli/CliPorts.h"
#include "core/Document.h"
#include "core/Errors.h"
#include "core/SettingsFile.h"
#include "core/WorkspaceFile.h"
#include "gerber/ApertureCommands.h"
#include "lists/UsageLists.h"
#include "renumber/CrossCreation.h"

#include <iostream>
#include <memory>
#include <stdexcept>

namespace korvane::cli {

const char *CrossUsage =
    "  create gerber-to-drill|drill-to-gerber --table T.tbl [--settings FILE] [--apt T.apt] [--no-check] IN OUT\n"
    "                               作成テーブルでガーバーのフラッシュからドリルを、ドリルの穴から\n"
    "                               ガーバーを作成し、レポートと照合の結果を表示します\n"
    "  list dcodes|tools [--settings FILE] [--log OUT.log] FILE\n"
    "                               ガーバー／ドリルファイル（.gdb では表示データ）の使用Dコード／\n"
    "                               ツールの一覧を表示し、--log でレポートファイルに保存します\n";

namespace {

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Options {
    std::string settingsFile = settingsPath(currentDirectory());
    std::string table, apt, log;
    bool check = true;
    std::vector<std::string> files;
};

Options parse(const std::vector<std::string> &args)
{
    Options o;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string &a = args[i];
        auto value = [&]() -> const std::string & {
            if (i + 1 >= args.size())
                throw UsageError(a + " に値がありません");
            return args[++i];
        };
        if (a == "--settings")
            o.settingsFile = value();
        else if (a == "--table")
            o.table = value();
        else if (a == "--apt")
            o.apt = value();
        else if (a == "--log")
            o.log = value();
        else if (a == "--no-check")
            o.check = false;
        else if (!a.empty() && a[0] == '-')
            throw UsageError("不明なオプション: " + a);
        else
            o.files.push_back(a);
    }
    return o;
}

bool endsWith(const std::string &text, const std::string &end)
{
    if (text.size() < end.size())
        return false;
    for (size_t i = 0; i < end.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - end.size() + i])) != end[i])
            return false;
    return true;
}

void printLines(const std::vector<std::string> &lines)
{
    for (const std::string &line : lines)
        std::cout << line << "\n";
}

}  // namespace

int runCreate(const std::vector<std::string> &args)
{
    try {
        if (args.empty() || (args[0] != "gerber-to-drill" && args[0] != "drill-to-gerber"))
            throw UsageError("create の後に gerber-to-drill か drill-to-gerber を指定して下さい");
        CreationDirection direction =
            args[0] == "gerber-to-drill" ? CreationDirection::GerberToDrill : CreationDirection::DrillToGerber;
        Options o = parse(args);
        if (o.table.empty())
            throw UsageError("--table で作成テーブルを指定して下さい");
        if (o.files.size() != 2)
            throw UsageError("入力ファイルと出力ファイルを一つずつ指定して下さい");

        StderrPrompter prompter;
        Settings settings;
        loadSettingsFor(o.settingsFile, settings, prompter);
        int settingsErrors = prompter.errorCount();
        auto apertures = std::make_unique<ApertureTable>();
        MacroLibrary macros;
        NoFilePicker picker;
        if (!o.apt.empty() && !loadAptPath(o.apt, *apertures, macros, prompter, picker))
            return 1;
        CreationTable table;
        try {
            loadCreationTable(o.table, table);
        } catch (const KorvaneError &e) {
            prompter.error(e.text());
            return 1;
        }
        GerberInFormat gerberBefore = settings.gerberIn;
        DrillInFormat drillBefore = settings.drillIn;
        CrossCreationContext ctx{
            settings.gerberIn, settings.gerberOut, settings.drillIn, settings.drillOut, *apertures, macros, prompter};
        SilentStatus status;
        std::optional<CreationReport> report = runCrossCreation(direction, ctx, status, table, o.files[0], o.files[1]);
        if (!report || prompter.errorCount() > settingsErrors)
            return 1;
        printLines(creationReportLines(direction, *report));
        if (!o.check)
            return 0;
        CheckVerdict verdict = direction == CreationDirection::GerberToDrill
                                   ? checkCreatedDrill(o.files[0], gerberBefore, table, o.files[1], settings.drillOut)
                                   : checkCreatedGerber(o.files[0], drillBefore, o.files[1], settings.gerberOut);
        std::cout << verdictText(verdict) << "\n";
        return verdict.result == CheckVerdict::Result::Different ? 3 : 0;
    } catch (const UsageError &e) {
        std::cerr << e.what() << "\n";
        return 2;
    }
}

int runList(const std::vector<std::string> &args)
{
    try {
        if (args.empty() || (args[0] != "dcodes" && args[0] != "tools"))
            throw UsageError("list の後に dcodes か tools を指定して下さい");
        bool dcodes = args[0] == "dcodes";
        Options o = parse(args);
        if (o.files.size() != 1)
            throw UsageError("ファイルを一つ指定して下さい");
        const std::string &file = o.files[0];
        StderrPrompter prompter;
        std::vector<std::string> lines;
        try {
            if (endsWith(file, ".gdb")) {
                auto doc = std::make_unique<Document>();
                WorkspaceLoadResult loaded = readWorkspaceFile(file, *doc, prompter);
                if (!loaded.applied)
                    return 1;
                lines = dcodes ? dcodeLogLines(dcodesOfDocument(*doc)) : toolLogLines(toolsOfDocument(*doc));
            } else if (dcodes) {
                lines = dcodeLogLines(dcodesOfFile(file));
            } else {
                Settings settings;
                loadSettingsFor(o.settingsFile, settings, prompter);
                lines = toolLogLines(toolsOfFile(file, settings.drillIn));
            }
            if (!o.log.empty())
                saveListLog(o.log, lines);
        } catch (const KorvaneError &e) {
            prompter.error(e.text());
            return 1;
        }
        printLines(lines);
        return 0;
    } catch (const UsageError &e) {
        std::cerr << e.what() << "\n";
        return 2;
    }
}

}  // namespace korvane::cli
