#include "convert/CheckedRewrite.h"
#include "convert/DrillInput.h"
#include "convert/TapeCodes.h"
#include "core/Document.h"
#include "core/Errors.h"
#include "core/Numbers.h"
#include "core/TextFile.h"
#include "drill/DrillReader.h"
#include "gerber/GerberReader.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace korvane {
namespace {

constexpr double InchToMm = 25.4;

class QuietPrompter : public Prompter {
public:
    Answer show(MessageKind kind, const std::string &text, Buttons buttons) override
    {
        if (kind == MessageKind::Error && first.empty())
            first = text;
        return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    }
    std::string first;
};

class NoStatus : public StatusSink {
public:
    void setStatus(const std::string &) override {}
    void clearStatus() override {}
    void setBusy(bool) override {}
};

double halfUnit(LengthUnit unit, const std::string &decimals)
{
    double step = std::pow(10.0, -decimalDigitCount(decimals));
    return step / 2 * (unit == LengthUnit::Inch ? InchToMm : 1.0) * (1 + 1e-9) + 1e-9;
}

std::string mm(double v) { return formatReal(std::round(v * 1e6) / 1e6); }

std::string describe(const DisplayItem &item)
{
    return "種別" + std::to_string(item.kind) + " D" + std::to_string(item.code) + " (" + mm(item.x1) + "," +
           mm(-item.y1) + ")-(" + mm(item.x2) + "," + mm(-item.y2) + ")";
}

bool isArc(std::int32_t kind)
{
    auto k = static_cast<ItemKind>(kind);
    return k == ItemKind::ArcCcw || k == ItemKind::ArcCw || k == ItemKind::SectorCcw || k == ItemKind::SectorCw;
}

bool sameItem(const DisplayItem &a, const DisplayItem &b, double tolerance)
{
    if (a.kind != b.kind || a.fill != b.fill || a.role != b.role || a.code != b.code)
        return false;
    // An arc's box comes from its centre and radius, which add up the
    // rounding of the start point and of I and J.
    if (isArc(a.kind))
        tolerance *= 4;
    // Region outlines hold the points of flattened arcs, placed from the
    // rounded centre and radius.
    auto k = static_cast<ItemKind>(a.kind);
    if (k == ItemKind::PolygonVertex || k == ItemKind::UnderPolygonVertex)
        tolerance = std::max(tolerance * 4, 0.005);
    const double ra[] = {a.x1,          a.x2,        a.y1,          a.y2,    a.sweepEndX,
                         a.sweepStartX, a.sweepEndY, a.sweepStartY, a.width, a.toolSize};
    const double rb[] = {b.x1,          b.x2,        b.y1,          b.y2,    b.sweepEndX,
                         b.sweepStartX, b.sweepEndY, b.sweepStartY, b.width, b.toolSize};
    for (size_t i = 0; i < std::size(ra); ++i)
        if (!(std::abs(ra[i] - rb[i]) <= tolerance))
            return false;
    return true;
}

// Items drawn without the pen position: flashes and moves.
bool ignoresThePen(std::int32_t kind)
{
    auto k = static_cast<ItemKind>(kind);
    return k == ItemKind::Ellipse || k == ItemKind::Rectangle || k == ItemKind::MoveTo || k == ItemKind::UnderEllipse ||
           k == ItemKind::UnderRectangle || k == ItemKind::UnderMoveTo;
}

bool isMove(std::int32_t kind)
{
    auto k = static_cast<ItemKind>(kind);
    return k == ItemKind::MoveTo || k == ItemKind::UnderMoveTo;
}

// Consecutive repeats of one item (within the tolerance: two points that the
// output's digits make one) draw nothing new, and a move followed by a flash
// or another move draws nothing. The items are read one at a time from
// [next, end): only a move may still be taken back, so it waits until the
// item after it shows whether it stays.
template <class Iterator>
class Collapsed {
public:
    Collapsed(Iterator begin, Iterator end, double tolerance) : next_(begin), end_(end), tolerance_(tolerance) {}

    // The next item of the collapsed sequence, valid until the next call;
    // null at its end.
    const DisplayItem *next()
    {
        while (count_ == 0) {
            head_ = 0;
            if (next_ == end_)
                return nullptr;  // a move left waiting at the end draws nothing
            take(*next_);
            ++next_;
        }
        returned_ = queue_[head_++];
        --count_;
        return &slots_[returned_];
    }

private:
    void take(const DisplayItem &item)
    {
        if (movePending_ && ignoresThePen(item.kind)) {
            // The waiting move is taken back: the item given out before it
            // is the one the next is compared with.
            movePending_ = false;
            back_ = given_;
        }
        if (back_ >= 0 && sameItem(slots_[back_], item, tolerance_))
            return;
        int slot = freeSlot();
        slots_[slot] = item;
        if (movePending_)
            give(back_);
        movePending_ = isMove(item.kind);
        if (!movePending_)
            give(slot);
        back_ = slot;
    }

    void give(int slot)
    {
        queue_[head_ + count_++] = slot;
        given_ = slot;
    }

    // A slot that holds none of the items still looked at.
    int freeSlot() const
    {
        int slot = 0;
        while (slot == back_ || slot == given_ || slot == returned_)
            ++slot;
        return slot;
    }

    Iterator next_, end_;
    double tolerance_;
    // Items are kept in four slots and named by their index (-1: none): the
    // last one taken, the last one given out, the last one handed on.
    DisplayItem slots_[4]{};
    int back_ = -1, given_ = -1, returned_ = -1;
    bool movePending_ = false;
    // At most two items leave one step: a move that stays and the item after it.
    int queue_[2]{};
    std::size_t head_ = 0, count_ = 0;
};

template <class Expected, class Found>
bool compareSequences(const Expected &expected, const Found &found, double tolerance, const char *name,
                      CheckVerdict &verdict)
{
    Collapsed a(expected.begin(), expected.end(), tolerance);
    Collapsed b(found.begin(), found.end(), tolerance);
    size_t n = 0;
    for (;;) {
        const DisplayItem *x = a.next();
        const DisplayItem *y = b.next();
        if (x && y && sameItem(*x, *y, tolerance)) {
            ++n;
            continue;
        }
        if (!x && !y) {
            verdict.items += n;
            return true;
        }
        if (!x || !y)
            verdict.items += n;
        verdict.result = CheckVerdict::Result::Different;
        verdict.detail = std::string(name) + "の項目" + std::to_string(n + 1) + ": 入力 " +
                         (x ? describe(*x) : std::string("なし")) + "、出力 " +
                         (y ? describe(*y) : std::string("なし"));
        return false;
    }
}

// Reads one Gerber file into a fresh document; false with the reason when
// the reader did not get to the end.
bool readGerber(const std::string &path, GerberInFormat format, ApertureTable &table, MacroLibrary &library,
                Document &doc, std::string &why, GerberLoadContext::Reading reading = {})
{
    QuietPrompter prompter;
    NoStatus status;
    GerberLoadContext ctx{doc, table, library, format, prompter, status};
    ctx.reading = reading;
    doc.startLoad();
    GerberLoadOutcome outcome = loadGerberFiles(ctx, {{1, path}});
    if (outcome.end != GerberLoadOutcome::End::Completed || !outcome.layersStopped.empty()) {
        why = prompter.first.empty() ? "読込が中断されました" : prompter.first;
        return false;
    }
    return true;
}

}  // namespace

// The input read back, and what the comparison needs of it.
struct GerberReadBack::State {
    CheckVerdict verdict;  // decided already when the input cannot be compared
    bool decided = false;
    bool toD = false;
    std::unique_ptr<Document> expected;
    // The apertures the output is read with.
    std::unique_ptr<ApertureTable> outTable;
    std::unique_ptr<MacroLibrary> outLibrary;
};

GerberReadBack::GerberReadBack(const std::string &inputPath, const GerberInFormat &in, const ApertureTable &table,
                               const MacroLibrary &library, GerberDialect outDialect)
    : s_(std::make_unique<State>())
{
    State &s = *s_;
    if (in.charCode != CharCode::Ascii) {
        s.verdict.detail = "EBCDICの入力は照合できません";
        s.decided = true;
        return;
    }
    auto tables = std::make_unique<ApertureTable>(table);
    auto libraries = std::make_unique<MacroLibrary>(library);
    s.expected = std::make_unique<Document>();
    std::string why;
    GerberInFormat inFormat = in;
    inFormat.charCode = CharCode::Ascii;
    // RS-274D has no polarity: the input is read as its RS-274D output will
    // be. A thermal macro and a thermal row are the same aperture to the
    // check: both sides draw it as the row.
    s.toD = outDialect == GerberDialect::Rs274D;
    GerberLoadContext::Reading reading;
    reading.polarity = !s.toD;
    reading.exactThermalMacros = false;
    if (!readGerber(inputPath, inFormat, *tables, *libraries, *s.expected, why, reading)) {
        s.verdict.detail = "入力: " + why;
        s.decided = true;
        return;
    }
    // An RS-274D output draws with the apertures the input defined.
    s.outTable = std::make_unique<ApertureTable>(s.toD ? *tables : table);
    s.outLibrary = std::make_unique<MacroLibrary>(s.toD ? *libraries : library);
}

GerberReadBack::~GerberReadBack() = default;

CheckVerdict GerberReadBack::compare(const std::string &outputPath, const GerberOutFormat &out)
{
    State &s = *s_;
    if (s.decided)
        return s.verdict;
    CheckVerdict verdict;
    GerberInFormat outFormat;
    outFormat.dialect = out.dialect;
    outFormat.unit = out.unit;
    outFormat.zeroSuppression = out.zeroSuppression;
    outFormat.coordinateMode = out.coordinateMode;
    outFormat.integerDigits = out.integerDigits;
    outFormat.decimalDigits = out.decimalDigits;
    Document found;
    std::string why;
    GerberLoadContext::Reading reading;
    reading.exactThermalMacros = false;
    if (!readGerber(outputPath, outFormat, *s.outTable, *s.outLibrary, found, why, reading)) {
        verdict.result = CheckVerdict::Result::Different;
        verdict.detail = "出力: " + why;
        return verdict;
    }
    double tolerance = halfUnit(out.unit, out.decimalDigits);
    verdict.result = CheckVerdict::Result::Same;
    if (compareSequences(s.expected->displayList.underlay(), found.displayList.underlay(), tolerance, "下地", verdict))
        compareSequences(s.expected->displayList.main(), found.displayList.main(), tolerance, "図形", verdict);
    return verdict;
}

CheckVerdict checkGerberRewrite(const std::string &inputPath, const GerberInFormat &in, const ApertureTable &table,
                                const MacroLibrary &library, const std::string &outputPath, const GerberOutFormat &out)
{
    return GerberReadBack(inputPath, in, table, library, out.dialect).compare(outputPath, out);
}

namespace {

// A hole, or one point of a slot or routed path: its start, then the end of
// each step (line or arc), so that paths compare point by point.
struct Hit {
    enum class Kind { Hole, PathStart, Line, ArcCw, ArcCcw };
    int tool;
    double x, y;
    Kind kind = Kind::Hole;
};

class HitList : public DrillHitSink {
public:
    void hit(int tool, double x, double storedY, double) override { hits.push_back({tool, x, -storedY}); }
    void path(const DrillPath &path) override
    {
        hits.push_back({path.tool, path.startX, -path.startStoredY, Hit::Kind::PathStart});
        for (const DrillPathStep &step : path.steps) {
            const Hit::Kind kind = step.kind == DrillPathStep::Kind::Line    ? Hit::Kind::Line
                                   : step.kind == DrillPathStep::Kind::ArcCw ? Hit::Kind::ArcCw
                                                                             : Hit::Kind::ArcCcw;
            hits.push_back({path.tool, step.x, -step.storedY, kind});
        }
    }
    std::vector<Hit> hits;
};

std::vector<Hit> readDrill(const std::string &path, const DrillInFormat &set)
{
    const DrillInFormat format = settleDrillFile(path, set).format;
    HitList list;
    DrillFileReader reader(drillNumberRules(format), list);
    reader.startFile();
    InputFile input(path);
    std::unique_ptr<TapeCodec> decoder = format.charCode == CharCode::Eia ? decoderFor(CharCode::Eia) : nullptr;
    readBlocks(input, decoder.get(), 1 << 16, [&](std::string_view block) {
        reader.feed(block);
        return true;
    });
    reader.finish();
    return std::move(list.hits);
}

std::string describe(const Hit &h)
{
    const char *what = h.kind == Hit::Kind::Hole        ? ""
                       : h.kind == Hit::Kind::PathStart ? "長穴の始点 "
                       : h.kind == Hit::Kind::Line      ? "長穴の直線 "
                                                        : "長穴の円弧 ";
    return what + std::string("T") + std::to_string(h.tool) + " (" + mm(h.x) + "," + mm(h.y) + ")";
}

}  // namespace

CheckVerdict checkDrillRewrite(const std::string &inputPath, const DrillInFormat &in, const std::string &outputPath,
                               const DrillOutFormat &out, ConversionMode mode)
{
    CheckVerdict verdict;
    std::vector<Hit> expected, found;
    try {
        expected = readDrill(inputPath, in);
    } catch (const KorvaneError &e) {
        verdict.detail = std::string("入力: ") + e.text();
        return verdict;
    }
    DrillInFormat outFormat;
    outFormat.unit = out.unit;
    outFormat.zeroSuppression = out.zeroSuppression;
    outFormat.coordinateMode = out.coordinateMode;
    outFormat.x0y0IsHit = in.x0y0IsHit;
    outFormat.integerDigits = out.integerDigits;
    outFormat.decimalDigits = out.decimalDigits;
    try {
        found = readDrill(outputPath, outFormat);
    } catch (const KorvaneError &e) {
        verdict.result = CheckVerdict::Result::Different;
        verdict.detail = std::string("出力: ") + e.text();
        return verdict;
    }
    // The drill offsets move every hole: in the unit they were given in.
    double dx = 0, dy = 0;
    if (mode == ConversionMode::Drill) {
        double unit = in.unit == LengthUnit::Inch && out.unit == LengthUnit::Inch ? InchToMm : 1.0;
        double v;
        if (!out.xOffset.empty() && tryParseReal(out.xOffset, v))
            dx = v * unit;
        if (!out.yOffset.empty() && tryParseReal(out.yOffset, v))
            dy = v * unit;
    }
    double tolerance = halfUnit(out.unit, out.decimalDigits);
    verdict.result = CheckVerdict::Result::Same;
    size_t n = std::min(expected.size(), found.size());
    for (size_t i = 0; i <= n; ++i) {
        if (i == n) {
            if (expected.size() == found.size())
                break;
        } else {
            Hit e = expected[i];
            e.x += dx;
            e.y += dy;
            const Hit &f = found[i];
            if (e.tool == f.tool && e.kind == f.kind && std::abs(e.x - f.x) <= tolerance &&
                std::abs(e.y - f.y) <= tolerance)
                continue;
        }
        verdict.result = CheckVerdict::Result::Different;
        Hit shifted = i < expected.size()
                          ? Hit{expected[i].tool, expected[i].x + dx, expected[i].y + dy, expected[i].kind}
                          : Hit{};
        verdict.detail = "穴" + std::to_string(i + 1) + ": 入力 " + (i < expected.size() ? describe(shifted) : "なし") +
                         "、出力 " + (i < found.size() ? describe(found[i]) : "なし");
        return verdict;
    }
    verdict.items = n;
    return verdict;
}

std::string verdictText(const CheckVerdict &v)
{
    switch (v.result) {
    case CheckVerdict::Result::Same: return "照合: 入力と出力は一致しました（" + std::to_string(v.items) + " 項目）";
    case CheckVerdict::Result::Different: return "照合: 入力と出力が異なります: " + v.detail;
    case CheckVerdict::Result::NotChecked: break;
    }
    return "照合: 行いませんでした: " + v.detail;
}

}  // namespace korvane
