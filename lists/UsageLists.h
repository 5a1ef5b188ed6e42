#pragma once
// The D-code and tool usage lists: counted from the displayed data or from a
// file on disk by small scanners of their own, saved as .log reports and
// printed as plain text lines.
#include "core/Document.h"
#include "core/Formats.h"
#include "core/PrintDevice.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

struct DcodeUsage {
    std::string code;  // as read ("D10", "D010") or "D" and the number
    std::size_t flashes = 0;
    std::size_t draws = 0;
};

struct DcodeList {
    std::string source;  // the file's name, or "表示データ"
    std::vector<DcodeUsage> rows;
};

struct ToolUsage {
    std::string tool;  // empty: a row left empty (a tool without hits)
    std::size_t count = 0;
    std::string diameter;
    std::size_t slotCount = 0;  // slotCount and routed paths, listed in a row of their own
};

// The row of a tool's slotCount: the tool's text and this.
inline constexpr const char *SlotRowSuffix = " 長穴";

// The tool window always has this many rows; longer lists add rows.
inline constexpr std::size_t ToolListRows = 36;

struct ToolList {
    std::string source;
    std::vector<ToolUsage> rows;
    // Rows of the grid: at least ToolListRows.
    std::size_t gridRows() const { return rows.size() < ToolListRows ? ToolListRows : rows.size(); }
};

// The displayed data: flashes (role 1) and draws (role 2) per D-code, main
// sequence first, then the underlay; tools (role 3 of the main sequence)
// with their hit counts and diameters. Tables grow as needed.
DcodeList dcodesOfDocument(const Document &document);
ToolList toolsOfDocument(const Document &document);

// The D-code counter of a Gerber file: fed in chunks of any size.
class DcodeScanner {
public:
    void feed(std::string_view chunk);
    // Counts the pending block and credits the last aperture.
    DcodeList finish(const std::string &source);

private:
    enum class State { Normal, Parameter, DWord, DAfterCr, DAfterBreak };
    enum class Mode { None, Draw, Flash };
    void handle(char c);
    void endWord();
    void countPendingBlock();
    void credit();

    State state_ = State::Normal;
    std::string word_;
    Mode mode_ = Mode::None;
    std::size_t f_ = 0, l_ = 0;
    std::size_t d_ = 0, x_ = 0, y_ = 0;
    bool xCounted_ = false;
    std::vector<DcodeUsage> rows_;
    std::ptrdiff_t current_ = -1;
};

// The tool counter of a drill file. Throws KorvaneError on a coordinate
// that is not an integer (a lone "-"). Comments are passed over; a G85 block
// is a slot, and route mode (G00 to G05) counts one slot for each path the
// plunged tool cuts (G01/G02/G03 after M15 or G00, until M16/M17, G00 or
// G05); a tool's slotCount get a row of their own after its holes.
class ToolScanner {
public:
    explicit ToolScanner(bool x0y0IsHit) : x0y0IsHit_(x0y0IsHit) {}
    void feed(std::string_view chunk);
    ToolList finish(const std::string &source);

private:
    enum class State { Normal, Tool, Diameter, G, M, X, Y, Comment, ParenComment };
    void handle(char c);
    void endToolWord();
    void endCoordinate();
    void endG();
    void endM();
    void endBlock();

    bool x0y0IsHit_;
    State state_ = State::Normal;
    std::string text_;
    std::string diameter_;
    std::int64_t sumX_ = 0, sumY_ = 0;
    bool g80_ = false;
    bool blockHasCoordinates_ = false;
    bool slotInBlock_ = false;
    bool routeMode_ = false, cutting_ = false, pathOpen_ = false;
    std::size_t hits_ = 0, slots_ = 0;
    std::vector<ToolUsage> tools_;
    std::ptrdiff_t current_ = -1;
};

// The disk-file lists; file errors and bad numbers throw KorvaneError.
DcodeList dcodesOfFile(const std::string &path);
ToolList toolsOfFile(const std::string &path, const DrillInFormat &format);

// The .log report's lines and the printed lines.
std::vector<std::string> dcodeLogLines(const DcodeList &list);
std::vector<std::string> toolLogLines(const ToolList &list);
std::vector<std::string> dcodePrintLines(const DcodeList &list);
std::vector<std::string> toolPrintLines(const ToolList &list);

// Writes the lines as code page 932 with CR LF, atomically. Throws KorvaneError.
void saveListLog(const std::string &path, const std::vector<std::string> &lines);
// Prints the lines as one document after the print dialog; false when the
// user cancelled it. Throws KorvaneError when the printer fails.
bool printListLines(PrintDevice &device, const std::string &title, const std::vector<std::string> &lines);

}  // namespace korvane
