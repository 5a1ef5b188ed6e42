#include "gerber/ApertureMacros.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/Messages.h"
#include "core/Numbers.h"
#include "gerber/MacroExpression.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <numbers>
#include <optional>

namespace korvane {
namespace {

constexpr double InchToMm = 25.4;
// Far more vertices than any real outline; a damaged count never makes
// the reader allocate or loop without end.
constexpr long MaxOutlinePoints = 100000;

std::string trimmed(std::string_view s) { return std::string(trimBlanks(s)); }

// "$n=expression" with a one-digit n.
bool isVariableDefinition(std::string_view line, int &n, std::string_view &expression)
{
    line = trimBlanks(line);
    if (line.size() < 3 || line[0] != '$' || !std::isdigit(static_cast<unsigned char>(line[1])))
        return false;
    size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return false;
    std::int32_t k;
    if (!tryParseInt(line.substr(1, eq - 1), k))
        return false;
    n = k;
    expression = line.substr(eq + 1);
    return true;
}

using Variables = std::array<std::optional<double>, 10>;

// A "$n=expression" line sets variable n ($1 to $9); true when the line was one.
bool defineVariable(std::string_view line, Variables &variables, const MacroReferenceLookup &lookup)
{
    int var;
    std::string_view expression;
    if (!isVariableDefinition(line, var, expression))
        return false;
    if (var >= 1 && var <= 9)
        variables[static_cast<size_t>(var)] = evaluateMacroExpression(expression, lookup);
    return true;
}

bool isPlainReference(std::string_view field, int &k)
{
    field = trimBlanks(field);
    if (field.size() < 2 || field[0] != '$')
        return false;
    for (char c : field.substr(1))
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    std::int32_t v;
    if (!tryParseInt(field.substr(1), v))
        return false;
    k = v;
    return true;
}

// Multiplies the numeric constants of an expression that add to a length by
// `scale`; factors and divisors of a product stay as they are.
std::string scaleConstants(std::string_view text, double scale)
{
    std::string out;
    size_t i = 0;
    auto prevOperator = [&]() -> char {
        for (size_t j = out.size(); j-- > 0;) {
            char c = out[j];
            if (c == ' ' || c == '(')
                continue;
            return c;
        }
        return '\0';
    };
    while (i < text.size()) {
        char c = text[i];
        if (c == '$') {
            out += c;
            ++i;
            while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
                out += text[i++];
            continue;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') {
            size_t start = i;
            while (i < text.size() && (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '.'))
                ++i;
            std::string_view number = text.substr(start, i - start);
            size_t next = i;
            while (next < text.size() && (text[next] == ' ' || text[next] == ')'))
                ++next;
            char before = prevOperator();
            char after = next < text.size() ? text[next] : '\0';
            bool factor =
                before == 'x' || before == 'X' || before == '/' || after == 'x' || after == 'X' || after == '/';
            double v;
            if (!factor && tryParseReal(number, v))
                out += formatReal(v * scale);
            else
                out += number;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

std::string scaleField(std::string_view field, double scale) { return scaleConstants(trimBlanks(field), scale); }

struct Rotation {
    double c = 1, s = 0;
    explicit Rotation(double degrees)
    {
        double r = degrees * std::numbers::pi / 180.0;
        c = std::cos(r);
        s = std::sin(r);
    }
    // Turns a board offset counter-clockwise about the macro origin.
    Point turn(double dx, double dy) const { return {dx * c - dy * s, dx * s + dy * c}; }
};

class FlashWriter {
public:
    FlashWriter(const ItemOutput &out, const MacroFlash &flash) : out_(out), flash_(flash) {}

    void setExposure(double exposure) { colourLayer_ = exposure == 0 || flash_.clear ? 0 : flash_.layer; }

    // A board offset from the macro origin, in the internal frame.
    Point at(Point boardOffset) const { return {flash_.at.x + boardOffset.x, flash_.at.y - boardOffset.y}; }

    void ellipse(Point centre, double diameter, double width, int fill)
    {
        AppendArgs a = base(ItemKind::Ellipse);
        a.x1 = centre.x - diameter / 2;
        a.x2 = centre.x + diameter / 2;
        a.y1 = centre.y - diameter / 2;
        a.y2 = centre.y + diameter / 2;
        a.width = width;
        a.fill = fill;
        append(a);
    }

    void point(ItemKind kind, Point p, double width = 0, int fill = 1)
    {
        AppendArgs a = base(kind);
        a.x1 = p.x;
        a.y1 = p.y;
        a.width = width;
        a.fill = fill;
        append(a);
    }

    // Every primitive stands in the main sequence in its order, so a later
    // one paints over an earlier one and a clear flash clears what is under it.
    void polygon(const std::vector<Point> &boardPoints)
    {
        if (boardPoints.size() < 3)
            return;
        const ItemKind vertex = ItemKind::PolygonVertex, close = ItemKind::PolygonClose;
        for (const Point &p : boardPoints)
            point(vertex, at(p));
        const Point &first = boardPoints.front(), &last = boardPoints.back();
        if (first.x != last.x || first.y != last.y)
            point(vertex, at(first));
        AppendArgs a = base(close);
        append(a);
    }

private:
    AppendArgs base(ItemKind kind) const
    {
        AppendArgs a{kind};
        a.colourLayer = colourLayer_;
        a.layer = flash_.layer;
        a.code = flash_.code;
        a.fill = 1;
        return a;
    }

    void append(AppendArgs a)
    {
        // Only the first item of a flash counts as the flash, so the D-code
        // list counts one flash once, whatever its primitives.
        a.role = first_ ? RoleFlash : RoleAuxiliary;
        first_ = false;
        out_(a);
    }

    const ItemOutput &out_;
    const MacroFlash &flash_;
    int colourLayer_ = 0;
    bool first_ = true;
};

class Fields {
public:
    Fields(std::string_view line, const MacroReferenceLookup &lookup)
        : fields_(macroFields(line)), line_(line), lookup_(lookup)
    {
    }
    size_t size() const { return fields_.size(); }
    // Field i as a number; a missing or empty field is 0.
    double number(size_t i) const
    {
        if (i >= fields_.size())
            return 0;
        return evaluateMacroExpression(fields_[i], lookup_);
    }
    long count(size_t i, long low, long high) const
    {
        double v = number(i);
        if (!(v >= low && v <= high) || v != std::trunc(v))
            throw KorvaneError(msg::format(msg::NotAnInteger, i < fields_.size() ? fields_[i] : std::string()));
        return static_cast<long>(v);
    }
    void require(size_t n) const
    {
        if (fields_.size() < n)
            throw KorvaneError(msg::format(msg::NotAReal, line_));
    }

private:
    std::vector<std::string> fields_;
    std::string line_;
    const MacroReferenceLookup &lookup_;
};

void rectangle(FlashWriter &w, double left, double bottom, double width, double height, const Rotation &rot)
{
    std::vector<Point> corners = {
        rot.turn(left, bottom),
        rot.turn(left + width, bottom),
        rot.turn(left + width, bottom + height),
        rot.turn(left, bottom + height),
    };
    w.polygon(corners);
}

// Points along an arc of radius r from angle a0 to a1 (radians), close
// enough that the outline strays under 0.005 mm from the true arc.
void arcPoints(std::vector<Point> &points, Point centre, double r, double a0, double a1)
{
    int segments = 1;
    if (r > 0.005) {
        const double step = 2 * std::acos(1 - 0.005 / r);
        if (std::isfinite(step) && step > 0)
            segments = static_cast<int>(std::clamp(std::ceil(std::abs(a1 - a0) / step), 1.0, 2000.0));
    }
    for (int k = 0; k <= segments; ++k) {
        const double a = a0 + (a1 - a0) * k / segments;
        points.push_back({centre.x + r * std::cos(a), centre.y + r * std::sin(a)});
    }
}

// Thermal: centre x, y, outer diameter, inner diameter, gap, rotation. The
// ring less the two gaps is four pieces, one per quadrant.
void thermal(FlashWriter &w, const Fields &f)
{
    const Point centre{f.number(1), f.number(2)};
    const double outer = f.number(3) / 2, inner = f.number(4) / 2, halfGap = f.number(5) / 2;
    const Rotation rot(f.number(6));
    if (!(outer > inner) || !(outer > halfGap * std::numbers::sqrt2) || inner < 0 || halfGap < 0)
        return;
    w.setExposure(1);
    for (int q = 0; q < 4; ++q) {
        const double base = q * std::numbers::pi / 2;
        std::vector<Point> local;
        const double a0 = std::asin(halfGap / outer);
        arcPoints(local, {}, outer, base + a0, base + std::numbers::pi / 2 - a0);
        if (inner > halfGap * std::numbers::sqrt2) {
            const double b0 = std::asin(halfGap / inner);
            arcPoints(local, {}, inner, base + std::numbers::pi / 2 - b0, base + b0);
        } else {
            // The gaps meet inside the inner circle: the piece's inner corner.
            const Rotation quarter(q * 90.0);
            local.push_back(quarter.turn(halfGap, halfGap));
        }
        std::vector<Point> board;
        board.reserve(local.size());
        for (const Point &p : local)
            board.push_back(rot.turn(centre.x + p.x, centre.y + p.y));
        w.polygon(board);
    }
}

void flashPrimitive(FlashWriter &w, const Fields &f)
{
    long code = f.count(0, -1000000, 1000000);
    switch (code) {
    case 1: {  // circle: exposure, diameter, x, y[, rotation]
        w.setExposure(f.number(1));
        Rotation rot(f.size() > 5 ? f.number(5) : 0);
        w.ellipse(w.at(rot.turn(f.number(3), f.number(4))), std::abs(f.number(2)), 1.0, 1);
        break;
    }
    case 2:
    case 20: {  // vector line: exposure, width, start x, y, end x, y, rotation
        w.setExposure(f.number(1));
        double width = f.number(2);
        double sx = f.number(3), sy = f.number(4), ex = f.number(5), ey = f.number(6);
        Rotation rot(f.number(7));
        double dx = ex - sx, dy = ey - sy;
        double length = std::hypot(dx, dy);
        if (length == 0 || width == 0)
            break;
        // The line's rectangle: square ends at the start and end points.
        double nx = -dy / length * width / 2, ny = dx / length * width / 2;
        std::vector<Point> corners = {rot.turn(sx + nx, sy + ny), rot.turn(ex + nx, ey + ny),
                                      rot.turn(ex - nx, ey - ny), rot.turn(sx - nx, sy - ny)};
        w.polygon(corners);
        break;
    }
    case 21: {  // centre line: exposure, width, height, centre x, y, rotation
        w.setExposure(f.number(1));
        double width = f.number(2), height = f.number(3);
        rectangle(w, f.number(4) - width / 2, f.number(5) - height / 2, width, height, Rotation(f.number(6)));
        break;
    }
    case 22: {  // lower-left line: exposure, width, height, lower-left x, y, rotation
        w.setExposure(f.number(1));
        rectangle(w, f.number(4), f.number(5), f.number(2), f.number(3), Rotation(f.number(6)));
        break;
    }
    case 4: {  // outline: exposure, n, n + 1 points, rotation
        w.setExposure(f.number(1));
        long n = f.count(2, 2, MaxOutlinePoints);
        size_t needed = 3 + 2 * static_cast<size_t>(n + 1);
        f.require(needed);
        Rotation rot(f.size() > needed ? f.number(needed) : 0);
        std::vector<Point> points;
        points.reserve(static_cast<size_t>(n + 1));
        for (long i = 0; i <= n; ++i)
            points.push_back(
                rot.turn(f.number(3 + 2 * static_cast<size_t>(i)), f.number(4 + 2 * static_cast<size_t>(i))));
        w.polygon(points);
        break;
    }
    case 5: {  // polygon: exposure, n, centre x, y, diameter, rotation
        w.setExposure(f.number(1));
        long n = f.count(2, 3, MaxOutlinePoints);
        double degrees = f.number(6);
        Rotation rot(degrees);
        Point centre = rot.turn(f.number(3), f.number(4));
        double r = f.number(5) / 2;
        std::vector<Point> points;
        points.reserve(static_cast<size_t>(n));
        for (long i = 0; i < n; ++i) {
            double a = (degrees + 360.0 * static_cast<double>(i) / static_cast<double>(n)) * std::numbers::pi / 180.0;
            points.push_back({centre.x + r * std::cos(a), centre.y + r * std::sin(a)});
        }
        w.polygon(points);
        break;
    }
    case 6: {  // moire: centre x, y, outer diameter, ring thickness, gap, rings, cross thickness, length, rotation
        w.setExposure(1);
        Point centre{f.number(1), f.number(2)};
        double d = f.number(3), t = f.number(4), gap = f.number(5);
        long rings = f.count(6, 0, 10000);
        double crossWidth = f.number(7), length = f.number(8), rotation = f.number(9);
        for (long i = 0; i < rings && d - t > 0; ++i) {
            w.ellipse(w.at(centre), d - t, t, 2);
            d -= 2 * (t + gap);
        }
        Point c = w.at(centre);
        if (rotation > 0) {
            // Each arm starts at the centre: the pen may stand anywhere.
            for (int k = 0; k < 4; ++k) {
                double a = (rotation + 90.0 * k) * std::numbers::pi / 180.0;
                w.point(ItemKind::MoveTo, c);
                w.point(ItemKind::LineTo,
                        w.at({centre.x + length / 2 * std::cos(a), centre.y + length / 2 * std::sin(a)}), crossWidth,
                        2);
            }
        } else {
            w.point(ItemKind::MoveTo, {c.x - length / 2, c.y});
            w.point(ItemKind::LineTo, {c.x + length / 2, c.y}, crossWidth, 2);
            w.point(ItemKind::MoveTo, {c.x, c.y - length / 2});
            w.point(ItemKind::LineTo, {c.x, c.y + length / 2}, crossWidth, 2);
        }
        break;
    }
    case 7: thermal(w, f); break;
    default: break;  // unknown primitives draw nothing
    }
}

}  // namespace

std::vector<std::string> macroFields(std::string_view statement)
{
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        size_t comma = statement.find(',', start);
        out.push_back(
            trimmed(statement.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start)));
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return out;
}

std::string convertStatementToMillimetres(std::string_view statement)
{
    return scaleStatementLengths(statement, InchToMm);
}

std::string scaleStatementLengths(std::string_view statement, double scale)
{
    int n;
    std::string_view expression;
    if (isVariableDefinition(statement, n, expression)) {
        std::string_view head = trimBlanks(statement);
        return std::string(head.substr(0, head.find('=') + 1)) + scaleConstants(expression, scale);
    }
    std::vector<std::string> f = macroFields(statement);
    double codeValue;
    if (f.empty() || !tryParseReal(f[0], codeValue))
        return std::string(statement);
    int code = truncToInt(codeValue);
    auto scaleRange = [&](size_t from, size_t to) {
        for (size_t i = from; i <= to && i < f.size(); ++i)
            f[i] = scaleField(f[i], scale);
    };
    switch (code) {
    case 1: scaleRange(2, 4); break;
    case 2:
    case 20:
        scaleRange(2, 6);
        if (f.size() < 8)
            f.resize(8, "0");
        break;
    case 21:
        scaleRange(2, 5);
        if (f.size() < 7)
            f.resize(7, "0");
        break;
    case 22: scaleRange(2, 5); break;
    case 4: {
        double n;
        if (f.size() > 2 && tryParseReal(f[2], n) && n >= 0 && n <= MaxOutlinePoints)
            scaleRange(3, 3 + 2 * static_cast<size_t>(n + 1) - 1);
        break;
    }
    case 5: scaleRange(3, 5); break;
    case 6:
        scaleRange(1, 5);
        scaleRange(7, 8);
        break;
    case 7: scaleRange(1, 5); break;
    default: break;
    }
    std::string out;
    for (size_t i = 0; i < f.size(); ++i) {
        if (i)
            out += ',';
        out += f[i];
    }
    return out;
}

InstantiationResult instantiateMacro(MacroLibrary &library, int macroLine, long dcode,
                                     const std::vector<double> &parameters, const std::vector<std::string> *inchBody)
{
    Variables variables{};
    MacroReferenceLookup lookup = [&](int k) -> std::optional<double> {
        if (k >= 1 && k <= 9 && variables[static_cast<size_t>(k)])
            return variables[static_cast<size_t>(k)];
        if (k >= 1 && static_cast<size_t>(k) <= parameters.size())
            return parameters[static_cast<size_t>(k - 1)];
        return 0.0;  // a parameter the definition does not give is 0
    };

    // Read the body before appending: the copy may overwrite lines past lineCount.
    std::vector<std::string> body;
    if (inchBody) {
        body = *inchBody;
    } else {
        for (int n = macroLine + 1; n <= static_cast<int>(library.lines.size()); ++n) {
            const std::string &line = library.line(n);
            if (line == "END")
                break;
            body.push_back(line);
        }
    }

    InstantiationResult result;
    result.nameLine = library.append(library.line(macroLine) + "-D" + std::to_string(dcode));
    for (const std::string &line : body) {
        if (defineVariable(line, variables, lookup))
            continue;
        std::vector<std::string> fields = macroFields(line);
        std::string copy;
        for (size_t i = 0; i < fields.size(); ++i) {
            std::string field = fields[i];
            int k;
            if (isPlainReference(field, k))
                field = formatReal(*lookup(k));
            else if (hasMacroReference(field))
                field = formatReal(evaluateMacroExpression(field, lookup));
            if (i)
                copy += ',';
            copy += field;
        }
        // Resolved in inch, the statement's numbers are plain: its lengths
        // convert like those of a macro flashed without parameters.
        if (inchBody && !copy.empty())
            copy = convertStatementToMillimetres(copy);
        if (!copy.empty())
            library.append(copy);
    }
    library.append("END");
    return result;
}

void flashMacro(Document &document, const MacroLibrary &library, const MacroFlash &flash)
{
    flashMacro([&document](const AppendArgs &a) { document.appendItem(a); }, library, flash);
}

void flashMacro(const ItemOutput &out, const MacroLibrary &library, const MacroFlash &flash)
{
    FlashWriter writer(out, flash);
    // A macro flashed without parameters may still define variables.
    Variables variables{};
    MacroReferenceLookup lookup = [&](int k) -> std::optional<double> {
        if (k >= 1 && k <= 9)
            return variables[static_cast<size_t>(k)];
        return std::nullopt;
    };
    int last = static_cast<int>(library.lines.size());
    for (int n = flash.nameLine + 1; n >= 1 && n <= last; ++n) {
        const std::string &line = library.line(n);
        if (line == "END")
            break;
        if (trimBlanks(line).empty())
            continue;
        if (defineVariable(line, variables, lookup))
            continue;
        flashPrimitive(writer, Fields(line, lookup));
    }
}

const std::string &macroName(const MacroLibrary &library, int nameLine) { return library.line(nameLine); }

}  // namespace korvane
