#include "lists/UsageLists.h"
#include "core/ByteSet.h"
#include "core/Encoding.h"
#include "core/Numbers.h"
#include "core/TextFile.h"
#include "lists/ListTexts.h"

#include <array>
#include <cstring>
#include <unordered_map>

namespace korvane {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

constexpr std::size_t ReadChunk = 1 << 16;

template <class Scanner>
void scanFile(const std::string &path, Scanner &scanner)
{
    InputFile input(path);
    std::string buffer(ReadChunk, '\0');
    while (std::size_t n = input.read(buffer.data(), buffer.size()))
        scanner.feed(std::string_view(buffer.data(), n));
}

std::string toolName(std::int32_t tool) { return (tool >= 0 && tool < 10 ? "T0" : "T") + std::to_string(tool); }

std::vector<std::string> banner(const char *heading, const char *fileWord, const std::string &source)
{
    return {"*", "*   KORVANE Ver4", "*", heading, "*", std::string(fileWord) + source, "*", ""};
}

// Four blanks and the code, padded with blanks to 20 characters; a code too
// long for that is followed by one blank.
std::string printedCode(const std::string &code)
{
    std::string text = "    " + code;
    text.append(text.size() < 20 ? 20 - text.size() : 1, ' ');
    return text;
}

std::string countText(const ToolUsage &row) { return row.tool.empty() ? std::string() : std::to_string(row.count); }

}  // namespace

// ------------------------------------------------------------ displayed data

DcodeList dcodesOfDocument(const Document &document)
{
    DcodeList list{listmsg::DisplayedData, {}};
    if (document.hasData != 1)
        return list;
    std::unordered_map<std::int32_t, std::size_t> rowOf;
    // Items of one aperture come in runs: the last row found is tried first.
    std::int32_t lastCode = 0;
    std::size_t lastRow = SIZE_MAX;
    auto visit = [&](const ItemSequence &items) {
        for (const DisplayItem &item : items) {
            if (item.role != RoleFlash && item.role != RoleDraw)
                continue;
            if (lastRow == SIZE_MAX || item.code != lastCode) {
                auto [at, added] = rowOf.try_emplace(item.code, list.rows.size());
                if (added)
                    list.rows.push_back({"D" + std::to_string(item.code), 0, 0});
                lastCode = item.code;
                lastRow = at->second;
            }
            DcodeUsage &row = list.rows[lastRow];
            ++(item.role == RoleFlash ? row.flashes : row.draws);
        }
    };
    visit(document.displayList.main());
    visit(document.displayList.underlay());
    return list;
}

ToolList toolsOfDocument(const Document &document)
{
    ToolList list{listmsg::DisplayedData, {}};
    if (document.drillLoaded != 1)
        return list;
    std::unordered_map<std::int32_t, std::size_t> rowOf;
    // Hits of one tool come in runs: the last row found is tried first.
    std::int32_t lastCode = 0;
    std::size_t lastRow = SIZE_MAX;
    // Holes (role 3) and slotCount (role 4) of a tool count apart: a slot row
    // is keyed by the negated tool number.
    for (const DisplayItem &item : document.displayList.main()) {
        if (item.role != RoleDrillHit && item.role != RoleDrillSlot)
            continue;
        const std::int32_t key = item.role == RoleDrillSlot ? -item.code - 1 : item.code;
        if (lastRow == SIZE_MAX || key != lastCode) {
            auto [at, added] = rowOf.try_emplace(key, list.rows.size());
            if (added) {
                const bool slot = item.role == RoleDrillSlot;
                list.rows.push_back(
                    {toolName(item.code) + (slot ? SlotRowSuffix : ""), 0, formatReal(item.toolSize), 0});
            }
            lastCode = key;
            lastRow = at->second;
        }
        ToolUsage &row = list.rows[lastRow];
        ++row.count;
        if (item.role == RoleDrillSlot)
            ++row.slotCount;
    }
    return list;
}

// ------------------------------------------------------------ D-code scanner

// The bytes that mean something to the D-code counter outside a word:
// everything else (digits, block ends, other letters) is passed over fast.
constexpr ByteSet DcodeScannerBytes("%DXY");

void DcodeScanner::feed(std::string_view chunk)
{
    const char *p = chunk.data();
    const char *end = p + chunk.size();
    while (p < end) {
        if (state_ == State::Normal) {
            while (p < end && !DcodeScannerBytes.contains(*p))
                ++p;
        } else if (state_ == State::Parameter) {
            const void *close = std::memchr(p, '%', static_cast<std::size_t>(end - p));
            p = close ? static_cast<const char *>(close) : end;
        } else if (state_ == State::DWord || state_ == State::DAfterBreak) {
            const char *digits = p;
            while (p < end && isDigit(*p))
                ++p;
            word_.append(digits, static_cast<std::size_t>(p - digits));
        }
        if (p == end)
            break;
        handle(*p++);
    }
}

void DcodeScanner::handle(char c)
{
    switch (state_) {
    case State::Parameter:
        if (c == '%')
            state_ = State::Normal;
        return;
    case State::DWord:
        if (isDigit(c)) {
            word_ += c;
        } else if (c == '\n') {
            state_ = State::DAfterBreak;
        } else if (c == '\r') {
            state_ = State::DAfterCr;
        } else {
            state_ = State::Normal;  // the ending character is consumed
            endWord();
        }
        return;
    case State::DAfterCr:
        if (c == '\n' || isDigit(c)) {
            if (c != '\n')
                word_ += c;
            state_ = State::DAfterBreak;
            return;
        }
        // A CR followed by anything else ends the word; that character is
        // read again.
        state_ = State::Normal;
        endWord();
        handle(c);
        return;
    case State::DAfterBreak:
        if (isDigit(c)) {
            word_ += c;
            return;
        }
        state_ = State::Normal;
        endWord();
        return;
    case State::Normal: break;
    }
    switch (c) {
    case '%': state_ = State::Parameter; break;
    case 'D':
        state_ = State::DWord;
        word_.clear();
        word_ += 'D';
        break;
    case 'X':
        // Coordinates repeated after a D01 draw once more.
        if (x_ > 0 && d_ == 1) {
            ++l_;
            xCounted_ = true;
        }
        ++x_;
        break;
    case 'Y':
        if (!xCounted_ && y_ > 0 && d_ == 1)
            ++l_;
        ++y_;
        xCounted_ = false;
        break;
    default: break;
    }
}

void DcodeScanner::countPendingBlock()
{
    if (d_ > 0 && (x_ > 0 || y_ > 0) && mode_ == Mode::Draw)
        ++l_;
}

void DcodeScanner::credit()
{
    if (current_ < 0)
        return;
    DcodeUsage &row = rows_[static_cast<std::size_t>(current_)];
    row.flashes += f_;
    row.draws += l_;
    f_ = l_ = 0;
}

void DcodeScanner::endWord()
{
    const std::string &w = word_;
    // "D" and one or two digits: the operation codes spelled D1 or D01.
    char op = 0;
    if (w.size() == 2 || (w.size() == 3 && w[1] == '0'))
        op = w.back();
    if (w.size() == 1) {
        // "D" alone is no word.
    } else if (op == '1') {
        ++l_;
        ++d_;
        x_ = y_ = 0;
        mode_ = Mode::Draw;
    } else if (op == '3') {
        ++f_;
        d_ = x_ = y_ = 0;
        mode_ = Mode::Flash;
    } else if (op == '2') {
        d_ = x_ = y_ = 0;
        mode_ = Mode::None;
    } else {
        countPendingBlock();
        d_ = x_ = y_ = 0;
        mode_ = Mode::None;
        // What was counted before the first selection goes to the first
        // D-code selected.
        credit();
        std::ptrdiff_t found = -1;
        for (std::size_t i = 0; i < rows_.size() && found < 0; ++i)
            if (rows_[i].code == w)
                found = static_cast<std::ptrdiff_t>(i);
        if (found < 0) {
            rows_.push_back({w, 0, 0});
            found = static_cast<std::ptrdiff_t>(rows_.size() - 1);
        }
        current_ = found;
    }
    word_.clear();
}

DcodeList DcodeScanner::finish(const std::string &source)
{
    if (state_ == State::DWord || state_ == State::DAfterCr || state_ == State::DAfterBreak) {
        state_ = State::Normal;
        endWord();
    }
    countPendingBlock();
    credit();
    return {source, rows_};
}

// -------------------------------------------------------------- tool scanner

// The bytes that mean something to the tool counter outside a word.
constexpr ByteSet ToolScannerBytes("TGMXY;(\n\r*");

void ToolScanner::feed(std::string_view chunk)
{
    const char *p = chunk.data();
    const char *end = p + chunk.size();
    while (p < end) {
        if (state_ == State::Normal) {
            while (p < end && !ToolScannerBytes.contains(*p))
                ++p;
        } else if (state_ == State::Comment || state_ == State::ParenComment) {
            while (p < end && *p != '\n' && *p != '\r' && !(*p == ')' && state_ == State::ParenComment))
                ++p;
        } else if (state_ == State::X || state_ == State::Y) {
            const char *digits = p;
            while (p < end && (isDigit(*p) || *p == '-'))
                ++p;
            text_.append(digits, static_cast<std::size_t>(p - digits));
        }
        if (p == end)
            break;
        handle(*p++);
    }
}

void ToolScanner::handle(char c)
{
    switch (state_) {
    case State::Comment:
    case State::ParenComment:
        state_ = State::Normal;
        if (c == ')')
            return;
        break;  // the line end is read again
    case State::M:
        if (isDigit(c)) {
            text_ += c;
            return;
        }
        state_ = State::Normal;
        endM();
        break;
    case State::Tool:
        if (isDigit(c)) {
            text_ += c;
        } else if (c == 'C') {
            state_ = State::Diameter;
            diameter_.clear();
        } else {
            state_ = State::Normal;  // consumed
            endToolWord();
        }
        return;
    case State::Diameter:
        if (isDigit(c) || c == '.') {
            diameter_ += c;
        } else {
            state_ = State::Normal;
            endToolWord();
        }
        return;
    case State::G:
        if (isDigit(c)) {
            text_ += c;
            return;
        }
        state_ = State::Normal;
        endG();
        if (c != 'X' && c != 'Y')
            return;
        break;  // a slot's end follows its G85 at once
    case State::X:
    case State::Y:
        if (isDigit(c) || c == '-') {
            text_ += c;
            return;
        }
        if (c == '+' || c == '.')
            return;
        // The ending character is read again.
        endCoordinate();
        state_ = State::Normal;
        break;
    case State::Normal: break;
    }
    switch (c) {
    case 'T':
        state_ = State::Tool;
        text_ = "T";
        diameter_.clear();
        break;
    case 'G':
        state_ = State::G;
        text_ = "G";
        break;
    case 'M':
        state_ = State::M;
        text_ = "M";
        break;
    case ';': state_ = State::Comment; break;
    case '(': state_ = State::ParenComment; break;
    case 'X':
    case 'Y':
        state_ = c == 'X' ? State::X : State::Y;
        text_.clear();
        break;
    case '\n':
    case '\r':
    case '*': endBlock(); break;
    default: break;
    }
}

void ToolScanner::endG()
{
    if (text_ == "G80")
        g80_ = true;
    else if (text_ == "G85")
        slotInBlock_ = true;
    else if (text_ == "G00" || text_ == "G0") {
        routeMode_ = true;
        cutting_ = pathOpen_ = false;
    } else if (routeMode_ && (text_ == "G01" || text_ == "G02" || text_ == "G03" || text_ == "G1" || text_ == "G2" ||
                              text_ == "G3")) {
        cutting_ = true;
    } else if (text_ == "G05" || text_ == "G5") {
        routeMode_ = cutting_ = pathOpen_ = false;
    }
}

void ToolScanner::endM()
{
    if (text_ == "M16" || text_ == "M17")
        cutting_ = pathOpen_ = false;
}

void ToolScanner::endToolWord()
{
    if (text_ == "T" || text_ == "T0" || text_ == "T00")
        return;
    sumX_ = sumY_ = 0;
    g80_ = false;
    pathOpen_ = false;
    if (current_ >= 0) {
        tools_[static_cast<std::size_t>(current_)].count += hits_;
        tools_[static_cast<std::size_t>(current_)].slotCount += slots_;
    }
    hits_ = slots_ = 0;  // hits before the first tool are not counted
    std::ptrdiff_t found = -1;
    for (std::size_t i = 0; i < tools_.size() && found < 0; ++i)
        if (tools_[i].tool == text_)
            found = static_cast<std::ptrdiff_t>(i);
    if (found < 0) {
        tools_.push_back({text_, 0, diameter_});
        found = static_cast<std::ptrdiff_t>(tools_.size() - 1);
    }
    current_ = found;
}

void ToolScanner::endCoordinate()
{
    // A bare letter (zero data written as the address alone) reads as 0.
    std::int64_t v = text_.empty() ? 0 : parseInt64(text_);
    // Only whether a sum is zero matters; wrapping keeps huge files defined.
    std::int64_t &sum = state_ == State::X ? sumX_ : sumY_;
    sum = static_cast<std::int64_t>(static_cast<std::uint64_t>(sum) + static_cast<std::uint64_t>(v));
    blockHasCoordinates_ = true;
}

void ToolScanner::endBlock()
{
    const bool slot = slotInBlock_;
    slotInBlock_ = false;
    if (!blockHasCoordinates_)
        return;
    blockHasCoordinates_ = false;
    if (slot || routeMode_) {
        // A G85 block is one slot; a routed path counts at its first cut.
        if (slot || (cutting_ && !pathOpen_))
            ++slots_;
        pathOpen_ = pathOpen_ || (!slot && cutting_);
        return;
    }
    if (sumX_ != 0 || sumY_ != 0 || (!g80_ && x0y0IsHit_))
        ++hits_;
}

ToolList ToolScanner::finish(const std::string &source)
{
    switch (state_) {
    case State::Tool:
    case State::Diameter: endToolWord(); break;
    case State::G: endG(); break;
    case State::X:
    case State::Y: endCoordinate(); break;
    case State::M:
    case State::Comment:
    case State::ParenComment:
    case State::Normal: break;
    }
    state_ = State::Normal;
    if (current_ >= 0) {
        tools_[static_cast<std::size_t>(current_)].count += hits_;
        tools_[static_cast<std::size_t>(current_)].slotCount += slots_;
    }
    hits_ = slots_ = 0;
    ToolList list{source, {}};
    for (const ToolUsage &tool : tools_) {
        list.rows.push_back(tool.count > 0 ? tool : ToolUsage{});
        list.rows.back().slotCount = 0;
        if (tool.slotCount > 0)
            list.rows.push_back({tool.tool + SlotRowSuffix, tool.slotCount, tool.diameter, tool.slotCount});
    }
    return list;
}

DcodeList dcodesOfFile(const std::string &path)
{
    DcodeScanner scanner;
    scanFile(path, scanner);
    return scanner.finish(fileNameOf(path));
}

ToolList toolsOfFile(const std::string &path, const DrillInFormat &format)
{
    ToolScanner scanner(format.x0y0IsHit);
    scanFile(path, scanner);
    return scanner.finish(fileNameOf(path));
}

// ------------------------------------------------------------ report lines

std::vector<std::string> dcodeLogLines(const DcodeList &list)
{
    std::vector<std::string> lines = banner("*   使用Dcode番号一覧表", "*   Gerber File: ", list.source);
    const std::string dashes(41, '-');
    lines.push_back(dashes);
    for (const DcodeUsage &row : list.rows)
        lines.push_back(row.code + "    ﾌﾗｯｼｭ：" + std::to_string(row.flashes) + "     ﾄﾞﾛｰ：" +
                        std::to_string(row.draws));
    lines.push_back(dashes);
    return lines;
}

std::vector<std::string> toolLogLines(const ToolList &list)
{
    std::vector<std::string> lines = banner("*   使用Tool番号一覧表", "*   Drill File: ", list.source);
    const std::string dashes(25, '-');
    lines.push_back("Tool  ｶｳﾝﾄ");
    lines.push_back(dashes);
    for (std::size_t i = 0; i < list.gridRows(); ++i) {
        ToolUsage row = i < list.rows.size() ? list.rows[i] : ToolUsage{};
        lines.push_back(row.tool + "   " + countText(row));
    }
    lines.push_back(dashes);
    return lines;
}

std::vector<std::string> dcodePrintLines(const DcodeList &list)
{
    std::vector<std::string> lines = banner("*   使用Dコード一覧表", "*   Gerber File: ", list.source);
    const std::string dashes(45, '-');
    lines.push_back(" DｺｰﾄﾞNo.\tﾌﾗｯｼｭ\t\t\tﾄﾞﾛｰ");
    lines.push_back(dashes);
    for (const DcodeUsage &row : list.rows)
        lines.push_back(printedCode(row.code) + std::to_string(row.flashes) + "\t\t\t" + std::to_string(row.draws));
    lines.push_back(dashes);
    return lines;
}

std::vector<std::string> toolPrintLines(const ToolList &list)
{
    std::vector<std::string> lines = banner("*   使用Tool番号一覧表", "*   Drill File: ", list.source);
    const std::string dashes(32, '-');
    lines.push_back(" ToolNo.\tｶｳﾝﾄ");
    lines.push_back(dashes);
    for (std::size_t i = 0; i < list.gridRows(); ++i) {
        ToolUsage row = i < list.rows.size() ? list.rows[i] : ToolUsage{};
        lines.push_back(printedCode(row.tool) + countText(row));
    }
    lines.push_back(dashes);
    return lines;
}

void saveListLog(const std::string &path, const std::vector<std::string> &lines)
{
    writeFileAtomic(path, encodeTextLines(lines));
}

bool printListLines(PrintDevice &device, const std::string &title, const std::vector<std::string> &lines)
{
    if (!device.choosePrinter())
        return false;
    device.beginDocument(title);
    try {
        for (const std::string &line : lines)
            device.printLine(line);
    } catch (...) {
        device.abortDocument();
        throw;
    }
    device.endDocument();
    return true;
}

}  // namespace korvane
