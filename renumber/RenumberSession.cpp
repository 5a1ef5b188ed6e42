#include "renumber/RenumberSession.h"
#include "convert/ConvertTexts.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "renumber/RenumberTexts.h"

namespace korvane {

namespace rm = renumbermsg;

void RenumberSession::setMode(RenumberMode newMode)
{
    mode = newMode;
    table = ChangeTable(newMode);
    tableFileName.clear();
    inputPath.clear();
    outputPath.clear();
}

void RenumberSession::clear()
{
    table.clear();
    tableFileName.clear();
    inputPath.clear();
    outputPath.clear();
}

bool RenumberSession::loadTable(Prompter &prompter, FilePicker &picker, StatusSink &status)
{
    FileDialogSpec open;
    open.title = rm::TableOpenTitle;
    open.filter = rm::TableFilter;
    auto path = picker.openFile(open);
    if (!path)
        return false;
    try {
        BusyGuard busy(status);
        loadChangeTable(*path, table);
    } catch (const KorvaneError &e) {
        prompter.error(e.text());
        return false;
    }
    tableFileName = fileNameOf(*path);
    return true;
}

bool RenumberSession::saveTable(Prompter &prompter, FilePicker &picker, StatusSink &status)
{
    FileDialogSpec save;
    save.title = rm::TableSaveTitle;
    save.filter = rm::TableFilter;
    save.defaultExtension = "tbl";
    save.proposedName = "*.tbl";
    save.confirmOverwrite = true;
    auto path = picker.saveFile(save);
    if (!path)
        return false;
    try {
        BusyGuard busy(status);
        saveChangeTable(*path, table, mode, tableFileName);
    } catch (const KorvaneError &e) {
        prompter.error(e.text());
        return false;
    }
    return true;
}

bool RenumberSession::selectFiles(FilePicker &picker)
{
    bool dcode = mode == RenumberMode::DCode;
    FileDialogSpec open;
    open.title = rm::InputTitle;
    open.filter = dcode ? convmsg::GerberFilesFilter : convmsg::DrillFilesFilter;
    auto input = picker.openFile(open);
    if (!input)
        return false;
    inputPath = *input;
    FileDialogSpec save;
    save.title = rm::OutputTitle;
    save.filter = open.filter;
    save.defaultExtension = dcode ? "ger" : "drl";
    save.proposedName = dcode ? "*.ger" : "*.drl";
    save.confirmOverwrite = true;
    if (auto output = picker.saveFile(save))
        outputPath = *output;
    return true;
}

bool RenumberSession::run(Prompter &prompter, StatusSink &status, RenumberReportSink &report) const
{
    if (inputPath.empty()) {
        prompter.error(rm::NoInput);
        return false;
    }
    if (outputPath.empty()) {
        prompter.error(rm::NoOutput);
        return false;
    }
    if (table.rows.empty() || table.rows[0].before.empty()) {
        prompter.error(rm::NoTable);
        return false;
    }
    try {
        BusyGuard busy(status);
        renumberFile(mode, table, inputPath, outputPath, report);
        return true;
    } catch (const KorvaneError &e) {
        prompter.error(e.text());
        return false;
    }
}

}  // namespace korvane
