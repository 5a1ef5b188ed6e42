#pragma once
// One error type for every failure the user is told about. It carries the
// exact text of the message box; command boundaries catch it and show it.
#include <stdexcept>
#include <string>

namespace korvane {

class KorvaneError : public std::runtime_error {
public:
    explicit KorvaneError(const std::string &text) : std::runtime_error(text) {}
    const char *text() const noexcept { return what(); }
};

// The platform's text for a file error number (errno).
std::string fileErrorText(int errorNumber);

// Throws KorvaneError with fileErrorText(errorNumber).
[[noreturn]] void throwFileError(int errorNumber);

}  // namespace korvane
