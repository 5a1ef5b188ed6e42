#include "convert/ConversionBatch.h"
#include "convert/ConvertTexts.h"
#include "convert/DrillWriter.h"
#include "convert/GerberWriter.h"
#include "convert/OutputFile.h"
#include "convert/TapeCommands.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/TextFile.h"

#include <filesystem>
#include <future>
#include <memory>

namespace korvane {

std::string proposedConversionOutput(const std::string &inputPath)
{
    std::string name = fileNameOf(inputPath);
    return inputPath.substr(0, inputPath.size() - name.size()) + proposedTapeName(name, "cam");
}

bool samePath(const std::string &a, const std::string &b)
{
    if (sameFile(a, b))
        return true;
    std::error_code ea, eb;
    auto ca = std::filesystem::weakly_canonical(std::filesystem::absolute(a, ea), ea);
    auto cb = std::filesystem::weakly_canonical(std::filesystem::absolute(b, eb), eb);
    return !ea && !eb && ca == cb;
}

void ConversionBatch::clear()
{
    inputs_.clear();
    outputs_.clear();
    declined_.clear();
}

bool ConversionBatch::selectFiles(Prompter &prompter, FilePicker &picker)
{
    clear();
    FileDialogSpec open;
    bool gerber = mode_ != ConversionMode::Drill;
    open.title = gerber ? convmsg::GerberSelectTitle : convmsg::DrillSelectTitle;
    open.filter = gerber ? convmsg::GerberFilesFilter : convmsg::DrillFilesFilter;
    std::vector<std::string> picked = picker.openFiles(open);
    if (picked.empty())
        return false;
    inputs_ = std::move(picked);
    propose(prompter, picker, 0);
    return true;
}

void ConversionBatch::setFiles(const std::vector<std::string> &inputs, const std::vector<std::string> &outputs,
                               Prompter &prompter, FilePicker &picker)
{
    clear();
    inputs_ = inputs;
    std::size_t given = std::min(outputs.size(), inputs.size());
    outputs_.assign(outputs.begin(), outputs.begin() + static_cast<std::ptrdiff_t>(given));
    declined_.assign(given, false);
    propose(prompter, picker, given);
}

void ConversionBatch::propose(Prompter &prompter, FilePicker &picker, std::size_t given)
{
    for (std::size_t i = given; i < inputs_.size(); ++i) {
        std::string output = proposedConversionOutput(inputs_[i]);
        bool declined = false;
        if (fileExists(output) && !prompter.askYesNo(MessageKind::Warning, output + convmsg::OutputExistsSuffix)) {
            FileDialogSpec save;
            save.title = convmsg::OutputNameTitle;
            save.filter = convmsg::AllFilesFilter;
            save.proposedName = output;
            save.confirmOverwrite = true;
            if (auto chosen = picker.saveFile(save))
                output = *chosen;
            else
                declined = true;
        }
        outputs_.push_back(output);
        declined_.push_back(declined);
    }
    warnSameNames(prompter);
}

void ConversionBatch::warnSameNames(Prompter &prompter) const
{
    for (std::size_t i = 0; i < inputs_.size(); ++i) {
        if (samePath(inputs_[i], outputs_[i])) {
            prompter.warning(convmsg::SameNames);
            return;
        }
    }
}

bool ConversionBatch::renameOutput(std::size_t index, FilePicker &picker)
{
    if (index >= outputs_.size())
        return false;
    FileDialogSpec save;
    save.title = convmsg::OutputNameTitle;
    save.filter = convmsg::AllFilesFilter;
    save.proposedName = outputs_[index];
    save.confirmOverwrite = true;
    auto chosen = picker.saveFile(save);
    if (!chosen)
        return false;
    outputs_[index] = *chosen;
    declined_[index] = false;
    return true;
}

std::optional<std::string> ConversionBatch::refusal(std::size_t index) const
{
    const std::string &output = outputs_[index];
    for (const std::string &input : inputs_)
        if (samePath(input, output))
            return std::string(convmsg::RefusedOutputIsAnInput);
    for (std::size_t earlier = 0; earlier < index; ++earlier)
        if (samePath(outputs_[earlier], output))
            return std::string(convmsg::RefusedOutputTaken);
    if (declined_[index] && fileExists(output))
        return std::string(convmsg::RefusedOverwriteDeclined);
    return std::nullopt;
}

namespace {

std::string pairText(const PairOutcome &pair) { return fileNameOf(pair.input) + " → " + fileNameOf(pair.output); }

// One pair through the writer. True when the output was written; a stop
// message of the writer has been shown when false.
bool convertPair(PairOutcome &pair, ConversionMode mode, ConversionResources &res, Prompter &prompter, bool autoTable,
                 bool check, bool checkOnSecondThread)
{
    Settings &s = res.settings;
    if (mode == ConversionMode::Drill) {
        DrillInFormat before = s.drillIn;
        DrillWriteContext ctx{s.drillIn, s.drillOut, ConversionMode::Drill, {}};
        writeDrillFile(ctx, pair.input, pair.output);
        if (!ctx.note.empty())
            prompter.information(ctx.note);
        if (check)
            pair.verdict = checkDrillRewrite(pair.input, before, pair.output, s.drillOut, ConversionMode::Drill);
        return true;
    }
    GerberInFormat before = s.gerberIn;
    std::unique_ptr<ApertureTable> tableBefore;
    std::unique_ptr<MacroLibrary> libraryBefore;
    // On a second thread the check reads the input back while the writer
    // converts it (its own copies of the formats and tables, its own
    // reader); otherwise, and where no thread can be started, the input is
    // read after the conversion. The output is read once it is written.
    std::future<std::unique_ptr<GerberReadBack>> readBack;
    if (check) {
        tableBefore = std::make_unique<ApertureTable>(res.table);
        libraryBefore = std::make_unique<MacroLibrary>(res.library);
        const auto policy = checkOnSecondThread ? std::launch::async | std::launch::deferred : std::launch::deferred;
        readBack = std::async(policy, [&pair, &before, &tableBefore, &libraryBefore, outDialect = s.gerberOut.dialect] {
            return std::make_unique<GerberReadBack>(pair.input, before, *tableBefore, *libraryBefore, outDialect);
        });
    }
    GerberWriteContext ctx{s.gerberIn, s.gerberOut, res.table, res.library, prompter, autoTable};
    if (writeGerberFile(ctx, pair.input, pair.output) == WriteEnd::Stopped)
        return false;
    if (check)
        pair.verdict = readBack.get()->compare(pair.output, s.gerberOut);
    return true;
}

}  // namespace

ConversionRunOutcome runConversion(ConversionBatch &batch, ConversionResources &res, Prompter &prompter,
                                   StatusSink &status, const ConversionRunOptions &options)
{
    ConversionRunOutcome outcome;
    if (batch.inputFiles().empty()) {
        prompter.error(convmsg::SelectFiles);
        return outcome;
    }
    BusyGuard busy(status);
    std::size_t count = batch.inputFiles().size();
    for (std::size_t i = 0; i < count; ++i) {
        PairOutcome pair;
        pair.input = batch.inputFiles()[i];
        pair.output = batch.outputFiles()[i];
        if (auto why = batch.refusal(i)) {
            pair.end = PairOutcome::End::Refused;
            pair.reason = *why;
        }
        outcome.pairs.push_back(std::move(pair));
    }

    ConversionMode mode = batch.mode();
    Settings &s = res.settings;
    bool anyToConvert = false;
    for (const PairOutcome &pair : outcome.pairs)
        anyToConvert = anyToConvert || pair.end != PairOutcome::End::Refused;
    if (mode != ConversionMode::Drill && anyToConvert && s.gerberIn.dialect == GerberDialect::Rs274X &&
        s.gerberOut.dialect == GerberDialect::Rs274D) {
        outcome.autoApertureTable = options.autoApertureTable
                                        ? *options.autoApertureTable
                                        : prompter.askYesNo(MessageKind::Confirmation, convmsg::AskAutoApertureTable);
        if (outcome.autoApertureTable)
            res.table.Clear();
    }

    for (PairOutcome &pair : outcome.pairs) {
        if (pair.end == PairOutcome::End::Refused) {
            prompter.warning(convmsg::RefusedPair + pairText(pair) + "\n" + pair.reason);
            continue;
        }
        status.setStatus(fileNameOf(pair.input) + convmsg::ConvertingSuffix);
        try {
            const FileMessages fileMessages(prompter);
            bool written = convertPair(pair, mode, res, prompter, outcome.autoApertureTable, options.check,
                                       options.checkOnSecondThread);
            pair.end = written ? PairOutcome::End::Converted : PairOutcome::End::Stopped;
        } catch (const KorvaneError &e) {
            outcome.end = ConversionRunOutcome::End::Ended;
            outcome.error = e.text();
            prompter.error(e.text());
            return outcome;
        }
    }
    batch.clear();
    if (options.listsEmptied)
        options.listsEmptied();
    outcome.end = ConversionRunOutcome::End::Finished;
    status.clearStatus();
    prompter.information(conversionSummary(outcome));
    return outcome;
}

std::string conversionSummary(const ConversionRunOutcome &outcome)
{
    std::string text = convmsg::BatchDone;
    if (!outcome.pairs.empty())
        text += "\n";
    for (const PairOutcome &pair : outcome.pairs) {
        text += "\n" + pairText(pair) + ": ";
        switch (pair.end) {
        case PairOutcome::End::Converted: text += verdictText(pair.verdict); break;
        case PairOutcome::End::Stopped: text += convmsg::PairStopped; break;
        case PairOutcome::End::Refused:
            text += std::string(convmsg::PairNotConverted) + "（" + pair.reason + "）";
            break;
        case PairOutcome::End::NotReached: text += convmsg::PairNotConverted; break;
        }
    }
    return text;
}

}  // namespace korvane
