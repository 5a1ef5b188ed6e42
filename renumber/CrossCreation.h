#pragma once
// Cross-creation: a drill program from the flashes of a Gerber file, or a
// Gerber file from the hits of a drill program, with the tool (or D-code)
// each code gets from the creation table, and a report of the codes met and
// their hits.
#include "convert/CheckedRewrite.h"
#include "convert/OutputFile.h"
#include "core/Formats.h"
#include "core/Ports.h"
#include "gerber/ApertureTable.h"
#include "gerber/MacroLibrary.h"
#include "renumber/CreationTable.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

struct CreationReportRow {
    std::string source;
    std::string target;
    std::size_t count = 0;
};

struct CreationReport {
    std::string inputPath;
    std::string outputPath;
    std::vector<CreationReportRow> rows;
};

// The records a creation reads; the readers write back into the input
// record what a file declares, and RS-274X output forces leading-zero
// suppression into GerberOutFormat, as the format conversion does.
struct CrossCreationContext {
    GerberInFormat &gerberIn;
    GerberOutFormat &gerberOut;
    DrillInFormat &drillIn;
    DrillOutFormat &drillOut;
    const ApertureTable &apertures;
    const MacroLibrary &macros;
    Prompter &prompter;
};

// Stop messages of a creation (shown through the prompter, no report).
struct CreationStop {
    std::string text;
};

// The two creations on bytes in memory. Numbers that are not numbers and
// digit counts that are not integers throw KorvaneError; a D-code that
// RS-274X output cannot define throws CreationStop. Every hit and flash
// counts for the report row opened last.
void createDrillFromGerber(CrossCreationContext &ctx, const CreationTable &table, std::string_view gerber,
                           ByteSink &drill, CreationReport &report);
void createGerberFromDrill(CrossCreationContext &ctx, const CreationTable &table, std::string_view drill,
                           ByteSink &gerber, CreationReport &report);

// One creation from file to file: the output is written to a temporary file
// beside it and renamed only when the run completed, never onto the input.
// Stop messages are shown through the prompter and give nothing; file and
// number errors throw KorvaneError.
std::optional<CreationReport> createFile(CreationDirection direction, CrossCreationContext &ctx,
                                         const CreationTable &table, const std::string &inputPath,
                                         const std::string &outputPath);

// "実  行": the three checks (error boxes), then the creation with the busy
// pointer and the status text; errors are shown. The report when it ran to
// its end.
std::optional<CreationReport> runCrossCreation(CreationDirection direction, CrossCreationContext &ctx,
                                               StatusSink &status, const CreationTable &table,
                                               const std::string &sourcePath, const std::string &targetPath);

// The report's rows as lines of text: running number, the two codes, count.
std::vector<std::string> creationReportLines(CreationDirection direction, const CreationReport &report);

// Checks of a created file, read back with the program's own readers: every
// flash of the Gerber input is a hit of the created drill file at the same
// place (within half an output unit, 0.6 of one from mm to mm, where the coordinate step rounds with a bias) with the
// tool its D-code was given (flashes that a drill reader cannot place under a tool, those before the first tool of 1 to
// 36, are left out on both sides); every hit of the drill input is a flash of the created Gerber file, in order.
// `gerberIn` and `drillIn` are the input records as they stood before the creation.
CheckVerdict checkCreatedDrill(const std::string &gerberPath, const GerberInFormat &gerberIn,
                               const CreationTable &table, const std::string &drillPath,
                               const DrillOutFormat &drillOut);
CheckVerdict checkCreatedGerber(const std::string &drillPath, const DrillInFormat &drillIn,
                                const std::string &gerberPath, const GerberOutFormat &gerberOut);

}  // namespace korvane
