#pragma once
// The settings file "Reravado4.ini": read once at start-up, written at every close.
#include "core/Formats.h"
#include "core/Ports.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvane {

inline constexpr const char *SettingsFileName = "Reravado4.ini";

// <startDirectory>/Reravado4.ini
std::string settingsPath(const std::string &startDirectory);

// The lines saveSettings writes, in order (UTF-8, without line ends).
std::vector<std::string> settingsLines(const Settings &settings);

// Applies the lines positionally, section by section. A colour line that is
// neither a name nor a number is reported through the prompter and skipped;
// reading goes on with the next line.
void applySettingsLines(const std::vector<std::string> &lines, Settings &settings, Prompter &prompter);

// Reads the file into `settings`; a file that cannot be read is reported
// through the prompter and every value keeps what it had.
void loadSettingsFile(const std::string &path, Settings &settings, Prompter &prompter);

// Writes the whole file anew (code page 932, CR LF) through a temporary file.
// Throws KorvaneError with the platform's text.
void saveSettingsFile(const std::string &path, const Settings &settings);

}  // namespace korvane
