#pragma once
// Reading NC drill files (Excellon-like text: T tool selections, C diameters,
// X and Y coordinates, G codes) into the display list as tool marks.
//
// A load reads its files twice: the extents pass fixes the document extents
// before anything is drawn, the marks pass appends one tool mark per hit.
// Both passes are byte-wise state machines, so a file may be fed in chunks
// of any size and a word split between two chunks reads as if it were whole.
#include "core/Document.h"
#include "core/Formats.h"
#include "core/Ports.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// Width in pixels of the main window's tool-mark legend, which the fit of a
// drill load leaves free at the right.
inline constexpr int ToolMarkPanelWidth = 86;
// Half the size of a tool mark on the board, in mm: marks are 1 mm across.
inline constexpr double ToolMarkHalfSize = 0.5;

// The number rules of a load, taken from DrillInFormat.
struct DrillNumberRules {
    double divisor = 100;  // integer coordinates are divided by it
    int totalDigits = 5;   // trailing-zero completion pads integer texts to it
    bool trailingZeros = false;
    bool inch = false;
    bool incremental = false;
    bool x0y0IsHit = false;
};

// Decimal digit counts 1 to 6 and integer digit counts 0 to 20 are usable;
// any other text throws KorvaneError("'text' は整数ではありません").
DrillNumberRules drillNumberRules(const DrillInFormat &format);

// A coordinate text as it is collected ("+" already dropped), with its value
// kept along the way for the common case of an optional "-" and digits.
struct DrillNumberText {
    std::string text;
    std::int64_t value = 0;  // of the first 18 digits
    int digits = 0;
    bool plain = true;  // an optional leading "-" and digits only
    bool negative = false;
    bool decimal = false;  // holds a "."

    void clear()
    {
        text.clear();
        value = 0;
        digits = 0;
        plain = true;
        negative = false;
        decimal = false;
    }
    void add(char c)
    {
        text += c;
        take(c, text.size() == 1);
    }
    // A run of number characters at once, as add() of each would take them.
    void addRun(std::string_view run)
    {
        const bool first = text.empty();
        text.append(run);
        for (std::size_t k = 0; k < run.size(); ++k)
            take(run[k], first && k == 0);
    }
    bool empty() const { return text.empty(); }

private:
    void take(char c, bool leading)
    {
        if (c >= '0' && c <= '9') {
            if (digits < 18)
                value = value * 10 + (c - '0');
            ++digits;
        } else if (c == '-' && leading) {
            negative = true;
        } else {
            plain = false;
            decimal = decimal || c == '.';
        }
    }
};

// Raw extents of one file: file numbers before the divisor and the inch factor.
struct DrillRawExtents {
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    bool decimalSeen = false;  // some X or Y text held a "."
};

// The extents pass over one file: only X, Y and G words count. The G text
// carries over from one file to the next within a load.
class DrillExtentsScanner {
public:
    explicit DrillExtentsScanner(const DrillNumberRules &rules);

    // The rules of the next file (its own header may declare them).
    void setRules(const DrillNumberRules &rules) { rules_ = rules; }
    void startFile();
    // Throws KorvaneError on a coordinate text that is not a number.
    void feed(std::string_view chunk);
    void finish();
    const DrillRawExtents &extents() const { return ext_; }

private:
    enum class Collect { None, X, Y, G };
    enum class Comment { None, ToLineEnd, ToParen };
    void startComment(char c);
    void endWord(char terminator);
    void takeValue(bool isX);

    DrillNumberRules rules_;
    Collect collect_ = Collect::None;
    Comment comment_ = Comment::None;
    DrillNumberText text_;
    bool g80_ = false;
    int gDigits_ = 0;
    bool gDigitsAre80_ = true;
    double posX_ = 0, posY_ = 0;
    DrillRawExtents ext_;
};

// One step of a routed path or slot: a straight move, or an arc about a
// centre, to (x, storedY).
struct DrillPathStep {
    enum class Kind { Line, ArcCw, ArcCcw } kind = Kind::Line;
    double x = 0, storedY = 0;
    double centreX = 0, centreStoredY = 0;  // arcs
    double y() const { return storedY; }
};

// A slot (G85, one straight step) or a routed path (route mode: the tool
// plunged with M15 moves by G01/G02/G03 until M16/M17, G00 or G05), cut with
// the tool's width. Points in mm, y stored (negated).
struct DrillPath {
    int tool = 0;
    double diameter = 0;
    bool routed = false;  // route mode; else a G85 slot
    double startX = 0, startStoredY = 0;
    std::vector<DrillPathStep> steps;
    const DrillPathStep &end() const { return steps.back(); }
};

// The points of a path, (x, storedY): its start, then each step's end, arcs
// flattened into chords of at most 5 degrees.
std::vector<Point> drillPathPoints(const DrillPath &path);

// Receives the hits and paths of the marks pass.
class DrillHitSink {
public:
    virtual ~DrillHitSink() = default;
    // (x, storedY) in mm, storedY being the negated board Y; diameter is the
    // tool's diameter from its C word (0 while it had none). Any tool from 1.
    virtual void hit(int tool, double x, double storedY, double diameter) = 0;
    // A slot or routed path of a tool from 1 (it has at least one step).
    virtual void path(const DrillPath & /*path*/) {}
    // A C word gave `tool` its diameter, `text` as written.
    virtual void diameterText(int /*tool*/, const std::string & /*text*/) {}
    // Holes drilled before any tool was selected (tool 0), which no tool
    // draws: the first on `line` (1-based).
    virtual void holeWithoutTool(std::size_t /*line*/) {}
};

// The marks pass over one file. The current point, the tool and the G text
// carry over from one file to the next within a load; accumulators, zero
// flags, pending words and the tools' diameters start afresh with each file.
//
// Comments (";" to the line end, "(" to ")" or the line end) are passed
// over. G85 between two points on one line is a slot; G00 starts route
// mode, where lines move the tool (G00, or after M16/M17 retracted) or cut
// (G01, G02 and G03 with A for the radius or I and J for the centre) until
// G05 returns to drilling.
class DrillFileReader {
public:
    DrillFileReader(const DrillNumberRules &rules, DrillHitSink &sink);

    // The rules of the next file (its own header may declare them).
    void setRules(const DrillNumberRules &rules) { rules_ = rules; }
    void startFile();
    // Throws KorvaneError on a coordinate or diameter text that is not a
    // number; the hits before it have reached the sink.
    void feed(std::string_view chunk);
    // Ends a word cut off by the end of the file. A block needs its line end
    // or "*": a last line without one gives no hit.
    void finish();
    // Hits and paths of the present file.
    std::size_t hits() const { return hits_; }
    std::size_t paths() const { return paths_; }
    int currentTool() const { return tool_; }
    // The line being read (1-based).
    std::size_t line() const { return line_; }

private:
    enum class Collect { None, Tool, Diameter, G, M, X, Y, A, I, J };
    enum class Pending { None, C, G, T, X, Y };
    enum class Comment { None, ToLineEnd, ToParen };
    enum class Motion { Rapid, Line, ArcCw, ArcCcw };
    void endWord();
    void endCoordinate(bool isX);
    void endG(int code);
    void endM(int code);
    void endBlock();
    void routeBlock();
    bool arcCentre(double &cx, double &cy);
    void flushPath();
    double diameterOf(const std::string &text) const;
    double &diameterSlot(int tool);

    DrillNumberRules rules_;
    DrillHitSink &sink_;
    Collect collect_ = Collect::None;
    Pending pending_ = Pending::None;
    Comment comment_ = Comment::None;
    DrillNumberText text_;  // the coordinate text being collected
    std::string cText_;     // digits and "." after the last C
    std::int64_t toolValue_ = 0;
    bool toolDigitSeen_ = false;
    int gDigits_ = 0;
    int gValue_ = 0;

    // Carried from file to file.
    int tool_ = 0;
    double x_ = 0, storedY_ = 0;
    bool g80_ = false;

    // Per file.
    double accX_ = 0, accY_ = 0;
    bool zeroX_ = false, zeroY_ = false;
    bool blockHasCoordinates_ = false;  // an X or Y word in the present block
    double blockStartX_ = 0, blockStartY_ = 0;
    // Slots and routes.
    bool slotInBlock_ = false;
    double slotStartX_ = 0, slotStartY_ = 0;
    bool routeMode_ = false;
    bool retracted_ = false;
    Motion motion_ = Motion::Rapid;
    DrillNumberText arcText_;
    std::optional<DrillNumberText> radius_, offsetI_, offsetJ_;
    DrillPath path_;
    std::vector<double> diameters_;  // by tool
    std::size_t hits_ = 0, paths_ = 0, line_ = 1;
    bool toolZeroReported_ = false;
};

// Appends the mark of `tool` (from 1; above 36 the symbols repeat) at
// (x, storedY) on `layer`: the first item carries role 3 and the tool
// number (role 0 when not `counted`, as at a slot's ends), every item the
// diameter; `colourLayer` other than -1 paints it in that slot's colour (0:
// the background).
void appendToolMark(Document &document, int tool, int layer, double x, double storedY, double diameter,
                    bool counted = true, int colourLayer = -1);

// Appends a slot or routed path: a stroke of the tool's diameter in the
// layer colour (lines and arcs; its first stroke carries role 4 and the
// tool number) and the tool's mark at each end, not counted as holes: cut
// out of a stroke at least as wide as the mark (1 mm).
void appendDrillPath(Document &document, const DrillPath &path, int layer);

// The warning for holes drilled before any tool was selected.
std::string holesWithoutToolText(const std::string &path, std::size_t line);

struct DrillLoadFile {
    int layer = 0;
    std::string path;
};

// The slots a drill load reads, in slot order: drill slots ("nc") with a
// newly assigned file (pendingPath neither empty nor "***").
std::vector<DrillLoadFile> pendingDrillFiles(const LayerTable &layers);

struct DrillLoadOutcome {
    enum class End { Completed, NothingToRead, FormatRefused } end = End::Completed;
    // True once the extents pass has set minX..maxY (and extentX/Y).
    bool extentsSet = false;
    // No Gerber drawing is kept under the drill marks: extentX/Y came from
    // the drill files and the window computes the fit scale for them.
    bool fitScaleDue = false;
    std::vector<int> layersWithHits;     // files that appended marks
    std::vector<int> layersWithoutHits;  // files read to the end without a hit
    std::vector<int> layersFailed;       // files skipped after an error message
    std::vector<int> layersUnread;       // of those, the files the marks pass never read
    // Files read by a format of their own (declared, or the detective's with
    // a Yes), with that format, for the status bar ("name: format（source）
    // で読み込みました"); empty when every file was read as set.
    std::string declaredFormatNote;
};

// Called as the load goes, so the window can fit and draw.
class DrillLoadObserver {
public:
    virtual ~DrillLoadObserver() = default;
    // The extents are set and no mark is appended yet: when fitScaleDue,
    // the window computes the fit scale for its usable area (drillFitArea).
    virtual void extentsSet(bool /*fitScaleDue*/) {}
    // A file appended marks (drillLoaded is 1): enable the drawing commands
    // and the tool usage command, show the tool-mark panel, fit and redraw.
    // Also called for a file that stopped at a bad number after some marks.
    virtual void fileReadWithHits(int /*layer*/) {}
};

struct DrillLoadContext {
    Document &document;
    // Read at the start; what a file's header declares is written back.
    DrillInFormat &format;
    Prompter &prompter;
    StatusSink &status;
    DrillLoadObserver *observer = nullptr;
    // Each file's header declares its format (else the format as set).
    bool readHeaders = true;
    // Over Gerber flashes, a file that declares nothing, or a format under
    // which few hits land on pads, is ranked against the other formats; a
    // clearly better one is offered with a Yes/No question.
    bool detect = true;
};

// Reads the files in slot order into the document, each by the format its
// header declares (what it leaves open comes from the format as set, which
// also reads files that declare nothing): the extents pass over
// all of them, then the marks pass. Calls startLoad once the format is
// accepted (a refused format leaves the drawing as it was). A file that
// cannot be read or holds a text that is not a number is reported through
// the prompter and skipped; the other files are read. Busy pointer and
// status text ("<name>を読込中．．．") while it runs, cleared at the end.
DrillLoadOutcome loadDrillFiles(DrillLoadContext &ctx, std::vector<DrillLoadFile> files);

// Whether file contents read as drill data: T, X and Y words (or an M48
// header) and nothing only Gerber has: no D-code word (D and a digit) and no
// parameter block ("%" followed by a letter; a drill header's lone "%" line
// is fine).
bool looksLikeDrillData(std::string_view bytes);
// Whether a file name has one of the usual drill extensions (.drl, .drd,
// .xln, .exc, .nc, .ncd), in any case.
bool hasDrillExtension(std::string_view path);

// The usable area, in screen mm, that a drill load fits the drawing into:
// the drawing area less the tool-mark panel, three status bar heights and
// a 30 mm margin.
struct DrillFitArea {
    int width = 0;
    int height = 0;
};
DrillFitArea drillFitArea(int drawingWidth, int drawingHeight, int panelWidth, int statusBarHeight, double mmPerPixelX,
                          double mmPerPixelY);

}  // namespace korvane
