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

namespace {

void writeMessage(const FileMessage &m)
{
    const char *title = m.kind == MessageKind::Error         ? msg::TitleError
                        : m.kind == MessageKind::Warning     ? msg::TitleWarning
                        : m.kind == MessageKind::Information ? msg::TitleInformation
                                                             : msg::TitleConfirmation;
    std::cerr << title << ": " << m.text;
    if (m.buttons == Buttons::YesNo)
        std::cerr << (m.answer == Answer::Yes ? " -> はい" : " -> いいえ");
    if (m.times > 1 && m.sameForRest)
        std::cerr << "（同じ種類の質問 " << m.times << " 回に同じ回答）";
    else if (m.times > 1)
        std::cerr << "（" << m.times << " 回）";
    std::cerr << '\n';
}

}  // namespace

Answer StderrPrompter::show(MessageKind kind, const std::string &text, Buttons buttons)
{
    if (kind == MessageKind::Error)
        ++errors_;
    const Answer answer = buttons == Buttons::YesNo ? answer_ : Answer::Ok;
    // A file's messages are written with their counts when it ends.
    if (!insideFile())
        writeMessage({kind, buttons, text, answer});
    return answer;
}

Answer StderrPrompter::askOfferingSameAnswer(MessageKind kind, const std::string &text, bool &sameForRest)
{
    // The batch gives every question the same answer anyway.
    sameForRest = true;
    return show(kind, text, Buttons::YesNo);
}

void StderrPrompter::fileEnded(const std::vector<FileMessage> &messages)
{
    for (const FileMessage &m : messages)
        writeMessage(m);
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
