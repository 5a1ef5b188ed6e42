// Cross-creation both ways on arbitrary input and tables. The first byte
// picks the direction and the output options, the bytes up to the first
// NUL are the table file, the rest the input.
#include "FuzzSupport.h"
#include "core/Errors.h"
#include "renumber/CrossCreation.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace korvane;
    if (size < 2)
        return 0;
    const std::uint8_t options = data[0];
    std::string_view rest(reinterpret_cast<const char *>(data) + 1, size - 1);
    size_t nul = rest.find('\0');
    std::string_view tableText = nul == std::string_view::npos ? std::string_view() : rest.substr(0, nul);
    std::string_view input = nul == std::string_view::npos ? rest : rest.substr(nul + 1);

    CreationTable table;
    readCreationTableLines(fuzz::textLines(reinterpret_cast<const std::uint8_t *>(tableText.data()), tableText.size()),
                           table);
    Settings s;
    s.gerberIn.dialect = options & 2 ? GerberDialect::Rs274X : GerberDialect::Rs274D;
    s.gerberIn.unit = options & 4 ? LengthUnit::Inch : LengthUnit::Mm;
    s.drillIn.coordinateMode = options & 8 ? CoordinateMode::Incremental : CoordinateMode::Absolute;
    s.drillIn.zeroSuppression = options & 16 ? ZeroSuppression::Trailing : ZeroSuppression::Leading;
    s.drillOut.coordinateMode = options & 32 ? CoordinateMode::Incremental : CoordinateMode::Absolute;
    s.drillOut.toolChange = "M06z*";
    s.drillOut.endCommand = "M30z*";
    s.gerberOut.dialect = options & 64 ? GerberDialect::Rs274X : GerberDialect::Rs274D;
    s.gerberOut.modal = options & 128 ? ModalMode::GD : ModalMode::None;
    s.gerberOut.coordinateMode = options & 32 ? CoordinateMode::Incremental : CoordinateMode::Absolute;
    auto apertures = std::make_unique<ApertureTable>();
    apertures->SetRow(10, "丸", "0.3");
    apertures->SetRow(11, "サーマル＋", "1-0.5");
    MacroLibrary macros;
    fuzz::QuietPrompter prompter;
    CrossCreationContext ctx{s.gerberIn, s.gerberOut, s.drillIn, s.drillOut, *apertures, macros, prompter};
    StringSink out;
    CreationReport report;
    try {
        if (options & 1)
            createGerberFromDrill(ctx, table, input, out, report);
        else
            createDrillFromGerber(ctx, table, input, out, report);
    } catch (const KorvaneError &) {
    } catch (const CreationStop &) {
    }
    return 0;
}
