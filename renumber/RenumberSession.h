#pragma once
// What the renumbering dialog holds between its buttons: the mode, the
// change table, the table file's name and the two CAM files, and the
// commands of its buttons.
#include "core/Ports.h"
#include "renumber/Renumbering.h"

#include <string>
#include <vector>

namespace korvane {

struct RenumberSession {
    explicit RenumberSession(RenumberMode mode = RenumberMode::DCode) : mode(mode), table(mode) {}

    RenumberMode mode;
    ChangeTable table;
    std::string tableFileName;  // without folder
    std::string inputPath;
    std::string outputPath;

    // A new mode empties everything and gives the table its row count.
    void setMode(RenumberMode newMode);
    // "閉じる": empties the rows and the three names.
    void clear();

    // "読  込" / "保  存": false when cancelled or failed (the error shown).
    bool loadTable(Prompter &prompter, FilePicker &picker, StatusSink &status);
    bool saveTable(Prompter &prompter, FilePicker &picker, StatusSink &status);
    // "CAMﾌｧｲﾙ選択": the input, then the output; a cancelled second dialog
    // leaves the output as it was. False when the first was cancelled.
    bool selectFiles(FilePicker &picker);
    // "実  行": the three checks, then the copy into `report`. False when a
    // check or an error (shown) stopped the run.
    bool run(Prompter &prompter, StatusSink &status, RenumberReportSink &report) const;
};

}  // namespace korvane
