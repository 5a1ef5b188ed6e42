#pragma once
// Scripted fakes of the core's ports: they record every message and answer
// questions and file pickers from queues set up by the test.
#include "core/Ports.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace korvane::testing {

struct ShownMessage {
    MessageKind kind;
    std::string text;
    Buttons buttons;
};

class FakePrompter : public Prompter {
public:
    std::vector<ShownMessage> shown;
    std::deque<Answer> answers;  // consumed by Yes/No questions; Yes when empty

    Answer show(MessageKind kind, const std::string &text, Buttons buttons) override
    {
        shown.push_back({kind, text, buttons});
        if (buttons == Buttons::Ok)
            return Answer::Ok;
        if (answers.empty())
            return Answer::Yes;
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }

    std::vector<std::string> texts() const
    {
        std::vector<std::string> out;
        for (const auto &m : shown)
            out.push_back(m.text);
        return out;
    }
};

class FakeFilePicker : public FilePicker {
public:
    std::vector<FileDialogSpec> asked;
    std::deque<std::optional<std::string>> openAnswers;
    std::deque<std::vector<std::string>> openManyAnswers;
    std::deque<std::optional<std::string>> saveAnswers;

    std::optional<std::string> openFile(const FileDialogSpec &request) override
    {
        asked.push_back(request);
        return pop(openAnswers);
    }
    std::vector<std::string> openFiles(const FileDialogSpec &request) override
    {
        asked.push_back(request);
        if (openManyAnswers.empty())
            return {};
        auto v = openManyAnswers.front();
        openManyAnswers.pop_front();
        return v;
    }
    std::optional<std::string> saveFile(const FileDialogSpec &request) override
    {
        asked.push_back(request);
        return pop(saveAnswers);
    }

private:
    static std::optional<std::string> pop(std::deque<std::optional<std::string>> &q)
    {
        if (q.empty())
            return std::nullopt;
        auto v = q.front();
        q.pop_front();
        return v;
    }
};

class FakeStatus : public StatusSink {
public:
    std::vector<std::string> statusHistory;
    std::string status;
    int busyDepth = 0;
    int maxBusyDepth = 0;
    bool cancelRequested = false;

    void setStatus(const std::string &text) override
    {
        status = text;
        statusHistory.push_back(text);
    }
    void clearStatus() override { status.clear(); }
    void setBusy(bool busy) override
    {
        busyDepth += busy ? 1 : -1;
        if (busyDepth > maxBusyDepth)
            maxBusyDepth = busyDepth;
    }
    bool pumpEvents() override { return cancelRequested; }
};

}  // namespace korvane::testing
