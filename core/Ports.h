#pragma once
// The small interfaces through which the core reaches the platform.
// platform/ implements them with Qt; tests implement them with scripted fakes.
#include <optional>
#include <string>
#include <vector>

namespace korvane {

enum class MessageKind { Error, Warning, Information, Confirmation };
enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

class Prompter {
public:
    virtual ~Prompter();
    // Shows one modal message box and returns the button pressed.
    virtual Answer show(MessageKind kind, const std::string &text, Buttons buttons) = 0;

    void error(const std::string &text);
    void warning(const std::string &text);
    void information(const std::string &text);
    bool askYesNo(MessageKind kind, const std::string &text);
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
