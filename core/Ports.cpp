#include "core/Ports.h"
#include "core/FileMessageMemory.h"
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

Prompter::Prompter() = default;
Prompter::~Prompter() = default;
Prompter::Prompter(const Prompter &) {}
Prompter &Prompter::operator=(const Prompter &) { return *this; }
FilePicker::~FilePicker() = default;
StatusSink::~StatusSink() = default;

Answer Prompter::askOfferingSameAnswer(MessageKind kind, const std::string &text, bool &sameForRest)
{
    sameForRest = false;
    return show(kind, text, Buttons::YesNo);
}

void Prompter::fileEnded(const std::vector<FileMessage> &) {}

void Prompter::error(const std::string &text) { relay(MessageKind::Error, text, Buttons::Ok); }
void Prompter::warning(const std::string &text) { relay(MessageKind::Warning, text, Buttons::Ok); }
void Prompter::information(const std::string &text) { relay(MessageKind::Information, text, Buttons::Ok); }

bool Prompter::askYesNo(MessageKind kind, const std::string &text)
{
    return relay(kind, text, Buttons::YesNo) == Answer::Yes;
}

void Prompter::beginFile()
{
    if (fileDepth_++ == 0)
        memory_ = std::make_unique<FileMessageMemory>();
}

void Prompter::endFile()
{
    if (fileDepth_ == 0 || --fileDepth_ > 0)
        return;
    const std::unique_ptr<FileMessageMemory> memory = std::move(memory_);
    fileEnded(memory->messages());
}

Answer Prompter::relay(MessageKind kind, const std::string &text, Buttons buttons)
{
    if (!memory_)
        return show(kind, text, buttons);
    return memory_->relay(*this, kind, text, buttons);
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
