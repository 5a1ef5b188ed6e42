#include "gerber/ApertureEditing.h"
#include "core/Numbers.h"
#include "gerber/ApertureTexts.h"

namespace korvane {

const std::array<const char *, 13> ShapePickEntries = {
    aptmsg::Blank,      aptmsg::Round,       aptmsg::Square,      aptmsg::Rectangle, aptmsg::Oblong,
    aptmsg::DrillHole,  aptmsg::Target,      aptmsg::Counterbore, aptmsg::ThermalX,  aptmsg::ThermalPlus,
    aptmsg::RoundDonut, aptmsg::SquareDonut, aptmsg::OblongDonut,
};

bool isRowLocked(const ApertureDef &row) { return row.shape.find(aptmsg::Custom) != std::string::npos; }

bool isMacroRow(const ApertureDef &row) { return row.shape.find(aptmsg::Macro) != std::string::npos; }

bool applyShapePick(ApertureDef &row, const std::string &pick)
{
    row.shape = pick.empty() ? std::string(aptmsg::Blank) : pick;
    if (pick == aptmsg::Target || pick == aptmsg::Counterbore) {
        row.size = aptmsg::NoSize;
        return false;
    }
    return true;
}

void applySizeEntry(ApertureDef &row, SizeEntryExit exit, const std::string &typed)
{
    switch (exit) {
    case SizeEntryExit::Ok: row.size = typed; break;
    case SizeEntryExit::Cancel: break;
    case SizeEntryExit::Escape:
        if (!row.size.empty())
            row.size = typed;
        break;
    }
}

bool isSizeCharacter(char32_t c) { return (c >= U'0' && c <= U'9') || c == U'-' || c == U'.'; }

std::string macroPreviewCaption(const ApertureDef &row, const MacroLibrary &macros)
{
    // The shape is "Macro" and the number of the macro's name line.
    std::string name;
    if (int line = macroLineOf(row.shape); line > 0)
        name = macros.line(line);
    return row.dcodeLabel + ": " + row.shape + " (" + name + ")";
}

}  // namespace korvane
