// korvane-cli: the batch front end. It runs the same command functions as
// the desktop program, with answers from flags and messages on stderr.
#include "cli/ApertureCommands.h"
#include "cli/CliPorts.h"
#include "cli/ConvertCommands.h"
#include "cli/CrossCommands.h"
#include "cli/RenumberCommands.h"
#ifdef KORVANE_CLI_PICTURES
#include "cli/LoadCommands.h"
#include "cli/PrintCommands.h"
#endif
#include "core/Messages.h"
#include "core/SettingsFile.h"
#include "core/SettingsReport.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace korvane;

namespace {

const char *Usage = "使い方: korvane-cli <コマンド> [オプション]\n"
                    "\n"
                    "コマンド:\n"
                    "  settings [--settings FILE]   設定ファイルのフォーマット、レイヤーカラー、印刷設定を表示します\n"
                    "                               (既定: カレントフォルダの Reravado4.ini)\n"
                    "  aperture show FILE           アパーチャテーブル(.apt/.gap)を印刷と同じ一覧で表示します\n"
                    "  aperture import-gap IN.gap OUT.apt\n"
                    "                               GAPファイルを取り込み、アパーチャテーブルに保存します\n"
                    "%s"
                    "%s"
                    "%s"
                    "  --help                       この説明を表示します (コマンド --help でコマンドごとの説明)\n"
                    "  --version                    版数を表示します\n";

const char *SettingsUsage = "使い方: korvane-cli settings [--settings FILE]\n"
                            "  設定ファイルのフォーマット、レイヤーカラー、印刷設定を表示します\n"
                            "  (既定: カレントフォルダの Reravado4.ini)\n";

bool wantsHelp(const std::vector<std::string> &args)
{
    for (const std::string &a : args)
        if (a == "--help" || a == "-h")
            return true;
    return false;
}

// "korvane-cli COMMAND --help"; false for an unknown command.
bool printCommandHelp(const std::string &command)
{
    if (command == "settings")
        std::fputs(SettingsUsage, stdout);
    else if (command == "aperture")
        std::fputs(cli::ApertureUsage, stdout);
    else if (command == "renumber")
        std::printf("使い方:\n%s", cli::RenumberUsage);
    else if (command == "create" || command == "list")
        std::printf("使い方:\n%s", cli::CrossUsage);
#ifdef KORVANE_CLI_PICTURES
    else if (command == "load" || command == "render" || command == "drill-format")
        std::printf("使い方:\n%s", cli::LoadUsage);
    else if (command == "print")
        std::printf("使い方:\n%s", cli::PrintUsage);
#endif
    else
        return false;
    return true;
}

void printUsage(std::FILE *to)
{
#ifdef KORVANE_CLI_PICTURES
    std::fprintf(to, Usage, (std::string(cli::LoadUsage) + cli::PrintUsage).c_str(),
                 (std::string(cli::ConvertUsage) + cli::CrossUsage).c_str(), cli::RenumberUsage);
#else
    std::fprintf(to, Usage, "", (std::string(cli::ConvertUsage) + cli::CrossUsage).c_str(), cli::RenumberUsage);
#endif
}

int runSettings(const std::vector<std::string> &args)
{
    std::string path = settingsPath(cli::currentDirectory());
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--settings" && i + 1 < args.size()) {
            path = args[++i];
        } else {
            std::cerr << "不明なオプション: " << args[i] << "\n\n";
            printUsage(stderr);
            return 2;
        }
    }
    cli::StderrPrompter prompter;
    Settings settings;
    loadSettingsFor(path, settings, prompter);
    std::cout << path << "\n";
    for (const auto &line : describeSettings(settings))
        std::cout << line << "\n";
    return prompter.errorCount() == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        printUsage(stdout);
        return args.empty() ? 2 : 0;
    }
    if (args[0] == "--version") {
        std::printf("korvane-cli %s\n", KORVANE_VERSION);
        return 0;
    }
    std::string command = args[0];
    args.erase(args.begin());
    if (wantsHelp(args) && printCommandHelp(command))
        return 0;
    try {
        if (command == "settings")
            return runSettings(args);
        if (command == "aperture")
            return cli::runAperture(args);
        if (command == "convert")
            return cli::runConvert(args);
        if (command == "tape")
            return cli::runTape(args);
        if (command == "renumber")
            return cli::runRenumber(args);
        if (command == "create")
            return cli::runCreate(args);
        if (command == "list")
            return cli::runList(args);
#ifdef KORVANE_CLI_PICTURES
        if (command == "load")
            return cli::runLoad(args);
        if (command == "render")
            return cli::runRender(args);
        if (command == "print")
            return cli::runPrint(args);
        if (command == "drill-format")
            return cli::runDrillFormat(args);
#endif
    } catch (const std::exception &e) {
        std::cerr << msg::TitleError << ": " << e.what() << "\n";
        return 1;
    }
    std::cerr << "不明なコマンド: " << command << "\n\n";
    printUsage(stderr);
    return 2;
}
