#pragma once
// Non-interactive ports for batch runs: messages go to stderr, questions are
// answered from a fixed choice, pickers are not available.
#include "core/Ports.h"
#include "core/SettingsFile.h"

namespace korvane::cli {

// Inside a file each distinct message is written once, at the file's end,
// with how often it came; every question of a kind takes the one answer.
class StderrPrompter : public Prompter {
public:
    explicit StderrPrompter(Answer answerToQuestions = Answer::Yes) : answer_(answerToQuestions) {}
    Answer show(MessageKind kind, const std::string &text, Buttons buttons) override;
    Answer askOfferingSameAnswer(MessageKind kind, const std::string &text, bool &sameForRest) override;
    void fileEnded(const std::vector<FileMessage> &messages) override;
    int errorCount() const { return errors_; }

private:
    Answer answer_;
    int errors_ = 0;
};

// Batch runs have nobody to pick a file: every picker is cancelled.
class NoFilePicker : public FilePicker {
public:
    std::optional<std::string> openFile(const FileDialogSpec &) override { return std::nullopt; }
    std::vector<std::string> openFiles(const FileDialogSpec &) override { return {}; }
    std::optional<std::string> saveFile(const FileDialogSpec &) override { return std::nullopt; }
};

// The folder the batch run was started in.
std::string currentDirectory();

// Qt warns on standard error when the session has no runtime folder, which
// a batch run on a server often lacks and never needs: that warning is left
// out, every other message of Qt still shows.
void dropRuntimeFolderWarning();

// Reads the settings file as the program does at start-up; what the reading
// reports is preceded by the file's path, since a batch run has no window
// that says which file was meant.
void loadSettingsFor(const std::string &path, Settings &settings, Prompter &prompter);

class SilentStatus : public StatusSink {
public:
    void setStatus(const std::string &) override {}
    void clearStatus() override {}
    void setBusy(bool) override {}
};

}  // namespace korvane::cli
