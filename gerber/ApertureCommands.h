#pragma once
// The aperture table's commands: load, save and import with their pickers and
// messages. Each takes the objects it changes and the ports it talks through;
// failures are shown through the Prompter and never thrown.
#include "core/Ports.h"
#include "gerber/ApertureTable.h"
#include "gerber/MacroLibrary.h"

#include <string>

namespace korvane {

// "ロード" of the table window. True when a file was read (also when it
// ended early: the rows read stay).
bool LoadAptFile(ApertureTable &table, MacroLibrary &macros, Prompter &prompter, FilePicker &picker,
                 StatusSink &status);

// The aperture table button of the layer file selection dialog: the same
// load with its own filter, leaving the table's title alone.
bool LoadAptFileForSelection(ApertureTable &table, MacroLibrary &macros, Prompter &prompter, FilePicker &picker,
                             StatusSink &status);

// "セーブ". True when the table was written.
bool SaveAptFile(ApertureTable &table, const MacroLibrary &macros, Prompter &prompter, FilePicker &picker,
                 StatusSink &status);

// "GAPの取込". True when a file was read.
bool ImportGapFile(ApertureTable &table, Prompter &prompter, FilePicker &picker, StatusSink &status);

// The same commands for a path already chosen (the pickers' second half, and
// the batch front end). The picker is only asked for a missing macro library
// or an alternative library name.
enum class TitleRule { SetToFileName, Keep };
bool loadAptPath(const std::string &path, ApertureTable &table, MacroLibrary &macros, Prompter &prompter,
                 FilePicker &picker, TitleRule titleRule = TitleRule::SetToFileName);
bool saveAptPath(const std::string &path, ApertureTable &table, const MacroLibrary &macros, Prompter &prompter,
                 FilePicker &picker);
bool importGapPath(const std::string &path, ApertureTable &table, Prompter &prompter);

}  // namespace korvane
