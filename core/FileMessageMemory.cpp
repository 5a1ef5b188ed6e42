#include "core/FileMessageMemory.h"

namespace korvane {
namespace {

std::string keyOf(MessageKind kind, Buttons buttons, std::string_view text)
{
    std::string key;
    key.reserve(text.size() + 2);
    key += static_cast<char>('0' + static_cast<int>(kind));
    key += static_cast<char>('0' + static_cast<int>(buttons));
    key += text;
    return key;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string kindOfText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!isDigit(text[i])) {
            out += text[i];
            continue;
        }
        out += '#';
        while (i + 1 < text.size() && isDigit(text[i + 1]))
            ++i;
    }
    return out;
}

Answer FileMessageMemory::relay(Prompter &prompter, MessageKind kind, const std::string &text, Buttons buttons)
{
    const std::string key = keyOf(kind, buttons, text);
    if (auto seen = byText_.find(key); seen != byText_.end()) {
        FileMessage &m = messages_[seen->second];
        ++m.times;
        return m.answer;
    }
    if (buttons == Buttons::Ok) {
        const Answer a = prompter.show(kind, text, buttons);
        byText_.emplace(key, messages_.size());
        messages_.push_back({kind, buttons, text, a});
        return a;
    }
    std::string kindKey = keyOf(kind, buttons, kindOfText(text));
    if (auto answered = answeredKinds_.find(kindKey); answered != answeredKinds_.end()) {
        FileMessage &m = messages_[answered->second];
        ++m.times;
        return m.answer;
    }
    bool sameForRest = false;
    const Answer a = prompter.askOfferingSameAnswer(kind, text, sameForRest);
    byText_.emplace(key, messages_.size());
    if (sameForRest)
        answeredKinds_.emplace(std::move(kindKey), messages_.size());
    messages_.push_back({kind, buttons, text, a, 1, sameForRest});
    return a;
}

}  // namespace korvane
