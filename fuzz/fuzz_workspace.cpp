// libFuzzer target: arbitrary bytes as a workspace file (.gdb). What was read
// is saved and read again: every item must come back with the same integers
// and its reals within the fifteen-digit rounding, and a second save must
// write the very same bytes.
#include "core/WorkspaceFile.h"
#include "fuzz/FuzzSupport.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

using korvane::fuzz::check;

bool near(double a, double b) { return std::fabs(a - b) <= 1e-14 * std::fmax(std::fabs(a), std::fabs(b)) + 1e-300; }

void checkSameItem(const korvane::DisplayItem &a, const korvane::DisplayItem &b)
{
    check(near(a.x1, b.x1) && near(a.x2, b.x2) && near(a.y1, b.y1) && near(a.y2, b.y2));
    check(near(a.sweepEndX, b.sweepEndX) && near(a.sweepStartX, b.sweepStartX));
    check(near(a.sweepEndY, b.sweepEndY) && near(a.sweepStartY, b.sweepStartY));
    check(near(a.width, b.width) && near(a.toolSize, b.toolSize));
    check(a.kind == b.kind && a.fill == b.fill && a.colourLayer == b.colourLayer && a.layer == b.layer &&
          a.code == b.code && a.role == b.role);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace korvane;
    WorkspaceData first = readWorkspace(std::string_view(reinterpret_cast<const char *>(data), size));
    check(first.error.empty() == (first.errorLine == 0));
    check(first.items.size() == 0 || first.headerRead);
    for (const DisplayItem &item : first.items.main())
        check(item.layer >= 1 && item.layer <= LayerCount && item.colourLayer >= 0 && item.colourLayer <= LayerCount &&
              isValidKind(item.kind));

    Document a;
    if (!applyWorkspace(std::move(first), a)) {
        check(a.hasData == 0 && a.displayList.size() == 0);
        return 0;
    }
    check(a.extentX >= 0 && a.extentY >= 0);

    std::string saved = workspaceBytes(a);
    WorkspaceData second = readWorkspace(saved);
    check(second.error.empty());
    check(second.items.size() == a.displayList.size());
    for (std::size_t i = 0; i < second.items.size(); ++i)
        checkSameItem(second.items.main()[i], a.displayList.main()[i]);
    check(near(second.minX, a.minX) && near(second.minY, a.minY));
    check(near(second.extentX, a.extentX) && near(second.extentY, a.extentY));

    Document b;
    check(applyWorkspace(std::move(second), b));
    check(b.gerberLoaded == a.gerberLoaded && b.drillLoaded == a.drillLoaded);
    // Slots without a name are not saved.
    for (int n = 1; n <= LayerCount; ++n)
        if (!a.layers.slot(n).fileName.empty())
            check(b.layers.slot(n).visible == 1 && b.layers.slot(n).colour == a.layers.slot(n).colour);
    check(workspaceBytes(b) == saved);
    return 0;
}
