// Renumbering arbitrary data by an arbitrary table. The first byte picks the
// mode and the piece size, the bytes up to the first NUL are the table file,
// the rest is the CAM file. Fed whole or in pieces, the output and report are
// the same; a table that maps every word to itself leaves a drill file as it
// was.
#include "FuzzSupport.h"
#include "renumber/Renumbering.h"

#include <algorithm>

using namespace korvane;

namespace {

std::pair<std::string, std::vector<RenumberReportLine>> renumber(RenumberMode mode, const ChangeTable &table,
                                                                 std::string_view input, std::size_t piece)
{
    StringSink sink;
    RenumberReportLines report;
    Renumberer r(mode, table, sink, report);
    for (std::size_t i = 0; i < input.size(); i += piece)
        r.feed(input.substr(i, piece));
    r.finish();
    return {sink.text, report.lines};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    RenumberMode mode = (data[0] & 1) ? RenumberMode::Tool : RenumberMode::DCode;
    std::size_t piece = 1 + (data[0] >> 1);
    std::string_view rest(reinterpret_cast<const char *>(data + 1), size - 1);
    std::size_t nul = std::min(rest.find('\0'), rest.size());
    ChangeTable table(mode);
    auto tableBytes = rest.substr(0, nul);
    readChangeTableLines(fuzz::textLines(reinterpret_cast<const std::uint8_t *>(tableBytes.data()), tableBytes.size()),
                         table);
    std::string_view input = rest.substr(std::min(nul + 1, rest.size()));

    auto whole = renumber(mode, table, input, input.size() + 1);
    auto pieces = renumber(mode, table, input, piece);
    fuzz::check(whole == pieces);

    if (mode == RenumberMode::Tool) {
        ChangeTable same(mode);
        for (std::size_t i = 0; i < same.rows.size(); ++i)
            same.rows[i] = {table.rows[i].before, table.rows[i].before};
        fuzz::check(renumber(mode, same, input, piece).first == input);
    }
    return 0;
}
