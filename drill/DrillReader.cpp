#include "drill/DrillReader.h"
#include "core/ByteSet.h"

#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/MappedFile.h"
#include "core/Messages.h"
#include "core/Numbers.h"
#include "core/TextFile.h"
#include "drill/DrillDetective.h"
#include "drill/DrillHeader.h"
#include "drill/ToolMarks.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane {
namespace {

constexpr double InchToMm = 25.4;
constexpr const char *ReadingSuffix = "を読込中．．．";
constexpr std::size_t HeaderBytes = std::size_t{64} * 1024;
// Tool numbers above this are not tools but damaged words.
constexpr int MaxToolNumber = 99999;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isNumberChar(char c) { return isDigit(c) || c == '-' || c == '.'; }

int digitCount(const std::string &text, int low, int high, const char *what)
{
    std::int32_t v = 0;
    if (!tryParseInt(text, v))
        throw KorvaneError(msg::format(msg::NotAnInteger, text));
    if (v < low || v > high)
        throw KorvaneError(msg::outOfRange(what, text, std::to_string(low) + "～" + std::to_string(high)));
    return v;
}

struct NumberValue {
    double raw = 0;  // as written: a decimal, or the integer before the divisor
    bool decimal = false;
};

// A collected coordinate text as a number. An empty text is "0". Trailing
// zero suppression pads an integer text to the total digit count, one more
// when it holds a "-". Texts that are not numbers throw the platform's
// conversion message.
NumberValue numberValue(DrillNumberText &t, const DrillNumberRules &rules)
{
    if (t.empty())
        return {0, false};
    if (t.decimal) {
        double v = 0;
        if (!tryParseReal(t.text, v))
            throw KorvaneError(msg::format(msg::NotAReal, t.text));
        return {v, true};
    }
    std::size_t pad = 0;
    if (rules.trailingZeros) {
        std::size_t target =
            static_cast<std::size_t>(rules.totalDigits) + (t.text.find('-') != std::string::npos ? 1 : 0);
        if (t.text.size() < target)
            pad = target - t.text.size();
    }
    // The common case: an optional "-" and digits, no more than 18 in all.
    if (t.plain && t.digits > 0 && t.digits + pad <= 18) {
        std::int64_t v = t.value;
        for (std::size_t i = 0; i < pad; ++i)
            v *= 10;
        return {static_cast<double>(t.negative ? -v : v), false};
    }
    t.text.append(pad, '0');
    std::int64_t v = 0;
    if (!tryParseInt64(t.text, v))
        throw KorvaneError(msg::format(msg::NotAnInteger, t.text));
    return {static_cast<double>(v), false};
}

double toMm(double raw, bool decimal, const DrillNumberRules &rules)
{
    double v = decimal ? raw : raw / rules.divisor;
    return rules.inch ? v * InchToMm : v;
}

// One item of a mark relative to the hit, in stored orientation (y down).
struct MarkItem {
    ItemKind kind;
    double dx1 = 0, dx2 = 0, dy1 = 0, dy2 = 0;
};

struct MarkTemplate {
    int fill = 3;
    std::vector<MarkItem> items;
};

std::array<MarkTemplate, ToolMarkCount> buildTemplates()
{
    std::array<MarkTemplate, ToolMarkCount> out;
    const double h = ToolMarkHalfSize;
    for (int tool = 1; tool <= ToolMarkCount; ++tool) {
        const ToolMark &mark = toolMark(tool);
        MarkTemplate &t = out[static_cast<std::size_t>(tool - 1)];
        t.fill = mark.fill;
        for (const MarkPart &part : mark.parts) {
            if (part.kind == MarkPart::Kind::Path) {
                bool first = true;
                for (const MarkPoint &p : part.points) {
                    // +Y up in the table, stored y down.
                    t.items.push_back({first ? ItemKind::MoveTo : ItemKind::LineTo, p.x * h, 0, -p.y * h, 0});
                    first = false;
                }
            } else {
                const double r = part.radius * h;
                ItemKind kind = part.kind == MarkPart::Kind::Circle ? ItemKind::Ellipse : ItemKind::Rectangle;
                t.items.push_back({kind, -r, r, -r, r});
            }
        }
    }
    return out;
}

const std::array<MarkTemplate, ToolMarkCount> &markTemplates()
{
    static const std::array<MarkTemplate, ToolMarkCount> templates = buildTemplates();
    return templates;
}

// The marks of one file, appended to the document on its slot.
class MarkAppender : public DrillHitSink {
public:
    explicit MarkAppender(Document &doc) : doc_(doc) {}
    void setLayer(int layer) { layer_ = layer; }
    void hit(int tool, double x, double storedY, double diameter) override
    {
        doc_.drillLoaded = 1;
        appendToolMark(doc_, tool, layer_, x, storedY, diameter);
    }
    void path(const DrillPath &path) override
    {
        doc_.drillLoaded = 1;
        appendDrillPath(doc_, path, layer_);
    }
    void holeWithoutTool(std::size_t line) override { lineWithoutTool = line; }
    std::size_t lineWithoutTool = 0;  // of the present file, 0: none

private:
    Document &doc_;
    int layer_ = 1;
};

}  // namespace

DrillNumberRules drillNumberRules(const DrillInFormat &format)
{
    DrillNumberRules r;
    const int decimals = digitCount(format.decimalDigits, 1, 6, "小数部の桁数");
    r.divisor = std::pow(10.0, decimals);
    r.totalDigits = digitCount(format.integerDigits, 0, 20, "整数部の桁数") + decimals;
    r.trailingZeros = format.zeroSuppression == ZeroSuppression::Trailing;
    r.inch = format.unit == LengthUnit::Inch;
    r.incremental = format.coordinateMode == CoordinateMode::Incremental;
    r.x0y0IsHit = format.x0y0IsHit;
    return r;
}

// ------------------------------------------------------------ extents pass

DrillExtentsScanner::DrillExtentsScanner(const DrillNumberRules &rules) : rules_(rules) {}

void DrillExtentsScanner::startFile()
{
    collect_ = Collect::None;
    comment_ = Comment::None;
    text_.clear();
    posX_ = posY_ = 0;
    ext_ = {};
}

void DrillExtentsScanner::feed(std::string_view chunk)
{
    // Only X, Y and G start what the scan looks at: the bytes between are
    // passed over in a tight loop, and a number's characters taken as a run.
    static constexpr ByteSet Starts("XYG;(");
    const char *p = chunk.data(), *const end = p + chunk.size();
    while (p != end) {
        if (comment_ != Comment::None) {
            // Comments are passed over: a date or a name in them is no word.
            while (p != end && *p != '\n' && *p != '\r' && !(*p == ')' && comment_ == Comment::ToParen))
                ++p;
            if (p == end)
                return;
            comment_ = Comment::None;
            ++p;
            continue;
        }
        if (collect_ == Collect::None) {
            while (p != end && !Starts.contains(*p))
                ++p;
            if (p == end)
                return;
        } else if (collect_ != Collect::G) {
            const char *run = p;
            while (p != end && isNumberChar(*p))
                ++p;
            if (p != run)
                text_.addRun(std::string_view(run, std::size_t(p - run)));
            if (p == end)
                return;
        }
        const char c = *p++;
        switch (collect_) {
        case Collect::X:
        case Collect::Y:
            if (c == '+')
                continue;
            endWord(c);
            startComment(c);
            continue;
        case Collect::G:
            if (isDigit(c)) {
                if (gDigits_ < 2 && c != "80"[gDigits_])
                    gDigitsAre80_ = false;
                ++gDigits_;
                continue;
            }
            endWord(c);
            startComment(c);
            continue;
        case Collect::None: break;
        }
        if (c == ';' || c == '(') {
            startComment(c);
        } else if (c == 'X' || c == 'Y') {
            collect_ = c == 'X' ? Collect::X : Collect::Y;
            text_.clear();
        } else {
            collect_ = Collect::G;
            gDigits_ = 0;
            gDigitsAre80_ = true;
        }
    }
}

void DrillExtentsScanner::startComment(char c)
{
    if (c == ';' || c == '(')
        comment_ = c == ';' ? Comment::ToLineEnd : Comment::ToParen;
}

// Ends the word being collected. The terminator is taken up only when it
// starts the other coordinate (after X a Y, after Y an X, after G either);
// any other terminator is passed over.
void DrillExtentsScanner::endWord(char terminator)
{
    const Collect was = collect_;
    collect_ = Collect::None;
    if (was == Collect::X || was == Collect::Y) {
        takeValue(was == Collect::X);
        if (was == Collect::X && terminator == 'Y') {
            collect_ = Collect::Y;
            text_.clear();
        } else if (was == Collect::Y && terminator == 'X') {
            collect_ = Collect::X;
            text_.clear();
        }
    } else if (was == Collect::G) {
        g80_ = gDigits_ == 2 && gDigitsAre80_;
        if (terminator == 'X' || terminator == 'Y') {
            collect_ = terminator == 'X' ? Collect::X : Collect::Y;
            text_.clear();
        }
    }
}

void DrillExtentsScanner::finish()
{
    if (collect_ != Collect::None)
        endWord('\0');
}

void DrillExtentsScanner::takeValue(bool isX)
{
    if (text_.empty())
        return;
    const NumberValue v = numberValue(text_, rules_);
    if (v.decimal)
        ext_.decimalSeen = true;
    double &lo = isX ? ext_.minX : ext_.minY;
    double &hi = isX ? ext_.maxX : ext_.maxY;
    double &pos = isX ? posX_ : posY_;
    auto widen = [&](double value) {
        lo = std::min(lo, value);
        hi = std::max(hi, value);
    };
    if (lo == 0 && hi == 0) {
        // The first value of the axis (a leading 0 is forgotten).
        lo = hi = pos = v.raw;
    } else if (!rules_.incremental) {
        widen(v.raw);
    } else if (g80_) {
        pos = 0;
    } else {
        pos += v.raw;
        widen(pos);
    }
}

// --------------------------------------------------------------- marks pass

DrillFileReader::DrillFileReader(const DrillNumberRules &rules, DrillHitSink &sink) : rules_(rules), sink_(sink) {}

void DrillFileReader::startFile()
{
    collect_ = Collect::None;
    pending_ = Pending::None;
    comment_ = Comment::None;
    text_.clear();
    cText_.clear();
    accX_ = accY_ = 0;
    zeroX_ = zeroY_ = false;
    blockHasCoordinates_ = false;
    slotInBlock_ = false;
    routeMode_ = false;
    retracted_ = false;
    motion_ = Motion::Rapid;
    radius_.reset();
    offsetI_.reset();
    offsetJ_.reset();
    path_.steps.clear();
    diameters_.assign(diameters_.size(), 0.0);
    hits_ = paths_ = 0;
    line_ = 1;
    toolZeroReported_ = false;
}

double &DrillFileReader::diameterSlot(int tool)
{
    // Tool numbers are kept below a bound the tool words cannot pass.
    const auto at = static_cast<std::size_t>(std::max(tool, 0));
    if (at >= diameters_.size())
        diameters_.resize(std::max<std::size_t>(at + 1, 64), 0.0);
    return diameters_[at];
}

void DrillFileReader::feed(std::string_view chunk)
{
    for (char c : chunk) {
        if (comment_ != Comment::None) {
            if (c == ')' && comment_ == Comment::ToParen) {
                comment_ = Comment::None;
                continue;
            }
            if (c != '\n' && c != '\r')
                continue;
            comment_ = Comment::None;  // the line end still ends the block
        }
        switch (collect_) {
        case Collect::None: break;
        case Collect::Tool:
            if (isDigit(c)) {
                // Tool numbers stay below 100000: a longer one is not a tool.
                toolValue_ = std::min<std::int64_t>(toolValue_ * 10 + (c - '0'), MaxToolNumber + 1);
                toolDigitSeen_ = true;
                continue;
            }
            endWord();
            break;
        case Collect::Diameter:
            if (isDigit(c) || c == '.') {
                cText_ += c;
                continue;
            }
            endWord();
            break;
        case Collect::G:
        case Collect::M:
            if (isDigit(c)) {
                if (gDigits_ < 4)
                    gValue_ = gValue_ * 10 + (c - '0');
                ++gDigits_;
                continue;
            }
            endWord();
            break;
        case Collect::X:
        case Collect::Y:
            if (isNumberChar(c)) {
                text_.add(c);
                continue;
            }
            if (c == '+')
                continue;
            endWord();
            break;
        case Collect::A:
        case Collect::I:
        case Collect::J:
            if (isNumberChar(c)) {
                arcText_.add(c);
                continue;
            }
            if (c == '+')
                continue;
            endWord();
            break;
        }
        switch (c) {
        case 'T':
            collect_ = Collect::Tool;
            pending_ = Pending::T;
            toolValue_ = 0;
            toolDigitSeen_ = false;
            break;
        case 'C':
            collect_ = Collect::Diameter;
            pending_ = Pending::C;
            cText_.clear();
            break;
        case 'G':
        case 'M':
            collect_ = c == 'G' ? Collect::G : Collect::M;
            if (c == 'G')
                pending_ = Pending::G;
            gDigits_ = 0;
            gValue_ = 0;
            break;
        case 'X':
        case 'Y':
            if (!blockHasCoordinates_) {
                blockStartX_ = x_;
                blockStartY_ = storedY_;
            }
            collect_ = c == 'X' ? Collect::X : Collect::Y;
            pending_ = c == 'X' ? Pending::X : Pending::Y;
            text_.clear();
            break;
        case 'A':
        case 'I':
        case 'J':
            collect_ = c == 'A' ? Collect::A : c == 'I' ? Collect::I : Collect::J;
            arcText_.clear();
            break;
        case ';': comment_ = Comment::ToLineEnd; break;
        case '(': comment_ = Comment::ToParen; break;
        case '\n':
            endBlock();
            ++line_;
            break;
        case '\r':
        case '*': endBlock(); break;
        default: break;  // lower case, "%", ",", blanks...
        }
    }
}

void DrillFileReader::finish()
{
    if (collect_ != Collect::None)
        endWord();
    flushPath();
}

void DrillFileReader::endWord()
{
    const Collect was = collect_;
    collect_ = Collect::None;
    switch (was) {
    case Collect::Tool:
        if (toolDigitSeen_) {  // "T" alone keeps the tool
            const int tool = static_cast<int>(toolValue_);
            if (tool > MaxToolNumber)
                throw KorvaneError(msg::format(msg::NotAnInteger, "T" + std::to_string(toolValue_)));
            flushPath();
            tool_ = tool;
        }
        break;
    case Collect::G: endG(gDigits_ > 0 ? gValue_ : -1); break;
    case Collect::M:
        if (gDigits_ > 0)
            endM(gValue_);
        break;
    case Collect::X:
    case Collect::Y: endCoordinate(was == Collect::X); break;
    case Collect::A:
    case Collect::I:
    case Collect::J:
        // Read only when an arc needs them: "INCH" and "ICI" hold an I too.
        (was == Collect::A ? radius_ : was == Collect::I ? offsetI_ : offsetJ_) = arcText_;
        break;
    case Collect::Diameter:
    case Collect::None: break;
    }
}

void DrillFileReader::endG(int code)
{
    g80_ = code == 80 && gDigits_ == 2;
    switch (code) {
    case 85:
        slotInBlock_ = true;
        slotStartX_ = x_;
        slotStartY_ = storedY_;
        break;
    case 0:
        flushPath();
        routeMode_ = true;
        motion_ = Motion::Rapid;
        break;
    case 1:
    case 2:
    case 3:
        if (routeMode_) {
            motion_ = code == 1 ? Motion::Line : code == 2 ? Motion::ArcCw : Motion::ArcCcw;
        }
        break;
    case 5:
        flushPath();
        routeMode_ = false;
        break;
    default: break;
    }
}

void DrillFileReader::endM(int code)
{
    switch (code) {
    case 15: retracted_ = false; break;
    case 16:
    case 17:
        flushPath();
        retracted_ = true;
        break;
    case 30:
    case 0: flushPath(); break;
    default: break;
    }
}

void DrillFileReader::endCoordinate(bool isX)
{
    blockHasCoordinates_ = true;
    const NumberValue v = numberValue(text_, rules_);
    double &current = isX ? x_ : storedY_;
    auto place = [&](double raw) {
        const double mm = toMm(raw, v.decimal, rules_);
        current = isX ? mm : 0.0 - mm;  // 0.0 - 0.0 is +0, never -0
    };
    if (!rules_.incremental) {
        place(v.raw);
    } else {
        double &acc = isX ? accX_ : accY_;
        if (g80_) {
            acc = 0;  // the running position restarts; the point stays
        } else {
            acc += v.raw;
            place(acc);
        }
    }
    if (!rules_.x0y0IsHit) {
        if (!rules_.incremental && v.raw == 0)
            (isX ? zeroX_ : zeroY_) = true;
        else
            zeroX_ = zeroY_ = false;
    }
}

void DrillFileReader::flushPath()
{
    if (path_.steps.empty())
        return;
    if (path_.tool >= 1) {
        ++paths_;
        sink_.path(path_);
    }
    path_.steps.clear();
}

// The centre of the arc from the block's start to the current point: I and J
// from the start, or the radius A on the side the turn asks for (the shorter
// arc). False when neither is given.
bool DrillFileReader::arcCentre(double &cx, double &cy)
{
    const double sx = blockStartX_, sy = -blockStartY_, ex = x_, ey = -storedY_;  // board Y up
    auto mm = [&](std::optional<DrillNumberText> &text) {
        if (!text)
            return 0.0;
        const NumberValue v = numberValue(*text, rules_);
        return toMm(v.raw, v.decimal, rules_);
    };
    if (offsetI_ || offsetJ_) {
        cx = sx + mm(offsetI_);
        cy = sy + mm(offsetJ_);
    } else if (radius_) {
        const double vx = ex - sx, vy = ey - sy, chord = std::hypot(vx, vy);
        if (chord == 0)
            return false;
        const double r = std::max(std::abs(mm(radius_)), chord / 2);
        const double rise = std::sqrt(std::max(0.0, r * r - chord * chord / 4));
        // Counter-clockwise turns about a centre on the left of the chord.
        const double side = motion_ == Motion::ArcCcw ? 1.0 : -1.0;
        cx = (sx + ex) / 2 - side * rise * vy / chord;
        cy = (sy + ey) / 2 + side * rise * vx / chord;
    } else {
        return false;
    }
    cy = 0.0 - cy;
    return true;
}

void DrillFileReader::routeBlock()
{
    if (motion_ == Motion::Rapid || retracted_) {
        flushPath();
        return;
    }
    if (path_.steps.empty()) {
        path_.tool = tool_;
        path_.diameter = tool_ >= 1 ? diameterSlot(tool_) : 0;
        path_.routed = true;
        path_.startX = blockStartX_;
        path_.startStoredY = blockStartY_;
        if (tool_ < 1 && !toolZeroReported_) {
            toolZeroReported_ = true;
            sink_.holeWithoutTool(line_);
        }
    }
    DrillPathStep step;
    step.x = x_;
    step.storedY = storedY_;
    if (motion_ != Motion::Line && arcCentre(step.centreX, step.centreStoredY))
        step.kind = motion_ == Motion::ArcCw ? DrillPathStep::Kind::ArcCw : DrillPathStep::Kind::ArcCcw;
    path_.steps.push_back(step);
}

double DrillFileReader::diameterOf(const std::string &text) const
{
    double v = 0;
    if (!tryParseReal(text, v))
        throw KorvaneError(msg::format(msg::NotAReal, text));
    return v;
}

void DrillFileReader::endBlock()
{
    const bool hasTool = tool_ >= 1;
    const bool coordinates = blockHasCoordinates_;
    blockHasCoordinates_ = false;
    const bool slot = slotInBlock_;
    slotInBlock_ = false;
    if (coordinates && (slot || routeMode_)) {
        if (slot) {
            flushPath();
            path_.tool = tool_;
            path_.diameter = hasTool ? diameterSlot(tool_) : 0;
            path_.routed = false;
            path_.startX = slotStartX_;
            path_.startStoredY = slotStartY_;
            path_.steps.push_back({DrillPathStep::Kind::Line, x_, storedY_, 0, 0});
            if (!hasTool && !toolZeroReported_) {
                toolZeroReported_ = true;
                sink_.holeWithoutTool(line_);
            }
            flushPath();
        } else {
            routeBlock();
        }
        radius_.reset();
        offsetI_.reset();
        offsetJ_.reset();
        pending_ = Pending::None;
        g80_ = false;
        return;
    }
    radius_.reset();
    offsetI_.reset();
    offsetJ_.reset();
    switch (pending_) {
    case Pending::C:
        if (!cText_.empty()) {
            // A C word gives the current tool its diameter. Before any T it
            // waits for the tool of the next hit.
            if (hasTool) {
                diameterSlot(tool_) = diameterOf(cText_);
                sink_.diameterText(tool_, cText_);
                cText_.clear();
            }
            pending_ = Pending::None;
            return;
        }
        if (!coordinates) {
            // "C" alone, as in INCH,LZ or METRIC: a header line, never a hit.
            pending_ = Pending::None;
            return;
        }
        break;
    case Pending::X:
    case Pending::Y: break;
    case Pending::None:
    case Pending::T:
    case Pending::G: return;
    }
    bool blocked = g80_;
    if (!rules_.x0y0IsHit)
        blocked = blocked || (rules_.incremental ? accX_ == 0 && accY_ == 0 : zeroX_ && zeroY_);
    if (!blocked && hasTool) {
        double &diameter = diameterSlot(tool_);
        if (!cText_.empty()) {
            diameter = diameterOf(cText_);
            sink_.diameterText(tool_, cText_);
            cText_.clear();
        }
        ++hits_;
        sink_.hit(tool_, x_, storedY_, diameter);
    } else if (!blocked && !toolZeroReported_) {
        toolZeroReported_ = true;
        sink_.holeWithoutTool(line_);
    }
    pending_ = Pending::None;
    g80_ = false;
}

// -------------------------------------------------------------------- marks

void appendToolMark(Document &document, int tool, int layer, double x, double storedY, double diameter, bool counted,
                    int colourLayer)
{
    if (tool < 1)
        return;
    const MarkTemplate &mark = markTemplates()[static_cast<std::size_t>(markOfTool(tool) - 1)];
    AppendArgs a{ItemKind::MoveTo};
    a.layer = layer;
    a.code = tool;
    a.toolSize = diameter;
    bool first = true;
    for (const MarkItem &item : mark.items) {
        a.kind = item.kind;
        a.role = first && counted ? RoleDrillHit : RoleAuxiliary;
        a.colourLayer = colourLayer < 0 ? layer : colourLayer;
        a.fill = mark.fill;
        // A mark that starts with a move keeps the colour and fill of the
        // item before it, which a move does not use.
        const ItemSequence &main = document.displayList.main();
        if (first && item.kind == ItemKind::MoveTo && !main.empty()) {
            const DisplayItem &before = main[main.size() - 1];
            a.colourLayer = before.colourLayer;
            a.fill = before.fill;
        }
        a.x1 = x + item.dx1;
        a.x2 = x + item.dx2;
        a.y1 = storedY + item.dy1;
        a.y2 = storedY + item.dy2;
        document.appendItem(a);
        first = false;
    }
}

std::vector<Point> drillPathPoints(const DrillPath &path)
{
    std::vector<Point> points{{path.startX, path.startStoredY}};
    for (const DrillPathStep &step : path.steps) {
        const Point from = points.back();
        if (step.kind != DrillPathStep::Kind::Line) {
            // Angles in the board frame (y up): stored y is negated.
            const double cx = step.centreX, cy = -step.centreStoredY;
            const double r = std::hypot(from.x - cx, -from.y - cy);
            const double a0 = std::atan2(-from.y - cy, from.x - cx);
            double sweep = std::atan2(-step.storedY - cy, step.x - cx) - a0;
            const bool ccw = step.kind == DrillPathStep::Kind::ArcCcw;
            const double turn = 2 * std::acos(-1.0);
            if (ccw && sweep <= 0)
                sweep += turn;
            if (!ccw && sweep >= 0)
                sweep -= turn;
            const int pieces = std::clamp(static_cast<int>(std::ceil(std::abs(sweep) / (turn / 72))), 1, 720);
            for (int k = 1; k < pieces; ++k) {
                const double a = a0 + sweep * k / pieces;
                points.push_back({cx + r * std::cos(a), 0.0 - (cy + r * std::sin(a))});
            }
        }
        points.push_back({step.x, step.storedY});
    }
    return points;
}

void appendDrillPath(Document &document, const DrillPath &path, int layer)
{
    if (path.tool < 1 || path.steps.empty())
        return;
    AppendArgs a{ItemKind::MoveTo};
    a.layer = layer;
    a.colourLayer = layer;
    a.code = path.tool;
    a.toolSize = path.diameter;
    a.fill = 3;
    a.x1 = path.startX;
    a.y1 = path.startStoredY;
    document.appendItem(a);
    a.width = path.diameter;
    Point from{path.startX, path.startStoredY};
    bool first = true;
    for (const DrillPathStep &step : path.steps) {
        const Point to{step.x, step.y()};
        a.role = first ? RoleDrillSlot : RoleAuxiliary;
        first = false;
        if (step.kind == DrillPathStep::Kind::Line) {
            a.kind = ItemKind::LineTo;
            a.x1 = to.x;
            a.y1 = to.y;
            a.x2 = a.y2 = 0;
            a.arcStart = a.arcEnd = {};
            document.appendItem(a);
        } else {
            const double r = std::hypot(from.x - step.centreX, from.y - step.centreStoredY);
            a.kind = step.kind == DrillPathStep::Kind::ArcCw ? ItemKind::ArcCw : ItemKind::ArcCcw;
            a.x1 = step.centreX - r;
            a.x2 = step.centreX + r;
            a.y1 = step.centreStoredY - r;
            a.y2 = step.centreStoredY + r;
            a.arcStart = from;
            a.arcEnd = to;
            document.appendItem(a);
            // An arc leaves the pen where it was: the next stroke starts at its end.
            AppendArgs move{ItemKind::MoveTo};
            move.layer = move.colourLayer = layer;
            move.fill = 3;
            move.x1 = to.x;
            move.y1 = to.y;
            document.appendItem(move);
        }
        from = to;
    }
    // On a stroke at least as wide as a mark the mark is cut out of it, so
    // that it shows; a narrower stroke leaves the mark in the layer colour,
    // standing out beyond it.
    const int markColour = path.diameter >= 2 * ToolMarkHalfSize ? 0 : layer;
    appendToolMark(document, path.tool, layer, path.startX, path.startStoredY, path.diameter, false, markColour);
    appendToolMark(document, path.tool, layer, from.x, from.y, path.diameter, false, markColour);
}

// --------------------------------------------------------------------- load

std::string holesWithoutToolText(const std::string &path, std::size_t line)
{
    return fileNameOf(path) + " の " + std::to_string(line) +
           " 行目: ツールが選択される前の穴があります。ツールの無い穴は描画しません。";
}

std::vector<DrillLoadFile> pendingDrillFiles(const LayerTable &layers)
{
    std::vector<DrillLoadFile> files;
    for (int n = 1; n <= LayerCount; ++n) {
        const LayerSlot &slot = layers.slot(n);
        if (slot.fileKind == "nc" && !slot.pendingPath.empty() && slot.pendingPath != AlreadyLoadedMarker)
            files.push_back({n, slot.pendingPath});
    }
    return files;
}

DrillLoadOutcome loadDrillFiles(DrillLoadContext &ctx, std::vector<DrillLoadFile> files)
{
    DrillLoadOutcome outcome;
    std::stable_sort(files.begin(), files.end(), [](const auto &a, const auto &b) { return a.layer < b.layer; });
    if (files.empty()) {
        outcome.end = DrillLoadOutcome::End::NothingToRead;
        return outcome;
    }
    BusyGuard busy(ctx.status);
    Document &doc = ctx.document;
    const DrillInFormat set = ctx.format;
    DrillNumberRules rules;
    try {
        rules = drillNumberRules(set);
    } catch (const KorvaneError &e) {
        ctx.prompter.error(e.text());
        outcome.end = DrillLoadOutcome::End::FormatRefused;
        return outcome;
    }
    doc.startLoad();
    auto failed = [&](const DrillLoadFile &f, const KorvaneError &e) {
        // The file is named on the line before the platform's text.
        ctx.prompter.error(fileNameOf(f.path) + "\n" + e.text());
        outcome.layersFailed.push_back(f.layer);
    };

    // Each file is read by what its header declares, the rest as set.
    struct ReadableFile {
        DrillLoadFile file;
        DrillNumberRules rules;
        // Read once for the header, the detective, the extents and the marks.
        std::shared_ptr<const MappedFile> input;
    };
    // The pads the detective ranks formats by: the flashes of a Gerber
    // drawing the load keeps.
    std::optional<PadMap> pads;
    if (ctx.detect && doc.gerberLoaded == 1 && doc.keepExisting == 1) {
        pads.emplace(doc.displayList);
        if (pads->empty())
            pads.reset();
    }
    auto rulesOf = [&](const DrillLoadFile &f, std::string_view bytes) {
        const DrillDeclaredFormat declared =
            ctx.readHeaders ? readDrillHeader(bytes.substr(0, HeaderBytes)) : DrillDeclaredFormat{};
        DrillInFormat own = set;
        applyDeclaredFormat(declared, own);
        const char *source = declared.any() ? "ファイルの宣言" : nullptr;
        // A format the file declares completely is read as declared; the
        // detective only settles what the file leaves open.
        if (pads && !declared.complete()) {
            const DrillFormatScore inUse = scoreDrillFormat(bytes, *pads, own);
            if (!declared.any() || inUse.share() < 0.5) {
                const std::vector<DrillFormatScore> ranking = rankDrillFormats(bytes, *pads, own, declared);
                if (!ranking.empty() && detectiveSuggests(inUse, ranking.front()) &&
                    ctx.prompter.askYesNo(MessageKind::Confirmation, detectiveQuestion(ranking.front()))) {
                    own = ranking.front().format;
                    source = "パッドとの照合";
                }
            }
        } else if (ctx.detect && !declared.any()) {
            // Nothing to compare with and nothing declared: a format under
            // which the file does not look like a board gives way to the
            // most plausible one.
            const DrillPlausibility inUse = drillPlausibility(bytes, own);
            if (inUse.hits > 0 && inUse.points < FullPlausibility) {
                const std::vector<DrillPlausibility> ranking = rankByPlausibility(bytes, own);
                if (!ranking.empty() && ranking.front().points > inUse.points) {
                    own = ranking.front().format;
                    source = "推定";
                }
            }
        }
        if (!source)
            return rules;
        DrillNumberRules r = drillNumberRules(own);
        ctx.format = own;
        if (!outcome.declaredFormatNote.empty())
            outcome.declaredFormatNote += "、";
        outcome.declaredFormatNote += fileNameOf(f.path) + ": " + drillFormatName(own) + "（" + source + "）";
        return r;
    };

    // Extents pass: the file with the widest X range gives the extents (the
    // first file always, even a single column of holes).
    std::vector<ReadableFile> readable;
    DrillExtentsScanner scanner(rules);
    DrillRawExtents load;
    DrillNumberRules loadRules = rules;
    double widestX = -1;
    bool decimalSeen = false;
    for (const DrillLoadFile &f : files) {
        DrillNumberRules own;
        std::shared_ptr<const MappedFile> input;
        try {
            input = std::make_shared<const MappedFile>(f.path);
            own = rulesOf(f, input->bytes());
            scanner.setRules(own);
            scanner.startFile();
            scanner.feed(input->bytes());
            scanner.finish();
        } catch (const KorvaneError &e) {
            failed(f, e);
            outcome.layersUnread.push_back(f.layer);
            continue;
        }
        readable.push_back({f, own, std::move(input)});
        const DrillRawExtents &e = scanner.extents();
        decimalSeen = decimalSeen || e.decimalSeen;
        if (e.maxX - e.minX > widestX) {
            widestX = e.maxX - e.minX;
            load = e;
            loadRules = own;
        }
    }
    if (!outcome.declaredFormatNote.empty())
        outcome.declaredFormatNote += " で読み込みました";
    if (!readable.empty()) {
        if (load.minX == load.maxX)
            load.minX = 0;
        if (load.minY == load.maxY)
            load.minY = 0;
        auto scaled = [&](double v) {
            if (!decimalSeen)
                v /= loadRules.divisor;
            return loadRules.inch ? v * InchToMm : v;
        };
        doc.minX = scaled(load.minX);
        doc.maxX = scaled(load.maxX);
        doc.minY = scaled(load.minY);
        doc.maxY = scaled(load.maxY);
        // Gerber data stay on the screen only when the load keeps the
        // drawing; after a clear the drill files alone set the view.
        bool keptGerber = doc.gerberLoaded == 1 && doc.keepExisting == 1;
        if (keptGerber) {
            const Extents &g = doc.gerberExtents;
            doc.minX = std::min(doc.minX, g.minX);
            doc.maxX = std::max(doc.maxX, g.maxX);
            doc.minY = std::min(doc.minY, g.minY);
            doc.maxY = std::max(doc.maxY, g.maxY);
        }
        // The fit takes in every loaded layer: holes beyond the Gerber
        // drawing stay on the screen after Home.
        const double wider = std::max(doc.extentX, doc.maxX - doc.minX),
                     taller = std::max(doc.extentY, doc.maxY - doc.minY);
        outcome.fitScaleDue = !keptGerber || wider > doc.extentX || taller > doc.extentY;
        doc.extentX = wider;
        doc.extentY = taller;
        outcome.extentsSet = true;
        if (ctx.observer)
            ctx.observer->extentsSet(outcome.fitScaleDue);
    }

    // Marks pass.
    MarkAppender appender(doc);
    DrillFileReader reader(rules, appender);
    for (const ReadableFile &r : readable) {
        const DrillLoadFile &f = r.file;
        const FileMessages fileMessages(ctx.prompter);
        ctx.status.setStatus(fileNameOf(f.path) + ReadingSuffix);
        doc.hasData = 1;
        doc.drillLoaded = 0;
        appender.setLayer(f.layer);
        reader.setRules(r.rules);
        reader.startFile();
        bool readToEnd = true;
        try {
            reader.feed(r.input->bytes());
            reader.finish();
        } catch (const KorvaneError &e) {
            failed(f, e);
            readToEnd = false;
        }
        if (appender.lineWithoutTool != 0)
            ctx.prompter.warning(holesWithoutToolText(f.path, appender.lineWithoutTool));
        appender.lineWithoutTool = 0;
        if (reader.hits() > 0 || reader.paths() > 0) {
            outcome.layersWithHits.push_back(f.layer);
            if (ctx.observer)
                ctx.observer->fileReadWithHits(f.layer);
        } else if (readToEnd) {
            outcome.layersWithoutHits.push_back(f.layer);
        }
    }
    std::sort(outcome.layersFailed.begin(), outcome.layersFailed.end());
    return outcome;
}

bool looksLikeDrillData(std::string_view bytes)
{
    auto isUpper = [](char c) { return c >= 'A' && c <= 'Z'; };
    bool header = false, tool = false, coordinate = false;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
        const char c = bytes[i], next = bytes[i + 1];
        if ((c == 'D' && isDigit(next)) || (c == '%' && isUpper(next)))
            return false;
        if (c == 'T' && isDigit(next))
            tool = true;
        else if ((c == 'X' || c == 'Y') && (isNumberChar(next) || next == '+'))
            coordinate = true;
        else if (c == 'M' && bytes.substr(i, 3) == "M48")
            header = true;
    }
    return header || (tool && coordinate);
}

bool hasDrillExtension(std::string_view path)
{
    const std::string name = fileNameOf(path);
    const auto dot = name.rfind('.');
    if (dot == std::string::npos)
        return false;
    std::string ext = name.substr(dot + 1);
    for (char &c : ext)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    for (const char *known : {"drl", "drd", "xln", "exc", "nc", "ncd"})
        if (ext == known)
            return true;
    return false;
}

DrillFitArea drillFitArea(int drawingWidth, int drawingHeight, int panelWidth, int statusBarHeight, double mmPerPixelX,
                          double mmPerPixelY)
{
    DrillFitArea a;
    a.width = truncToInt(drawingWidth * mmPerPixelX) - truncToInt(panelWidth * mmPerPixelX) - 30;
    a.height = truncToInt(drawingHeight * mmPerPixelY) - 3 * truncToInt(statusBarHeight * mmPerPixelY) - 30;
    return a;
}

}  // namespace korvane
