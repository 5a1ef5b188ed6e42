#include "gerber/ApertureCommands.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/Messages.h"
#include "core/TextFile.h"
#include "gerber/ApertureFiles.h"
#include "gerber/ApertureTexts.h"

namespace korvane {
namespace {

FileDialogSpec openSpec(const char *title, const char *filter)
{
    FileDialogSpec request;
    request.title = title;
    request.filter = filter;
    return request;
}

bool tableNeedsMacros(const ApertureTable &table)
{
    for (int r = 1; r <= ApertureRowCount; ++r)
        if (table.row(r).shape.find(aptmsg::Macro) != std::string::npos)
            return true;
    return false;
}

void loadMacrosFor(const ApertureTable &table, MacroLibrary &macros, Prompter &prompter, FilePicker &picker)
{
    std::string path = macroLibraryPathFor(table.filePath);
    if (!fileExists(path)) {
        auto picked = picker.openFile(openSpec(aptmsg::LibLoadTitle, aptmsg::LibFilter));
        if (!picked) {
            prompter.error(aptmsg::LibNotLoaded);
            return;
        }
        path = *picked;
    }
    try {
        LoadMacroLibrary(path, macros);
    } catch (const KorvaneError &e) {
        prompter.error(e.text());
    }
}

void saveMacrosBeside(const std::string &tablePath, const MacroLibrary &macros, Prompter &prompter, FilePicker &picker)
{
    std::string path = macroLibraryPathFor(tablePath);
    if (fileExists(path) && !prompter.askYesNo(MessageKind::Warning, path + aptmsg::LibExistsSuffix)) {
        FileDialogSpec request = openSpec(aptmsg::LibSaveTitle, aptmsg::LibFilter);
        request.defaultExtension = "lib";
        request.proposedName = path;
        request.confirmOverwrite = true;
        auto picked = picker.saveFile(request);
        if (!picked)
            return;
        path = *picked;
    }
    try {
        SaveMacroLibrary(path, macros);
    } catch (const KorvaneError &e) {
        prompter.error(e.text());
    }
}

std::string cutMessage(const std::vector<int> &dcodes)
{
    // A damaged table could name hundreds of rows; the box stays readable.
    constexpr std::size_t Shown = 30;
    std::string text = aptmsg::TextsCut;
    for (std::size_t i = 0; i < dcodes.size() && i < Shown; ++i)
        text += (i ? ", D" : "D") + std::to_string(dcodes[i]);
    if (dcodes.size() > Shown)
        text += " ほか" + std::to_string(dcodes.size() - Shown) + "件";
    return text;
}

}  // namespace

bool loadAptPath(const std::string &path, ApertureTable &table, MacroLibrary &macros, Prompter &prompter,
                 FilePicker &picker, TitleRule titleRule)
{
    std::string bytes;
    try {
        bytes = readFileBytes(path);
    } catch (const KorvaneError &e) {
        // Nothing was read: the table keeps what it held.
        prompter.error(e.text());
        return false;
    }
    // A text file picked by mistake would fill the rows with garbage.
    if (!looksLikeAptTable(bytes)) {
        prompter.error(fileNameOf(path) + "\n" + aptmsg::NotAnAptFile);
        return false;
    }
    table.filePath = path;
    if (titleRule == TitleRule::SetToFileName)
        table.title = fileNameOf(path);
    table.clearRows();
    if (!readAptRecords(bytes, table)) {
        prompter.error(fileNameOf(path) + "\n" + msg::ReadPastEnd);
        return true;
    }
    if (tableNeedsMacros(table))
        loadMacrosFor(table, macros, prompter, picker);
    return true;
}

bool LoadAptFile(ApertureTable &table, MacroLibrary &macros, Prompter &prompter, FilePicker &picker, StatusSink &status)
{
    auto path = picker.openFile(openSpec(aptmsg::LoadTitle, aptmsg::AptFilter));
    if (!path)
        return false;
    BusyGuard busy(status);
    return loadAptPath(*path, table, macros, prompter, picker, TitleRule::SetToFileName);
}

bool LoadAptFileForSelection(ApertureTable &table, MacroLibrary &macros, Prompter &prompter, FilePicker &picker,
                             StatusSink &status)
{
    auto path = picker.openFile(openSpec(aptmsg::LoadTitle, aptmsg::SelectionAptFilter));
    if (!path)
        return false;
    BusyGuard busy(status);
    return loadAptPath(*path, table, macros, prompter, picker, TitleRule::Keep);
}

bool saveAptPath(const std::string &path, ApertureTable &table, const MacroLibrary &macros, Prompter &prompter,
                 FilePicker &picker)
{
    std::vector<int> cut;
    try {
        writeFileAtomic(path, aptBytes(table, &cut));
    } catch (const KorvaneError &e) {
        prompter.error(e.text());
        return false;
    }
    table.filePath = path;
    table.title = fileNameOf(path);
    if (!cut.empty())
        prompter.warning(cutMessage(cut));
    if (!table.extraRows().empty()) {
        std::string codes;
        for (const auto &[dcode, row] : table.extraRows())
            codes += (codes.empty() ? "D" : ", D") + std::to_string(dcode);
        prompter.warning(std::string(aptmsg::RowsAboveD999NotSaved) + codes);
    }
    if (macros.holdsLines())
        saveMacrosBeside(path, macros, prompter, picker);
    return true;
}

bool SaveAptFile(ApertureTable &table, const MacroLibrary &macros, Prompter &prompter, FilePicker &picker,
                 StatusSink &status)
{
    FileDialogSpec request = openSpec(aptmsg::SaveTitle, aptmsg::AptFilter);
    request.defaultExtension = "apt";
    request.proposedName = proposedSaveName(table.title);
    request.confirmOverwrite = true;
    auto path = picker.saveFile(request);
    if (!path)
        return false;
    BusyGuard busy(status);
    return saveAptPath(*path, table, macros, prompter, picker);
}

bool importGapPath(const std::string &path, ApertureTable &table, Prompter &prompter)
{
    std::string bytes;
    try {
        bytes = readFileBytes(path);
    } catch (const KorvaneError &e) {
        prompter.error(e.text());
        return false;
    }
    table.filePath = path;
    table.title = path;
    table.clearRows();
    try {
        readGapLines(bytes, table);
    } catch (const KorvaneError &e) {
        prompter.error(e.text());
    }
    return true;
}

bool ImportGapFile(ApertureTable &table, Prompter &prompter, FilePicker &picker, StatusSink &status)
{
    auto path = picker.openFile(openSpec(aptmsg::GapTitle, aptmsg::GapFilter));
    if (!path)
        return false;
    BusyGuard busy(status);
    return importGapPath(*path, table, prompter);
}

}  // namespace korvane
