#pragma once
// What one file has shown: each distinct message with its answer, and the
// kinds of question answered for the rest of the file. A file that selects a
// million undefined D-codes asks one question, not a million.
#include "core/Ports.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace korvane {

// The text with every run of digits as "#": the questions about D10 and
// D11, or tool 3 and tool 4, are of one kind.
std::string kindOfText(std::string_view text);

class FileMessageMemory {
public:
    // Shows the message through `prompter` unless the file has answered it.
    Answer relay(Prompter &prompter, MessageKind kind, const std::string &text, Buttons buttons);
    const std::vector<FileMessage> &messages() const { return messages_; }

private:
    std::vector<FileMessage> messages_;
    std::unordered_map<std::string, std::size_t> byText_;
    std::unordered_map<std::string, std::size_t> answeredKinds_;
};

}  // namespace korvane
