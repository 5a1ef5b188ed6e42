#include "convert/DrillWriter.h"
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

void DrillWriter::feed(std::string_view chunk)
{
    for (char c : chunk) {
        if (collect_ != Collect::None) {
            bool coordinate = collect_ == Collect::X || collect_ == Collect::Y;
            if (isDigit(c) || (coordinate && (c == '-' || c == '.' || c == ' '))) {
                text_ += c;
                continue;
            }
            if (coordinate && c == '+')
                continue;
            endWord();
        }
        if (c == '\r' || c == '\n' || c == '*') {
            // A block ends with its line, as the drill reader reads it: the
            // hit is decided there.
            if (inBlock_)
                endBlock();
            continue;
        }
        switch (c) {
        case 'G':
            collect_ = Collect::G;
            text_.clear();
            break;
        case 'T':
            collect_ = Collect::T;
            text_.clear();
            break;
        case 'X':
            collect_ = Collect::X;
            text_.clear();
            break;
        case 'Y':
            collect_ = Collect::Y;
            text_.clear();
            break;
        default: break;
        }
    }
}

void DrillWriter::finish()
{
    if (collect_ != Collect::None)
        endWord();
    if (inBlock_)
        endBlock();
    std::string end = templates_.end;
    if (end.find('z') != std::string::npos)
        end = replacePlaceholder(end, 'z', returnWords(true));
    if (!end.empty())
        sink_.write(end);
}

void DrillWriter::endWord()
{
    Collect was = collect_;
    collect_ = Collect::None;
    const std::string &text = text_;
    switch (was) {
    case Collect::G:
        if (text == "80")
            g80_ = true;
        lastWordIsCoordinate_ = false;
        break;
    case Collect::T:
        g80_ = false;
        lastWordIsCoordinate_ = false;
        if (!text.empty())
            tool(text);
        break;
    case Collect::X:
    case Collect::Y: {
        coordinate(was == Collect::X, std::string(trimBlanks(text)));
        inBlock_ = true;
        lastWordIsCoordinate_ = true;
        break;
    }
    case Collect::None: break;
    }
    text_.clear();
}

void DrillWriter::coordinate(bool isX, std::string text)
{
    const DrillInFormat &in = ctx_.in;
    if (in.zeroSuppression == ZeroSuppression::Trailing && text.find('.') == std::string::npos) {
        size_t total = static_cast<size_t>(inputTotal_) + (text.find('-') != std::string::npos ? 1 : 0);
        if (text.size() < total)
            text.append(total - text.size(), '0');
    }
    if (text.empty())
        text = "0";
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
    if (axis.position == 0 && o.zeroData != ZeroDataMode::All)
        return bare;
    return w;
}

void DrillWriter::endBlock()
{
    inBlock_ = false;
    const DrillInFormat &in = ctx_.in;
    bool incrementalInput = in.coordinateMode == CoordinateMode::Incremental;
    bool atZero = incrementalInput ? x_.inputSum == 0 && y_.inputSum == 0 : x_.zero && y_.zero;
    // A line whose last word is a tool or G word moves without a hit, and a
    // G80 on it still holds for the next line.
    if (!lastWordIsCoordinate_) {
        x_.present = y_.present = false;
        return;
    }
    bool hit = !g80_ && (in.x0y0IsHit || !atZero);
    g80_ = false;
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
    InputFile input(inputPath);
    refuseOutputOntoInput(inputPath, outputPath);
    OutputFileSink output(outputPath);
    std::unique_ptr<TapeCodec> decoder = ctx.in.charCode == CharCode::Eia ? decoderFor(CharCode::Eia) : nullptr;
    DrillWriter writer(ctx, output);
    readBlocks(input, decoder.get(), ChunkSize, [&](std::string_view block) {
        writer.feed(block);
        return true;
    });
    writer.finish();
    output.commit();
}

}  // namespace korvane
