#pragma once
// Hits recorded from the marks pass, and a drill format built in one line.
#include "drill/DrillReader.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvane::testing {

struct Hit {
    int tool;
    double x;
    double boardY;
    double diameter;
};

class RecordingSink : public DrillHitSink {
public:
    std::vector<Hit> hits;
    void hit(int tool, double x, double storedY, double diameter) override
    {
        hits.push_back({tool, x, -storedY, diameter});
    }
};

inline DrillInFormat drillFormat(ZeroSuppression zeros = ZeroSuppression::Leading, LengthUnit unit = LengthUnit::Mm,
                                 CoordinateMode mode = CoordinateMode::Absolute, std::string integerDigits = "3",
                                 std::string decimalDigits = "2")
{
    DrillInFormat f;
    f.zeroSuppression = zeros;
    f.unit = unit;
    f.coordinateMode = mode;
    f.integerDigits = std::move(integerDigits);
    f.decimalDigits = std::move(decimalDigits);
    return f;
}

// The hits of one file read whole by the marks pass.
inline std::vector<Hit> readHits(std::string_view text, const DrillInFormat &format = drillFormat())
{
    RecordingSink sink;
    DrillFileReader reader(drillNumberRules(format), sink);
    reader.startFile();
    reader.feed(text);
    reader.finish();
    return sink.hits;
}

}  // namespace korvane::testing
