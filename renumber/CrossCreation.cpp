#include "renumber/CrossCreation.h"
#include "convert/ConvertTexts.h"
#include "convert/DrillInput.h"
#include "convert/DrillWriter.h"
#include "convert/GerberWriter.h"
#include "convert/OutputCoordinates.h"
#include "convert/TapeCodes.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/Numbers.h"
#include "core/TextFile.h"
#include "drill/DrillReader.h"
#include "drill/DrillWords.h"
#include "drill/ToolMarks.h"
#include "gerber/GerberBlockSink.h"
#include "gerber/GerberExpansion.h"
#include "gerber/GerberReader.h"
#include "renumber/CrossTexts.h"

#include <cmath>
#include <memory>

namespace korvane {
namespace {

constexpr double InchToMm = 25.4;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The report rows: each lookup opens a row; hits count for the row opened
// last, those before the first lookup for the first row.
class ReportCounter {
public:
    explicit ReportCounter(CreationReport &report) : report_(report) {}
    void open(const std::string &source, const std::string &target)
    {
        if (!report_.rows.empty()) {
            report_.rows.back().count = count_;
            count_ = 0;
        }
        report_.rows.push_back({source, target, 0});
    }
    void hit() { ++count_; }
    void finish()
    {
        if (!report_.rows.empty())
            report_.rows.back().count = count_;
    }

private:
    CreationReport &report_;
    std::size_t count_ = 0;
};

// The flashes of a Gerber file as the Gerber reader reads them: aperture
// selects by their text as written, flashes at board positions in mm.
class FlashSink : public GerberBlockSink {
public:
    virtual void aperture(const std::string &dcode) = 0;
    virtual void flash(double x, double y) = 0;
    // A move (start) or a draw ends at (x, y).
    virtual void stroke(bool /*start*/, double /*x*/, double /*y*/) {}

    void startFile(int) override
    {
        dMode_ = 2;
        x_ = storedY_ = 0;
    }
    void selectGCode(long) override {}
    bool selectDCode(std::string_view digits) override
    {
        if (isOperationCode(digits))
            dMode_ = digits.back() - '0';
        else
            aperture("D" + std::string(digits));
        return true;
    }
    void setX(double x) override { x_ = x; }
    void setY(double y) override { storedY_ = y; }
    void setI(double) override {}
    void setJ(double) override {}
    void setClearPolarity(bool) override {}
    void executeBlock() override
    {
        if (dMode_ == 3)
            flash(x_, 0.0 - storedY_);
        else
            stroke(dMode_ == 2, x_, 0.0 - storedY_);
    }

private:
    int dMode_ = 2;
    double x_ = 0, storedY_ = 0;
};

// Input bytes decoded from a tape code when the record says so.
std::string_view decoded(std::string_view bytes, CharCode code, std::string &buffer)
{
    std::unique_ptr<TapeCodec> decoder = decoderFor(code);
    if (!decoder)
        return bytes;
    decoder->convert(bytes, buffer);
    return buffer;
}

// What the file declares goes into `format` before it is read, as a load
// does it: RS-274X by its parameter blocks, the number format by the pre-scan.
void settleFormat(std::string_view text, GerberInFormat &format)
{
    if (format.dialect == GerberDialect::Rs274D && declaresRs274X(text.substr(0, 1 << 20)))
        format.dialect = GerberDialect::Rs274X;
    preScanGerber(text, format);
}

void readFlashes(std::string_view text, const GerberInFormat &format, FlashSink &sink)
{
    // The file's own %AD and %AM blocks go into copies: the program's table
    // stays as the user set it.
    auto table = std::make_unique<ApertureTable>();
    MacroLibrary library;
    // A hole for every copy of a step and repeat and every flash of a block.
    ExpandingSink expanding(sink);
    GerberFileReader reader(expanding, *table, library, format);
    reader.startFile(1);
    reader.feed(text);
    reader.finish();
}

// A Gerber input record as the coordinate step's input side.
DrillInFormat inputSideOf(const GerberInFormat &in)
{
    DrillInFormat side;
    side.unit = in.unit;
    side.integerDigits = in.integerDigits;
    side.decimalDigits = in.decimalDigits;
    return side;
}

double toInputUnits(double mm, LengthUnit unit) { return unit == LengthUnit::Inch ? mm / InchToMm : mm; }

// An absolute X or Y word by the zero data rule: a word equal to the last
// one written (when `repeats` counts) is written again, bare or left out; a
// zero value is the bare letter unless zero data are written in full.
std::string absoluteWord(char letter, std::int64_t value, std::string &lastWord, bool repeats, ZeroDataMode zeroData,
                         const CoordinateConverter &converter)
{
    std::string bare(1, letter);
    std::string w = bare + converter.outputNumber(value);
    if (repeats && w == lastWord) {
        switch (zeroData) {
        case ZeroDataMode::All: return w;
        case ZeroDataMode::Address: return bare;
        case ZeroDataMode::Omit: return {};
        }
    }
    lastWord = w;
    if (value == 0 && zeroData != ZeroDataMode::All)
        return bare;
    return w;
}

// ------------------------------------------------------------ Gerber to drill

// Composes the drill program from the DrillOutFormat templates: tool change
// and select held until the next hit, then the hit with its X and Y words.
class DrillComposer {
public:
    DrillComposer(const DrillOutFormat &out, const CoordinateFormats &formats, ByteSink &sink)
        : out_(out), templates_(compileDrillTemplates(out)), converter_(formats), sink_(sink)
    {
        if (!templates_.init.empty())
            sink_.write(templates_.init);
    }

    void select(const std::string &tool)
    {
        pendingTool_ = tool;
        toolPending_ = true;
    }

    void hit(double x, double y, char)
    {
        std::string piece;
        if (toolPending_) {
            toolPending_ = false;
            if (toolWritten_) {
                std::string change = templates_.toolChange;
                size_t z = change.find('z');
                if (z != std::string::npos) {
                    change.replace(z, 1, returnWords(true));
                    x_.lastWord.clear();
                    y_.lastWord.clear();
                }
                piece = change;
                afterToolChange_ = true;
            }
            toolWritten_ = true;
            forceWords_ = true;
            std::string code = pendingTool_;
            if (out_.toolDigits == 1 && code.size() > 2 && code[0] == 'T' && code[1] == '0')
                code.erase(1, 1);
            piece += replacePlaceholder(templates_.toolSelect, 't', code);
        }
        x_.position = converter_.valueOfInput(x, 'X');
        y_.position = converter_.valueOfInput(y, 'Y');
        std::string words = word('X', x_) + word('Y', y_);
        forceWords_ = afterToolChange_ = false;
        const std::string &t = templates_.hit;
        size_t d = t.find('d');
        piece += d == std::string::npos ? words + t : t.substr(0, d) + words + t.substr(d + 1);
        sink_.write(piece);
    }

    void finish()
    {
        std::string end = templates_.end;
        if (end.find('z') != std::string::npos)
            end = replacePlaceholder(end, 'z', returnWords(false));
        if (!end.empty())
            sink_.write(end);
    }

private:
    struct Axis {
        std::int64_t position = 0;
        std::int64_t written = 0;
        std::string lastWord;
    };

    std::string returnWords(bool toOrigin)
    {
        if (out_.coordinateMode == CoordinateMode::Incremental) {
            std::string words = "X" + converter_.outputNumber(-x_.written) + "Y" + converter_.outputNumber(-y_.written);
            if (toOrigin)
                x_.written = y_.written = 0;
            return words;
        }
        return absoluteReturnWords(out_, converter_.totalDigits());
    }

    std::string word(char letter, Axis &axis)
    {
        std::string bare(1, letter);
        if (out_.coordinateMode == CoordinateMode::Incremental) {
            std::int64_t step = axis.position - axis.written;
            axis.written = axis.position;
            if (step == 0 && !forceWords_) {
                if (out_.zeroSuppression == ZeroSuppression::None)
                    return bare + std::string(static_cast<size_t>(converter_.totalDigits()), '0');
                switch (out_.zeroData) {
                case ZeroDataMode::Address: return bare;
                case ZeroDataMode::Omit: return {};
                case ZeroDataMode::All: return bare + "0";
                }
            }
            return bare + converter_.outputNumber(step);
        }
        return absoluteWord(letter, axis.position, axis.lastWord, !afterToolChange_, out_.zeroData, converter_);
    }

    const DrillOutFormat &out_;
    DrillTemplates templates_;
    CoordinateConverter converter_;
    ByteSink &sink_;
    std::string pendingTool_;
    bool toolPending_ = false;
    bool toolWritten_ = false;
    bool afterToolChange_ = false;
    bool forceWords_ = false;
    Axis x_, y_;
};

class GerberToDrill : public FlashSink {
public:
    GerberToDrill(const CreationTable &table, DrillComposer &composer, ReportCounter &counter, LengthUnit inUnit)
        : table_(table), composer_(composer), counter_(counter), inUnit_(inUnit)
    {
    }
    void aperture(const std::string &dcode) override
    {
        const std::string &tool = table_.lookup(dcode);
        counter_.open(dcode, tool);
        composer_.select(tool);
    }
    void flash(double x, double y) override
    {
        composer_.hit(toInputUnits(x, inUnit_), toInputUnits(y, inUnit_), 0);
        counter_.hit();
    }

private:
    const CreationTable &table_;
    DrillComposer &composer_;
    ReportCounter &counter_;
    LengthUnit inUnit_;
};

// ------------------------------------------------------------ drill to Gerber

// Writes flashes and aperture selects in the GerberOutFormat; RS-274X output
// gets its format and aperture definitions in a header of its own.
class GerberComposer {
public:
    GerberComposer(CrossCreationContext &ctx, ByteSink &body, std::string &header)
        : ctx_(ctx), out_(ctx.gerberOut), body_(body), header_(header)
    {
        x274_ = out_.dialect == GerberDialect::Rs274X;
        if (x274_)
            out_.zeroSuppression = ZeroSuppression::Leading;
        eob_ = blockEndText(out_.eobCode, out_.recordMode);
        CoordinateFormats f;
        f.inUnit = ctx.drillIn.unit;
        f.inDecimalDigits = ctx.drillIn.decimalDigits;
        f.outUnit = out_.unit;
        f.outIntegerDigits = out_.integerDigits;
        f.outDecimalDigits = out_.decimalDigits;
        f.outZeroSuppression = out_.zeroSuppression;
        f.outCoordinateMode = out_.coordinateMode;
        f.mode = ConversionMode::Gerber;
        converter_ = std::make_unique<CoordinateConverter>(f);
        if (x274_) {
            std::string digits = out_.integerDigits + out_.decimalDigits;
            header_ += (out_.coordinateMode == CoordinateMode::Incremental ? "%FSLIX" : "%FSLAX") + digits + "Y" +
                       digits + "*%\r\n";
            header_ += out_.unit == LengthUnit::Inch ? "%MOIN*%\r\n" : "%MOMM*%\r\n";
        }
        std::string init = replacePlaceholder(out_.initCommand, '*', eob_);
        if (!init.empty())
            body_.write(init);
    }

    const CoordinateConverter &converter() const { return *converter_; }

    void select(const std::string &dcode)
    {
        if (x274_) {
            ApertureLookup row;
            if (dcode.size() > 1 && dcode[0] == 'D')
                row = ctx_.apertures.Lookup(std::string_view(dcode).substr(1));
            if (!row.isSet())
                throw CreationStop{crossmsg::apertureNotSetForRs274X(dcode)};
            try {
                for (const std::string &line : apertureDefinitionLines(dcode, row, ctx_.macros, out_.unit))
                    header_ += line + "\r\n";
            } catch (const GerberWriteStop &stop) {
                throw CreationStop{stop.text};
            }
        }
        body_.write((out_.g54 ? "G54" : "") + dcode + eob_);
        firstAfterTool_ = true;
    }

    void flash(std::int64_t x, std::int64_t y)
    {
        bool modalG = out_.modal == ModalMode::G || out_.modal == ModalMode::GD;
        bool modalD = out_.modal == ModalMode::D || out_.modal == ModalMode::GD;
        std::string g = !modalG || firstAfterTool_ ? "G01" : "";
        std::string d = !modalD || firstAfterTool_ ? "D03" : "";
        x_.position = x;
        y_.position = y;
        std::string words = word('X', x_) + word('Y', y_);
        std::string line = g + words + d;
        if (line == "D03" && !flashWritten_)
            line = "G01X0Y0D03";  // a reader needs a block it can place
        else if (line.empty())
            line = "D03";  // the same place again: still a flash
        body_.write(line + eob_);
        firstAfterTool_ = false;
        flashWritten_ = true;
    }

    // A stroke of the selected aperture: a move to its start, then lines
    // and arcs (I and J from the start of each arc, multi-quadrant).
    void strokeStart(std::int64_t x, std::int64_t y)
    {
        x_.position = x;
        y_.position = y;
        body_.write("G01" + fullWord('X', x_) + fullWord('Y', y_) + "D02" + eob_);
        firstAfterTool_ = true;  // the next flash writes its G and D again
    }
    void strokeLine(std::int64_t x, std::int64_t y)
    {
        x_.position = x;
        y_.position = y;
        body_.write("G01" + fullWord('X', x_) + fullWord('Y', y_) + "D01" + eob_);
    }
    void strokeArc(bool clockwise, std::int64_t x, std::int64_t y, std::int64_t i, std::int64_t j)
    {
        if (!multiQuadrant_)
            body_.write("G75" + eob_);
        multiQuadrant_ = true;
        x_.position = x;
        y_.position = y;
        body_.write((clockwise ? "G02" : "G03") + fullWord('X', x_) + fullWord('Y', y_) + "I" +
                    converter_->outputNumber(i) + "J" + converter_->outputNumber(j) + "D01" + eob_);
    }

    void finish()
    {
        std::string end = replacePlaceholder(out_.endCommand, '*', eob_);
        if (!end.empty())
            body_.write(end);
    }

private:
    struct Axis {
        std::int64_t position = 0;
        std::int64_t written = 0;
        std::string lastWord;
    };

    std::string word(char letter, Axis &axis)
    {
        std::string bare(1, letter);
        if (out_.coordinateMode == CoordinateMode::Incremental) {
            std::int64_t step = axis.position - axis.written;
            axis.written = axis.position;
            if (step != 0)
                return bare + converter_->outputNumber(step);
            if (out_.zeroSuppression == ZeroSuppression::None)
                return bare + std::string(static_cast<size_t>(converter_->totalDigits()), '0');
            return out_.zeroData == ZeroDataMode::All ? bare + "0" : bare;
        }
        return absoluteWord(letter, axis.position, axis.lastWord, true, out_.zeroData, *converter_);
    }
    // A stroke's words in full, whatever the zero data rule.
    std::string fullWord(char letter, Axis &axis)
    {
        if (out_.coordinateMode == CoordinateMode::Incremental) {
            const std::int64_t step = axis.position - axis.written;
            axis.written = axis.position;
            return letter + converter_->outputNumber(step);
        }
        axis.lastWord = letter + converter_->outputNumber(axis.position);
        return axis.lastWord;
    }

    CrossCreationContext &ctx_;
    GerberOutFormat &out_;
    ByteSink &body_;
    std::string &header_;
    bool x274_ = false;
    std::string eob_;
    std::unique_ptr<CoordinateConverter> converter_;
    bool firstAfterTool_ = true;
    bool flashWritten_ = false;
    bool multiQuadrant_ = false;
    Axis x_, y_;
};

// Reads a drill file's blocks as the drill writer does: a block is decided
// at its line end, a line ending in a T or G word is no hit, G80 holds back
// the next block at the origin. Slots and routed paths become strokes of the
// tool's aperture.
class DrillToGerber : private DrillBlockSink {
public:
    DrillToGerber(const DrillInFormat &in, const CreationTable &table, GerberComposer &composer, ReportCounter &counter)
        : in_(in), table_(table), composer_(composer), counter_(counter),
          inputTotal_(parseInt(in.integerDigits) + parseInt(in.decimalDigits))
    {
    }

    void feed(std::string_view chunk) { words_.feed(chunk); }
    void finish() { words_.finish(); }

private:
    struct Axis {
        double inputSum = 0;
        double value = 0;
        bool zero = false;
    };

    void block(const DrillBlock &b) override
    {
        if (b.toolDefinition)
            headerTool_ = "T" + *b.toolDefinition;
        if (b.tool) {
            g80_ = false;
            endPath();
            if (*b.tool != "00")
                tool("T" + *b.tool);
        }
        if (b.g80)
            g80_ = true;
        if (b.motion == 0)
            routeMode_ = true;
        if (routeMode_) {
            routeBlock(b);
            return;
        }
        if (b.g85 && !b.coordinates.empty()) {
            for (std::size_t k = 0; k < b.slotSplit; ++k)
                coordinate(b.coordinates[k].isX, b.coordinates[k].text);
            startPath();
            for (std::size_t k = b.slotSplit; k < b.coordinates.size(); ++k)
                coordinate(b.coordinates[k].isX, b.coordinates[k].text);
            composer_.strokeLine(outX(), outY());
            endPath();
            return;
        }
        for (const DrillCoordinateWord &w : b.coordinates)
            coordinate(w.isX, w.text);
        if (!b.coordinates.empty())
            endBlock(b.lastWordIsCoordinate);
    }

    void routeBlock(const DrillBlock &b)
    {
        if (b.motion)
            motion_ = *b.motion;
        if (b.m == 15)
            retracted_ = false;
        if (b.m == 16 || b.m == 17 || b.motion == 0 || b.g05) {
            endPath();
            retracted_ = b.m == 16 || b.m == 17;
        }
        if (b.g05)
            routeMode_ = false;
        if (b.coordinates.empty())
            return;
        const double fromX = x_.value, fromY = y_.value;
        if (motion_ == 0 || retracted_) {
            for (const DrillCoordinateWord &w : b.coordinates)
                coordinate(w.isX, w.text);
            return;
        }
        if (!pathOpen_)
            startPath();
        for (const DrillCoordinateWord &w : b.coordinates)
            coordinate(w.isX, w.text);
        if (motion_ == 1 || !(b.a || b.i || b.j)) {
            composer_.strokeLine(outX(), outY());
            return;
        }
        // Centre offsets from the start, in input units.
        double i = 0, j = 0;
        const CoordinateConverter &c = composer_.converter();
        if (b.i || b.j) {
            i = b.i ? c.inputValue(completed(*b.i)) : 0;
            j = b.j ? c.inputValue(completed(*b.j)) : 0;
        } else {
            const double vx = x_.value - fromX, vy = y_.value - fromY, chord = std::hypot(vx, vy);
            const double r = std::max(std::abs(c.inputValue(completed(*b.a))), chord / 2);
            const double rise = chord > 0 ? std::sqrt(std::max(0.0, r * r - chord * chord / 4)) : 0;
            const double side = motion_ == 3 ? 1.0 : -1.0;
            i = vx / 2 - (chord > 0 ? side * rise * vy / chord : 0);
            j = vy / 2 + (chord > 0 ? side * rise * vx / chord : 0);
        }
        composer_.strokeArc(motion_ == 2, outX(), outY(), c.valueOfInput(i, 'I'), c.valueOfInput(j, 'J'));
    }

    void startPath()
    {
        if (!toolSelected_ && !headerTool_.empty())
            tool(headerTool_);
        composer_.strokeStart(outX(), outY());
        pathOpen_ = true;
        counter_.hit();
    }
    void endPath() { pathOpen_ = false; }

    std::int64_t outX() const { return composer_.converter().valueOfInput(x_.value, 'X'); }
    std::int64_t outY() const { return composer_.converter().valueOfInput(y_.value, 'Y'); }

    void tool(const std::string &code)
    {
        const std::string &dcode = table_.lookup(code);
        counter_.open(code, dcode);
        composer_.select(dcode);
        toolSelected_ = true;
    }

    std::string completed(std::string text) const
    {
        if (in_.zeroSuppression == ZeroSuppression::Trailing && text.find('.') == std::string::npos) {
            size_t total = static_cast<size_t>(inputTotal_) + (text.find('-') != std::string::npos ? 1 : 0);
            if (text.size() < total)
                text.append(total - text.size(), '0');
        }
        return text.empty() ? "0" : text;
    }

    void coordinate(bool isX, const std::string &word)
    {
        const std::string text = completed(word);
        Axis &axis = isX ? x_ : y_;
        double v = composer_.converter().inputValue(text);
        if (in_.coordinateMode == CoordinateMode::Incremental) {
            axis.inputSum = g80_ ? 0 : axis.inputSum + v;
            axis.value = axis.inputSum;
        } else {
            axis.value = v;
            if (v == 0)
                axis.zero = true;
            else
                x_.zero = y_.zero = false;
        }
    }

    void endBlock(bool lastWordIsCoordinate)
    {
        if (!lastWordIsCoordinate)
            return;
        bool incremental = in_.coordinateMode == CoordinateMode::Incremental;
        bool atZero = incremental ? x_.inputSum == 0 && y_.inputSum == 0 : x_.zero && y_.zero;
        bool hit = !g80_ && (in_.x0y0IsHit || !atZero);
        g80_ = false;
        if (!hit)
            return;
        if (!toolSelected_ && !headerTool_.empty())
            tool(headerTool_);
        composer_.flash(outX(), outY());
        counter_.hit();
    }

    const DrillInFormat &in_;
    const CreationTable &table_;
    GerberComposer &composer_;
    ReportCounter &counter_;
    int inputTotal_;
    DrillWordReader words_{*this};
    std::string headerTool_;
    bool toolSelected_ = false;
    bool g80_ = false;
    bool routeMode_ = false;
    bool retracted_ = false;
    bool pathOpen_ = false;
    int motion_ = 0;
    Axis x_, y_;
};

}  // namespace

void createDrillFromGerber(CrossCreationContext &ctx, const CreationTable &table, std::string_view gerber,
                           ByteSink &drill, CreationReport &report)
{
    std::string buffer;
    std::string_view text = decoded(gerber, ctx.gerberIn.charCode, buffer);
    GerberInFormat format = ctx.gerberIn;
    settleFormat(text, format);
    ctx.gerberIn = format;
    // The drill offsets belong to the output format: every created drill
    // file gets them, whatever the conversion dialog last converted.
    DrillComposer composer(ctx.drillOut, coordinateFormats(inputSideOf(format), ctx.drillOut, ConversionMode::Drill),
                           drill);
    ReportCounter counter(report);
    GerberToDrill creation(table, composer, counter, format.unit);
    readFlashes(text, format, creation);
    counter.finish();
    composer.finish();
}

void createGerberFromDrill(CrossCreationContext &ctx, const CreationTable &table, std::string_view drill,
                           ByteSink &gerber, CreationReport &report)
{
    std::string header;
    StringSink body;
    bool x274 = ctx.gerberOut.dialect == GerberDialect::Rs274X;
    ByteSink &target = x274 ? static_cast<ByteSink &>(body) : gerber;
    // The input as the drill load reads it: its header's format, its bytes'
    // character code.
    const SettledDrillFormat settled =
        settleDrillFormat(drill.substr(0, DrillHeadBytes), ctx.drillIn, report.inputPath);
    if (!settled.note.empty())
        ctx.prompter.information(settled.note);
    DrillInFormat &drillIn = ctx.drillIn;
    const DrillInFormat set = drillIn;
    drillIn = settled.format;
    GerberComposer composer(ctx, target, header);
    drillIn = set;
    ReportCounter counter(report);
    DrillToGerber creation(settled.format, table, composer, counter);
    std::string buffer;
    creation.feed(decoded(drill, settled.format.charCode, buffer));
    creation.finish();
    counter.finish();
    composer.finish();
    if (x274) {
        gerber.write(header);
        gerber.write(body.text);
    }
}

std::optional<CreationReport> createFile(CreationDirection direction, CrossCreationContext &ctx,
                                         const CreationTable &table, const std::string &inputPath,
                                         const std::string &outputPath)
{
    std::string bytes = readFileBytes(inputPath);
    refuseOutputOntoInput(inputPath, outputPath);
    OutputFileSink output(outputPath);
    CreationReport report{inputPath, outputPath, {}};
    try {
        if (direction == CreationDirection::GerberToDrill)
            createDrillFromGerber(ctx, table, bytes, output, report);
        else
            createGerberFromDrill(ctx, table, bytes, output, report);
    } catch (const CreationStop &stop) {
        ctx.prompter.error(stop.text);
        return std::nullopt;
    }
    output.commit();
    return report;
}

std::optional<CreationReport> runCrossCreation(CreationDirection direction, CrossCreationContext &ctx,
                                               StatusSink &status, const CreationTable &table,
                                               const std::string &sourcePath, const std::string &targetPath)
{
    const char *missing = sourcePath.empty()             ? crossmsg::NoSource
                          : targetPath.empty()           ? crossmsg::NoTarget
                          : table.rows[0].source.empty() ? crossmsg::NoTable
                                                         : nullptr;
    if (missing) {
        ctx.prompter.error(missing);
        return std::nullopt;
    }
    bool toDrill = direction == CreationDirection::GerberToDrill;
    BusyGuard busy(status, fileNameOf(sourcePath) + (toDrill ? crossmsg::CreatingDrill : crossmsg::CreatingGerber));
    try {
        return createFile(direction, ctx, table, sourcePath, targetPath);
    } catch (const KorvaneError &e) {
        ctx.prompter.error(e.text());
        return std::nullopt;
    }
}

std::vector<std::string> creationReportLines(CreationDirection direction, const CreationReport &report)
{
    bool toDrill = direction == CreationDirection::GerberToDrill;
    std::vector<std::string> lines;
    lines.push_back(std::string(crossmsg::LabelReportInput) + report.inputPath);
    lines.push_back(std::string(crossmsg::LabelReportOutput) + report.outputPath);
    lines.push_back(std::string(crossmsg::ReportNumber) + "\t" +
                    (toDrill ? crossmsg::ReportDcode : crossmsg::ReportTool) + "\t" +
                    (toDrill ? crossmsg::ReportTool : crossmsg::ReportDcode) + "\t" + crossmsg::ReportCount);
    for (size_t i = 0; i < report.rows.size(); ++i) {
        const CreationReportRow &row = report.rows[i];
        lines.push_back(std::to_string(i + 1) + "\t" + row.source + "\t" + row.target + "\t" +
                        std::to_string(row.count));
    }
    return lines;
}

// ---------------------------------------------------------------- the checks

namespace {

// A hole, or a point of a stroke: a slot's or a route's start, then the end
// of each of its steps (on the Gerber side: a D02 move, then each D01).
struct Place {
    int tool = 0;
    double x = 0, y = 0;
    int kind = 0;  // 0 hole, 1 path start, 2 path step
};

std::string mm(double v) { return formatReal(std::round(v * 1e6) / 1e6); }

std::string describe(const Place &p)
{
    const char *what[] = {"", "長穴の始点 ", "長穴の経路 "};
    return what[p.kind] + (p.tool > 0 ? "T" + std::to_string(p.tool) + " " : std::string()) + "(" + mm(p.x) + "," +
           mm(p.y) + ")";
}

// Half a unit of the output's last digit; from mm to mm the coordinate step
// rounds with a bias of 0.1 unit, so 0.6 of a unit there.
double tolerance(LengthUnit in, LengthUnit out, const std::string &decimals)
{
    double step = std::pow(10.0, -decimalDigitCount(decimals));
    double share = in == LengthUnit::Mm && out == LengthUnit::Mm ? 0.6 : 0.5;
    return step * share * (out == LengthUnit::Inch ? InchToMm : 1.0) * (1 + 1e-9) + 1e-9;
}

// The tool a drill reader selects for a code ("T" and digits), else -1.
int toolNumberOf(const std::string &code)
{
    if (code.size() < 2 || code[0] != 'T' || code.size() > 10)
        return -1;
    for (size_t i = 1; i < code.size(); ++i)
        if (!isDigit(code[i]))
            return -1;
    return parseInt(code.substr(1));
}

class PlaceList : public DrillHitSink {
public:
    void hit(int tool, double x, double storedY, double) override { places.push_back({tool, x, 0.0 - storedY}); }
    void path(const DrillPath &path) override
    {
        places.push_back({path.tool, path.startX, 0.0 - path.startStoredY, 1});
        for (const DrillPathStep &step : path.steps)
            places.push_back({path.tool, step.x, 0.0 - step.storedY, 2});
    }
    std::vector<Place> places;
};

std::vector<Place> drillHits(const std::string &path, const DrillInFormat &set)
{
    std::string buffer, bytes = readFileBytes(path);
    const DrillInFormat format = settleDrillFormat(std::string_view(bytes).substr(0, DrillHeadBytes), set, path).format;
    PlaceList list;
    DrillFileReader reader(drillNumberRules(format), list);
    reader.startFile();
    reader.feed(decoded(bytes, format.charCode, buffer));
    reader.finish();
    return std::move(list.places);
}

class FlashPlaces : public FlashSink {
public:
    explicit FlashPlaces(const CreationTable *table) : table_(table) {}
    // The created file selects a tool just before its next hit, so only the
    // last select before a flash names its tool.
    void aperture(const std::string &dcode) override
    {
        if (table_)
            pending_ = toolNumberOf(table_->lookup(dcode));
    }
    void flash(double x, double y) override
    {
        if (pending_ >= 0)
            tool_ = pending_;
        pending_ = -1;
        if (!table_ || tool_ >= 1)
            places.push_back({table_ ? tool_ : 0, x, y});
    }
    // Strokes count only in a created Gerber file, where they are slots.
    void stroke(bool start, double x, double y) override
    {
        if (!table_)
            places.push_back({0, x, y, start ? 1 : 2});
    }
    std::vector<Place> places;

private:
    const CreationTable *table_;
    int tool_ = 0;
    int pending_ = -1;
};

std::vector<Place> gerberFlashes(const std::string &path, GerberInFormat format, const CreationTable *table)
{
    std::string buffer, bytes = readFileBytes(path);
    std::string_view text = decoded(bytes, format.charCode, buffer);
    settleFormat(text, format);
    FlashPlaces places(table);
    readFlashes(text, format, places);
    return std::move(places.places);
}

bool samePlace(const Place &a, const Place &b, double tolerance)
{
    return a.tool == b.tool && a.kind == b.kind && std::abs(a.x - b.x) <= tolerance && std::abs(a.y - b.y) <= tolerance;
}

// Every expected place in order among the found ones; with `extraAllowed`
// found places between them are passed over.
CheckVerdict compare(const std::vector<Place> &expected, const std::vector<Place> &found, double tolerance,
                     bool extraAllowed)
{
    CheckVerdict verdict;
    verdict.result = CheckVerdict::Result::Same;
    size_t j = 0;
    for (size_t i = 0; i < expected.size(); ++i, ++j) {
        while (extraAllowed && j < found.size() && !samePlace(expected[i], found[j], tolerance))
            ++j;
        if (j < found.size() && samePlace(expected[i], found[j], tolerance))
            continue;
        verdict.result = CheckVerdict::Result::Different;
        verdict.detail = "穴" + std::to_string(i + 1) + ": 入力 " + describe(expected[i]) + "、出力 " +
                         (j < found.size() ? describe(found[j]) : "なし");
        return verdict;
    }
    if (!extraAllowed && found.size() > expected.size()) {
        verdict.result = CheckVerdict::Result::Different;
        verdict.detail =
            "穴" + std::to_string(expected.size() + 1) + ": 入力 なし、出力 " + describe(found[expected.size()]);
        return verdict;
    }
    verdict.items = expected.size();
    return verdict;
}

double offsetOf(const std::string &text)
{
    double v = 0;
    if (text.empty() || !tryParseReal(text, v))
        return 0;
    return v;
}

}  // namespace

CheckVerdict checkCreatedDrill(const std::string &gerberPath, const GerberInFormat &gerberIn,
                               const CreationTable &table, const std::string &drillPath, const DrillOutFormat &drillOut)
{
    CheckVerdict verdict;
    std::vector<Place> expected, found;
    try {
        expected = gerberFlashes(gerberPath, gerberIn, &table);
    } catch (const KorvaneError &e) {
        verdict.detail = std::string("入力: ") + e.text();
        return verdict;
    }
    DrillInFormat outFormat;
    outFormat.unit = drillOut.unit;
    outFormat.zeroSuppression = drillOut.zeroSuppression;
    outFormat.coordinateMode = drillOut.coordinateMode;
    outFormat.integerDigits = drillOut.integerDigits;
    outFormat.decimalDigits = drillOut.decimalDigits;
    // A flash at the origin is a hole like any other.
    outFormat.x0y0IsHit = true;
    try {
        found = drillHits(drillPath, outFormat);
    } catch (const KorvaneError &e) {
        verdict.result = CheckVerdict::Result::Different;
        verdict.detail = std::string("出力: ") + e.text();
        return verdict;
    }
    // The offsets are in the unit the coordinate step adds them in.
    double unit = gerberIn.unit == LengthUnit::Inch && drillOut.unit == LengthUnit::Inch ? InchToMm : 1.0;
    double dx = offsetOf(drillOut.xOffset) * unit, dy = offsetOf(drillOut.yOffset) * unit;
    for (Place &p : expected) {
        p.x += dx;
        p.y += dy;
    }
    return compare(expected, found, tolerance(gerberIn.unit, drillOut.unit, drillOut.decimalDigits), false);
}

CheckVerdict checkCreatedGerber(const std::string &drillPath, const DrillInFormat &drillIn,
                                const std::string &gerberPath, const GerberOutFormat &gerberOut)
{
    CheckVerdict verdict;
    std::vector<Place> expected, found;
    try {
        expected = drillHits(drillPath, drillIn);
    } catch (const KorvaneError &e) {
        verdict.detail = std::string("入力: ") + e.text();
        return verdict;
    }
    for (Place &p : expected)
        p.tool = 0;  // the Gerber side has D-codes, not tools
    GerberInFormat outFormat;
    outFormat.dialect = gerberOut.dialect;
    outFormat.unit = gerberOut.unit;
    outFormat.zeroSuppression = gerberOut.zeroSuppression;
    outFormat.coordinateMode = gerberOut.coordinateMode;
    outFormat.integerDigits = gerberOut.integerDigits;
    outFormat.decimalDigits = gerberOut.decimalDigits;
    try {
        found = gerberFlashes(gerberPath, outFormat, nullptr);
    } catch (const KorvaneError &e) {
        verdict.result = CheckVerdict::Result::Different;
        verdict.detail = std::string("出力: ") + e.text();
        return verdict;
    }
    // Hits a drill reader places under no tool (before the first, or of
    // tools without a mark) are flashes too, but are not among the expected.
    return compare(expected, found, tolerance(drillIn.unit, gerberOut.unit, gerberOut.decimalDigits), true);
}

}  // namespace korvane
