// The change table reader: any file reads without a crash, and the rows it
// read survive a write and a second read unchanged.
#include "FuzzSupport.h"
#include "renumber/ChangeTable.h"

using namespace korvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    RenumberMode mode = size > 0 && (data[0] & 1) ? RenumberMode::Tool : RenumberMode::DCode;
    ChangeTable table(mode);
    readChangeTableLines(fuzz::textLines(data, size), table);
    ChangeTable again(mode);
    again.rows[0] = {"x", "y"};
    readChangeTableLines(changeTableLines(table, mode, "t.tbl"), again);
    fuzz::check(again.rows == table.rows);
    return 0;
}
