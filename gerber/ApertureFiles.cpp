#include "gerber/ApertureFiles.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/Messages.h"
#include "core/Numbers.h"
#include "core/TextFile.h"
#include "gerber/ApertureTexts.h"

#include <algorithm>
#include <cctype>

namespace korvane {
namespace {

bool isCp932LeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

std::string readField(std::string_view record, std::size_t lengthAt, std::size_t capacity)
{
    auto length = std::min<std::size_t>(static_cast<unsigned char>(record[lengthAt]), capacity);
    return cp932ToUtf8(record.substr(lengthAt + 1, length));
}

void putField(std::string &out, const std::string &cp932, std::size_t capacity)
{
    out.push_back(static_cast<char>(cp932.size()));
    out += cp932;
    out.append(capacity - cp932.size(), '\0');
}

// Splits off the text up to the next blank; without a blank the rest of the
// line is the field.
std::string_view takeField(std::string_view &rest)
{
    auto pos = rest.find(' ');
    std::string_view field = rest.substr(0, pos);
    rest = pos == std::string_view::npos ? std::string_view() : rest.substr(pos + 1);
    return field;
}

struct GapKeyword {
    const char *keyword;
    const char *shape;
    enum { First, FirstSecond, Thermal, NoSize } size;
};

constexpr GapKeyword GapKeywords[] = {
    {"ROUND", aptmsg::Round, GapKeyword::First},
    {"SQUARE", aptmsg::Square, GapKeyword::First},
    {"RECTANGLE", aptmsg::Rectangle, GapKeyword::FirstSecond},
    {"OBLONG", aptmsg::Oblong, GapKeyword::FirstSecond},
    {"TARGET", aptmsg::Target, GapKeyword::NoSize},
    // Outer size and hole: the drill mark's two circles.
    {"DONUT", aptmsg::DrillHole, GapKeyword::FirstSecond},
    {"THERMAL", aptmsg::ThermalX, GapKeyword::Thermal},
};

}  // namespace

std::string cp932Field(std::string_view utf8, std::size_t maxBytes, bool *wasCut)
{
    std::string bytes = utf8ToCp932(utf8);
    std::size_t end = 0;
    while (end < bytes.size()) {
        std::size_t width = isCp932LeadByte(static_cast<unsigned char>(bytes[end])) && end + 1 < bytes.size() ? 2 : 1;
        if (end + width > maxBytes)
            break;
        end += width;
    }
    if (wasCut)
        *wasCut = end < bytes.size();
    bytes.resize(end);
    return bytes;
}

bool readAptRecords(std::string_view bytes, ApertureTable &table)
{
    for (int r = 1; r <= ApertureRowCount; ++r) {
        std::size_t at = static_cast<std::size_t>(r - 1) * AptRecordSize;
        if (at + AptRecordSize > bytes.size())
            return false;
        std::string_view record = bytes.substr(at, AptRecordSize);
        table.row(r).shape = readField(record, 0, AptShapeBytes);
        table.row(r).size = readField(record, 1 + AptShapeBytes, AptSizeBytes);
    }
    return true;
}

bool looksLikeAptTable(std::string_view bytes)
{
    const std::size_t complete = std::min<std::size_t>(bytes.size() / AptRecordSize, ApertureRowCount);
    std::size_t damaged = 0;
    for (std::size_t r = 0; r < complete; ++r) {
        const std::size_t at = r * AptRecordSize;
        if (static_cast<unsigned char>(bytes[at]) > AptShapeBytes ||
            static_cast<unsigned char>(bytes[at + 1 + AptShapeBytes]) > AptSizeBytes)
            ++damaged;
    }
    return complete > 0 && damaged * 2 <= complete;
}

std::string aptBytes(const ApertureTable &table, std::vector<int> *cutDCodes)
{
    std::string out;
    out.reserve(AptFileSize);
    for (int r = 1; r <= ApertureRowCount; ++r) {
        bool shapeCut = false;
        bool sizeCut = false;
        putField(out, cp932Field(table.row(r).shape, AptShapeBytes, &shapeCut), AptShapeBytes);
        putField(out, cp932Field(table.row(r).size, AptSizeBytes, &sizeCut), AptSizeBytes);
        if ((shapeCut || sizeCut) && cutDCodes)
            cutDCodes->push_back(r + FirstDCode - 1);
    }
    return out;
}

void readGapLines(std::string_view bytes, ApertureTable &table)
{
    bool inHeader = true;
    for (auto raw : splitLines(bytes)) {
        std::string text = cp932ToUtf8(raw);
        if (inHeader) {
            if (text.find("GAPFile") != std::string::npos && text.find('!') == std::string::npos)
                inHeader = false;
            continue;
        }
        if (trimBlanks(text).empty())
            continue;
        std::string_view rest = text;
        std::string_view label = takeField(rest);
        std::string_view keyword = takeField(rest);
        rest.remove_prefix(std::min(rest.size(), rest.find_first_not_of(' ')));
        takeField(rest);
        std::string_view first = takeField(rest);
        takeField(rest);
        std::string_view second = takeField(rest);

        // The message names the text that should have been the number.
        bool hasD = !label.empty() && label.front() == 'D';
        std::string_view digits = hasD ? label.substr(1) : label;
        std::int64_t dcode = 0;
        if (!hasD || !tryParseInt64(digits, dcode))
            throw KorvaneError(msg::format(msg::NotAnInteger, digits));
        auto row = ApertureTable::rowOf(dcode);
        if (!row)
            continue;

        const GapKeyword *known = nullptr;
        for (const auto &k : GapKeywords)
            if (keyword == k.keyword)
                known = &k;
        ApertureDef &def = table.row(*row);
        def.dcodeLabel = std::string(label);
        if (!known) {
            def.shape = aptmsg::Unknown;
            def.size = std::string(first);
            continue;
        }
        def.shape = known->shape;
        switch (known->size) {
        case GapKeyword::First: def.size = std::string(first); break;
        case GapKeyword::FirstSecond: def.size = std::string(first) + "-" + std::string(second); break;
        case GapKeyword::Thermal: def.size = std::string(first) + "-" + std::string(second) + "-0.5"; break;
        case GapKeyword::NoSize: def.size = aptmsg::NoSize; break;
        }
    }
}

std::string macroLibraryPathFor(std::string_view tablePath)
{
    auto slash = tablePath.find_last_of("/\\");
    std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    std::string_view folder = tablePath.substr(0, nameStart);
    std::string_view name = tablePath.substr(nameStart);
    auto dot = name.find('.');
    if (dot == std::string_view::npos)
        return std::string(tablePath) + ".lib";
    return std::string(folder) + std::string(name.substr(0, dot + 1)) + "lib";
}

std::string proposedSaveName(std::string_view title)
{
    if (title == aptmsg::DefaultTitle)
        return "*.apt";
    std::string lower(title);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower.find(".gap") != std::string::npos) {
        // The last three characters; the title ends in an ASCII extension
        // in practice, but never cut a multi-byte character in half.
        std::string_view t = title;
        for (int i = 0; i < 3 && !t.empty(); ++i) {
            while (!t.empty() && (static_cast<unsigned char>(t.back()) & 0xC0) == 0x80)
                t.remove_suffix(1);
            if (!t.empty())
                t.remove_suffix(1);
        }
        return fileNameOf(std::string(t) + "apt");
    }
    return fileNameOf(title);
}

}  // namespace korvane
