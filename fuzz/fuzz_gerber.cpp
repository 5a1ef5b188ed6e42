// The Gerber load: pre-scan, reader and interpreter together, every question
// answered Yes. Whatever the bytes, no crash, no hang, no read outside the data.
#include "FuzzSupport.h"
#include "core/Document.h"
#include "core/Errors.h"
#include "gerber/GerberReader.h"

using namespace korvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::string_view bytes(reinterpret_cast<const char *>(data), size);
    // The first byte picks the dialect, so both rule sets are fuzzed.
    GerberInFormat format;
    if (!bytes.empty()) {
        format.dialect = (bytes[0] & 1) ? GerberDialect::Rs274X : GerberDialect::Rs274D;
        format.zeroSuppression = (bytes[0] & 2) ? ZeroSuppression::Trailing : ZeroSuppression::Leading;
        format.coordinateMode = (bytes[0] & 4) ? CoordinateMode::Incremental : CoordinateMode::Absolute;
        bytes.remove_prefix(1);
    }
    Document doc;
    ApertureTable table;
    table.SetRow(10, "丸", "0.5");
    table.SetRow(11, "サーマル＋", "1-0.5-0.2");
    MacroLibrary library;
    fuzz::QuietPrompter prompter;
    try {
        preScanGerber(bytes, format);
        GerberInterpreter interpreter(doc, table, library, format, prompter);
        GerberFileReader reader(interpreter, table, library, format);
        reader.startFile(1);
        // Two chunks, so a boundary falls somewhere inside.
        size_t half = bytes.size() / 2;
        if (reader.feed(bytes.substr(0, half)) && reader.feed(bytes.substr(half)))
            reader.finish();
    } catch (const KorvaneError &) {
        // A conversion message ends the load; that is a normal outcome.
    }
    return 0;
}
