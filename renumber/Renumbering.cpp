#include "renumber/Renumbering.h"
#include "core/Encoding.h"
#include "core/TextFile.h"

#include <array>

namespace korvane {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool endsBlock(char c) { return c == '\r' || c == '\n' || c == '*'; }

// A parameter block longer than this is written out as it grows; only its
// last three bytes can still begin "%ADD".
constexpr std::size_t LongBlock = 4096;
constexpr std::size_t FlushSize = 1 << 16;

}  // namespace

Renumberer::Renumberer(RenumberMode mode, const ChangeTable &table, ByteSink &sink, RenumberReportSink &report)
    : mode_(mode), sink_(sink), report_(report)
{
    // A row without a replacement would delete the code from the file.
    for (const ChangeRow &row : table.rows)
        if (!row.before.empty() && !row.after.empty())
            rows_.push_back({row.before, utf8ToCp932(row.after), row.after});
}

void Renumberer::lookUp(const std::string &word)
{
    for (const Row &row : rows_) {
        if (row.before == word) {
            out_ += row.afterBytes;
            report_.line(row.before, row.afterText);
            return;
        }
    }
    out_ += word;
    report_.line(word, word);
}

void Renumberer::endTWord()
{
    if (word_.size() == 1)
        out_ += word_;
    else
        lookUp(word_);
}

void Renumberer::endDWord()
{
    // D01 to D03 are operations; "D1" to "D3" and every select sort after "D03".
    if (word_.size() > 1 && word_ > "D03")
        lookUp(word_);
    else
        out_ += word_;
}

void Renumberer::tool(char c)
{
    if (state_ == State::Comment || state_ == State::ParenComment) {
        // A comment is copied as it stands: a date in it is no tool.
        out_ += c;
        if (c == '\n' || c == '\r' || (c == ')' && state_ == State::ParenComment))
            state_ = State::Normal;
        return;
    }
    if (state_ == State::TWord) {
        if (isDigit(c)) {
            word_ += c;
            return;
        }
        endTWord();
        out_ += c;  // the ending character, whatever it is
        state_ = c == ';' ? State::Comment : c == '(' ? State::ParenComment : State::Normal;
        return;
    }
    if (c == ';' || c == '(') {
        out_ += c;
        state_ = c == ';' ? State::Comment : State::ParenComment;
    } else if (c == 'T') {
        word_ = "T";
        state_ = State::TWord;
    } else {
        out_ += c;
    }
}

void Renumberer::dcode(char c)
{
    switch (state_) {
    case State::Normal:
        if (c == 'D') {
            word_ = "D";
            state_ = State::DWord;
        } else if (c == '%') {
            block_ = "%";
            state_ = State::Block;
        } else {
            out_ += c;
        }
        return;
    case State::DWord:
        if (isDigit(c)) {
            word_ += c;
        } else if ((c == '\r' || c == '\n') && word_.size() > 1) {
            lineBreak_ = c;
            state_ = State::DBreak;
        } else {
            endDWord();
            out_ += c;
            state_ = State::Normal;
        }
        return;
    case State::DBreak:
        if (c == '\n' && lineBreak_ == "\r") {
            lineBreak_ += c;
        } else if (isDigit(c)) {
            // A D word broken over two lines: joined, the break dropped.
            word_ += c;
            state_ = State::DWord;
        } else {
            // The word ended at the line end: the break is the block end of
            // a file without "*", and what follows is read afresh.
            endDWord();
            out_ += lineBreak_;
            state_ = State::Normal;
            dcode(c);
        }
        return;
    case State::Block:
        if (endsBlock(c)) {
            out_ += block_;
            out_ += c;
            state_ = State::Normal;
            return;
        }
        block_ += c;
        if (block_.size() >= 4 && block_.compare(block_.size() - 4, 4, "%ADD") == 0) {
            out_.append(block_, 0, block_.size() - 1);
            word_ = "D";
            state_ = State::BlockDigits;
        } else if (block_.size() > LongBlock) {
            out_.append(block_, 0, block_.size() - 3);
            block_.erase(0, block_.size() - 3);
        }
        return;
    case State::BlockDigits:
        if (isDigit(c)) {
            word_ += c;
            return;
        }
        if (word_.size() > 1)
            lookUp(word_);
        else
            out_ += word_;
        out_ += c;
        state_ = endsBlock(c) ? State::Normal : State::BlockRest;
        return;
    case State::BlockRest:
        out_ += c;
        if (endsBlock(c))
            state_ = State::Normal;
        return;
    case State::TWord:
    case State::Comment:
    case State::ParenComment: break;
    }
}

void Renumberer::feed(std::string_view chunk)
{
    const char key = mode_ == RenumberMode::Tool ? 'T' : 'D';
    std::size_t i = 0;
    while (i < chunk.size()) {
        if (state_ == State::Normal) {
            // Plain text runs are copied whole.
            std::size_t start = i;
            const bool tools = mode_ == RenumberMode::Tool;
            while (i < chunk.size() && chunk[i] != key &&
                   (tools ? chunk[i] != ';' && chunk[i] != '(' : chunk[i] != '%'))
                ++i;
            out_.append(chunk.substr(start, i - start));
            if (i == chunk.size())
                break;
        }
        if (mode_ == RenumberMode::Tool)
            tool(chunk[i]);
        else
            dcode(chunk[i]);
        ++i;
    }
    flushIfFull();
}

void Renumberer::finish()
{
    switch (state_) {
    case State::TWord: endTWord(); break;
    case State::DWord: endDWord(); break;
    case State::DBreak:
        endDWord();
        out_ += lineBreak_;
        break;
    case State::Block: out_ += block_; break;
    case State::Comment:
    case State::ParenComment: break;
    case State::BlockDigits:
        if (word_.size() > 1)
            lookUp(word_);
        else
            out_ += word_;
        break;
    case State::Normal:
    case State::BlockRest: break;
    }
    state_ = State::Normal;
    sink_.write(out_);
    out_.clear();
}

void Renumberer::flushIfFull()
{
    if (out_.size() >= FlushSize) {
        sink_.write(out_);
        out_.clear();
    }
}

void renumberFile(RenumberMode mode, const ChangeTable &table, const std::string &inputPath,
                  const std::string &outputPath, RenumberReportSink &report)
{
    refuseOutputOntoInput(inputPath, outputPath);
    InputFile input(inputPath);
    OutputFileSink output(outputPath);
    Renumberer renumberer(mode, table, output, report);
    std::array<char, 1 << 16> buffer{};
    while (std::size_t n = input.read(buffer.data(), buffer.size()))
        renumberer.feed(std::string_view(buffer.data(), n));
    renumberer.finish();
    output.commit();
}

}  // namespace korvane
