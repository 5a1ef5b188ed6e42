#include "gerber/ApertureTable.h"
#include "core/Numbers.h"
#include "gerber/ApertureTexts.h"

namespace korvane {

std::optional<ApertureShape> apertureShapeOf(std::string_view shape)
{
    using namespace aptmsg;
    static constexpr std::pair<const char *, ApertureShape> Names[] = {
        {Round, ApertureShape::Round},
        {Square, ApertureShape::Square},
        {Rectangle, ApertureShape::Rectangle},
        {Oblong, ApertureShape::Oblong},
        {DrillHole, ApertureShape::DrillHole},
        {Target, ApertureShape::Target},
        {Counterbore, ApertureShape::Counterbore},
        {ThermalX, ApertureShape::ThermalX},
        {ThermalPlus, ApertureShape::ThermalPlus},
        {RoundDonut, ApertureShape::RoundDonut},
        {SquareDonut, ApertureShape::SquareDonut},
        {OblongDonut, ApertureShape::OblongDonut},
    };
    for (const auto &[name, code] : Names)
        if (shape == name)
            return code;
    if (shape.starts_with("Macro "))
        return ApertureShape::Macro;
    return std::nullopt;
}

int macroLineOf(std::string_view shape)
{
    auto pos = shape.find(aptmsg::Macro);
    if (pos == std::string_view::npos)
        return 0;
    std::int32_t line = 0;
    if (!tryParseInt(shape.substr(pos + std::char_traits<char>::length(aptmsg::Macro)), line) || line < 0)
        return 0;
    return line;
}

ApertureTable::ApertureTable() : title(aptmsg::DefaultTitle) { clearRows(); }

std::optional<int> ApertureTable::rowOf(std::int64_t dcode)
{
    if (dcode < FirstDCode || dcode > LastDCode)
        return std::nullopt;
    return static_cast<int>(dcode - FirstDCode + 1);
}

std::optional<int> ApertureTable::rowOf(std::string_view digits)
{
    if (digits.empty() || digits.size() > 9)
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return rowOf(value);
}

const ApertureDef *ApertureTable::extraRow(std::int64_t dcode) const
{
    auto it = extra_.find(dcode);
    return it == extra_.end() ? nullptr : &it->second;
}

ApertureLookup ApertureTable::Lookup(std::int64_t dcode) const
{
    auto r = rowOf(dcode);
    if (!r) {
        if (const ApertureDef *extra = extraRow(dcode))
            return {extra->shape, extra->size};
        return {};
    }
    return {row(*r).shape, row(*r).size};
}

ApertureLookup ApertureTable::Lookup(std::string_view digits) const
{
    // Leading zeros ("D010") still name D10; only the value counts.
    while (digits.size() > 1 && digits.front() == '0')
        digits.remove_prefix(1);
    auto r = rowOf(digits);
    if (!r) {
        std::int64_t value = 0;
        if (digits.size() <= 9 && tryParseInt64(digits, value))
            if (const ApertureDef *extra = extraRow(value))
                return {extra->shape, extra->size};
        return {};
    }
    return {row(*r).shape, row(*r).size};
}

void ApertureTable::SetRow(std::int64_t dcode, std::string shape, std::string size)
{
    auto r = rowOf(dcode);
    if (!r) {
        if (dcode > LastDCode && dcode <= INT32_MAX)
            extra_[dcode] = {"D" + std::to_string(dcode), std::move(shape), std::move(size)};
        return;
    }
    row(*r).shape = std::move(shape);
    row(*r).size = std::move(size);
}

void ApertureTable::Clear()
{
    filePath.clear();
    clearRows();
}

void ApertureTable::clearRows()
{
    extra_.clear();
    for (int i = 0; i < ApertureRowCount; ++i) {
        rows_[static_cast<std::size_t>(i)].dcodeLabel = "D" + std::to_string(i + FirstDCode);
        rows_[static_cast<std::size_t>(i)].shape.clear();
        rows_[static_cast<std::size_t>(i)].size.clear();
    }
}

}  // namespace korvane
