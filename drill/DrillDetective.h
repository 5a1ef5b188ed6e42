#pragma once
// The drill format detective: which number format puts a drill file's hits
// on the pads of the loaded Gerber layers. Each candidate (unit x zero
// suppression x the digit splits the format dialog offers) reads the file;
// its score is the share of hits whose point lies inside a flash's body.
#include "core/Document.h"
#include "core/Formats.h"
#include "drill/DrillHeader.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// The flash bodies of the Gerber items of a document (circles, rectangles,
// oblong strokes), kept in a grid so that a point finds its pads at once.
class PadMap {
public:
    explicit PadMap(const DisplayList &list);
    bool empty() const { return pads_.empty(); }
    std::size_t size() const { return pads_.size(); }
    // (x, storedY) in the internal frame.
    bool onPad(double x, double storedY) const;

private:
    struct Pad {
        enum class Shape { Box, Ellipse, Stroke } shape;
        double x1, y1, x2, y2;  // box, or the stroke's ends
        double radius;          // half the stroke's width
    };
    bool inside(const Pad &pad, double x, double y) const;
    std::vector<Pad> pads_;
    double minX_ = 0, minY_ = 0, cell_ = 1;
    int columns_ = 0, rows_ = 0;
    std::vector<std::vector<std::size_t>> grid_;
};

struct DrillFormatScore {
    DrillInFormat format;
    std::size_t hits = 0;
    std::size_t onPads = 0;
    double share() const { return hits ? double(onPads) / double(hits) : 0.0; }
};

// Every candidate format, the best first (ties go to the common formats,
// inch 2.4 and mm 3.3, then to the decimals of `base`, then keep the candidates' order: mm before inch, LZ
// before TZ, fewer digits first). The candidates take the
// coordinate mode and x0y0IsHit of `base`. A file whose numbers do not read
// under a candidate scores 0 there.
// What the file declares (unit, zeros, digits) stays fixed: only the rest
// is tried.
std::vector<DrillFormatScore> rankDrillFormats(std::string_view bytes, const PadMap &pads, const DrillInFormat &base,
                                               const DrillDeclaredFormat &fixed = {});

// The score of one format.
DrillFormatScore scoreDrillFormat(std::string_view bytes, const PadMap &pads, const DrillInFormat &format);

// How plausible a format makes a file without Gerber data to compare with:
// one point each for a drawing of board size (at most 600 mm across), for
// tool diameters of 0.05 to 12 mm (or none given), and for holes that do not
// overlap their neighbours (or no diameters to tell).
struct DrillPlausibility {
    DrillInFormat format;
    int points = 0;
    std::size_t hits = 0;
};
DrillPlausibility drillPlausibility(std::string_view bytes, const DrillInFormat &format);
// Every candidate, the most plausible first; ties go to the common formats
// (inch 2.4, mm 3.3), then to the candidates' order.
std::vector<DrillPlausibility> rankByPlausibility(std::string_view bytes, const DrillInFormat &base);
inline constexpr int FullPlausibility = 3;

// The best candidate is worth asking about when the format in use puts
// fewer than half the hits on pads and the candidate clearly more.
bool detectiveSuggests(const DrillFormatScore &inUse, const DrillFormatScore &best);

// "ドリルファイルのフォーマットが設定と異なる可能性があります。インチ 2.4 TZ で読み込みますか？（パッド上のヒット
// 97％）"
std::string detectiveQuestion(const DrillFormatScore &best);

}  // namespace korvane
