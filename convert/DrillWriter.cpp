#include "convert/DrillWriter.h"
#include "convert/DrillInput.h"
#include "convert/TapeCodes.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/Numbers.h"
#include "core/TextFile.h"

#include <algorithm>
#include <vector>

namespace korvane {
namespace {

constexpr size_t ChunkSize = 1 << 16;
// A template's "s" count beyond this is a typing error, not a layout.
constexpr long MaxBlanks = 10000;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string compile(const std::string &text, const std::string &eob)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '*') {
            out += eob;
        } else if (c == 'r') {
            out += '%';
        } else if (c == 's') {
            size_t j = i + 1;
            long count = 0;
            while (j < text.size() && isDigit(text[j])) {
                count = std::min(count * 10 + (text[j] - '0'), MaxBlanks);
                ++j;
            }
            // "s" alone is one blank; "s0" is none.
            out.append(j == i + 1 ? 1 : static_cast<size_t>(count), ' ');
            i = j - 1;
        } else {
            out += c;
        }
    }
    return out;
}

int totalDigits(const DrillInFormat &in) { return parseInt(in.integerDigits) + parseInt(in.decimalDigits); }

}  // namespace

std::string blockEndText(bool eobCode, RecordMode mode)
{
    if (eobCode)
        return mode == RecordMode::FullRecord ? "*" : "*\r\n";
    return mode == RecordMode::EobNewline ? "\r\n" : "";
}

std::string replacePlaceholder(const std::string &text, char placeholder, const std::string &by)
{
    std::string out;
    for (char c : text) {
        if (c == placeholder)
            out += by;
        else
            out += c;
    }
    return out;
}

std::string absoluteReturnWords(const DrillOutFormat &out, int totalDigits)
{
    switch (out.zeroData) {
    case ZeroDataMode::Address: return "XY";
    case ZeroDataMode::Omit: return "";
    case ZeroDataMode::All:
        if (out.zeroSuppression == ZeroSuppression::None) {
            std::string zeros(static_cast<size_t>(totalDigits), '0');
            return "X" + zeros + "Y" + zeros;
        }
        return "X0Y0";
    }
    return "";
}

DrillTemplates compileDrillTemplates(const DrillOutFormat &out)
{
    std::string eob = blockEndText(out.eobCode, out.recordMode);
    DrillTemplates t;
    t.init = compile(out.initCommand, eob);
    t.toolSelect = compile(out.toolSelect.empty() ? "t*" : out.toolSelect, eob);
    t.hit = compile(out.hitCommand.empty() ? "d*" : out.hitCommand, eob);
    t.toolChange = compile(out.toolChange, eob);
    t.end = compile(out.endCommand, eob);
    return t;
}

DrillWriter::DrillWriter(DrillWriteContext &ctx, ByteSink &sink)
    : ctx_(ctx), sink_(sink), templates_(compileDrillTemplates(ctx.out)),
      converter_(coordinateFormats(ctx.in, ctx.out, ctx.mode)), inputTotal_(totalDigits(ctx.in))
{
    eob_ = blockEndText(ctx.out.eobCode, ctx.out.recordMode);
    if (!templates_.init.empty())
        sink_.write(templates_.init);
}

void DrillWriter::feed(std::string_view chunk) { words_.feed(chunk); }

void DrillWriter::finish()
{
    words_.finish();
    std::string end = templates_.end;
    if (end.find('z') != std::string::npos)
        end = replacePlaceholder(end, 'z', returnWords(true));
    if (!end.empty())
        sink_.write(end);
}

void DrillWriter::block(const DrillBlock &b)
{
    if (b.toolDefinition)
        headerTool_ = *b.toolDefinition;
    if (b.tool) {
        g80_ = false;
        tool(*b.tool);
    }
    if (b.g80)
        g80_ = true;
    if (b.motion == 0)
        routeMode_ = true;
    const bool routeWords = b.motion || b.g05 || b.m == 15 || b.m == 16 || b.m == 17 || !b.coordinates.empty();
    if (routeMode_ && routeWords) {
        routeBlock(b);
        routeMode_ = !b.g05;
        return;
    }
    if (b.g85 && !b.coordinates.empty()) {
        slotBlock(b);
        return;
    }
    for (const DrillCoordinateWord &w : b.coordinates)
        coordinate(w.isX, w.text);
    if (!b.coordinates.empty())
        endBlock(b.lastWordIsCoordinate);
}

// The words of the current point in full: a slot's or a route's ends are
// never left to the modal rules.
std::string DrillWriter::fullWords()
{
    const bool incrementalInput = ctx_.in.coordinateMode == CoordinateMode::Incremental;
    fullWords_ = true;
    const bool after = afterToolChange_, force = forceWords_;
    afterToolChange_ = forceWords_ = true;
    x_.present = y_.present = true;
    std::string words = word('X', x_, incrementalInput);
    words += word('Y', y_, incrementalInput);
    afterToolChange_ = after;
    forceWords_ = force;
    fullWords_ = false;
    x_.present = y_.present = false;
    return words;
}

void DrillWriter::slotBlock(const DrillBlock &b)
{
    if (!toolSelected_ && !headerTool_.empty())
        tool(headerTool_);
    for (std::size_t k = 0; k < b.slotSplit; ++k)
        coordinate(b.coordinates[k].isX, b.coordinates[k].text);
    std::string words = fullWords() + "G85";
    for (std::size_t k = b.slotSplit; k < b.coordinates.size(); ++k)
        coordinate(b.coordinates[k].isX, b.coordinates[k].text);
    words += fullWords();
    afterToolChange_ = false;
    forceWords_ = false;
    std::string_view t = templates_.hit;
    const size_t d = t.find('d');
    if (d == std::string::npos)
        line_ = words + std::string(t);
    else
        line_ = std::string(t.substr(0, d)) + words + std::string(t.substr(d + 1));
    sink_.write(line_);
}

std::string DrillWriter::completed(std::string text) const
{
    if (ctx_.in.zeroSuppression == ZeroSuppression::Trailing && text.find('.') == std::string::npos) {
        size_t total = static_cast<size_t>(inputTotal_) + (text.find('-') != std::string::npos ? 1 : 0);
        if (text.size() < total)
            text.append(total - text.size(), '0');
    }
    return text.empty() ? "0" : text;
}

// A radius or centre offset: a length, without the drill offsets.
std::string DrillWriter::arcWord(char letter, const std::optional<std::string> &text) const
{
    if (!text)
        return {};
    const double v = converter_.inputValue(completed(*text));
    return letter + number(converter_.valueOfInput(v, letter));
}

void DrillWriter::routeBlock(const DrillBlock &b)
{
    if (!toolSelected_ && !headerTool_.empty())
        tool(headerTool_);
    std::string line;
    if (b.motion)
        line += "G0" + std::to_string(*b.motion);
    if (!b.coordinates.empty()) {
        for (const DrillCoordinateWord &w : b.coordinates)
            coordinate(w.isX, w.text);
        line += fullWords();
        afterToolChange_ = false;
        forceWords_ = false;
        line += b.a ? arcWord('A', b.a) : arcWord('I', b.i) + arcWord('J', b.j);
    }
    if (b.m == 15 || b.m == 16 || b.m == 17)
        line += "M" + std::to_string(*b.m);
    if (b.g05)
        line += "G05";
    if (!line.empty())
        sink_.write(line + eob_);
}

void DrillWriter::coordinate(bool isX, std::string text)
{
    const DrillInFormat &in = ctx_.in;
    text = completed(std::move(text));
    Axis &axis = isX ? x_ : y_;
    char letter = isX ? 'X' : 'Y';
    double v = converter_.inputValue(text);
    if (in.coordinateMode == CoordinateMode::Incremental) {
        // Summed in the input's own numbers; after G80 the running position
        // starts again from the origin, as the drill reader reads it.
        axis.inputSum = g80_ ? 0 : axis.inputSum + v;
        axis.position = converter_.valueOfInput(axis.inputSum, letter);
    } else {
        axis.position = converter_.valueOfInput(v, letter);
        if (v == 0)
            axis.zero = true;
        else
            x_.zero = y_.zero = false;
    }
    axis.known = true;
    axis.present = true;
}

std::string DrillWriter::number(std::int64_t v) const { return converter_.outputNumber(v); }

std::string DrillWriter::returnWords(bool keepPosition)
{
    const DrillOutFormat &o = ctx_.out;
    if (o.coordinateMode == CoordinateMode::Incremental) {
        std::string words = "X" + number(-x_.written) + "Y" + number(-y_.written);
        if (!keepPosition)
            x_.written = y_.written = 0;
        return words;
    }
    return absoluteReturnWords(o, converter_.totalDigits());
}

void DrillWriter::tool(const std::string &digits)
{
    std::string code = digits;
    if (ctx_.out.toolDigits == 2 && code.size() == 1 && code != "0")
        code = "0" + code;
    code = "T" + code;
    if (code == "T00")
        return;  // the end of drilling, no tool
    if (ctx_.out.toolDigits == 1 && code.size() > 2 && code[1] == '0')
        code.erase(1, 1);
    std::string piece;
    if (toolSelected_) {
        afterToolChange_ = true;
        std::string change = templates_.toolChange;
        size_t z = change.find('z');
        if (z != std::string::npos) {
            change.replace(z, 1, returnWords(false));
            if (ctx_.out.coordinateMode == CoordinateMode::Absolute)
                x_.lastWord.clear(), y_.lastWord.clear();
        }
        piece = change;
    }
    toolSelected_ = true;
    if (ctx_.out.coordinateMode == CoordinateMode::Incremental)
        forceWords_ = true;
    piece += replacePlaceholder(templates_.toolSelect, 't', code);
    if (!piece.empty())
        sink_.write(piece);
}

std::string DrillWriter::word(char letter, Axis &axis, bool incrementalInput)
{
    const DrillOutFormat &o = ctx_.out;
    std::string bare(1, letter);
    if (o.coordinateMode == CoordinateMode::Incremental) {
        std::int64_t step = axis.position - axis.written;
        if (incrementalInput && !axis.present && step == 0 && !forceWords_)
            return {};
        axis.written = axis.position;
        if (step == 0 && !forceWords_) {
            if (o.zeroSuppression == ZeroSuppression::None)
                return bare + std::string(static_cast<size_t>(converter_.totalDigits()), '0');
            switch (o.zeroData) {
            case ZeroDataMode::Address: return bare;
            case ZeroDataMode::Omit: return {};
            case ZeroDataMode::All: return bare + "0";
            }
        }
        return bare + number(step);
    }
    if (!axis.known)
        return {};
    std::int64_t moved = axis.position - axis.written;
    axis.written = axis.position;
    if (incrementalInput && !axis.present && moved == 0 && !afterToolChange_)
        return {};
    std::string w = bare + number(axis.position);
    if (w == axis.lastWord && !afterToolChange_) {
        switch (o.zeroData) {
        case ZeroDataMode::All: return w;
        case ZeroDataMode::Address: return bare;
        case ZeroDataMode::Omit: return {};
        }
    }
    axis.lastWord = w;
    if (axis.position == 0 && o.zeroData != ZeroDataMode::All && !fullWords_)
        return bare;
    return w;
}

void DrillWriter::endBlock(bool lastWordIsCoordinate)
{
    const DrillInFormat &in = ctx_.in;
    bool incrementalInput = in.coordinateMode == CoordinateMode::Incremental;
    bool atZero = incrementalInput ? x_.inputSum == 0 && y_.inputSum == 0 : x_.zero && y_.zero;
    // A line whose last word is a tool or G word moves without a hit, and a
    // G80 on it still holds for the next line.
    if (!lastWordIsCoordinate) {
        x_.present = y_.present = false;
        return;
    }
    bool hit = !g80_ && (in.x0y0IsHit || !atZero);
    g80_ = false;
    if (hit && !toolSelected_ && !headerTool_.empty())
        tool(headerTool_);
    if (hit) {
        std::string words = word('X', x_, incrementalInput);
        words += word('Y', y_, incrementalInput);
        forceWords_ = false;
        afterToolChange_ = false;
        std::string_view t = templates_.hit;
        size_t d = t.find('d');
        std::string &line = line_;
        if (d == std::string::npos) {
            line.assign(words);
            line.append(t);
        } else {
            line.assign(t.substr(0, d));
            line.append(words);
            line.append(t.substr(d + 1));
        }
        sink_.write(line);
    }
    x_.present = y_.present = false;
}

void writeDrillFile(DrillWriteContext &ctx, const std::string &inputPath, const std::string &outputPath)
{
    SettledDrillFormat settled = settleDrillFile(inputPath, ctx.in);
    ctx.note = settled.note;
    InputFile input(inputPath);
    refuseOutputOntoInput(inputPath, outputPath);
    OutputFileSink output(outputPath);
    std::unique_ptr<TapeCodec> decoder = settled.format.charCode == CharCode::Eia ? decoderFor(CharCode::Eia) : nullptr;
    DrillWriteContext own{settled.format, ctx.out, ctx.mode, {}};
    DrillWriter writer(own, output);
    readBlocks(input, decoder.get(), ChunkSize, [&](std::string_view block) {
        writer.feed(block);
        return true;
    });
    writer.finish();
    output.commit();
}

}  // namespace korvane
