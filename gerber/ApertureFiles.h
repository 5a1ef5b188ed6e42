#pragma once
// The aperture table's file forms: the binary .apt table, the .gap text
// import, and the names derived from a table's path.
#include "gerber/ApertureTable.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvane {

inline constexpr std::size_t AptRecordSize = 37;
inline constexpr std::size_t AptShapeBytes = 15;
inline constexpr std::size_t AptSizeBytes = 20;
inline constexpr std::size_t AptFileSize = AptRecordSize * ApertureRowCount;  // 36630

// Reads .apt records into rows 1 to 990 in order (the rows are not cleared
// first). A damaged length byte is clamped to its field. Returns false when
// the bytes end before the 990th record; the complete records before that
// point are kept.
bool readAptRecords(std::string_view bytes, ApertureTable &table);

// Whether bytes can be an .apt table, torn or whole: at least one complete
// record, and most complete records with both length bytes within their
// fields. A text file put in its place fails (its bytes are letters).
bool looksLikeAptTable(std::string_view bytes);

// The 990 records. A text longer than its field is cut on a character
// boundary; the D-codes of rows whose shape or size was cut are added to
// `cutDCodes` when given.
std::string aptBytes(const ApertureTable &table, std::vector<int> *cutDCodes = nullptr);

// UTF-8 text to code page 932, at most maxBytes long, never ending in half
// of a double-byte character. `wasCut` tells whether anything was dropped.
std::string cp932Field(std::string_view utf8, std::size_t maxBytes, bool *wasCut = nullptr);

// Fills the table from .gap bytes (code page 932); the rows are not cleared
// first. Throws KorvaneError with the conversion message when a data line's
// first field is not "D" and a number; the rows filled before stay.
void readGapLines(std::string_view bytes, ApertureTable &table);

// The macro library beside a table: the file name cut after its first "."
// with "lib" appended ("board.top.apt" -> "board.lib"), or ".lib" appended
// to a name without "."; the folder is the table's own.
std::string macroLibraryPathFor(std::string_view tablePath);

// The name proposed in the table's save dialog for the current title.
std::string proposedSaveName(std::string_view title);

}  // namespace korvane
