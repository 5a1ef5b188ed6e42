#include "cli/CliPorts.h"
#include "core/Messages.h"
#include "core/SettingsFile.h"

#include <QString>
#include <QtGlobal>

#include <iostream>
#include <unistd.h>
#include <vector>

namespace korvane::cli {

std::string currentDirectory()
{
    std::vector<char> buffer(4096);
    if (::getcwd(buffer.data(), buffer.size()))
        return buffer.data();
    return ".";
}

Answer StderrPrompter::show(MessageKind kind, const std::string &text, Buttons buttons)
{
    const char *title = kind == MessageKind::Error         ? msg::TitleError
                        : kind == MessageKind::Warning     ? msg::TitleWarning
                        : kind == MessageKind::Information ? msg::TitleInformation
                                                           : msg::TitleConfirmation;
    if (kind == MessageKind::Error)
        ++errors_;
    std::cerr << title << ": " << text;
    if (buttons == Buttons::YesNo)
        std::cerr << (answer_ == Answer::Yes ? " -> はい" : " -> いいえ");
    std::cerr << '\n';
    return buttons == Buttons::YesNo ? answer_ : Answer::Ok;
}

namespace {

class NamingPrompter : public Prompter {
public:
    NamingPrompter(Prompter &to, const std::string &name) : to_(to), name_(name) {}
    Answer show(MessageKind kind, const std::string &text, Buttons buttons) override
    {
        return to_.show(kind, name_ + ": " + text, buttons);
    }

private:
    Prompter &to_;
    const std::string &name_;
};

}  // namespace

void dropRuntimeFolderWarning()
{
    static const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &text) {
            if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
                return;
            if (previous != nullptr)
                previous(type, context, text);
            else
                std::cerr << text.toStdString() << '\n';
        });
}

void loadSettingsFor(const std::string &path, Settings &settings, Prompter &prompter)
{
    NamingPrompter named(prompter, path);
    loadSettingsFile(path, settings, named);
}

}  // namespace korvane::cli
