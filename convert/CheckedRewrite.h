#pragma once
// The check after a conversion: input and output are read back with the
// program's own readers, in millimetres, each with the format it was written
// in, and their flashes, strokes, arcs and drill hits compared within half a
// unit of the output's last digit (arcs within four half units: their
// boxes come from a centre and a radius that add up three roundings; region
// points within 0.005 mm, since a region's arcs are flattened from them).
// Repeated items and moves that no stroke starts from are left out.
//
// What cannot agree and is not asked to: clear polarity (LPC) dropped into
// RS-274D (the writer's warning reports it; a clear region is compared as the
// ordinary region RS-274D makes of it, a clear macro flash is not), items drawn twice at one place
// (the writer writes a repeated block once), and return-to-origin words of
// incremental drill templates, which a reader takes for a hit; apertures that
// RS-274D draws by their table shape and RS-274X by a macro (thermals,
// targets, drill holes), whose items differ for the same picture; macro
// apertures whose parameters are not lengths, converted into another unit.
#include "convert/OutputCoordinates.h"
#include "core/Formats.h"
#include "gerber/ApertureTable.h"
#include "gerber/MacroLibrary.h"

#include <cstddef>
#include <memory>
#include <string>

namespace korvane {

struct CheckVerdict {
    enum class Result { Same, Different, NotChecked } result = Result::NotChecked;
    std::size_t items = 0;  // compared items or hits
    std::string detail;     // the first difference, or why nothing was compared
};

// `in` is the input record as it stood before the conversion (the writer
// changes it), `out` the output record as it stands after it; `table` and
// `library` are those the conversion used.
// The check in two steps, so that the input can be read back while the
// conversion runs: the constructor reads the input (`outDialect` is the
// output's dialect), compare() reads the output and compares.
class GerberReadBack {
public:
    GerberReadBack(const std::string &inputPath, const GerberInFormat &in, const ApertureTable &table,
                   const MacroLibrary &library, GerberDialect outDialect);
    ~GerberReadBack();
    GerberReadBack(const GerberReadBack &) = delete;
    GerberReadBack &operator=(const GerberReadBack &) = delete;
    CheckVerdict compare(const std::string &outputPath, const GerberOutFormat &out);

private:
    struct State;
    std::unique_ptr<State> s_;
};

CheckVerdict checkGerberRewrite(const std::string &inputPath, const GerberInFormat &in, const ApertureTable &table,
                                const MacroLibrary &library, const std::string &outputPath, const GerberOutFormat &out);

CheckVerdict checkDrillRewrite(const std::string &inputPath, const DrillInFormat &in, const std::string &outputPath,
                               const DrillOutFormat &out, ConversionMode mode);

// The verdict as korvane-cli prints it.
std::string verdictText(const CheckVerdict &verdict);

}  // namespace korvane
