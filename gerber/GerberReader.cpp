#include "gerber/GerberReader.h"
#include "core/ByteSet.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/MappedFile.h"
#include "core/Messages.h"
#include "core/Numbers.h"
#include "core/TextFile.h"
#include "gerber/ApertureMacros.h"
#include "gerber/ApertureTexts.h"
#include "gerber/GerberTexts.h"
#include "gerber/MacroExpression.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <numbers>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane {
namespace {

// The run of decimal digits at q (at most `limit`, which is 18 or less)
// and its value: returns the end of the run. Eight bytes are looked at
// together where the text allows, as coordinates are a few digits long.
const char *digitRun(const char *q, std::ptrdiff_t limit, std::int64_t &value)
{
    value = 0;
    const char *const stop = q + limit;
    while (stop - q >= 8) {
        std::uint64_t word;
        std::memcpy(&word, q, sizeof word);
        const std::uint64_t d = word - 0x3030303030303030ull;
        // High bit set in each byte that is no digit ('0' to '9').
        const std::uint64_t other = (d | (d + 0x7676767676767676ull)) & 0x8080808080808080ull;
        const int n = other == 0 ? 8 : std::countr_zero(other) / 8;
        if (n > 0) {
            // The n digits, first the most significant, moved to the top
            // bytes (zeros before them) and combined in three steps.
            std::uint64_t v = n == 8 ? d : d << (8 * (8 - n));
            v = ((v & 0x0F0F0F0F0F0F0F0Full) * 2561) >> 8;
            v = ((v & 0x00FF00FF00FF00FFull) * 6553601) >> 16;
            v = ((v & 0x0000FFFF0000FFFFull) * 42949672960001ull) >> 32;
            static constexpr std::int64_t Powers[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
            value = value * Powers[n] + static_cast<std::int64_t>(v);
        }
        q += n;
        if (n < 8)
            return q;
    }
    for (unsigned d; q < stop && (d = static_cast<unsigned char>(*q) - unsigned('0')) < 10; ++q)
        value = value * 10 + d;
    return q;
}

constexpr double InchToMm = 25.4;
constexpr size_t ChunkSize = size_t(1) << 20;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int digitCount(const std::string &text)
{
    std::int32_t v = 0;
    if (!tryParseInt(text, v) || v < 0 || v > 20)
        throw KorvaneError(msg::format(msg::NotAnInteger, text));
    return v;
}

double fractionScaleOf(const GerberInFormat &f) { return std::pow(10.0, -digitCount(f.decimalDigits)); }

int totalDigitsOf(const GerberInFormat &f) { return digitCount(f.integerDigits) + digitCount(f.decimalDigits); }

// Trailing-zero completion: zeros are appended up to the total digit count
// (one character more when the text holds a "-").
void completeTrailingZeros(std::string &s, const GerberInFormat &f, int totalDigits)
{
    if (f.zeroSuppression == ZeroSuppression::Trailing && s.find('.') == std::string::npos) {
        size_t target = static_cast<size_t>(totalDigits) + (s.find('-') != std::string::npos ? 1 : 0);
        if (s.size() < target)
            s.append(target - s.size(), '0');
    }
}

// The raw value of a coordinate text: as written for a decimal text, as an
// integer otherwise. Sets `decimal`.
double rawValue(std::string_view text, bool &decimal)
{
    // The common case first: an optional "-" and up to 18 digits.
    {
        size_t i = 0, n = text.size();
        bool negative = n > 0 && text[0] == '-';
        if (negative)
            i = 1;
        if (n > i && n - i <= 18) {
            std::int64_t v = 0;
            for (; i < n && isDigit(text[i]); ++i)
                v = v * 10 + (text[i] - '0');
            if (i == n) {
                decimal = false;
                return static_cast<double>(negative ? -v : v);
            }
        }
    }
    decimal = text.find('.') != std::string_view::npos;
    if (text.empty())
        return 0;
    if (decimal)
        return parseReal(text);
    std::int64_t v;
    if (!tryParseInt64(text, v)) {
        // Very long digit strings still read as a number, not as garbage.
        return parseReal(text);
    }
    return static_cast<double>(v);
}

void widen(double &lo, double &hi, bool &seen, double v)
{
    if (!seen) {
        lo = hi = v;
        seen = true;
        return;
    }
    lo = std::min(lo, v);
    hi = std::max(hi, v);
}

std::string numberText(double v) { return formatReal(v); }

}  // namespace

bool applyFormatStatement(std::string_view statement, GerberInFormat &format)
{
    if (statement.substr(0, 2) == "FS") {
        for (size_t k = 2; k < statement.size(); ++k) {
            char f = statement[k];
            if (f == 'L')
                format.zeroSuppression = ZeroSuppression::Leading;
            else if (f == 'T')
                format.zeroSuppression = ZeroSuppression::Trailing;
            else if (f == 'A')
                format.coordinateMode = CoordinateMode::Absolute;
            else if (f == 'I')
                format.coordinateMode = CoordinateMode::Incremental;
            else if (f == 'X') {
                if (k + 2 < statement.size() && isDigit(statement[k + 1]) && isDigit(statement[k + 2])) {
                    format.integerDigits = std::string(1, statement[k + 1]);
                    format.decimalDigits = std::string(1, statement[k + 2]);
                }
                k += 3;
            }
        }
        return true;
    }
    if (statement.substr(0, 2) == "MO") {
        if (statement.substr(0, 4) == "MOMM")
            format.unit = LengthUnit::Mm;
        else if (statement.substr(0, 4) == "MOIN")
            format.unit = LengthUnit::Inch;
        return true;
    }
    return false;
}

bool looksLikeGerber(std::string_view head)
{
    if (head.empty())
        return true;  // an empty file has its own message
    size_t binary = 0;
    bool star = false, dWord = false;
    for (size_t i = 0; i < head.size(); ++i) {
        const auto c = static_cast<unsigned char>(head[i]);
        if (c == 0 || (c < 32 && c != '\t' && c != '\r' && c != '\n' && c != '\f' && c != 0x1A))
            ++binary;
        star = star || c == '*';
        dWord = dWord || (c == 'D' && i + 1 < head.size() && isDigit(head[i + 1]));
    }
    // Text, and blocks ended by "*" or at least the D words that draw.
    return binary * 100 <= head.size() && (star || dWord);
}

bool declaresRs274X(std::string_view head)
{
    size_t i = 0;
    const size_t n = head.size();
    while (i < n) {
        char c = head[i];
        if (c == '%') {
            size_t start = i + 1;
            while (start < n && (head[start] == '\r' || head[start] == '\n' || head[start] == ' '))
                ++start;
            if (head.substr(start, 2) == "FS" || head.substr(start, 2) == "MO")
                return true;
            size_t close = head.find('%', i + 1);
            if (close == std::string_view::npos)
                return false;
            i = close + 1;
            continue;
        }
        if (c == 'G' &&
            (head.substr(i, 3) == "G04" || (head.substr(i, 2) == "G4" && !(i + 2 < n && isDigit(head[i + 2]))))) {
            size_t star = head.find('*', i);
            if (star == std::string_view::npos)
                return false;
            i = star + 1;
            continue;
        }
        if ((c == 'X' || c == 'Y') && i + 1 < n &&
            (isDigit(head[i + 1]) || head[i + 1] == '-' || head[i + 1] == '+' || head[i + 1] == '.'))
            return false;  // the first coordinate: parameter blocks come before it
        ++i;
    }
    return false;
}

bool declaresRs274X(const std::string &path)
{
    try {
        return declaresRs274X(std::string_view(readFileHead(path, 1 << 20)));
    } catch (const KorvaneError &) {
        return false;
    }
}

bool adoptDeclaredRs274X(GerberInFormat &format, const std::vector<std::string> &paths)
{
    if (format.dialect != GerberDialect::Rs274D)
        return false;
    for (const std::string &path : paths)
        if (declaresRs274X(path)) {
            format.dialect = GerberDialect::Rs274X;
            return true;
        }
    return false;
}

// D1 to D3 in their spellings 1, 01, 001: draw, move and flash.
bool isOperationCode(std::string_view digits)
{
    size_t n = digits.size();
    if (n == 0 || n > 3 || digits[n - 1] < '1' || digits[n - 1] > '3')
        return false;
    for (size_t i = 0; i + 1 < n; ++i)
        if (digits[i] != '0')
            return false;
    return true;
}

namespace {

// The "X"-separated parameters of an aperture definition, in the file's
// unit. An empty parameter (as in "C,0.1X") counts as not given: 0 in the
// middle, dropped at the end. Text that is no number is a conversion error.
std::vector<double> apertureParameters(std::string_view text)
{
    std::vector<double> values;
    size_t given = 0;
    size_t start = 0;
    for (;;) {
        size_t x = text.find('X', start);
        std::string_view field =
            trimBlanks(text.substr(start, x == std::string_view::npos ? std::string_view::npos : x - start));
        if (field.empty()) {
            values.push_back(0);
        } else {
            values.push_back(parseReal(field));
            given = values.size();
        }
        if (x == std::string_view::npos)
            break;
        start = x + 1;
    }
    values.resize(given);
    return values;
}

// Points computed with sines and cosines: round-off such as 1.2E-16 is 0.
std::string pointText(double v) { return formatReal(std::abs(v) < 1e-12 ? 0.0 : v); }

}  // namespace

// ---------------------------------------------------------------- pre-scan

PreScanResult preScanGerber(std::string_view bytes, GerberInFormat &format)
{
    PreScanResult r;
    int totalDigits = totalDigitsOf(format);
    bool xSeen = false, ySeen = false;
    double sumX = 0, sumY = 0;
    size_t i = 0;
    const size_t n = bytes.size();
    // Only these characters start what the scan looks at; the digits, D
    // words and block ends between them are passed over in a tight loop.
    static constexpr ByteSet Starts("%GXYD*");
    const bool extended = format.dialect == GerberDialect::Rs274X;
    // Coordinates count for the extents, zeros included, unless their
    // block only moves (D02 and no D01 or D03).
    // Coordinates of a move count once a draw starts from them.
    struct Pending {
        bool set = false;
        double value = 0;
    } pendingX, pendingY, moveX, moveY;
    int operation = 2;  // modal, as in the main pass
    auto commit = [&](Pending &x, Pending &y) {
        if (x.set)
            widen(r.minX, r.maxX, xSeen, x.value);
        if (y.set)
            widen(r.minY, r.maxY, ySeen, y.value);
        x.set = y.set = false;
    };
    // Reads the D word at `at`; returns where it ends.
    auto operationWord = [&](size_t at) {
        size_t end = at + 1;
        int value = 0;
        while (end < n && isDigit(bytes[end])) {
            value = std::min(value * 10 + (bytes[end] - '0'), 1000);
            ++end;
        }
        if (value >= 1 && value <= 3 && end - at <= 4)  // D1 to D003
            operation = value;
        return end;
    };
    auto endBlock = [&]() {
        if (!pendingX.set && !pendingY.set)
            return;
        if (operation == 2) {
            moveX = pendingX.set ? pendingX : moveX;
            moveY = pendingY.set ? pendingY : moveY;
            pendingX.set = pendingY.set = false;
            return;
        }
        if (operation == 1)
            commit(moveX, moveY);
        moveX.set = moveY.set = false;
        commit(pendingX, pendingY);
    };
    while (i < n) {
        while (i < n && !Starts.contains(bytes[i]))
            ++i;
        if (i == n)
            break;
        char c = bytes[i];
        if (c == '%' && extended) {
            // A parameter block runs to its closing "%", over line breaks as
            // in the main pass: the lines of a macro or of aperture
            // definitions are never coordinates. Line breaks and "$" end a
            // statement like "*".
            ++i;
            std::string text;
            while (i < n && bytes[i] != '%') {
                char t = bytes[i];
                if (t == '\n' || t == '$')
                    text += '*';
                else if (t != '\r')
                    text += t;
                ++i;
            }
            if (i < n && bytes[i] == '%')
                ++i;
            size_t start = 0;
            while (start <= text.size()) {
                size_t star = text.find('*', start);
                std::string_view statement =
                    std::string_view(text).substr(start, star == std::string::npos ? std::string::npos : star - start);
                if (applyFormatStatement(statement, format)) {
                    if (statement.substr(0, 2) == "FS") {
                        totalDigits = totalDigitsOf(format);
                        r.fsSeen = true;
                    } else {
                        r.moSeen = true;
                    }
                }
                if (star == std::string::npos)
                    break;
                start = star + 1;
            }
            continue;
        }
        if (c == 'G' && i + 1 < n && isDigit(bytes[i + 1])) {
            ++i;
            long code = 0;
            while (i < n && isDigit(bytes[i])) {
                code = std::min(code * 10 + (bytes[i] - '0'), 1000000L);
                ++i;
            }
            if (code == 4) {
                while (i < n && bytes[i] != '*')
                    ++i;
            } else if (code == 90 && !r.fsSeen) {
                format.coordinateMode = CoordinateMode::Absolute;
            } else if (code == 91 && !r.fsSeen) {
                format.coordinateMode = CoordinateMode::Incremental;
            } else if (code == 70 && !r.moSeen) {
                format.unit = LengthUnit::Inch;
            } else if (code == 71 && !r.moSeen) {
                format.unit = LengthUnit::Mm;
            }
            continue;
        }
        if (c == 'X' || c == 'Y') {
            ++i;
            size_t start = i;
            // The usual text: an optional "-" and digits, read as it is scanned.
            bool negative = i < n && bytes[i] == '-';
            if (negative)
                ++i;
            std::int64_t whole = 0;
            const size_t digitsStart = i;
            i = static_cast<size_t>(
                digitRun(bytes.data() + i, static_cast<std::ptrdiff_t>(std::min<size_t>(n - i, 18)), whole) -
                bytes.data());
            size_t digits = i - digitsStart;
            bool plain = !(i < n && (isDigit(bytes[i]) || bytes[i] == '-' || bytes[i] == '.' || bytes[i] == '+')) &&
                         !(negative && digits == 0);
            double v;
            bool decimal = false;
            if (plain) {
                v = static_cast<double>(negative ? -whole : whole);
                if (format.zeroSuppression == ZeroSuppression::Trailing && static_cast<int>(digits) < totalDigits)
                    v *= std::pow(10.0, totalDigits - static_cast<int>(digits));
                if (digits == 0 && !negative) {
                    if (format.coordinateMode == CoordinateMode::Absolute)
                        continue;  // an empty text never widens the extents
                }
            } else {
                bool plus = false;
                while (i < n && (isDigit(bytes[i]) || bytes[i] == '-' || bytes[i] == '.' || bytes[i] == '+')) {
                    plus = plus || bytes[i] == '+';
                    ++i;
                }
                std::string_view text = bytes.substr(start, i - start);
                std::string completed;
                if (plus || format.zeroSuppression == ZeroSuppression::Trailing) {
                    for (char d : text)
                        if (d != '+')
                            completed += d;
                    completeTrailingZeros(completed, format, totalDigits);
                    text = completed;
                }
                if (text.empty() && format.coordinateMode == CoordinateMode::Absolute)
                    continue;
                v = rawValue(text, decimal);
            }
            if (decimal)
                r.decimalPointSeen = true;
            if (format.coordinateMode == CoordinateMode::Incremental) {
                double &sum = c == 'X' ? sumX : sumY;
                sum += v;
                v = sum;
            }
            // Held to the block's end, where a move that draws nothing is
            // left out; a second word of the same letter ends a block
            // written without "*".
            Pending &held = c == 'X' ? pendingX : pendingY;
            if (held.set)
                endBlock();
            held = {true, v};
            // The usual block goes on with its D word and ends here.
            if (i < n && bytes[i] == 'D')
                i = operationWord(i);
            if (i < n && bytes[i] == '*') {
                endBlock();
                ++i;
            }
            continue;
        }
        if (c == 'D') {
            i = operationWord(i);
            continue;
        }
        if (c == '*')
            endBlock();
        ++i;
    }
    endBlock();
    return r;
}

// ---------------------------------------------------------------- main pass

GerberFileReader::GerberFileReader(GerberBlockSink &interpreter, ApertureTable &table, MacroLibrary &library,
                                   const GerberInFormat &format)
    : interpreter_(interpreter), table_(table), library_(library), format_(format)
{
}

void GerberFileReader::startFile(int layer)
{
    interpreter_.startFile(layer);
    own_ = format_;
    fsSeen_ = moSeen_ = false;
    fractionScale_ = fractionScaleOf(own_);
    totalDigits_ = totalDigitsOf(own_);
    state_ = State::Normal;
    letter_ = 0;
    number_.clear();
    parameter_.clear();
    blockHasCoordinates_ = blockHasOperation_ = false;
    stopped_ = false;
    rawSumX_ = rawSumY_ = 0;
    inParameterBlock_ = inMacroDefinition_ = inApertureDefinitions_ = false;
    apertureDefined_ = false;
    macros_.clear();
    pendingMacro_ = {};
    macroHasBody_ = false;
    joinedLine_.clear();
    library_.lineCount = 0;
    mirrorX_ = mirrorY_ = false;
    rotation_ = 0;
    scale_ = 1;
    image_ = {};
    notes_.clear();
    noteCauses_.clear();
    bytesBefore_ = 0;
    chunkStart_ = cursor_ = nullptr;
}

bool GerberFileReader::feed(std::string_view chunk)
{
    chunkStart_ = chunk.data();
    const bool more = feedChunk(chunk);
    bytesBefore_ += chunk.size();
    chunkStart_ = cursor_ = nullptr;
    return more;
}

bool GerberFileReader::feedChunk(std::string_view chunk)
{
    const char *p = chunk.data();
    const char *const end = p + chunk.size();
    while (p < end) {
        if (stopped_)
            return false;
        // The usual words, a letter and plain digits ended inside the chunk
        // by the next word or the block end, are read in one go; whatever
        // else the state machine below reads character by character.
        if (state_ == State::Normal) {
            if (*p == '*' || *p == '\r' || *p == '\n') {
                endBlock();
                ++p;
                continue;
            }
            if (const char *q = plainWord(p, end)) {
                p = q;
                continue;
            }
        }
        // Runs that need no decision are taken whole: digits of a number,
        // the text of a comment or of a parameter block.
        if (state_ == State::Number && isDigit(*p)) {
            const char *q = p + 1;
            while (q < end && isDigit(*q))
                ++q;
            addDigits(p, q);
            p = q;
            continue;
        }
        if (state_ == State::Comment) {
            const void *star = std::memchr(p, '*', static_cast<size_t>(end - p));
            if (!star)
                return true;
            p = static_cast<const char *>(star) + 1;
            state_ = State::Normal;
            continue;
        }
        if (state_ == State::Parameter) {
            const char *q = p;
            while (q < end && *q != '%' && *q != '\r' && *q != '\n')
                ++q;
            parameter_.append(p, static_cast<size_t>(q - p));
            p = q;
            if (p == end)
                break;
        }
        cursor_ = p;
        handle(*p++);
    }
    return !stopped_;
}

const char *GerberFileReader::plainWord(const char *p, const char *end)
{
    const char letter = *p;
    const bool coordinate = letter == 'X' || letter == 'Y' || letter == 'I' || letter == 'J';
    if (!coordinate && letter != 'D')
        return nullptr;
    const char *q = p + 1;
    const bool negative = coordinate && q < end && *q == '-';
    if (negative)
        ++q;
    const char *const digits = q;
    std::int64_t value = 0;
    q = digitRun(q, std::min<std::ptrdiff_t>(end - q, 18), value);
    // Words that go on past the chunk, over a line break or with signs and
    // points inside are the state machine's.
    if (q == digits || q == end)
        return nullptr;
    const char next = *q;
    if (isDigit(next) || next == '\r' || next == '\n' || (coordinate && (next == '-' || next == '.' || next == '+')))
        return nullptr;
    if (coordinate) {
        letter_ = letter;
        numberIsPlain_ = true;
        numberValue_ = value;
        numberDigits_ = static_cast<int>(q - digits);
        numberNegative_ = negative;
        endNumber();
    } else {
        dCode(std::string_view(digits, static_cast<size_t>(q - digits)));
    }
    return q;
}

void GerberFileReader::dCode(std::string_view text)
{
    const bool operation = isOperationCode(text);
    if (!interpreter_.selectDCode(text)) {
        stopped_ = true;
        return;
    }
    if (operation)
        blockHasOperation_ = true;
}

void GerberFileReader::finish()
{
    if (stopped_)
        return;
    finishBlocks();
    interpreter_.endFile();
}

void GerberFileReader::finishBlocks()
{
    switch (state_) {
    case State::Number:
    case State::AfterCr:
    case State::AfterCrLf:
    case State::AfterLf:
        endNumber();
        if (!stopped_)
            endBlock();
        break;
    case State::Parameter:
        if (!parameter_.empty())
            processParameterText(std::move(parameter_), false);
        parameter_.clear();
        break;
    default: endBlock(); break;
    }
    state_ = State::Normal;
}

void GerberFileReader::startNumber(char letter)
{
    letter_ = letter;
    number_.clear();
    state_ = State::Number;
    // Coordinates are read straight into a value; the text is kept only for
    // the rare forms the value cannot hold (decimal points, very long texts).
    numberIsPlain_ = letter != 'D' && letter != 'G';
    numberValue_ = 0;
    numberDigits_ = 0;
    numberNegative_ = false;
}

void GerberFileReader::keepNumberText()
{
    if (!numberIsPlain_)
        return;
    numberIsPlain_ = false;
    number_.clear();
    if (numberNegative_)
        number_ += '-';
    std::string digits = numberDigits_ > 0 ? std::to_string(numberValue_) : std::string();
    if (static_cast<int>(digits.size()) < numberDigits_)
        number_.append(static_cast<size_t>(numberDigits_) - digits.size(), '0');
    number_ += digits;
}

void GerberFileReader::addDigits(const char *p, const char *end)
{
    if (numberIsPlain_) {
        for (; p < end; ++p) {
            if (numberDigits_ >= 18) {
                keepNumberText();
                break;
            }
            numberValue_ = numberValue_ * 10 + (*p - '0');
            ++numberDigits_;
        }
        if (p == end)
            return;
    }
    for (; p < end; ++p)
        number_.push_back(*p);
}

void GerberFileReader::handle(char c)
{
    switch (state_) {
    case State::Comment:
        if (c == '*')
            state_ = State::Normal;
        return;

    case State::Parameter:
        if (c == '%') {
            std::string text = std::move(parameter_);
            parameter_.clear();
            state_ = State::Normal;
            processParameterText(std::move(text), true);
        } else if (c == '\r' || c == '\n') {
            if (!parameter_.empty()) {
                std::string text = std::move(parameter_);
                parameter_.clear();
                processParameterText(std::move(text), false);
            }
        } else {
            parameter_ += c;
        }
        return;

    case State::AfterCr:
        if (c == '\n')
            state_ = State::AfterCrLf;
        else
            numberEndsAt(c, true);
        return;

    case State::AfterCrLf:
        if (isDigit(c) || c == '+' || c == '-' || c == '.') {
            state_ = State::Number;
            handle(c);
        } else {
            // A letter of a coordinate goes on with the same block.
            numberEndsAt(c, !(c == 'X' || c == 'Y' || c == 'I' || c == 'J'));
        }
        return;

    case State::AfterLf: {
        bool continues = format_.dialect == GerberDialect::Rs274D ? isDigit(c) : static_cast<unsigned char>(c) <= '9';
        if (continues) {
            state_ = State::Number;
            handle(c);
        } else {
            numberEndsAt(c, true);
        }
        return;
    }

    case State::Number: {
        bool carriesOver = letter_ != 'G';
        if (isDigit(c)) {
            addDigits(&c, &c + 1);
            return;
        }
        if (letter_ != 'G' && letter_ != 'D' && (c == '-' || c == '.')) {
            if (c == '-' && numberIsPlain_ && numberDigits_ == 0 && !numberNegative_) {
                numberNegative_ = true;
                return;
            }
            keepNumberText();
            number_ += c;
            return;
        }
        if (c == '+' && letter_ != 'G' && letter_ != 'D')
            return;
        if (carriesOver && c == '\r') {
            state_ = State::AfterCr;
            return;
        }
        if (carriesOver && c == '\n') {
            state_ = State::AfterLf;
            return;
        }
        endNumber();
        if (stopped_)
            return;
        state_ = state_ == State::Number ? State::Normal : state_;
        if (state_ == State::Normal)
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
        case 'G': startNumber(c); return;
        case '*':
        case '\r':
        case '\n': endBlock(); return;
        case '%':
            state_ = State::Parameter;
            if (!inParameterBlock_) {
                inParameterBlock_ = true;
                parameter_ = "%";
            }
            return;
        default: return;
        }
    }
}

// A number held open over a line break ends at `c`, which is then read as
// the next character; the line break ends the block unless told otherwise.
void GerberFileReader::numberEndsAt(char c, bool endsBlock)
{
    endNumber();
    if (stopped_)
        return;
    state_ = State::Normal;
    if (endsBlock)
        endBlock();
    handle(c);
}

void GerberFileReader::endNumber()
{
    char letter = letter_;
    letter_ = 0;
    state_ = State::Normal;
    if (letter == 'X' || letter == 'Y' || letter == 'I' || letter == 'J') {
        if (numberNegative_ && numberDigits_ == 0)
            keepNumberText();  // a "-" alone is no number: the text gets its message
        double raw;
        bool decimal = false;
        if (numberIsPlain_) {
            raw = static_cast<double>(numberNegative_ ? -numberValue_ : numberValue_);
            if (own_.zeroSuppression == ZeroSuppression::Trailing && numberDigits_ < totalDigits_)
                raw *= std::pow(10.0, totalDigits_ - numberDigits_);
        } else {
            raw = rawCoordinate(number_, decimal);
        }
        number_.clear();
        double value = decodeCoordinate(letter, raw, decimal);
        blockHasCoordinates_ = true;
        switch (letter) {
        case 'X': interpreter_.setX(value); break;
        case 'Y': interpreter_.setY(-value); break;
        case 'I': interpreter_.setI(value); break;
        default: interpreter_.setJ(value); break;
        }
        return;
    }
    // The text is read in place: the buffer serves the next word as well.
    const std::string_view text = number_;
    if (letter == 'D' && !text.empty()) {
        dCode(text);
    } else if (letter == 'G' && !text.empty()) {
        std::int32_t code = 0;
        if (tryParseInt(text, code)) {
            if (code == 4)
                state_ = State::Comment;
            else if ((code == 70 || code == 71) && !moSeen_)
                own_.unit = code == 70 ? LengthUnit::Inch : LengthUnit::Mm;
            else if ((code == 90 || code == 91) && !fsSeen_)
                own_.coordinateMode = code == 90 ? CoordinateMode::Absolute : CoordinateMode::Incremental;
            else
                interpreter_.selectGCode(code);
        }
    }
    number_.clear();
}

void GerberFileReader::endBlock()
{
    if (blockHasCoordinates_ || blockHasOperation_)
        interpreter_.executeBlock();
    blockHasCoordinates_ = blockHasOperation_ = false;
}

double GerberFileReader::rawCoordinate(std::string_view text, bool &decimal) const
{
    if (own_.zeroSuppression == ZeroSuppression::Trailing) {
        std::string completed(text);
        completeTrailingZeros(completed, own_, totalDigits_);
        return rawValue(completed, decimal);
    }
    return rawValue(text, decimal);
}

double GerberFileReader::decodeCoordinate(char letter, double raw, bool decimal)
{
    double value;
    bool incremental = own_.coordinateMode == CoordinateMode::Incremental && (letter == 'X' || letter == 'Y');
    if (incremental) {
        // The sums stay in the file's raw numbers.
        double &sum = letter == 'X' ? rawSumX_ : rawSumY_;
        sum += decimal ? raw / fractionScale_ : raw;
        value = sum * fractionScale_;
    } else {
        value = decimal ? raw : raw * fractionScale_;
    }
    if (own_.unit == LengthUnit::Inch)
        value *= InchToMm;
    return value;
}

double GerberFileReader::length(double value) const { return own_.unit == LengthUnit::Inch ? value * InchToMm : value; }

// ---------------------------------------------------------------- parameters

void GerberFileReader::processParameterText(std::string text, bool closing)
{
    if (closing)
        inParameterBlock_ = false;

    if (inMacroDefinition_) {
        if (!text.empty() && text != "%")
            processMacroBodyLine(text);
        if (closing)
            endMacroDefinition();
        return;
    }

    if (text.rfind("%AM", 0) == 0) {
        std::string rest = text.substr(3);
        size_t star = rest.find('*');
        pendingMacro_ = {};
        pendingMacro_.name = rest.substr(0, star);
        macroHasBody_ = false;
        joinedLine_.clear();
        inMacroDefinition_ = true;
        // Primitives written on the name's line are read as well.
        if (star != std::string::npos && star + 1 < rest.size())
            processMacroBodyLine(rest.substr(star + 1));
        if (closing)
            endMacroDefinition();
        return;
    }

    // Outside macro definitions "$" ends a statement like "*".
    std::replace(text.begin(), text.end(), '$', '*');

    if (text.rfind("%LPD", 0) == 0 || text.rfind("LPD", 0) == 0) {
        interpreter_.setClearPolarity(false);
        return;
    }
    if (text.rfind("%LPC", 0) == 0 || text.rfind("LPC", 0) == 0) {
        interpreter_.setClearPolarity(true);
        return;
    }
    if (text.find("%ADD") != std::string::npos) {
        defineAperture(text.substr(text.find("%ADD")));
        inApertureDefinitions_ = !closing;
        return;
    }
    if (inApertureDefinitions_ && text.rfind("ADD", 0) == 0) {
        defineAperture("%" + text);
        if (closing)
            inApertureDefinitions_ = false;
        return;
    }
    if (text == "%" || (closing && text.empty()))
        inApertureDefinitions_ = false;
    std::string_view rest = text;
    if (!rest.empty() && rest.front() == '%')
        rest.remove_prefix(1);
    while (!rest.empty()) {
        const size_t star = rest.find('*');
        const std::string_view statement = trimBlanks(rest.substr(0, star));
        if (!statement.empty())
            parameterStatement(statement);
        if (star == std::string_view::npos)
            break;
        rest.remove_prefix(star + 1);
    }
}

namespace {

// The number after a letter of a parameter statement ("I2.54" in
// "SRX3Y2I2.54J0"); `fallback` when the letter is missing.
double parameterNumber(std::string_view statement, char letter, double fallback)
{
    const size_t at = statement.find(letter, 2);
    if (at == std::string_view::npos)
        return fallback;
    size_t end = at + 1;
    while (end < statement.size() &&
           (isDigit(statement[end]) || statement[end] == '.' || statement[end] == '-' || statement[end] == '+'))
        ++end;
    const std::string_view number = statement.substr(at + 1, end - at - 1);
    double value = fallback;
    if (!number.empty() && !tryParseReal(number, value))
        throw KorvaneError(msg::format(msg::NotAReal, std::string(number)));
    return value;
}

}  // namespace

// The parameter statements besides %AM %AD %LP: the file's own format, the
// constructs the drawing expands, the image parameters. What is not drawn
// exactly is noted.
void GerberFileReader::parameterStatement(std::string_view statement)
{
    const std::string_view code = statement.substr(0, 2);
    if (code == "FS" || code == "MO") {
        // RS-274D data are read as the settings say, whatever they hold.
        if (format_.dialect != GerberDialect::Rs274X)
            return;
        applyFormatStatement(statement, own_);
        (code == "FS" ? fsSeen_ : moSeen_) = true;
        fractionScale_ = fractionScaleOf(own_);
        totalDigits_ = totalDigitsOf(own_);
        return;
    }
    if (code == "SR") {
        const auto count = [&](char letter) {
            const double v = parameterNumber(statement, letter, 1);
            return v >= 1 ? static_cast<long>(std::min(v, 1e9)) : 1L;
        };
        if (!interpreter_.stepRepeat(count('X'), count('Y'), length(parameterNumber(statement, 'I', 0)),
                                     length(parameterNumber(statement, 'J', 0))) &&
            (count('X') > 1 || count('Y') > 1))
            note("%SR", gerbermsg::unknownParameter("SR"));
        return;
    }
    if (code == "AB") {
        std::string_view rest = statement.substr(2);
        bool done = false;
        if (rest.empty()) {
            done = interpreter_.closeBlock();
        } else if (rest.front() == 'D') {
            std::int64_t dcode = 0;
            if (tryParseInt64(rest.substr(1), dcode) && dcode >= 10 && dcode <= INT32_MAX)
                done = interpreter_.openBlock(static_cast<long>(dcode));
        }
        if (!done)
            note("%AB", gerbermsg::unknownParameter(std::string(statement)));
        return;
    }
    if (code == "LM" || code == "LR" || code == "LS") {
        if (code == "LM") {
            const std::string_view axes = statement.substr(2);
            mirrorX_ = axes.find('X') != std::string_view::npos;
            mirrorY_ = axes.find('Y') != std::string_view::npos;
        } else {
            double v = 0;
            if (!tryParseReal(trimBlanks(statement.substr(2)), v))
                throw KorvaneError(msg::format(msg::NotAReal, std::string(statement.substr(2))));
            (code == "LR" ? rotation_ : scale_) = v;
        }
        if (!interpreter_.setApertureTransform(mirrorX_, mirrorY_, rotation_, scale_))
            note(std::string(code), gerbermsg::unknownParameter(std::string(code)));
        return;
    }
    if (code == "OF" || code == "SF" || code == "MI" || code == "IR") {
        if (code == "OF") {
            image_.offsetA = length(parameterNumber(statement, 'A', 0));
            image_.offsetB = length(parameterNumber(statement, 'B', 0));
        } else if (code == "SF") {
            image_.scaleA = parameterNumber(statement, 'A', 1);
            image_.scaleB = parameterNumber(statement, 'B', 1);
        } else if (code == "MI") {
            image_.mirrorA = parameterNumber(statement, 'A', 0) != 0;
            image_.mirrorB = parameterNumber(statement, 'B', 0) != 0;
        } else {
            double degrees = 0;
            tryParseReal(trimBlanks(statement.substr(2)), degrees);
            image_.rotation = std::abs(degrees) < 3600 ? static_cast<int>(degrees) : 1;
            if (image_.rotation % 90 != 0)
                note("IR", gerbermsg::unknownParameter(std::string(statement)));
        }
        if (!interpreter_.setImage(image_))
            note(std::string(code), gerbermsg::unknownParameter(std::string(code)));
        return;
    }
    if (code == "IP") {
        interpreter_.setImageNegative(statement.substr(2, 3) == "NEG");
        return;
    }
    // Names, attributes and defaults that change nothing drawn.
    if (code == "IN" || code == "LN" || code == "TF" || code == "TA" || code == "TO" || code == "TD" ||
        statement == "ASAXBY" || statement == "IJA0B0" || statement == "IOA0B0" || statement == "IJALBL" ||
        statement == "ICAS")
        return;
    note(std::string(code), gerbermsg::unknownParameter(std::string(statement.substr(0, 16))));
}

void GerberFileReader::note(const std::string &cause, const std::string &text)
{
    for (const auto &seen : noteCauses_)
        if (seen == cause)
            return;
    noteCauses_.push_back(cause);
    const std::size_t inChunk = cursor_ && chunkStart_ ? static_cast<std::size_t>(cursor_ - chunkStart_) : 0;
    notes_.push_back({bytesBefore_ + inChunk, text});
}

int lineAt(std::string_view bytes, std::size_t offset)
{
    const std::string_view before = bytes.substr(0, std::min(offset, bytes.size()));
    return 1 + static_cast<int>(std::count(before.begin(), before.end(), '\n'));
}

void GerberFileReader::processMacroBodyLine(const std::string &raw)
{
    std::string line = joinedLine_ + std::string(trimBlanks(raw));
    joinedLine_.clear();
    if (!line.empty() && line.back() == ',') {
        joinedLine_ = line;
        return;
    }
    size_t start = 0;
    while (start < line.size()) {
        size_t star = line.find('*', start);
        std::string statement(trimBlanks(
            std::string_view(line).substr(start, star == std::string::npos ? std::string::npos : star - start)));
        start = star == std::string::npos ? line.size() : star + 1;
        if (statement.empty() || statement.rfind("0 ", 0) == 0)
            continue;
        if (!macroHasBody_) {
            macroHasBody_ = true;
            pendingMacro_.nameLine = library_.append(pendingMacro_.name);
        }
        // A macro of a thermal alone becomes a thermal row as well.
        if (++pendingMacro_.primitives == 1 && statement[0] == '7' && (statement.size() == 1 || statement[1] == ','))
            pendingMacro_.thermalStatement = statement;
        else if (statement[0] != '$')
            pendingMacro_.thermalStatement.clear();
        if (own_.unit == LengthUnit::Inch) {
            pendingMacro_.inchBody.push_back(statement);
            library_.append(convertStatementToMillimetres(statement));
        } else {
            library_.append(statement);
        }
    }
}

void GerberFileReader::endMacroDefinition()
{
    if (!joinedLine_.empty()) {
        std::string rest = std::move(joinedLine_);
        joinedLine_.clear();
        processMacroBodyLine(rest + "*");
    }
    inMacroDefinition_ = false;
    if (pendingMacro_.nameLine > 0)
        library_.append("END");
    if (pendingMacro_.nameLine > 0)
        macros_.push_back(pendingMacro_);
    pendingMacro_ = {};
    macroHasBody_ = false;
}

void GerberFileReader::defineAperture(const std::string &text)
{
    if (!apertureDefined_) {
        apertureDefined_ = true;
        table_.filePath = aptmsg::Unsaved;
    }
    size_t comma = text.find(',');
    std::string dcodePart;
    bool plain = comma != std::string::npos && comma >= 6;
    if (plain) {
        dcodePart = text.substr(4, comma - 5);
        plain = !dcodePart.empty() && std::all_of(dcodePart.begin(), dcodePart.end(), isDigit);
    }
    if (!plain) {
        defineMacroReference(text.substr(4));
        return;
    }
    char shape = text[comma - 1];
    std::string paramText = text.substr(comma + 1);
    paramText = paramText.substr(0, paramText.find('*'));
    const std::vector<double> raw = apertureParameters(paramText);
    std::vector<double> p;
    p.reserve(raw.size());
    for (double v : raw)
        p.push_back(length(v));
    if (p.empty())
        p.push_back(0);  // "C," alone: a size of 0
    std::int64_t dcode = 0;
    tryParseInt64(dcodePart, dcode);
    auto at = [&](size_t i) { return i < p.size() ? p[i] : 0.0; };
    using namespace aptmsg;
    switch (shape) {
    case 'C': {
        if (p.size() == 1) {
            table_.SetRow(dcode, Round, numberText(p[0]));
            break;
        }
        double d = p[0], hx = at(1), hy = at(2);
        if (p.size() == 2 && hx > d)
            std::swap(d, hx);
        std::string size = numberText(d);
        if (hx > 0)
            size += "-" + numberText(hx);
        if (hy > 0)
            size += "-" + numberText(hy);
        table_.SetRow(dcode, size.find('-') == std::string::npos ? Round : RoundDonut, size);
        break;
    }
    case 'R': {
        if (p.size() == 1) {
            table_.SetRow(dcode, Square, numberText(p[0]));
        } else if (p.size() == 2) {
            if (p[0] == p[1])
                table_.SetRow(dcode, Square, numberText(p[0]));
            else
                table_.SetRow(dcode, Rectangle, numberText(p[0]) + "-" + numberText(p[1]));
        } else {
            std::string size = numberText(p[0]) + "-" + numberText(p[1]) + "-" + numberText(p[2]);
            if (p.size() >= 4 && p[3] > 0)
                size += "-" + numberText(p[3]);
            table_.SetRow(dcode, SquareDonut, size);
        }
        break;
    }
    case 'O': {
        if (p.size() <= 2) {
            table_.SetRow(dcode, Oblong, numberText(p[0]) + "-" + numberText(p.size() == 2 ? p[1] : p[0]));
        } else {
            std::string size = numberText(p[0]) + "-" + numberText(p[1]) + "-" + numberText(p[2]);
            if (p.size() >= 4 && p[3] > 0)
                size += "-" + numberText(p[3]);
            table_.SetRow(dcode, OblongDonut, size);
        }
        break;
    }
    case 'P': {
        // A regular polygon becomes a macro of one outline (and its hole).
        // The vertex count and the rotation are no lengths: they stay as written.
        double diameter = at(0);
        double vertices = raw.size() > 1 ? raw[1] : 0;
        double rotation = raw.size() > 2 ? raw[2] : 0;
        if (!(vertices >= 3 && vertices <= 10000) || vertices != std::trunc(vertices)) {
            // Quote the count as written, not the whole parameter text.
            size_t x = paramText.find('X');
            std::string_view rest =
                x == std::string::npos ? std::string_view() : std::string_view(paramText).substr(x + 1);
            throw KorvaneError(msg::format(msg::NotAnInteger, trimBlanks(rest.substr(0, rest.find('X')))));
        }
        int n = static_cast<int>(vertices);
        if (n == 8)
            rotation += 22.5;
        int nameLine = library_.lineCount + 1;
        library_.append("POLMAC" + std::to_string(nameLine));
        std::string outline = "4,1," + std::to_string(n);
        for (int k = 0; k <= n; ++k) {
            double a = (rotation + 360.0 * (k % n) / n) * std::numbers::pi / 180.0;
            outline += "," + pointText(diameter / 2 * std::cos(a)) + "," + pointText(diameter / 2 * std::sin(a));
        }
        outline += ",0";
        library_.append(outline);
        double hx = at(3), hy = at(4);
        if (hx > 0) {
            if (hy > 0)
                library_.append("21,0," + numberText(hx) + "," + numberText(hy) + ",0,0,0");
            else
                library_.append("1,0," + numberText(hx) + ",0,0");
        }
        library_.append("END");
        table_.SetRow(dcode, std::string(Macro) + " " + std::to_string(nameLine), NoSize);
        break;
    }
    default: defineMacroReference(text.substr(4)); break;
    }
}

void GerberFileReader::defineMacroReference(const std::string &afterAdd)
{
    // "<digits><name>[,<parameters>]": the name is looked up whole, the
    // latest definition first.
    size_t nameStart = 0;
    while (nameStart < afterAdd.size() && isDigit(afterAdd[nameStart]))
        ++nameStart;
    std::int64_t dcode = 0;
    if (nameStart == 0 || !tryParseInt64(afterAdd.substr(0, nameStart), dcode) || dcode == 0)
        return;
    size_t nameEnd = afterAdd.find_first_of(",*", nameStart);
    const std::string name(trimBlanks(std::string_view(afterAdd).substr(
        nameStart, nameEnd == std::string::npos ? std::string::npos : nameEnd - nameStart)));
    const auto found =
        std::find_if(macros_.rbegin(), macros_.rend(), [&](const MacroEntry &m) { return m.name == name; });
    if (found == macros_.rend()) {
        note("AD" + name, gerbermsg::unknownParameter("AD" + afterAdd.substr(0, 24)));
        return;
    }
    const MacroEntry &macro = *found;
    std::string rest = nameEnd == std::string::npos ? std::string() : afterAdd.substr(nameEnd);
    std::vector<double> params;
    bool hasParams = !rest.empty() && rest[0] == ',';
    if (hasParams) {
        std::string paramText =
            rest.substr(1, rest.find('*') == std::string::npos ? std::string::npos : rest.find('*') - 1);
        params = apertureParameters(paramText);
    }
    int flashLine = macro.nameLine;
    if (hasParams) {
        InstantiationResult copy = instantiateMacro(library_, macro.nameLine, static_cast<long>(dcode), params,
                                                    own_.unit == LengthUnit::Inch ? &macro.inchBody : nullptr);
        flashLine = copy.nameLine;
    }
    if (!macro.thermalStatement.empty()) {
        auto lookup = [&](int k) -> std::optional<double> {
            if (k >= 1 && static_cast<size_t>(k) <= params.size())
                return params[static_cast<size_t>(k - 1)];
            return std::nullopt;
        };
        std::vector<std::string> f = macroFields(macro.thermalStatement);
        auto field = [&](size_t i) { return i < f.size() ? f[i] : std::string(); };
        // Parameters and constants are in the file's unit.
        auto len = [&](size_t i) { return length(evaluateMacroExpression(field(i), lookup)); };
        bool diagonal = field(6).find("45") != std::string::npos;
        std::string size = numberText(len(3)) + "-" + numberText(len(4)) + "-" + numberText(len(5));
        table_.SetRow(dcode, diagonal ? aptmsg::ThermalX : aptmsg::ThermalPlus, size);
        // The row names the shape; the flash draws the primitive exactly.
        if (exactThermalMacros_)
            interpreter_.flashAsMacro(static_cast<long>(dcode), flashLine);
        return;
    }
    table_.SetRow(dcode, std::string(aptmsg::Macro) + " " + std::to_string(flashLine), aptmsg::NoSize);
}

// ---------------------------------------------------------------- the load

namespace {

std::int64_t fileSize(const std::string &path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return -1;
    return st.st_size;
}

}  // namespace

GerberLoadOutcome loadGerberFiles(GerberLoadContext &ctx, std::vector<GerberLoadFile> files)
{
    GerberLoadOutcome outcome;
    std::stable_sort(files.begin(), files.end(), [](const auto &a, const auto &b) { return a.layer < b.layer; });
    if (files.empty())
        return outcome;
    std::vector<int> opened;
    BusyGuard busy(ctx.status);
    Document &doc = ctx.document;
    GerberInterpreter interpreter(doc, ctx.table, ctx.library, ctx.format, ctx.prompter);
    interpreter.setItemLimit(ctx.itemLimit);
    interpreter.setPolarity(ctx.reading.polarity);
    // The file a message is about, named on the line before its text.
    std::string current;
    auto aboutFile = [&](const std::string &text) {
        return current.empty() ? text : fileNameOf(current) + "\n" + text;
    };
    try {
        // Files that are no Gerber data at all are named and left out.
        for (auto f = files.begin(); f != files.end();) {
            bool gerber = true;
            try {
                gerber = looksLikeGerber(readFileHead(f->path, 1 << 16));
            } catch (const KorvaneError &) {
                // The reading below reports a file it cannot open.
            }
            if (gerber) {
                ++f;
                continue;
            }
            ctx.prompter.error(fileNameOf(f->path) + "\n" + gerbermsg::NotGerberData);
            outcome.layersUnread.push_back(f->layer);
            f = files.erase(f);
        }
        if (files.empty()) {
            outcome.end = GerberLoadOutcome::End::PreScanRefused;
            return outcome;
        }
        // The largest file settles the number format for the files that
        // declare none; each RS-274X file is read by its own %FS and %MO.
        const GerberLoadFile *largest = &files.front();
        std::int64_t largestSize = fileSize(largest->path);
        for (const auto &f : files) {
            std::int64_t size = fileSize(f.path);
            if (size > largestSize) {
                largest = &f;
                largestSize = size;
            }
        }
        current = largest->path;
        // The largest file is read once: its pre-scan and its main pass go
        // over the same bytes.
        auto largestBytes = std::make_unique<MappedFile>(largest->path);
        const std::string_view bytes = largestBytes->bytes();
        if (bytes.empty()) {
            // The largest file is empty, so all are: no format to complain of.
            ctx.prompter.error(aboutFile(gerbermsg::EmptyFile));
            outcome.end = GerberLoadOutcome::End::PreScanRefused;
            return outcome;
        }
        outcome.preScan = preScanGerber(bytes, ctx.format);
        const PreScanResult &pre = outcome.preScan;
        if (ctx.format.dialect == GerberDialect::Rs274X && !pre.fsSeen && !pre.moSeen) {
            ctx.prompter.error(gerbermsg::NotRs274X);
            outcome.end = GerberLoadOutcome::End::PreScanRefused;
            return outcome;
        }
        if (pre.allZero()) {
            ctx.prompter.error(gerbermsg::NoDrawingData);
            outcome.end = GerberLoadOutcome::End::PreScanRefused;
            return outcome;
        }
        if (pre.fsSeen || pre.moSeen)
            ctx.table.Clear();

        // The pre-scan's extents give the first view.
        double scale = pre.decimalPointSeen ? 1.0 : fractionScaleOf(ctx.format);
        double unit = ctx.format.unit == LengthUnit::Inch ? InchToMm : 1.0;
        auto scaled = [&](double lo, double hi, double &outLo, double &outHi) {
            if (lo == hi)
                lo = 0;
            outLo = lo * scale * unit;
            outHi = hi * scale * unit;
        };
        scaled(pre.minX, pre.maxX, doc.minX, doc.maxX);
        scaled(pre.minY, pre.maxY, doc.minY, doc.maxY);
        doc.extentX = std::max(doc.extentX, doc.maxX - doc.minX);
        doc.extentY = std::max(doc.extentY, doc.maxY - doc.minY);
        doc.gerberExtents = {doc.minX, doc.maxX, doc.minY, doc.maxY};
        doc.hasData = 1;
        if (ctx.observer)
            ctx.observer->preScanDone();

        GerberFileReader reader(interpreter, ctx.table, ctx.library, ctx.format);
        reader.setExactThermalMacros(ctx.reading.exactThermalMacros);
        for (const auto &f : files) {
            current = f.path;
            const FileMessages fileMessages(ctx.prompter);
            ctx.status.setStatus(fileNameOf(f.path) + gerbermsg::Reading);
            std::unique_ptr<MappedFile> input =
                &f == largest ? std::move(largestBytes) : std::make_unique<MappedFile>(f.path);
            opened.push_back(f.layer);
            reader.startFile(f.layer);
            doc.gerberLoaded = 1;
            outcome.anyFileRead = true;
            // In pieces, so that what has been read leaves memory as the
            // display list grows.
            const std::string_view all = input->bytes();
            bool toEnd = true;
            for (size_t at = 0; at < all.size(); at += ChunkSize) {
                if (!reader.feed(all.substr(at, ChunkSize))) {
                    toEnd = false;
                    break;
                }
                input->release(at);
            }
            if (toEnd)
                reader.finish();
            for (const GerberFileReader::Note &n : reader.notes())
                outcome.notes.push_back(gerbermsg::noteAt(fileNameOf(f.path), lineAt(all, n.offset), n.text));
            if (reader.stopped()) {
                outcome.layersStopped.push_back(f.layer);
            } else {
                outcome.layersReadToEnd.push_back(f.layer);
                if (ctx.observer)
                    ctx.observer->fileReadToEnd(f.layer);
            }
        }
    } catch (const KorvaneError &e) {
        ctx.prompter.error(aboutFile(e.text()));
        outcome.end = GerberLoadOutcome::End::Error;
    }
    for (const auto &f : files)
        if (std::find(opened.begin(), opened.end(), f.layer) == opened.end())
            outcome.layersUnread.push_back(f.layer);
    // The extents of what was read replace the pre-scan's; a load never
    // shrinks the extents the view fits.
    outcome.extents = interpreter.extents();
    if (outcome.anyFileRead) {
        const LoadExtents &e = outcome.extents;
        doc.minX = e.minX;
        doc.maxX = e.maxX;
        doc.minY = e.minY;
        doc.maxY = e.maxY;
        doc.extentX = std::max(doc.extentX, doc.maxX - doc.minX);
        doc.extentY = std::max(doc.extentY, doc.maxY - doc.minY);
    }
    return outcome;
}

}  // namespace korvane
