// The Gerber load: pre-scan, reader and interpreter together, every question
// answered Yes. Whatever the bytes, no crash, no hang, no read outside the
// data, and the same items whether the bytes come whole or one by one.
#include "FuzzSupport.h"
#include "core/Document.h"
#include "core/Errors.h"
#include "gerber/GerberReader.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

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
    // Read whole and byte by byte: the reader takes whole words in one go
    // where it can, and must give exactly what the state machine gives.
    auto read = [&](std::size_t chunk, std::vector<DisplayItem> &items) {
        Document doc;
        ApertureTable table;
        table.SetRow(10, "丸", "0.5");
        table.SetRow(11, "サーマル＋", "1-0.5-0.2");
        MacroLibrary library;
        GerberInFormat own = format;
        fuzz::QuietPrompter prompter;
        std::string error;
        try {
            preScanGerber(bytes, own);
            GerberInterpreter interpreter(doc, table, library, own, prompter);
            // Step and repeat, blocks and macros may expand far: a small
            // limit keeps each run short and its memory small.
            interpreter.setItemLimit(200000);
            GerberFileReader reader(interpreter, table, library, own);
            reader.startFile(1);
            bool going = true;
            for (std::size_t at = 0; going && at < bytes.size(); at += chunk)
                going = reader.feed(bytes.substr(at, chunk));
            if (going)
                reader.finish();
        } catch (const KorvaneError &e) {
            // A conversion message ends the load; that is a normal outcome.
            error = e.text();
        }
        for (const DisplayItem &item : doc.displayList.underlay())
            items.push_back(item);
        for (const DisplayItem &item : doc.displayList.main())
            items.push_back(item);
        return error;
    };
    std::vector<DisplayItem> whole, single;
    const std::string wholeError = read(std::max<std::size_t>(bytes.size(), 1), whole);
    if (bytes.size() <= 4096) {
        const std::string singleError = read(1, single);
        if (wholeError != singleError || whole.size() != single.size() ||
            (!whole.empty() && std::memcmp(whole.data(), single.data(), whole.size() * sizeof(DisplayItem)) != 0))
            __builtin_trap();
    }
    return 0;
}
