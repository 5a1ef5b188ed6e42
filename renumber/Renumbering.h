#pragma once
// Renumbering D-codes of a Gerber file or tools of a drill file by a change
// table: every byte is copied as it stands except the codes being changed
// (and the line break inside a D word that a line end broke in two).
#include "convert/OutputFile.h"
#include "renumber/ChangeTable.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// One looked-up word: as found (the table's "before" when a row matched) and
// as written. Its running number is its position plus one.
struct RenumberReportLine {
    std::string before;
    std::string after;
    bool operator==(const RenumberReportLine &) const = default;
};

// Where the report goes, line by line, so that a big file's report need not
// be held in memory.
class RenumberReportSink {
public:
    virtual ~RenumberReportSink() = default;
    virtual void line(const std::string &before, const std::string &after) = 0;
};

// The report kept whole, for the report window.
class RenumberReportLines : public RenumberReportSink {
public:
    void line(const std::string &before, const std::string &after) override { lines.push_back({before, after}); }
    std::vector<RenumberReportLine> lines;
};

// The copy as a state machine over a byte stream cut anywhere. Tool words in
// drill comments (";" to the line end, "(" to ")") are not changed.
class Renumberer {
public:
    Renumberer(RenumberMode mode, const ChangeTable &table, ByteSink &sink, RenumberReportSink &report);
    void feed(std::string_view chunk);
    void finish();

private:
    enum class State { Normal, TWord, DWord, DBreak, Block, BlockDigits, BlockRest, Comment, ParenComment };
    struct Row {
        std::string before;
        std::string afterBytes;  // code page 932, as written into the file
        std::string afterText;
    };

    void dcode(char c);
    void tool(char c);
    void endTWord();
    void endDWord();
    void lookUp(const std::string &word);
    void flushIfFull();

    RenumberMode mode_;
    std::vector<Row> rows_;
    ByteSink &sink_;
    RenumberReportSink &report_;
    std::string out_;
    State state_ = State::Normal;
    std::string word_;
    std::string lineBreak_;
    std::string block_;
};

// The run of the dialog's "実  行": reads `inputPath`, writes `outputPath`
// (a temporary file renamed on success; never the input itself) and
// gives every looked-up word to `report`. Errors throw KorvaneError with the
// platform's text.
void renumberFile(RenumberMode mode, const ChangeTable &table, const std::string &inputPath,
                  const std::string &outputPath, RenumberReportSink &report);

}  // namespace korvane
