#pragma once
// Reading Gerber files: the format pre-scan of a load, the block structure,
// coordinate decoding and the RS-274X parameter blocks, feeding the
// interpreter. The load command ties them together.
#include "core/Document.h"
#include "core/Formats.h"
#include "core/Ports.h"
#include "gerber/ApertureTable.h"
#include "gerber/GerberInterpreter.h"
#include "gerber/MacroLibrary.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// Whether a file carries the format or unit parameter blocks of RS-274X
// (%FS, %MO) before its first coordinate. Reads the first megabyte; a file
// that cannot be read says no (the load reports it).
bool declaresRs274X(const std::string &path);
bool declaresRs274X(std::string_view head);

// An RS-274D format meets files that declare RS-274X: the format becomes
// RS-274X, as their own blocks say; true when it changed. Files without
// parameter blocks leave the chosen dialect alone.
bool adoptDeclaredRs274X(GerberInFormat &format, const std::vector<std::string> &paths);

// Applies a %FS or %MO statement (without "%" and "*") to the format;
// false for any other statement.
bool applyFormatStatement(std::string_view statement, GerberInFormat &format);

// False for what cannot be a Gerber file: binary bytes, or text with
// neither block ends ("*") nor D words (a drill file, a report).
bool looksLikeGerber(std::string_view head);

// The line (from 1) of a byte offset in a file's bytes.
int lineAt(std::string_view bytes, std::size_t offset);

// D1 to D3 in their spellings 1, 01, 001: draw, move and flash.
bool isOperationCode(std::string_view digits);

struct PreScanResult {
    bool fsSeen = false;
    bool moSeen = false;
    bool decimalPointSeen = false;
    // Raw extents: file numbers before scaling.
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    bool allZero() const { return minX == 0 && maxX == 0 && minY == 0 && maxY == 0; }
};

// Scans a whole file for %FS, %MO, G70/G71/G90/G91 (writing them into the
// format) and the raw extents of its coordinates.
PreScanResult preScanGerber(std::string_view bytes, GerberInFormat &format);

// The main pass over one file. Feed it the file's bytes in any chunks.
class GerberFileReader {
public:
    GerberFileReader(GerberBlockSink &interpreter, ApertureTable &table, MacroLibrary &library,
                     const GerberInFormat &format);

    void startFile(int layer);
    // False once the user chose to stop the file; the rest is ignored.
    bool feed(std::string_view chunk);
    void finish();
    bool stopped() const { return stopped_; }

    // What the file holds that is not drawn exactly, once per cause.
    struct Note {
        std::size_t offset = 0;  // where in the file: lineAt gives the line
        std::string text;
    };
    const std::vector<Note> &notes() const { return notes_; }

private:
    enum class State { Normal, Number, Comment, Parameter, AfterCr, AfterCrLf, AfterLf };

    bool feedChunk(std::string_view chunk);
    void finishBlocks();
    void parameterStatement(std::string_view statement);
    void note(const std::string &cause, const std::string &text);
    const char *plainWord(const char *p, const char *end);
    void dCode(std::string_view text);
    void handle(char c);
    void startNumber(char letter);
    void endNumber();
    void numberEndsAt(char c, bool endsBlock);
    void endBlock();
    void processParameterText(std::string text, bool closing);
    void processMacroBodyLine(const std::string &raw);
    void endMacroDefinition();
    void defineAperture(const std::string &text);
    void defineMacroReference(const std::string &afterAdd);
    void addDigits(const char *p, const char *end);
    void keepNumberText();
    double rawCoordinate(std::string_view text, bool &decimal) const;
    double decodeCoordinate(char letter, double raw, bool decimal);
    double length(double value) const;

    GerberBlockSink &interpreter_;
    ApertureTable &table_;
    MacroLibrary &library_;
    const GerberInFormat &format_;
    // The file's own format: the load's, changed by the file's %FS %MO
    // (and G70/G71, G90/G91 where it has none).
    GerberInFormat own_;
    bool fsSeen_ = false, moSeen_ = false;
    bool mirrorX_ = false, mirrorY_ = false;
    double rotation_ = 0, scale_ = 1;
    GerberBlockSink::Image image_;
    std::vector<Note> notes_;
    std::vector<std::string> noteCauses_;
    std::size_t bytesBefore_ = 0;
    const char *chunkStart_ = nullptr;
    const char *cursor_ = nullptr;

    State state_ = State::Normal;
    char letter_ = 0;
    std::string number_;
    bool numberIsPlain_ = false;
    std::int64_t numberValue_ = 0;
    int numberDigits_ = 0;
    bool numberNegative_ = false;
    std::string parameter_;
    bool blockHasCoordinates_ = false;
    bool blockHasOperation_ = false;
    bool stopped_ = false;
    double fractionScale_ = 0.001;
    int totalDigits_ = 6;
    double rawSumX_ = 0, rawSumY_ = 0;

    bool inParameterBlock_ = false;
    bool inMacroDefinition_ = false;
    bool inApertureDefinitions_ = false;
    bool apertureDefined_ = false;

    struct MacroEntry {
        std::string name;
        int nameLine = 0;              // 0 for a thermal macro
        std::string thermalStatement;  // the thermal primitive, when it is the only one
        int primitives = 0;
        // Inch files: the statements as written, which an instantiation
        // resolves before it converts them to millimetres.
        std::vector<std::string> inchBody;
    };
    std::vector<MacroEntry> macros_;
    MacroEntry pendingMacro_;
    bool macroHasBody_ = false;
    std::string joinedLine_;
};

struct GerberLoadFile {
    int layer = 0;
    std::string path;
};

struct GerberLoadOutcome {
    enum class End { Completed, PreScanRefused, Error } end = End::Completed;
    PreScanResult preScan;
    LoadExtents extents;
    std::vector<int> layersReadToEnd;
    std::vector<int> layersStopped;
    // Files the load never read (it ended before them, or they could not be
    // opened): their slots should not look loaded.
    std::vector<int> layersUnread;
    bool anyFileRead = false;
    // "file line: text" for what a file holds that is not drawn exactly.
    std::vector<std::string> notes;
};

// Called as the load goes, so the window can enable its commands and show
// the picture as soon as the pre-scan has fixed the extents.
class GerberLoadObserver {
public:
    virtual ~GerberLoadObserver() = default;
    virtual void preScanDone() {}
    virtual void fileReadToEnd(int /*layer*/) {}
};

struct GerberLoadContext {
    Document &document;
    ApertureTable &table;
    MacroLibrary &library;
    GerberInFormat &format;
    Prompter &prompter;
    StatusSink &status;
    GerberLoadObserver *observer = nullptr;
    std::size_t itemLimit = DefaultItemLimit;  // items one file may make
};

// Pre-scans the largest file, then reads every file in layer order into the
// document (the caller has called startLoad). Messages go through the
// prompter; the document values of the view set-up are updated.
GerberLoadOutcome loadGerberFiles(GerberLoadContext &ctx, std::vector<GerberLoadFile> files);

}  // namespace korvane
