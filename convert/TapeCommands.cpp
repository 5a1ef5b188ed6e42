#include "convert/TapeCommands.h"
#include "convert/ConvertTexts.h"
#include "core/Encoding.h"
#include "core/Errors.h"

namespace korvane {
namespace {

constexpr const char *DrillFilter = "Drill Files(*.drl)|*.drl|Drill Files(*.ncd)|*.ncd|Drill Files(*.nc)|*.nc|"
                                    "Drill Files(*.txt)|*.txt|All Files(*.*)|*.*";
constexpr const char *GerberFilter = convmsg::GerberFilesFilter;

struct CommandTexts {
    const char *openTitle;
    const char *openFilter;
    const char *saveTitle;
    const char *extension;
    const char *saveFilter;
};

CommandTexts textsOf(TapeOperation op)
{
    switch (op) {
    case TapeOperation::DecodeEia:
        return {"EIAﾌｧｲﾙの選択", DrillFilter, "ASCII変換後ﾌｧｲﾙ名の保存", "asc",
                "ASCII Files(*.asc)|*.asc|All Files(*.*)|*.*"};
    case TapeOperation::EncodeEia:
        return {"ASCIIﾌｧｲﾙの選択", DrillFilter, "EIA変換後ﾌｧｲﾙ名の保存", "eia",
                "EIA Files(*.eia)|*.eia|All Files(*.*)|*.*"};
    case TapeOperation::DecodeEbcdic:
        return {"EBCDICﾌｧｲﾙの選択", GerberFilter, "ASCII変換後ﾌｧｲﾙ名の保存", "asc",
                "ASCII Files(*.asc)|*.asc|All Files(*.*)|*.*"};
    case TapeOperation::EncodeEbcdic: break;
    }
    return {"ASCIIﾌｧｲﾙの選択", GerberFilter, "EBCDIC変換後ﾌｧｲﾙ名の保存", "ebc",
            "EBCDIC Files(*.ebc)|*.ebc|All Files(*.*)|*.*"};
}

std::string folderOf(const std::string &path)
{
    auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

std::string proposedTapeName(const std::string &inputPath, const std::string &extension)
{
    std::string name = fileNameOf(inputPath);
    auto dot = name.find('.');
    if (dot == std::string::npos)
        return name + "." + extension;
    return name.substr(0, dot + 1) + extension;
}

bool runTapeCommand(TapeOperation op, TapeCommandPorts &ports)
{
    CommandTexts texts = textsOf(op);
    FileDialogSpec open;
    open.title = texts.openTitle;
    open.filter = texts.openFilter;
    std::optional<std::string> input = ports.picker.openFile(open);
    if (!input)
        return false;
    std::string proposed = proposedTapeName(*input, texts.extension);
    if (ports.setCaption) {
        ports.setCaption(*input);
        if (fileNameOf(*input).find('.') != std::string::npos)
            ports.setCaption(folderOf(*input) + proposed);
    }
    FileDialogSpec save;
    save.title = texts.saveTitle;
    save.filter = texts.saveFilter;
    save.defaultExtension = texts.extension;
    save.proposedName = proposed;
    save.initialDirectory = folderOf(*input);
    save.confirmOverwrite = true;
    std::optional<std::string> output = ports.picker.saveFile(save);
    if (!output)
        return false;
    try {
        BusyGuard busy(ports.status);
        convertTapeFile(op, *input, *output);
    } catch (const KorvaneError &e) {
        ports.prompter.error(e.text());
        return false;
    }
    ports.prompter.information(convmsg::TapeDone);
    return true;
}

}  // namespace korvane
