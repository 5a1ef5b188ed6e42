#pragma once
// The small interfaces through which the core reaches the platform.
// platform/ implements them with Qt; tests implement them with scripted fakes.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

enum class MessageKind { Error, Warning, Information, Confirmation };
enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

// A distinct message of one file and how often the file brought it up.
struct FileMessage {
    MessageKind kind;
    Buttons buttons;
    std::string text;
    Answer answer;
    // This message, plus, when it was answered for the rest of the file, the
    // questions of its kind that took the same answer.
    std::size_t times = 1;
    bool sameForRest = false;
};

class FileMessageMemory;

class Prompter {
public:
    Prompter();
    virtual ~Prompter();
    // A copy starts outside any file: what a file has shown is not copied.
    Prompter(const Prompter &other);
    Prompter &operator=(const Prompter &other);

    // Shows one modal message box and returns the button pressed.
    virtual Answer show(MessageKind kind, const std::string &text, Buttons buttons) = 0;
    // A Yes/No question inside a file: the adapter may offer to give the
    // same answer to the questions of its kind for the rest of the file and
    // sets `sameForRest` when that was chosen. By default a plain question.
    virtual Answer askOfferingSameAnswer(MessageKind kind, const std::string &text, bool &sameForRest);
    // The end of a file's messages (FileMessages below): every distinct one,
    // in the order they came, with their counts.
    virtual void fileEnded(const std::vector<FileMessage> &messages);

    void error(const std::string &text);
    void warning(const std::string &text);
    void information(const std::string &text);
    bool askYesNo(MessageKind kind, const std::string &text);

    // Within a file a message that comes again for the same cause (the same
    // text) is shown once and takes its first answer again; a question of
    // the kind the user answered for the rest of the file (the same text but
    // for its numbers: another D-code, another tool) is not asked again.
    // Nested calls belong to the outermost file.
    void beginFile();
    void endFile();

protected:
    bool insideFile() const { return fileDepth_ > 0; }

private:
    Answer relay(MessageKind kind, const std::string &text, Buttons buttons);

    std::unique_ptr<FileMessageMemory> memory_;
    int fileDepth_ = 0;
};

// The messages of one file, from construction to destruction.
class FileMessages {
public:
    explicit FileMessages(Prompter &prompter) : prompter_(prompter) { prompter_.beginFile(); }
    ~FileMessages() { prompter_.endFile(); }
    FileMessages(const FileMessages &) = delete;
    FileMessages &operator=(const FileMessages &) = delete;

private:
    Prompter &prompter_;
};

struct FileDialogSpec {
    std::string title;
    // "Name(*.ext)|*.ext|Name(*.*)|*.*" as the commands state it.
    std::string filter;
    std::string defaultExtension;  // without the dot
    std::string proposedName;      // a pattern like "*.prm" is not a name
    std::string initialDirectory;
    bool confirmOverwrite = false;
};

class FilePicker {
public:
    virtual ~FilePicker();
    virtual std::optional<std::string> openFile(const FileDialogSpec &request) = 0;
    virtual std::vector<std::string> openFiles(const FileDialogSpec &request) = 0;
    virtual std::optional<std::string> saveFile(const FileDialogSpec &request) = 0;
};

class StatusSink {
public:
    virtual ~StatusSink();
    virtual void setStatus(const std::string &text) = 0;
    virtual void clearStatus() = 0;
    virtual void setBusy(bool busy) = 0;
    // Lets pending events run; true when the user asked to cancel.
    virtual bool pumpEvents() { return false; }
};

// Busy pointer and status text for the lifetime of a command, restored on
// every exit path, errors included.
class BusyGuard {
public:
    BusyGuard(StatusSink &sink, const std::string &status = {});
    ~BusyGuard();
    BusyGuard(const BusyGuard &) = delete;
    BusyGuard &operator=(const BusyGuard &) = delete;

private:
    StatusSink &sink_;
};

}  // namespace korvane
