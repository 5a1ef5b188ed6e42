// The drill load's two passes and the tool marks, with the format picked by
// the first two bytes and then by the file's own header. Whatever the bytes, no crash, no hang, no read outside
// the data; every tool from 1 makes marks, and slots and routed paths (with
// at least one step) make a stroke and two end marks.
#include "FuzzSupport.h"
#include "core/Document.h"
#include "core/Errors.h"
#include "drill/DrillHeader.h"
#include "drill/DrillReader.h"

using namespace korvane;

namespace {

class MarkSink : public DrillHitSink {
public:
    explicit MarkSink(Document &doc) : doc_(doc) {}
    void hit(int tool, double x, double storedY, double diameter) override
    {
        fuzz::check(tool >= 1 && tool <= 99999);
        const std::size_t before = doc_.displayList.size();
        appendToolMark(doc_, tool, 3, x, storedY, diameter);
        const std::size_t added = doc_.displayList.size() - before;
        fuzz::check(added >= 1 && added <= 9);
        fuzz::check(doc_.displayList.main()[before].role == RoleDrillHit);
    }
    void path(const DrillPath &path) override
    {
        fuzz::check(path.tool >= 1 && !path.steps.empty());
        const std::size_t before = doc_.displayList.size();
        appendDrillPath(doc_, path, 3);
        fuzz::check(doc_.displayList.main()[before + 1].role == RoleDrillSlot);
        fuzz::check(drillPathPoints(path).size() > path.steps.size());
    }

private:
    Document &doc_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::string_view bytes(reinterpret_cast<const char *>(data), size);
    DrillInFormat format;
    if (bytes.size() >= 2) {
        const unsigned a = static_cast<unsigned char>(bytes[0]), b = static_cast<unsigned char>(bytes[1]);
        format.zeroSuppression = (a & 1) ? ZeroSuppression::Trailing : ZeroSuppression::Leading;
        format.unit = (a & 2) ? LengthUnit::Inch : LengthUnit::Mm;
        format.coordinateMode = (a & 4) ? CoordinateMode::Incremental : CoordinateMode::Absolute;
        format.x0y0IsHit = (a & 8) != 0;
        format.integerDigits = std::to_string(b % 5);
        format.decimalDigits = std::to_string(b / 5 % 8);  // 0 and 7 are refused
        bytes.remove_prefix(2);
    }
    looksLikeDrillData(bytes);
    // What the header declares overrides the format, as the load does.
    applyDeclaredFormat(readDrillHeader(bytes), format);
    fuzz::check(!drillFormatName(format).empty());
    DrillNumberRules rules;
    try {
        rules = drillNumberRules(format);
    } catch (const KorvaneError &) {
        return 0;
    }
    // Two chunks, so a boundary falls somewhere inside.
    const std::size_t half = bytes.size() / 2;
    try {
        DrillExtentsScanner scanner(rules);
        scanner.startFile();
        scanner.feed(bytes.substr(0, half));
        scanner.feed(bytes.substr(half));
        scanner.finish();
    } catch (const KorvaneError &) {
        // A conversion message stops the file; that is a normal outcome.
    }
    Document doc;
    MarkSink sink(doc);
    DrillFileReader reader(rules, sink);
    try {
        reader.startFile();
        reader.feed(bytes.substr(0, half));
        reader.feed(bytes.substr(half));
        reader.finish();
    } catch (const KorvaneError &) {
    }
    return 0;
}
