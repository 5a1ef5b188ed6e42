#include "cli/RenumberCommands.h"
#include "cli/CliPorts.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/TextFile.h"
#include "renumber/RenumberSession.h"

#include <iostream>
#include <memory>

namespace korvane::cli {

const char *RenumberUsage = "  renumber dcode|tool --table T.tbl IN OUT [--report FILE]\n"
                            "                               チェンジテーブルでDコード／ツール番号を変更します\n"
                            "                               (レポート: 番号、変換前、変換後をタブ区切りで一行ずつ)\n";

namespace {

// The report as lines "number TAB before TAB after", to stdout or written
// to a file (code page 932, CR LF) as the run goes.
class ReportText : public RenumberReportSink {
public:
    explicit ReportText(const std::string &path)
    {
        if (!path.empty())
            file_ = std::make_unique<AtomicOutputFile>(path);
    }
    void line(const std::string &before, const std::string &after) override
    {
        std::string text = std::to_string(++count_) + "\t" + before + "\t" + after;
        if (file_)
            file_->append(utf8ToCp932(text) + "\r\n");
        else
            std::cout << text << "\n";
    }
    void finish()
    {
        if (file_)
            file_->commit();
    }

private:
    std::unique_ptr<AtomicOutputFile> file_;
    std::size_t count_ = 0;
};

}  // namespace

int runRenumber(const std::vector<std::string> &args)
{
    RenumberSession session;
    std::string tablePath, reportPath;
    std::vector<std::string> files;
    bool modeGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        if ((a == "--table" || a == "--report") && i + 1 < args.size()) {
            (a == "--table" ? tablePath : reportPath) = args[++i];
        } else if (!modeGiven && (a == "dcode" || a == "tool")) {
            session.setMode(a == "dcode" ? RenumberMode::DCode : RenumberMode::Tool);
            modeGiven = true;
        } else if (!a.empty() && a[0] == '-') {
            std::cerr << "不明なオプション: " << a << "\n";
            return 2;
        } else {
            files.push_back(a);
        }
    }
    if (!modeGiven || tablePath.empty() || files.size() != 2) {
        std::cerr << "使い方:\n" << RenumberUsage;
        return 2;
    }
    StderrPrompter prompter;
    SilentStatus status;
    try {
        loadChangeTable(tablePath, session.table);
    } catch (const KorvaneError &e) {
        prompter.error(e.text());
        return 1;
    }
    session.inputPath = files[0];
    session.outputPath = files[1];
    try {
        ReportText report(reportPath);
        if (!session.run(prompter, status, report))
            return 1;
        report.finish();
    } catch (const KorvaneError &e) {
        prompter.error(e.text());
        return 1;
    }
    return 0;
}

}  // namespace korvane::cli
