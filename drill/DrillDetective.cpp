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

private:
    const PadMap &pads_;
};

}  // namespace

PadMap::PadMap(const DisplayList &list)
{
    auto collect = [&](const ItemSequence &items) {
        std::optional<Point> move;
        for (const DisplayItem &it : items) {
            if (it.kind == 13 || it.kind == 43)
                move = Point{it.x1, it.y1};
            if (it.role != RoleFlash)
                continue;
            switch (it.kind) {
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

std::vector<DrillFormatScore> rankDrillFormats(std::string_view bytes, const PadMap &pads, const DrillInFormat &base)
{
    std::vector<DrillFormatScore> scores;
    for (LengthUnit unit : {LengthUnit::Mm, LengthUnit::Inch})
        for (ZeroSuppression zeros : {ZeroSuppression::Leading, ZeroSuppression::Trailing})
            for (int integer = 1; integer <= MaxIntegerDigits; ++integer)
                for (int decimals = 1; decimals <= MaxDecimalDigits; ++decimals) {
                    DrillInFormat f = base;
                    f.unit = unit;
                    f.zeroSuppression = zeros;
                    f.integerDigits = std::to_string(integer);
                    f.decimalDigits = std::to_string(decimals);
                    scores.push_back(scoreDrillFormat(bytes, pads, f));
                }
    std::stable_sort(scores.begin(), scores.end(),
                     [](const DrillFormatScore &a, const DrillFormatScore &b) { return a.share() > b.share(); });
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
