#pragma once
// Rewriting one Gerber file from GerberInFormat into GerberOutFormat:
// RS-274D or RS-274X on either side, coordinates through the output
// coordinate step, G and D codes by the modal option, the block end of the
// output, and for RS-274D to RS-274X the format and aperture definitions
// taken from the ApertureTable and the MacroLibrary.
#include "convert/OutputCoordinates.h"
#include "convert/OutputFile.h"
#include "core/Document.h"
#include "core/Formats.h"
#include "core/Ports.h"
#include "gerber/ApertureTable.h"
#include "gerber/GerberInterpreter.h"
#include "gerber/GerberReader.h"
#include "gerber/MacroLibrary.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

struct GerberWriteContext {
    GerberInFormat &in;
    GerberOutFormat &out;
    ApertureTable &table;
    MacroLibrary &library;
    Prompter &prompter;
    // RS-274X to RS-274D: fill the table and the library from the file's
    // %AD and %AM blocks (the library grows across the files of a run).
    bool autoApertureTable = false;
};

enum class WriteEnd { Completed, Stopped };

// The aperture definition lines of one table row for an RS-274X header
// ("D15" and the row's shape and size); empty for shapes without one.
// Throws GerberWriteStop with the message of a row that cannot be written.
std::vector<std::string> apertureDefinitionLines(const std::string &dcode, const ApertureLookup &row,
                                                 const MacroLibrary &library, LengthUnit unit);

// The format lines an RS-274X output starts with (%FS and %MO).
std::vector<std::string> formatLines(const GerberOutFormat &out);

struct GerberWriteStop {
    std::string text;
};

class GerberWriter {
public:
    // `header` receives the format and aperture lines of an RS-274D to
    // RS-274X conversion, which the caller puts before `body`; otherwise
    // everything goes to `body`.
    GerberWriter(GerberWriteContext &ctx, ByteSink &body, ByteSink &header);
    ~GerberWriter();

    // False once a stop message ended the file. A coordinate or number that
    // cannot be read throws KorvaneError (it ends the whole run).
    bool feed(std::string_view chunk);
    void finish();
    bool stopped() const { return stopped_; }

private:
    enum class State { Normal, Word, Comment, Parameter };
    struct Axis {
        std::int64_t position = 0;  // absolute, output units
        std::int64_t written = 0;   // where the output's reader stands
        double inputSum = 0;        // incremental input, input units
        bool known = false;
        bool present = false;
        std::string lastWord;              // absolute output: the digits last written
        std::int64_t lastValue = 0;        // and the value they were formed from
        std::uint32_t lastGeneration = 0;  // by this converter (0: none yet)
    };

    void write(std::string_view text);
    void flushOutput();
    void writeLine(std::string_view line);
    void writeHeaderLine(const std::string &line);
    void handle(char c);
    void endFile();
    void endWord();
    void word(char letter, std::string_view text);
    void endBlock();
    void coordinateWord(char letter, std::string_view text);
    void dWord(std::string_view digits);
    void gWord(std::string_view digits);
    void parameterPiece(const std::string &piece, bool closing);
    void parameterStatement(std::string_view statement, std::string &kept);
    std::string scaledAperture(std::string_view statement) const;
    std::string scaledStepRepeat(std::string_view statement) const;
    // A data block being built. Its longest form (G code, four words of
    // at most OutputNumberSize characters, D code, block end) fits.
    struct BlockText {
        char text[4 * (CoordinateConverter::OutputNumberSize + 1) + 16];
        std::size_t size = 0;
        char *end() { return text + size; }
        void put(char c) { text[size++] = c; }
        void put(std::string_view s)
        {
            s.copy(text + size, s.size());
            size += s.size();
        }
        void zeros(std::size_t n)
        {
            std::fill_n(text + size, n, '0');
            size += n;
        }
    };
    void appendAxisWord(BlockText &line, char letter, Axis &axis);
    std::string number(std::int64_t v);
    const CoordinateConverter &converter();
    std::string compileCommand(const std::string &command) const;

    GerberWriteContext &ctx_;
    ByteSink &body_;
    ByteSink &header_;
    bool dToX_ = false;
    bool xIn_ = false;
    bool xOut_ = false;
    std::string eob_;
    std::string selectPrefix_;
    std::unique_ptr<CoordinateConverter> converter_;
    std::uint32_t converterGeneration_ = 0;  // counts the converters made
    LengthUnit convertUnit_ = LengthUnit::Mm;

    State state_ = State::Normal;
    char letter_ = 0;
    std::string word_;
    bool stopped_ = false;
    bool fsSeen_ = false;

    // Modal state of the output.
    int currentG_ = 1;       // G00 to G03
    int lastWrittenG_ = -1;  // none yet
    int currentD_ = 2;       // D01 to D03
    int lastWrittenD_ = 0;   // none yet
    Axis x_, y_;
    std::string i_, j_;
    bool blockHasWord_ = false;
    bool blockHasCoordinateOrOperation_ = false;
    // The last line written: a data block still in its buffer, or a copy.
    std::string_view lastLine() const;
    void rememberLine(std::string_view line);
    std::string lastLine_;
    std::string_view lastBlock_;
    bool lastIsBlock_ = false;
    // Two buffers: the block being built, and the last one written.
    BlockText blocks_[2];
    int building_ = 0;

    // Parameter blocks.
    std::string piece_;
    bool parameterOpen_ = false;
    bool firstPiece_ = true;
    bool blockOpened_ = false;
    std::string blockKind_;
    bool macroNameSeen_ = false;

    std::set<std::string, std::less<>> defined_;
    // Bytes not yet handed to the body sink, and a line being built.
    std::string out_;
    std::string scratch_;

    // The reader that fills the aperture table from %AD and %AM blocks.
    struct TableFiller;
    std::unique_ptr<TableFiller> filler_;
};

// Converts one file; the output is replaced only when the conversion
// completed. Stop messages are shown through the prompter and give Stopped;
// file errors and unreadable numbers throw KorvaneError.
WriteEnd writeGerberFile(GerberWriteContext &ctx, const std::string &inputPath, const std::string &outputPath);

}  // namespace korvane
