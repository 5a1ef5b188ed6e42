#include "convert/GerberWriter.h"
#include "convert/ConvertTexts.h"
#include "convert/TapeCodes.h"
#include "core/ByteSet.h"
#include "core/Errors.h"
#include "core/Numbers.h"
#include "core/TextFile.h"
#include "gerber/ApertureMacros.h"
#include "gerber/ApertureTexts.h"
#include "gerber/GerberTexts.h"

#include <array>
#include <cstring>
#include <vector>

namespace korvane {
namespace {

constexpr double InchToMm = 25.4;
constexpr size_t ChunkSize = 1 << 16;
// Output bytes are gathered into pieces of about this size for the sink.
constexpr size_t OutputPiece = 1 << 16;
constexpr const char *CrLf = "\r\n";

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isCoordinateLetter(char c) { return c == 'X' || c == 'Y' || c == 'I' || c == 'J'; }

// The bytes a coordinate word goes on with ("+" is passed over, so a word
// holding one takes the slow way).
constexpr ByteSet CoordinateBytes("0123456789-.");

// Digits only, as G words hold them: the value, or -1 when the text is
// long enough to need the general parser.
std::int32_t shortNumber(std::string_view digits)
{
    if (digits.size() > 9)
        return -1;
    std::int32_t v = 0;
    for (char c : digits)
        v = v * 10 + (c - '0');
    return v;
}

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

std::vector<std::string> split(std::string_view text, char separator)
{
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        size_t at = text.find(separator, start);
        out.emplace_back(text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos)
            return out;
        start = at + 1;
    }
}

// A length of the table (mm) in the output unit, as the header writes it.
std::string tableLength(double mm, LengthUnit unit)
{
    return formatReal(unit == LengthUnit::Inch ? mm / InchToMm : mm);
}

// A number of a copied parameter block in the other unit; texts that are no
// plain number stay as they are.
std::string rescaled(std::string_view text, double scale)
{
    double v;
    if (scale == 1.0 || !tryParseReal(text, v))
        return std::string(text);
    return formatReal(v * scale);
}

std::vector<double> sizeNumbers(const std::string &size)
{
    std::vector<double> out;
    for (const std::string &part : split(size, '-'))
        out.push_back(parseReal(part));
    return out;
}

}  // namespace

// ---------------------------------------------------------------- header lines

std::vector<std::string> apertureDefinitionLines(const std::string &d, const ApertureLookup &row,
                                                 const MacroLibrary &library, LengthUnit unit)
{
    using namespace aptmsg;
    std::vector<std::string> lines;
    auto len = [&](double mm) { return tableLength(mm, unit); };
    auto joined = [&](const char *letter) {
        std::string s = "%AD" + d + letter + ",";
        std::vector<double> n = sizeNumbers(row.size);
        for (size_t i = 0; i < n.size(); ++i)
            s += (i ? "X" : "") + len(n[i]);
        return s + "*%";
    };
    auto pair = [&](const char *word) {
        if (row.size.find('-') == std::string::npos)
            throw GerberWriteStop{convmsg::badApertureSize(d, word)};
        return sizeNumbers(row.size);
    };
    const std::string &shape = row.shape;
    if (shape == Round) {
        lines.push_back("%AD" + d + "C," + len(parseReal(row.size)) + "*%");
    } else if (shape == Square) {
        std::string s = len(parseReal(row.size));
        lines.push_back("%AD" + d + "R," + s + "X" + s + "*%");
    } else if (shape == Rectangle || shape == Oblong) {
        std::vector<double> n = pair(shape == Rectangle ? "長方形" : "楕円形");
        lines.push_back("%AD" + d + (shape == Rectangle ? "R," : "O,") + len(n[0]) + "X" + len(n[1]) + "*%");
    } else if (shape == RoundDonut) {
        lines.push_back(joined("C"));
    } else if (shape == SquareDonut) {
        lines.push_back(joined("R"));
    } else if (shape == OblongDonut) {
        lines.push_back(joined("O"));
    } else if (shape == ThermalPlus || shape == ThermalX) {
        bool diagonal = shape == ThermalX;
        std::vector<double> n = pair(diagonal ? "サーマル×" : "サーマル＋");
        double gap = n.size() > 2 ? n[2] : 0.5;
        std::string name = std::string(diagonal ? "THERMALX" : "THERMAL+") + d;
        lines.push_back("%AM" + name + "*");
        lines.push_back("7,0,0," + len(n[0]) + "," + len(n[1]) + "," + len(gap) + (diagonal ? ",45*%" : ",0*%"));
        lines.push_back("%AD" + d + name + "*%");
    } else if (shape == DrillHole) {
        std::vector<double> n = pair("キリ穴");
        double inner = n[1] - 0.4 < 0 ? 0.1 : n[1] - 0.4;
        lines.push_back("%AMNONPLATE" + d + "*");
        lines.push_back("1,1," + len(n[0]) + ",0.0,0.0*");
        lines.push_back("1,0," + len(n[0] - 0.4) + ",0.0,0.0*");
        lines.push_back("1,1," + len(n[1]) + ",0.0,0.0*");
        lines.push_back("1,0," + len(inner) + ",0.0,0.0*%");
        lines.push_back("%AD" + d + "NONPLATE" + d + "*%");
    } else if (shape == Target || shape == Counterbore) {
        bool target = shape == Target;
        std::vector<double> diameters =
            target ? std::vector<double>{3.5, 3.1, 1, 0.6} : std::vector<double>{8, 7.5, 6, 5.5, 3, 2.5, 1, 0.5};
        double w = target ? 0.2 : 0.25, r = target ? 3.5 : 4;
        std::string name = "TARGET" + d;
        lines.push_back("%AM" + name + "*");
        for (size_t i = 0; i < diameters.size(); ++i)
            lines.push_back(std::string(i % 2 ? "1,0," : "1,1,") + len(diameters[i]) + ",0.0,0.0*");
        lines.push_back("20,1," + len(w) + "," + len(r) + ",0.0," + len(-r) + ",0.0,0.0*");
        lines.push_back("20,1," + len(w) + ",0.0," + len(r) + ",0.0," + len(-r) + ",0.0*%");
        lines.push_back("%AD" + d + name + "*%");
    } else if (int first = macroLineOf(shape); first > 0) {
        if (!library.holdsLines())
            throw GerberWriteStop{convmsg::macroMissing(d)};
        const std::string &name = library.line(first);
        lines.push_back("%AM" + name + "*");
        for (int n = first + 1; n <= library.lineCount && library.line(n) != "END"; ++n) {
            const std::string &statement = library.line(n);
            lines.push_back((unit == LengthUnit::Inch ? scaleStatementLengths(statement, 1 / InchToMm) : statement) +
                            "*");
        }
        lines.push_back("%");
        lines.push_back("%AD" + d + name + "*%");
    }
    return lines;
}

// The format lines an RS-274X output starts with.
std::vector<std::string> formatLines(const GerberOutFormat &o)
{
    std::string digits = o.integerDigits + o.decimalDigits;
    return {std::string(o.coordinateMode == CoordinateMode::Incremental ? "%FSLIX" : "%FSLAX") + digits + "Y" + digits +
                "*%",
            o.unit == LengthUnit::Mm ? "%MOMM*%" : "%MOIN*%"};
}

namespace {

// The bytes that start something the selection scanner looks at.
constexpr ByteSet SelectionStarts("DG%");

// The apertures an RS-274D file selects, in the order of their first
// selection, found the way the writer reads its words: D words outside
// comments and parameter blocks that are no operation code.
class SelectionScanner {
public:
    void feed(std::string_view chunk)
    {
        const char *p = chunk.data(), *end = p + chunk.size();
        while (p < end) {
            switch (state_) {
            case State::Normal:
                while (p < end && !SelectionStarts.contains(*p))
                    ++p;
                if (p == end)
                    return;
                if (*p == '%') {
                    state_ = State::Parameter;
                    ++p;
                    break;
                }
                {
                    // A word inside the chunk is taken as it stands.
                    State kind = *p == 'D' ? State::DWord : State::GWord;
                    const char *digits = ++p;
                    while (p < end && isDigit(*p))
                        ++p;
                    std::string_view word(digits, static_cast<size_t>(p - digits));
                    if (p < end) {
                        if (!passedOver(kind, word))
                            endWord(kind, word);
                    } else {
                        state_ = kind;
                        digits_.assign(word);
                    }
                }
                break;
            case State::DWord:
            case State::GWord: {
                const char *digits = p;
                while (p < end && isDigit(*p))
                    ++p;
                digits_.append(digits, static_cast<size_t>(p - digits));
                if (p < end)
                    endWord(state_, digits_);  // the byte after the word is read in the state it left
                break;
            }
            case State::Comment:
                while (p < end && *p != '*' && *p != '\r' && *p != '\n')
                    ++p;
                if (p < end) {
                    state_ = State::Normal;
                    ++p;
                }
                break;
            case State::Parameter: {
                const void *close = std::memchr(p, '%', static_cast<size_t>(end - p));
                p = close ? static_cast<const char *>(close) + 1 : end;
                if (close)
                    state_ = State::Normal;
                break;
            }
            }
        }
    }
    const std::vector<std::string> &finish()
    {
        if (state_ == State::DWord || state_ == State::GWord)
            endWord(state_, digits_);
        return selected_;
    }

private:
    enum class State { Normal, DWord, GWord, Comment, Parameter };
    // The words that change nothing, known without a call: G codes other
    // than G04 and the operation codes D01 to D03.
    static bool passedOver(State kind, std::string_view digits)
    {
        std::size_t n = digits.size();
        if (n == 0 || n > 3)
            return false;
        if (kind == State::GWord)
            return digits.back() != '4' || (n >= 2 && digits[n - 2] != '0') || (n == 3 && digits[0] != '0');
        char op = digits.back();
        return op >= '1' && op <= '3' && (n == 1 || digits[n - 2] == '0') && (n < 3 || digits[0] == '0');
    }
    void endWord(State kind, std::string_view digits)
    {
        state_ = State::Normal;
        if (digits.empty())
            return;
        if (kind == State::GWord) {
            std::int32_t code = shortNumber(digits);
            if (code == 4 || (code < 0 && tryParseInt(digits, code) && code == 4))
                state_ = State::Comment;
            return;
        }
        // D01 to D03 are the most words; selections repeat the last one
        // more often than not.
        char op = digits.back();
        if (digits.size() <= 3 && op >= '1' && op <= '3' && isOperationCode(digits))
            return;
        if (digits.size() == last_.size() && digits == last_)
            return;
        last_.assign(digits);
        if (seen_.find(digits) == seen_.end()) {
            seen_.emplace(digits);
            selected_.push_back(last_);
        }
    }
    State state_ = State::Normal;
    std::string digits_;
    std::string last_;
    std::set<std::string, std::less<>> seen_;
    std::vector<std::string> selected_;
};

// The header an RS-274D to RS-274X conversion of the file will have, if
// every aperture it selects can be written; nothing otherwise (the
// conversion then finds the row that stops it).
bool expectedHeader(GerberWriteContext &ctx, const std::string &inputPath, std::string &header)
{
    SelectionScanner scanner;
    InputFile input(inputPath);
    readBlocks(input, nullptr, ChunkSize, [&](std::string_view block) {
        scanner.feed(block);
        return true;
    });
    header.clear();
    for (const std::string &line : formatLines(ctx.out))
        header += line + CrLf;
    try {
        for (const std::string &digits : scanner.finish()) {
            ApertureLookup row = ctx.table.Lookup(std::string_view(digits));
            if (!row.isSet())
                return false;
            for (const std::string &line : apertureDefinitionLines("D" + digits, row, ctx.library, ctx.out.unit))
                header += line + CrLf;
        }
    } catch (const GerberWriteStop &) {
        return false;
    }
    return true;
}

}  // namespace

// ---------------------------------------------------------------- table filling

// The Gerber reader's own parameter rules fill the table and the library;
// the writer hands it the bytes of every parameter block.
struct GerberWriter::TableFiller {
    TableFiller(GerberWriteContext &ctx)
        : interpreter(document, ctx.table, ctx.library, ctx.in, ctx.prompter),
          reader(interpreter, ctx.table, ctx.library, ctx.in)
    {
        // The library keeps the lines of the earlier files of the run.
        int kept = ctx.library.lineCount;
        reader.startFile(1);
        ctx.library.lineCount = kept;
    }
    Document document;
    GerberInterpreter interpreter;
    GerberFileReader reader;
};

// ---------------------------------------------------------------- the writer

GerberWriter::GerberWriter(GerberWriteContext &ctx, ByteSink &body, ByteSink &header)
    : ctx_(ctx), body_(body), header_(header)
{
    xIn_ = ctx.in.dialect == GerberDialect::Rs274X;
    xOut_ = ctx.out.dialect == GerberDialect::Rs274X;
    dToX_ = !xIn_ && xOut_;
    const GerberOutFormat &o = ctx.out;
    if (o.eobCode)
        eob_ = o.recordMode == RecordMode::FullRecord ? "*" : "*\r\n";
    else
        eob_ = o.recordMode == RecordMode::EobNewline ? "\r\n" : "";
    selectPrefix_ = (o.g54 || xOut_) ? "G54" : "";
    if (xIn_)
        ctx.in.arcMode = ArcMode::FullCircle;
    convertUnit_ = ctx.in.unit;
    converter();
    if (!xOut_) {
        write(compileCommand(o.initCommand));
    } else {
        ctx.out.zeroSuppression = ZeroSuppression::Leading;
        for (const std::string &line : formatLines(o))
            writeHeaderLine(line);
    }
    if (xIn_ && !xOut_ && ctx.autoApertureTable)
        filler_ = std::make_unique<TableFiller>(ctx);
}

GerberWriter::~GerberWriter() = default;

const CoordinateConverter &GerberWriter::converter()
{
    if (!converter_) {
        CoordinateFormats f = coordinateFormats(ctx_.in, ctx_.out);
        f.inUnit = convertUnit_;
        converter_ = std::make_unique<CoordinateConverter>(f);
        ++converterGeneration_;
    }
    return *converter_;
}

std::string GerberWriter::compileCommand(const std::string &command) const
{
    std::string out;
    for (char c : command) {
        if (c == '*')
            out += eob_;
        else
            out += c;
    }
    return out;
}

void GerberWriter::write(std::string_view text)
{
    out_.append(text);
    if (out_.size() >= OutputPiece)
        flushOutput();
}

void GerberWriter::flushOutput()
{
    if (!out_.empty())
        body_.write(out_);
    out_.clear();
}

std::string_view GerberWriter::lastLine() const { return lastIsBlock_ ? lastBlock_ : std::string_view(lastLine_); }

void GerberWriter::rememberLine(std::string_view line)
{
    lastLine_.assign(line);
    lastIsBlock_ = false;
}

void GerberWriter::writeLine(std::string_view line)
{
    if (line == lastLine())
        return;
    write(line);
    rememberLine(line);
}

void GerberWriter::writeHeaderLine(const std::string &line)
{
    if (dToX_) {
        header_.write(line + CrLf);
        return;
    }
    write(line);
    write(CrLf);
}

bool GerberWriter::feed(std::string_view chunk)
{
    try {
        const char *p = chunk.data(), *end = p + chunk.size();
        while (p < end) {
            if (stopped_)
                break;
            char c = *p;
            if (state_ == State::Word && isDigit(c)) {
                const char *q = p + 1;
                while (q < end && isDigit(*q))
                    ++q;
                word_.append(p, static_cast<size_t>(q - p));
                p = q;
                continue;
            }
            // A whole word inside the chunk is taken as it stands, without
            // collecting it byte by byte.
            bool coordinate = isCoordinateLetter(c);
            if (state_ == State::Normal && (coordinate || c == 'D' || c == 'G')) {
                const char *q = p + 1;
                if (coordinate) {
                    while (q < end && CoordinateBytes.contains(*q))
                        ++q;
                } else {
                    while (q < end && isDigit(*q))
                        ++q;
                }
                if (q < end && !(coordinate && *q == '+')) {
                    word(c, std::string_view(p + 1, static_cast<size_t>(q - p - 1)));
                    p = q;
                    continue;
                }
            }
            handle(*p++);
        }
    } catch (const GerberWriteStop &stop) {
        ctx_.prompter.error(stop.text);
        stopped_ = true;
    }
    if (stopped_)
        flushOutput();
    return !stopped_;
}

void GerberWriter::finish()
{
    endFile();
    flushOutput();
}

void GerberWriter::endFile()
{
    if (stopped_)
        return;
    try {
        if (state_ == State::Word)
            endWord();
        if (state_ == State::Parameter) {
            // A parameter block cut off by the end of the file ends the file:
            // the block before it is not drawn by the reader either.
            if (!piece_.empty())
                parameterPiece(piece_, false);
        } else {
            endBlock();
        }
    } catch (const GerberWriteStop &stop) {
        ctx_.prompter.error(stop.text);
        stopped_ = true;
        return;
    }
    std::string end = compileCommand(ctx_.out.endCommand);
    if (end != lastLine())
        write(end);
}

void GerberWriter::handle(char c)
{
    switch (state_) {
    case State::Comment:
        if (c == '*' || c == '\r' || c == '\n') {
            const GerberOutFormat &o = ctx_.out;
            std::string end = o.recordMode == RecordMode::FullRecord ? "*" : o.eobCode ? "*\r\n" : "\r\n";
            writeLine("G04" + word_ + end);
            word_.clear();
            state_ = State::Normal;
        } else {
            word_ += c;
        }
        return;
    case State::Parameter:
        if (filler_)
            filler_->reader.feed(std::string_view(&c, 1));
        if (c == '%') {
            parameterPiece(piece_, true);
            piece_.clear();
            state_ = State::Normal;
        } else if (c == '\r' || c == '\n') {
            if (!piece_.empty())
                parameterPiece(piece_, false);
            piece_.clear();
        } else {
            piece_ += c;
        }
        return;
    case State::Word: {
        bool coordinate = letter_ == 'X' || letter_ == 'Y' || letter_ == 'I' || letter_ == 'J';
        if (isDigit(c) || (coordinate && (c == '-' || c == '.'))) {
            word_ += c;
            return;
        }
        if (coordinate && c == '+')
            return;
        endWord();  // a G04 goes on with its comment text
        handle(c);
        return;
    }
    case State::Normal:
        switch (c) {
        case 'X':
        case 'Y':
        case 'I':
        case 'J':
        case 'D':
        case 'G':
            letter_ = c;
            word_.clear();
            state_ = State::Word;
            return;
        case '*':
        case '$':
        case '\r':
        case '\n': endBlock(); return;
        case '%':
            state_ = State::Parameter;
            parameterOpen_ = true;
            firstPiece_ = true;
            blockOpened_ = false;
            blockKind_.clear();
            macroNameSeen_ = false;
            piece_.clear();
            if (filler_)
                filler_->reader.feed("%");
            return;
        default: return;
        }
    }
}

void GerberWriter::endWord()
{
    char letter = letter_;
    letter_ = 0;
    word(letter, word_);
    if (state_ != State::Comment)
        word_.clear();
}

void GerberWriter::word(char letter, std::string_view text)
{
    state_ = State::Normal;
    switch (letter) {
    case 'D':
        if (!text.empty())
            dWord(text);
        break;
    case 'G':
        if (!text.empty())
            gWord(text);
        break;
    default: coordinateWord(letter, text); break;
    }
}

void GerberWriter::dWord(std::string_view digits)
{
    blockHasWord_ = true;
    if (xIn_ && !fsSeen_)
        throw GerberWriteStop{gerbermsg::NotRs274X};
    if (isOperationCode(digits)) {
        currentD_ = digits.back() - '0';
        blockHasCoordinateOrOperation_ = true;
        return;
    }
    // The D operation stays as it was: the reader draws a block after the
    // select with the operation it had before.
    if (dToX_ && defined_.find(digits) == defined_.end()) {
        defined_.emplace(digits);
        std::string d = "D" + std::string(digits);
        ApertureLookup row = ctx_.table.Lookup(digits);
        if (!row.isSet())
            throw GerberWriteStop{std::string(convmsg::ApertureNotSet) + d};
        for (const std::string &line : apertureDefinitionLines(d, row, ctx_.library, ctx_.out.unit))
            writeHeaderLine(line);
    }
    std::string &select = scratch_;
    select.assign(selectPrefix_);
    select += 'D';
    select.append(digits);
    select += eob_;
    writeLine(select);
}

void GerberWriter::gWord(std::string_view digits)
{
    std::int32_t code = shortNumber(digits);
    if (code < 0 && !tryParseInt(digits, code))
        return;
    blockHasWord_ = true;
    // Only the codes written out need their text: formatting every G01 costs.
    auto g = [&] {
        return code < 100 ? std::string{'G', static_cast<char>('0' + code / 10), static_cast<char>('0' + code % 10)}
                          : "G" + std::string(digits);
    };
    switch (code) {
    case 0:
    case 1:
    case 2:
    case 3: currentG_ = code; return;
    case 4:
        state_ = State::Comment;
        word_.clear();
        return;
    case 70:
    case 71:
        ctx_.in.unit = code == 70 ? LengthUnit::Inch : LengthUnit::Mm;
        if (xIn_) {
            convertUnit_ = ctx_.in.unit;
            converter_.reset();
        }
        return;
    case 90:
    case 91: ctx_.in.coordinateMode = code == 90 ? CoordinateMode::Absolute : CoordinateMode::Incremental; return;
    case 74:
    case 75:
        ctx_.in.arcMode = code == 74 ? ArcMode::QuarterCircle : ArcMode::FullCircle;
        writeLine(g() + (ctx_.out.recordMode == RecordMode::EobNewline ? std::string("*\r\n") : eob_));
        return;
    case 36:
    case 37: writeLine(g() + eob_); return;
    default: return;
    }
}

void GerberWriter::coordinateWord(char letter, std::string_view text)
{
    blockHasWord_ = true;
    blockHasCoordinateOrOperation_ = true;
    const GerberInFormat &in = ctx_.in;
    if (in.zeroSuppression == ZeroSuppression::Trailing && text.find('.') == std::string::npos && !text.empty()) {
        const int digits = parseInt(in.integerDigits) + parseInt(in.decimalDigits);
        size_t total = static_cast<size_t>(digits);
        total += text.find('-') != std::string::npos ? 1 : 0;
        if (text.size() < total) {
            scratch_.assign(text);
            scratch_.append(total - text.size(), '0');
            text = scratch_;
        }
    }
    if (text.empty())
        text = "0";
    const CoordinateConverter &conv = converter();
    if (letter == 'I' || letter == 'J') {
        char digits[CoordinateConverter::OutputNumberSize];
        (letter == 'I' ? i_ : j_).assign(digits, conv.outputNumber(conv.value(text, letter), digits));
        return;
    }
    Axis &axis = letter == 'X' ? x_ : y_;
    if (in.coordinateMode == CoordinateMode::Incremental) {
        // Positions are summed in the input's own numbers, so rounding never
        // accumulates over a run of increments.
        if (ctx_.out.coordinateMode == CoordinateMode::Absolute && (text == "0" || text == "-0"))
            return;
        double step = conv.inputValue(text);
        axis.inputSum += step;
        axis.position = conv.valueOfInput(axis.inputSum, letter);
    } else {
        axis.position = conv.value(text, letter);
    }
    axis.known = true;
    axis.present = true;
}

std::string GerberWriter::number(std::int64_t v) { return converter().outputNumber(v); }

void GerberWriter::appendAxisWord(BlockText &line, char letter, Axis &axis)
{
    const GerberOutFormat &o = ctx_.out;
    char buffer[CoordinateConverter::OutputNumberSize];
    if (o.coordinateMode == CoordinateMode::Incremental) {
        std::int64_t step = axis.position - axis.written;
        axis.written = axis.position;
        line.put(letter);
        if (step == 0) {
            if (o.zeroSuppression == ZeroSuppression::None)
                line.zeros(static_cast<size_t>(converter().totalDigits()));
            else if (o.zeroData == ZeroDataMode::All)
                line.put('0');
            return;
        }
        line.size += converter().outputNumber(step, line.end());
        return;
    }
    if (!axis.known)
        return;
    const CoordinateConverter &conv = converter();
    // Where every value has digits of its own, the values tell whether the
    // digits repeat, and the digits are formed only when they change.
    bool byValue = axis.lastGeneration == converterGeneration_ && conv.distinctNumbers();
    bool repeated = byValue && axis.position == axis.lastValue;
    std::string_view digits = axis.lastWord;
    if (!repeated) {
        digits = std::string_view(buffer, conv.outputNumber(axis.position, buffer));
        repeated = !byValue && digits == axis.lastWord;
    }
    axis.lastValue = axis.position;
    axis.lastGeneration = converterGeneration_;
    if (repeated) {
        if (o.zeroData != ZeroDataMode::Omit)
            line.put(letter);
        if (o.zeroData == ZeroDataMode::All)
            line.put(digits);
        return;
    }
    axis.lastWord = digits;
    line.put(letter);
    if (axis.position != 0 || o.zeroData == ZeroDataMode::All)
        line.put(digits);
}

void GerberWriter::endBlock()
{
    bool coordinates = blockHasCoordinateOrOperation_;
    blockHasWord_ = blockHasCoordinateOrOperation_ = false;
    if (!coordinates) {
        i_.clear();
        j_.clear();
        x_.present = y_.present = false;
        return;
    }
    const GerberOutFormat &o = ctx_.out;
    bool ij = !i_.empty() || !j_.empty();
    bool circular = currentG_ == 2 || currentG_ == 3;

    int g = currentG_;
    if (currentD_ == 2 && circular && !ij) {
        g = 1;  // the circular code stays current for the next arc
    } else if (ij && currentG_ == 1) {
        g = lastWrittenG_ < 0 ? currentG_ : lastWrittenG_;
    } else if (currentD_ == 1 && !ij && circular) {
        currentG_ = 1;
        g = 1;
    }

    BlockText &line = blocks_[building_];
    line.size = 0;
    line.put("G0");
    line.put(static_cast<char>('0' + g));
    constexpr size_t wordsAt = 3;
    appendAxisWord(line, 'X', x_);
    appendAxisWord(line, 'Y', y_);
    x_.present = y_.present = false;
    bool xyWords = line.size > wordsAt;

    bool modalG = o.modal == ModalMode::G || o.modal == ModalMode::GD;
    bool modalD = o.modal == ModalMode::D || o.modal == ModalMode::GD;
    bool gChanged = g != lastWrittenG_;
    bool writeG = xyWords ? (!modalG || gChanged) : gChanged;
    // Without its G code the block starts after it.
    size_t start = writeG ? 0 : wordsAt;

    if (ij) {
        bool omit = o.zeroData == ZeroDataMode::Omit;
        for (char letter : {'I', 'J'}) {
            const std::string &v = letter == 'I' ? i_ : j_;
            if (v.empty()) {
                line.put(letter);
                if (o.zeroData == ZeroDataMode::All)
                    line.size += converter().outputNumber(0, line.end());
            } else if (!(omit && v == "0")) {
                line.put(letter);
                line.put(v);
            }
        }
    }
    i_.clear();
    j_.clear();
    bool anyWord = line.size > wordsAt;

    bool writeD = !modalD || currentD_ != lastWrittenD_;
    if (!writeG && !anyWord && !writeD)
        return;
    // A bare "G01" move to where the pen already stands changes nothing.
    if (writeG && g == 1 && !anyWord && (!writeD || currentD_ == 2))
        return;
    if (writeD) {
        line.put("D0");
        line.put(static_cast<char>('0' + currentD_));
    }
    line.put(eob_);
    std::string_view text(line.text + start, line.size - start);
    if (o.coordinateMode == CoordinateMode::Absolute && text == lastLine())
        return;
    if (writeG)
        lastWrittenG_ = g;
    if (writeD)
        lastWrittenD_ = currentD_;
    write(text);
    // The block stays where it was built and is the last line; the next
    // block is built in the other buffer.
    lastBlock_ = {line.text + start, line.size - start};
    lastIsBlock_ = true;
    building_ ^= 1;
}

// ---------------------------------------------------------------- parameters

void GerberWriter::parameterPiece(const std::string &piece, bool closing)
{
    std::string withPercent = firstPiece_ ? "%" + piece : piece;
    firstPiece_ = false;
    if (closing)
        parameterOpen_ = false;
    if (!xIn_) {
        for (const char *marker : {"%FS", "%MO", "%AM", "%ADD"})
            if (withPercent.find(marker) != std::string::npos)
                throw GerberWriteStop{convmsg::InputIsRs274X};
        return;
    }
    std::string kept;
    std::vector<std::string> parts = split(piece, '*');
    for (size_t k = 0; k < parts.size(); ++k) {
        bool starred = k + 1 < parts.size();
        if (parts[k].empty() && !starred)
            continue;
        size_t before = kept.size();
        parameterStatement(parts[k], kept);
        if (starred && kept.size() > before)
            kept += '*';
    }
    if (!xOut_)
        return;
    std::string line;
    if (!kept.empty()) {
        if (!blockOpened_) {
            line = "%";
            blockOpened_ = true;
        }
        line += kept;
    }
    if (closing && blockOpened_)
        line += "%";
    if (line.empty())
        return;
    line += CrLf;
    bool dedupe = blockKind_ == "AD" || blockKind_ == "SR" || blockKind_ == "AM";
    if (dedupe && line == lastLine())
        return;
    write(line);
    rememberLine(line);
}

void GerberWriter::parameterStatement(std::string_view statement, std::string &kept)
{
    std::string_view s = statement;
    if (blockKind_.empty())
        blockKind_ = std::string(s.substr(0, 2));
    bool amBody = blockKind_ == "AM" && macroNameSeen_;
    if (!amBody) {
        if (startsWith(s, "FS") || startsWith(s, "MO")) {
            preScanGerber("%" + std::string(s) + "*%", ctx_.in);
            if (startsWith(s, "FS"))
                fsSeen_ = true;
            else
                convertUnit_ = ctx_.in.unit;
            converter_.reset();
            return;
        }
        if (startsWith(s, "LPC") && !xOut_) {
            ctx_.prompter.warning(convmsg::ClearPolarityDropped);
            return;
        }
    }
    if (!xOut_)
        return;
    bool otherUnit = convertUnit_ != ctx_.out.unit;
    double scale = !otherUnit ? 1.0 : ctx_.out.unit == LengthUnit::Inch ? 1 / InchToMm : InchToMm;
    if (blockKind_ == "AM") {
        if (!macroNameSeen_) {
            macroNameSeen_ = true;
            kept += s;
            return;
        }
        std::string_view trimmedStatement = s;
        bool comment = startsWith(trimmedStatement, "0 ") || trimmedStatement == "0";
        kept += (scale == 1.0 || comment) ? std::string(s) : scaleStatementLengths(s, scale);
        return;
    }
    if (startsWith(s, "AD") && scale != 1.0) {
        kept += scaledAperture(s);
        return;
    }
    if (startsWith(s, "SR") && scale != 1.0) {
        kept += scaledStepRepeat(s);
        return;
    }
    kept += s;
}

std::string GerberWriter::scaledAperture(std::string_view s) const
{
    double scale = ctx_.out.unit == LengthUnit::Inch ? 1 / InchToMm : InchToMm;
    size_t comma = s.find(',');
    if (comma == std::string_view::npos)
        return std::string(s);
    std::string_view head = s.substr(0, comma);
    bool polygon = head.find('P') != std::string_view::npos;
    std::vector<std::string> numbers = split(s.substr(comma + 1), 'X');
    std::string out(s.substr(0, comma + 1));
    for (size_t i = 0; i < numbers.size(); ++i) {
        if (i)
            out += 'X';
        out += polygon && (i == 1 || i == 2) ? numbers[i] : rescaled(numbers[i], scale);
    }
    return out;
}

std::string GerberWriter::scaledStepRepeat(std::string_view s) const
{
    double scale = ctx_.out.unit == LengthUnit::Inch ? 1 / InchToMm : InchToMm;
    std::string out;
    size_t i = 0;
    while (i < s.size()) {
        char c = s[i];
        out += c;
        ++i;
        if (c == 'I' || c == 'J') {
            size_t start = i;
            while (i < s.size() && (isDigit(s[i]) || s[i] == '.' || s[i] == '-' || s[i] == '+'))
                ++i;
            out += rescaled(s.substr(start, i - start), scale);
        }
    }
    return out;
}

// ---------------------------------------------------------------- files

WriteEnd writeGerberFile(GerberWriteContext &ctx, const std::string &inputPath, const std::string &outputPath)
{
    InputFile input(inputPath);
    refuseOutputOntoInput(inputPath, outputPath);
    bool dToX = ctx.in.dialect == GerberDialect::Rs274D && ctx.out.dialect == GerberDialect::Rs274X;
    // The header of RS-274D to RS-274X is known only at the end. It is
    // foreseen from a quick look at the file, so that header and body go
    // straight into the output; should the conversion define other
    // apertures after all, it is run again with the body apart.
    std::string foreseen;
    if (dToX && ctx.in.charCode == CharCode::Ascii && expectedHeader(ctx, inputPath, foreseen)) {
        GerberInFormat in = ctx.in;
        GerberOutFormat out = ctx.out;
        {
            InputFile again(inputPath);
            OutputFileSink output(outputPath);
            output.write(foreseen);
            StringSink header;
            GerberWriter writer(ctx, output, header);
            readBlocks(again, nullptr, ChunkSize, [&](std::string_view block) { return writer.feed(block); });
            writer.finish();
            if (writer.stopped())
                return WriteEnd::Stopped;
            if (header.text == foreseen) {
                output.commit();
                return WriteEnd::Completed;
            }
        }
        ctx.in = in;
        ctx.out = out;
    }
    OutputFileSink body(outputPath);
    StringSink header;
    std::unique_ptr<TapeCodec> decoder = ctx.in.charCode == CharCode::Ebcdic ? decoderFor(CharCode::Ebcdic) : nullptr;
    GerberWriter writer(ctx, body, header);
    readBlocks(input, decoder.get(), ChunkSize, [&](std::string_view block) { return writer.feed(block); });
    writer.finish();
    if (writer.stopped())
        return WriteEnd::Stopped;
    if (!dToX) {
        body.commit();
        return WriteEnd::Completed;
    }
    // The header goes before the data blocks: both are joined in a second
    // temporary file beside the output.
    body.flush();
    OutputFileSink joined(outputPath);
    joined.write(header.text);
    InputFile blocks(body.temporaryPath());
    readBlocks(blocks, nullptr, 1 << 16, [&](std::string_view block) {
        joined.write(block);
        return true;
    });
    joined.commit();
    return WriteEnd::Completed;
}

}  // namespace korvane
