#include "cli/CliPorts.h"
#include "core/Messages.h"

#include <iostream>

namespace korvane::cli {

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

} // namespace korvane::cli
