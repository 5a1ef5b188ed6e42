#include "drill/DrillDetective.h"
#include "core/Errors.h"
#include "drill/DrillHeader.h"
#include "drill/DrillReader.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace korvane {
namespace {

// Integer and decimal digits the drill format dialog offers.
constexpr int MaxIntegerDigits = 4, MaxDecimalDigits = 5;
// About this many pads share a grid cell on average.
constexpr double PadsPerCell = 2;

class ScoringSink : public DrillHitSink {
public:
    explicit ScoringSink(const PadMap &pads) : pads_(pads) {}
    std::size_t hits = 0, onPads = 0;
    void hit(int, double x, double storedY, double) override
    {
        ++hits;
        onPads += pads_.onPad(x, storedY);
    }
    // A slot's two ends sit on its pad like holes.
    void path(const DrillPath &path) override
    {
        hit(path.tool, path.startX, path.startStoredY, 0);
        hit(path.tool, path.end().x, path.end().storedY, 0);
    }

private:
    const PadMap &pads_;
};

class HoleList : public DrillHitSink {
public:
    struct Hole {
        double x, y, diameter;
    };
    std::vector<Hole> holes;
    void hit(int, double x, double storedY, double diameter) override { holes.push_back({x, storedY, diameter}); }
    void path(const DrillPath &path) override
    {
        hit(path.tool, path.startX, path.startStoredY, path.diameter);
        hit(path.tool, path.end().x, path.end().storedY, path.diameter);
    }
};

bool isCommon(const DrillInFormat &f)
{
    return (f.unit == LengthUnit::Inch && f.integerDigits == "2" && f.decimalDigits == "4") ||
           (f.unit == LengthUnit::Mm && f.integerDigits == "3" && f.decimalDigits == "3");
}

std::vector<DrillInFormat> candidates(const DrillInFormat &base, const DrillDeclaredFormat &fixed)
{
    std::vector<DrillInFormat> out;
    for (LengthUnit unit : {LengthUnit::Mm, LengthUnit::Inch})
        for (ZeroSuppression zeros : {ZeroSuppression::Leading, ZeroSuppression::Trailing})
            for (int integer = 1; integer <= MaxIntegerDigits; ++integer)
                for (int decimals = 1; decimals <= MaxDecimalDigits; ++decimals) {
                    if ((fixed.unit && *fixed.unit != unit) ||
                        (fixed.zeroSuppression && *fixed.zeroSuppression != zeros))
                        continue;
                    if (fixed.integerDigits && fixed.decimalDigits &&
                        (*fixed.integerDigits != integer || *fixed.decimalDigits != decimals))
                        continue;
                    DrillInFormat f = base;
                    f.unit = unit;
                    f.zeroSuppression = zeros;
                    f.integerDigits = std::to_string(integer);
                    f.decimalDigits = std::to_string(decimals);
                    out.push_back(f);
                }
    return out;
}

// The share of holes that overlap a neighbour: a format ten times too small
// crowds the holes of a 2.54 mm grid into each other.
double overlapShare(std::vector<HoleList::Hole> holes)
{
    std::sort(holes.begin(), holes.end(), [](const auto &a, const auto &b) { return a.x < b.x; });
    double reach = 0;
    for (const auto &h : holes)
        reach = std::max(reach, h.diameter);
    std::vector<char> overlapping(holes.size(), 0);
    constexpr std::size_t Neighbours = 64;
    for (std::size_t i = 0; i < holes.size(); ++i)
        for (std::size_t j = i + 1; j < holes.size() && j <= i + Neighbours && holes[j].x - holes[i].x < reach; ++j) {
            const double d = std::hypot(holes[j].x - holes[i].x, holes[j].y - holes[i].y);
            if (d > 1e-6 && d < 0.9 * (holes[i].diameter + holes[j].diameter) / 2)
                overlapping[i] = overlapping[j] = 1;
        }
    const auto n = std::count(overlapping.begin(), overlapping.end(), 1);
    return holes.empty() ? 0.0 : double(n) / double(holes.size());
}

}  // namespace

DrillPlausibility drillPlausibility(std::string_view bytes, const DrillInFormat &format)
{
    DrillPlausibility p;
    p.format = format;
    HoleList list;
    try {
        DrillFileReader reader(drillNumberRules(format), list);
        reader.startFile();
        reader.feed(bytes);
        reader.finish();
    } catch (const KorvaneError &) {
        return p;
    }
    p.hits = list.holes.size();
    if (list.holes.empty())
        return p;
    // Diameters are written in the file's unit.
    const double unit = format.unit == LengthUnit::Inch ? 25.4 : 1.0;
    for (auto &h : list.holes)
        h.diameter *= unit;
    double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
    bool sizes = true, anySize = false;
    for (const auto &h : list.holes) {
        minX = std::min(minX, h.x);
        maxX = std::max(maxX, h.x);
        minY = std::min(minY, h.y);
        maxY = std::max(maxY, h.y);
        if (h.diameter > 0) {
            anySize = true;
            sizes = sizes && h.diameter >= 0.05 && h.diameter <= 12;
        }
    }
    const double wide = std::max(maxX - minX, maxY - minY);
    // Too small a drawing shows in crowded holes; a tiny one is no proof.
    p.points += wide <= 600 && std::abs(minX) <= 1000 && std::abs(minY) <= 1000 ? 1 : 0;
    p.points += sizes ? 1 : 0;
    p.points += !anySize || overlapShare(list.holes) < 0.05 ? 1 : 0;
    return p;
}

std::vector<DrillPlausibility> rankByPlausibility(std::string_view bytes, const DrillInFormat &base)
{
    std::vector<DrillPlausibility> out;
    for (const DrillInFormat &f : candidates(base, {}))
        out.push_back(drillPlausibility(bytes, f));
    std::stable_sort(out.begin(), out.end(), [](const DrillPlausibility &a, const DrillPlausibility &b) {
        if (a.points != b.points)
            return a.points > b.points;
        return isCommon(a.format) && !isCommon(b.format);
    });
    return out;
}

PadMap::PadMap(const DisplayList &list)
{
    auto collect = [&](const ItemSequence &items) {
        std::optional<Point> move;
        // A macro pad drawn as a polygon (outlines, rotated rectangles) is
        // taken as the box of its vertices, from its first to its close.
        std::optional<Pad> polygon;
        for (const DisplayItem &it : items) {
            if (it.kind == 13 || it.kind == 43)
                move = Point{it.x1, it.y1};
            if (polygon) {
                if (it.kind == 18 || it.kind == 48) {
                    polygon->x1 = std::min(polygon->x1, it.x1);
                    polygon->x2 = std::max(polygon->x2, it.x1);
                    polygon->y1 = std::min(polygon->y1, it.y1);
                    polygon->y2 = std::max(polygon->y2, it.y1);
                    continue;
                }
                if (it.kind == 19 || it.kind == 49)
                    pads_.push_back(*polygon);
                polygon.reset();
            }
            if (it.role != RoleFlash)
                continue;
            switch (it.kind) {
            case 18:
            case 48: polygon = Pad{Pad::Shape::Box, it.x1, it.y1, it.x1, it.y1, 0}; break;
            case 11:
            case 41:
                pads_.push_back({Pad::Shape::Ellipse, std::min(it.x1, it.x2), std::min(it.y1, it.y2),
                                 std::max(it.x1, it.x2), std::max(it.y1, it.y2), 0});
                break;
            case 12:
            case 42:
                pads_.push_back({Pad::Shape::Box, std::min(it.x1, it.x2), std::min(it.y1, it.y2),
                                 std::max(it.x1, it.x2), std::max(it.y1, it.y2), 0});
                break;
            case 14:
            case 44:
                if (move)
                    pads_.push_back({Pad::Shape::Stroke, move->x, move->y, it.x1, it.y1, it.width / 2});
                break;
            default: break;
            }
        }
    };
    collect(list.underlay());
    collect(list.main());
    if (pads_.empty())
        return;
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    for (const Pad &p : pads_) {
        minX = std::min({minX, p.x1 - p.radius, p.x2 - p.radius});
        maxX = std::max({maxX, p.x1 + p.radius, p.x2 + p.radius});
        minY = std::min({minY, p.y1 - p.radius, p.y2 - p.radius});
        maxY = std::max({maxY, p.y1 + p.radius, p.y2 + p.radius});
    }
    const double w = std::max(maxX - minX, 1e-6), h = std::max(maxY - minY, 1e-6);
    cell_ = std::max(std::sqrt(w * h * PadsPerCell / double(pads_.size())), 1e-3);
    columns_ = std::clamp(static_cast<int>(w / cell_) + 1, 1, 4096);
    rows_ = std::clamp(static_cast<int>(h / cell_) + 1, 1, 4096);
    cell_ = std::max(w / columns_, h / rows_) * (1 + 1e-9);
    minX_ = minX;
    minY_ = minY;
    grid_.assign(static_cast<std::size_t>(columns_) * rows_, {});
    for (std::size_t i = 0; i < pads_.size(); ++i) {
        const Pad &p = pads_[i];
        const int c0 = std::clamp(int((std::min(p.x1, p.x2) - p.radius - minX_) / cell_), 0, columns_ - 1);
        const int c1 = std::clamp(int((std::max(p.x1, p.x2) + p.radius - minX_) / cell_), 0, columns_ - 1);
        const int r0 = std::clamp(int((std::min(p.y1, p.y2) - p.radius - minY_) / cell_), 0, rows_ - 1);
        const int r1 = std::clamp(int((std::max(p.y1, p.y2) + p.radius - minY_) / cell_), 0, rows_ - 1);
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c)
                grid_[static_cast<std::size_t>(r) * columns_ + c].push_back(i);
    }
}

bool PadMap::inside(const Pad &p, double x, double y) const
{
    switch (p.shape) {
    case Pad::Shape::Box: return x >= p.x1 && x <= p.x2 && y >= p.y1 && y <= p.y2;
    case Pad::Shape::Ellipse: {
        const double rx = (p.x2 - p.x1) / 2, ry = (p.y2 - p.y1) / 2;
        if (rx <= 0 || ry <= 0)
            return false;
        const double dx = (x - (p.x1 + p.x2) / 2) / rx, dy = (y - (p.y1 + p.y2) / 2) / ry;
        return dx * dx + dy * dy <= 1;
    }
    case Pad::Shape::Stroke: {
        const double vx = p.x2 - p.x1, vy = p.y2 - p.y1, len2 = vx * vx + vy * vy;
        double t = len2 > 0 ? ((x - p.x1) * vx + (y - p.y1) * vy) / len2 : 0;
        t = std::clamp(t, 0.0, 1.0);
        const double dx = x - (p.x1 + t * vx), dy = y - (p.y1 + t * vy);
        return dx * dx + dy * dy <= p.radius * p.radius;
    }
    }
    return false;
}

bool PadMap::onPad(double x, double storedY) const
{
    if (pads_.empty())
        return false;
    const double cx = (x - minX_) / cell_, cy = (storedY - minY_) / cell_;
    if (!(cx >= 0 && cy >= 0 && cx < columns_ && cy < rows_))
        return false;
    for (std::size_t i : grid_[static_cast<std::size_t>(int(cy)) * columns_ + int(cx)])
        if (inside(pads_[i], x, storedY))
            return true;
    return false;
}

DrillFormatScore scoreDrillFormat(std::string_view bytes, const PadMap &pads, const DrillInFormat &format)
{
    DrillFormatScore score;
    score.format = format;
    ScoringSink sink(pads);
    try {
        DrillFileReader reader(drillNumberRules(format), sink);
        reader.startFile();
        reader.feed(bytes);
        reader.finish();
    } catch (const KorvaneError &) {
        return score;  // numbers that do not read: no hits under this format
    }
    score.hits = sink.hits;
    score.onPads = sink.onPads;
    return score;
}

std::vector<DrillFormatScore> rankDrillFormats(std::string_view bytes, const PadMap &pads, const DrillInFormat &base,
                                               const DrillDeclaredFormat &fixed)
{
    std::vector<DrillFormatScore> scores;
    for (const DrillInFormat &f : candidates(base, fixed))
        scores.push_back(scoreDrillFormat(bytes, pads, f));
    // Of formats that read every hit alike, a common one, then one with the
    // decimals in use.
    auto rank = [&](const DrillInFormat &f) { return isCommon(f) ? 0 : f.decimalDigits == base.decimalDigits ? 1 : 2; };
    std::stable_sort(scores.begin(), scores.end(), [&](const DrillFormatScore &a, const DrillFormatScore &b) {
        if (a.share() != b.share())
            return a.share() > b.share();
        return rank(a.format) < rank(b.format);
    });
    return scores;
}

bool detectiveSuggests(const DrillFormatScore &inUse, const DrillFormatScore &best)
{
    return best.hits > 0 && inUse.share() < 0.5 && best.share() >= inUse.share() + 0.25 &&
           !(best.format == inUse.format);
}

std::string detectiveQuestion(const DrillFormatScore &best)
{
    // Whole percent, never rounded up to a share the hits do not reach.
    const long percent = static_cast<long>(std::floor(best.share() * 100 + 1e-9));
    return "ドリルファイルのフォーマットが設定と異なる可能性があります。" + drillFormatName(best.format) +
           " で読み込みますか？（パッド上のヒット " + std::to_string(std::max(0L, percent)) + "％）";
}

}  // namespace korvane
