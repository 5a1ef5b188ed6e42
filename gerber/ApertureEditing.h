#pragma once
// Rules of editing a table row by clicks, kept apart from the window so
// that they can be tested without one.
#include "gerber/ApertureTable.h"
#include "gerber/MacroLibrary.h"

#include <array>
#include <string>

namespace korvane {

// The entries of the shape pick list, in order; the first is the blank.
extern const std::array<const char *, 13> ShapePickEntries;

// A row whose shape contains "カスタム" cannot be changed by clicking.
bool isRowLocked(const ApertureDef &row);
// A click on the D-code cell of such a row opens the macro preview.
bool isMacroRow(const ApertureDef &row);

// Stores a picked shape; true when the size entry box must follow (false
// for the marks whose size is the fixed placeholder).
bool applyShapePick(ApertureDef &row, const std::string &pick);

enum class SizeEntryExit { Ok, Cancel, Escape };
// OK stores the typed text; Cancel keeps the old size; Esc keeps it too
// unless the row had a size, in which case the typed text is stored.
void applySizeEntry(ApertureDef &row, SizeEntryExit exit, const std::string &typed);

// The characters the size box lets through (besides backspace).
bool isSizeCharacter(char32_t c);

// The text at the top of the macro preview: "D12: Macro 5 (RECT-D12)".
std::string macroPreviewCaption(const ApertureDef &row, const MacroLibrary &macros);

}  // namespace korvane
