#pragma once
// A batch of Gerber or drill files converted in one run: the input files,
// the proposed output names, and the run that converts each pair with the
// Gerber or drill writer and checks the result.
//
// Before anything is written the run refuses every pair that would destroy
// data: an output that is one of the run's inputs, an output that an earlier
// pair already writes, and an existing output whose overwrite the user
// declined when it was proposed. Each refused pair is reported and the run
// goes on with the others.
#include "convert/CheckedRewrite.h"
#include "convert/OutputCoordinates.h"
#include "core/Formats.h"
#include "core/Ports.h"
#include "gerber/ApertureTable.h"
#include "gerber/MacroLibrary.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

// The proposal for an input: the file name up to and including its first "."
// followed by "cam", or the name followed by ".cam", in the input's folder.
std::string proposedConversionOutput(const std::string &inputPath);

// Whether two paths name one file, existing or not (links, "." and ".."
// included).
bool samePath(const std::string &a, const std::string &b);

class ConversionBatch {
public:
    explicit ConversionBatch(ConversionMode mode = ConversionMode::Gerber) : mode_(mode) {}

    ConversionMode mode() const { return mode_; }
    void setMode(ConversionMode mode) { mode_ = mode; }
    const std::vector<std::string> &inputFiles() const { return inputs_; }
    const std::vector<std::string> &outputFiles() const { return outputs_; }

    void clear();
    // "ﾌｧｲﾙ選択": empties both lists, lets the user pick the inputs and
    // proposes their outputs. False when the picker was cancelled.
    bool selectFiles(Prompter &prompter, FilePicker &picker);
    // The proposals for inputs chosen elsewhere (the batch front end):
    // `outputs` name the first outputs, the rest are proposed, each existing
    // proposal with the overwrite question.
    void setFiles(const std::vector<std::string> &inputs, const std::vector<std::string> &outputs, Prompter &prompter,
                  FilePicker &picker);
    // A new name for one output from the save dialog (double click); the
    // dialog confirmed any overwrite. False when cancelled.
    bool renameOutput(std::size_t index, FilePicker &picker);

    // Why the pair at `index` is not converted, or nothing.
    std::optional<std::string> refusal(std::size_t index) const;

private:
    void propose(Prompter &prompter, FilePicker &picker, std::size_t given);
    void warnSameNames(Prompter &prompter) const;

    ConversionMode mode_;
    std::vector<std::string> inputs_;
    std::vector<std::string> outputs_;
    // Existing outputs the user did not want overwritten.
    std::vector<bool> declined_;
};

// What the run works with; the writers change the input records as the
// files declare their formats, and the automatic aperture setting fills the
// table and library.
struct ConversionResources {
    Settings &settings;
    ApertureTable &table;
    MacroLibrary &library;
};

struct ConversionRunOptions {
    // The answer to the aperture question; nothing: ask it.
    std::optional<bool> autoApertureTable;
    bool check = true;
    // The check may read the input back on a second thread while the writer
    // converts it. Only the batch front end asks for it: the window keeps to
    // its one thread.
    bool checkOnSecondThread = false;
    // Called when a finished run has emptied the lists, before its closing
    // message, so that a window shows them empty.
    std::function<void()> listsEmptied;
};

struct PairOutcome {
    enum class End { Converted, Stopped, Refused, NotReached } end = End::NotReached;
    std::string input, output;
    std::string reason;  // why a pair was refused
    CheckVerdict verdict;
};

struct ConversionRunOutcome {
    // NothingSelected: no input; Finished: every pair was converted, skipped
    // or refused and the lists were emptied; Ended: a file or number error
    // ended the run (lists kept, `error` shown).
    enum class End { NothingSelected, Finished, Ended } end = End::NothingSelected;
    std::vector<PairOutcome> pairs;
    bool autoApertureTable = false;
    std::string error;
};

// "実  行": converts every pair in order and shows the closing message with
// each pair's ending and check verdict.
ConversionRunOutcome runConversion(ConversionBatch &batch, ConversionResources &resources, Prompter &prompter,
                                   StatusSink &status, const ConversionRunOptions &options = {});

// The closing message of a finished run.
std::string conversionSummary(const ConversionRunOutcome &outcome);

}  // namespace korvane
