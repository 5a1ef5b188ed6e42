#pragma once
// Non-interactive ports for batch runs: messages go to stderr, questions are
// answered from a fixed choice, pickers are not available.
#include "core/Ports.h"

namespace korvane::cli {

class StderrPrompter : public Prompter {
public:
    explicit StderrPrompter(Answer answerToQuestions = Answer::Yes) : answer_(answerToQuestions) {}
    Answer show(MessageKind kind, const std::string &text, Buttons buttons) override;
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

class SilentStatus : public StatusSink {
public:
    void setStatus(const std::string &) override {}
    void clearStatus() override {}
    void setBusy(bool) override {}
};

}  // namespace korvane::cli
