#pragma once
// ParameterFiles (.prm) of the Gerber and drill output formats: one value a
// line, choices written as digits. Lines are not trimmed on reading.
#include "core/Formats.h"
#include "core/Ports.h"

#include <string>
#include <vector>

namespace korvane {

std::vector<std::string> gerberOutParameterLines(const GerberOutFormat &f);
std::vector<std::string> drillOutParameterLines(const DrillOutFormat &f);

// Apply lines in order; a short file changes only the fields it reaches.
void applyGerberOutParameterLines(const std::vector<std::string> &lines, GerberOutFormat &f);
void applyDrillOutParameterLines(const std::vector<std::string> &lines, DrillOutFormat &f);

// File level: throw KorvaneError with the platform's text.
void loadGerberOutParameters(const std::string &path, GerberOutFormat &f);
void saveGerberOutParameters(const std::string &path, const GerberOutFormat &f);
void loadDrillOutParameters(const std::string &path, DrillOutFormat &f);
void saveDrillOutParameters(const std::string &path, const DrillOutFormat &f);

// The pickers of "ロード" and "セーブ".
FileDialogSpec parameterFileOpenSpec();
FileDialogSpec parameterFileSaveSpec();

// The dialogs' "ロード" and "セーブ" actions: pick, then read or write with the
// busy pointer; errors are shown through the prompter. True when the record
// was changed (load) or the file written (save).
bool loadParametersCommand(GerberOutFormat &f, FilePicker &picker, Prompter &prompter, StatusSink &status);
bool saveParametersCommand(const GerberOutFormat &f, FilePicker &picker, Prompter &prompter, StatusSink &status);
bool loadParametersCommand(DrillOutFormat &f, FilePicker &picker, Prompter &prompter, StatusSink &status);
bool saveParametersCommand(const DrillOutFormat &f, FilePicker &picker, Prompter &prompter, StatusSink &status);

}  // namespace korvane
