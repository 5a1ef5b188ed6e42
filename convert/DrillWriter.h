#pragma once
// Rewriting one NC drill file into the format DrillOutFormat describes: only
// tool words and hole positions are kept, every other line comes from the
// output's command templates.
#include "convert/OutputCoordinates.h"
#include "convert/OutputFile.h"
#include "core/Formats.h"
#include "drill/DrillWords.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace korvane {

struct DrillWriteContext {
    DrillInFormat &in;
    DrillOutFormat &out;
    ConversionMode mode = ConversionMode::Drill;
    // Set by writeDrillFile when the input's bytes are not in the character
    // code the record says (they are read by what they are).
    std::string note;
};

// The five templates of DrillOutFormat, compiled for one file: "*" is the
// block end, "s" and digits that many blanks, "r" is "%"; "t", "d" and "z"
// stay as placeholders of their templates.
struct DrillTemplates {
    std::string init, toolSelect, hit, toolChange, end;
};
DrillTemplates compileDrillTemplates(const DrillOutFormat &out);

// The block end text of an output record: "*", "*" CR LF, CR LF or nothing.
std::string blockEndText(bool eobCode, RecordMode mode);
// `text` with every `placeholder` replaced by `by`.
std::string replacePlaceholder(const std::string &text, char placeholder, const std::string &by);
// What a "z" stands for with absolute output: the return to the origin as
// the zero data rule writes it.
std::string absoluteReturnWords(const DrillOutFormat &out, int totalDigits);

// Tools defined in the input's header are selected only by a tool word of
// the body (or, when a hit comes first, the last one defined). Slots (G85)
// are written as G85 blocks with the hit template, route mode (G00, M15,
// G01/G02/G03 with A or I and J, M16/M17, G05) as blocks of their own; their
// coordinates are always written in full.
class DrillWriter : private DrillBlockSink {
public:
    // Throws KorvaneError for digit counts or offsets that are not numbers.
    DrillWriter(DrillWriteContext &ctx, ByteSink &sink);
    // Throws KorvaneError("'%s' は整数ではありません" ...) on a coordinate
    // that is not a number.
    void feed(std::string_view chunk);
    void finish();

private:
    struct Axis {
        std::int64_t position = 0;  // absolute, output units
        std::int64_t written = 0;   // where the output's machine stands
        double inputSum = 0;        // incremental input, input units
        bool known = false;
        bool present = false;
        bool zero = false;     // the last word read 0 (absolute input)
        std::string lastWord;  // absolute output
    };

    void block(const DrillBlock &b) override;
    void coordinate(bool isX, std::string text);
    void tool(const std::string &digits);
    void endBlock(bool lastWordIsCoordinate);
    void slotBlock(const DrillBlock &b);
    void routeBlock(const DrillBlock &b);
    std::string fullWords();
    std::string arcWord(char letter, const std::optional<std::string> &text) const;
    std::string completed(std::string text) const;
    std::string returnWords(bool keepPosition);
    std::string word(char letter, Axis &axis, bool incrementalInput);
    std::string number(std::int64_t v) const;

    DrillWriteContext &ctx_;
    ByteSink &sink_;
    DrillTemplates templates_;
    CoordinateConverter converter_;
    std::string eob_;
    int inputTotal_ = 5;

    DrillWordReader words_{*this};
    Axis x_, y_;
    std::string headerTool_;  // the last tool the header defined
    bool routeMode_ = false;
    bool fullWords_ = false;
    bool toolSelected_ = false;
    bool afterToolChange_ = false;
    bool forceWords_ = false;
    bool g80_ = false;
    std::string line_;  // the hit block being written
};

// Converts one file; the output is replaced only when the whole file was
// converted. Errors throw KorvaneError with the platform's texts. The input
// is read by the format its header declares over `ctx.in` (which stays as
// it is), in the character code its bytes have.
void writeDrillFile(DrillWriteContext &ctx, const std::string &inputPath, const std::string &outputPath);

}  // namespace korvane
