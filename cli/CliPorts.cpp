#include "cli/CliPorts.h"
#include "core/Messages.h"

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

}  // namespace korvane::cli
