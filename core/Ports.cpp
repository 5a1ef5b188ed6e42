#include "core/Ports.h"
#include "core/Messages.h"

namespace korvane {

std::string msg::format(std::string_view pattern, std::string_view value)
{
    std::string out(pattern);
    auto pos = out.find("%s");
    if (pos != std::string::npos)
        out.replace(pos, 2, value);
    return out;
}

std::string msg::outOfRange(std::string_view what, std::string_view value, std::string_view range)
{
    return std::string(what) + " '" + std::string(value) + "' は範囲外です（" + std::string(range) + "）";
}

Prompter::~Prompter() = default;
FilePicker::~FilePicker() = default;
StatusSink::~StatusSink() = default;

void Prompter::error(const std::string &text) { show(MessageKind::Error, text, Buttons::Ok); }
void Prompter::warning(const std::string &text) { show(MessageKind::Warning, text, Buttons::Ok); }
void Prompter::information(const std::string &text) { show(MessageKind::Information, text, Buttons::Ok); }

bool Prompter::askYesNo(MessageKind kind, const std::string &text)
{
    return show(kind, text, Buttons::YesNo) == Answer::Yes;
}

BusyGuard::BusyGuard(StatusSink &sink, const std::string &status) : sink_(sink)
{
    sink_.setBusy(true);
    if (!status.empty())
        sink_.setStatus(status);
}

BusyGuard::~BusyGuard()
{
    sink_.clearStatus();
    sink_.setBusy(false);
}

}  // namespace korvane
