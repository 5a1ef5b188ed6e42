#include "core/LayerSelection.h"
#include "core/Encoding.h"

namespace korvane {

FileDialogSpec layerFileSpec(LayerLoadKind kind)
{
    FileDialogSpec request;
    if (kind == LayerLoadKind::Gerber) {
        request.title = "ｶﾞｰﾊﾞｰﾌｧｲﾙの選択";
        request.filter = "Gerber Files(*.ger)|*.ger|Gerber Files(*.gbr)|*.gbr|Gerber Files(*.lgx)|*.lgx|"
                         "Gerber Files(*.pho)|*.pho|Gerber Files(*.lgr)|*.lgr|Gerber Files(*.cam)|*.cam|"
                         "All Files(*.*)|*.*";
    } else {
        request.title = "ﾄﾞﾘﾙﾌｧｲﾙの選択";
        request.filter = "Drill Files(*.drl)|*.drl|Drill Files(*.ncd)|*.ncd|Drill Files(*.nc)|*.nc|"
                         "Drill Files(*.cam)|*.cam|Drill Files(*.txt)|*.txt|All Files(*.*)|*.*";
    }
    return request;
}

bool pickLayerFile(Document &doc, LayerSelectionFields &fields, int slot, LayerLoadKind kind, FilePicker &picker)
{
    auto path = picker.openFile(layerFileSpec(kind));
    if (!path)
        return false;
    doc.layers.slot(slot).assignedPath = *path;
    fields.names[static_cast<size_t>(slot - 1)] = fileNameOf(*path);
    return true;
}

LayerSelectionResult confirmLayerSelection(Document &doc, LayerSelectionFields &fields, LayerLoadKind kind,
                                           Prompter &prompter)
{
    LayerSelectionResult result;
    bool changed = false;
    for (int n = 1; n <= LayerCount; ++n) {
        LayerSlot &slot = doc.layers.slot(n);
        const std::string &name = fields.names[static_cast<size_t>(n - 1)];
        slot.colour = fields.colours[static_cast<size_t>(n - 1)];
        if (name.empty()) {
            // Emptied by hand: the slot is given up.
            slot.pendingPath.clear();
            slot.assignedPath.clear();
            slot.fileKind.clear();
            slot.fileName.clear();
            slot.visible = 0;
            continue;
        }
        bool newFile = true;
        if (slot.pendingPath.empty()) {
            slot.pendingPath = slot.assignedPath;
        } else if (slot.pendingPath == slot.assignedPath) {
            slot.loadedPath = slot.assignedPath;
            slot.pendingPath = AlreadyLoadedMarker;
            doc.keepExisting = 1;
            newFile = false;
        } else if (slot.pendingPath == AlreadyLoadedMarker && slot.assignedPath == slot.loadedPath) {
            doc.keepExisting = 1;  // loaded and not picked again
            newFile = false;
        } else {
            slot.pendingPath = slot.assignedPath;
            changed = true;
        }
        // A slot loaded by the other load (a drill file seen from the Gerber
        // selection) keeps its kind; a new file takes this selection's.
        if (newFile || slot.fileKind.empty())
            slot.fileKind = kind == LayerLoadKind::Gerber ? "gb" : "nc";
        slot.fileName = name;
        slot.visible = 1;
    }
    if (changed) {
        if (prompter.askYesNo(MessageKind::Warning, ClearPresentDataQuestion)) {
            doc.discardForNewLoad();
            // What was loaded is gone: those slots must be read again. A
            // slot of an opened workspace names no file to read: it is given up.
            for (int n = 1; n <= LayerCount; ++n) {
                LayerSlot &slot = doc.layers.slot(n);
                if (slot.pendingPath != AlreadyLoadedMarker)
                    continue;
                if (slot.assignedPath.empty()) {
                    forgetUnreadSlot(slot);
                    fields.names[static_cast<size_t>(n - 1)].clear();
                } else {
                    slot.pendingPath = slot.assignedPath;
                }
            }
            result.presentDataCleared = true;
        } else {
            doc.keepExisting = 1;
        }
    }
    return result;
}

void assignLayerFile(LayerSlot &slot, const std::string &path, LayerLoadKind kind)
{
    slot.assignedPath = path;
    slot.pendingPath = path;
    slot.fileName = fileNameOf(path);
    slot.fileKind = kind == LayerLoadKind::Gerber ? "gb" : "nc";
    slot.visible = 1;
}

void cancelLayerSelection(Document &doc, LayerSelectionFields &fields)
{
    for (int n = 1; n <= LayerCount; ++n) {
        LayerSlot &slot = doc.layers.slot(n);
        std::string &name = fields.names[static_cast<size_t>(n - 1)];
        if (doc.hasData == 0) {
            slot.pendingPath.clear();
            slot.assignedPath.clear();
            name.clear();
        } else if (slot.pendingPath.empty()) {
            if (!name.empty()) {
                slot.assignedPath.clear();
                name.clear();
            }
        } else {
            // A loaded slot keeps its loaded file, whatever was picked.
            slot.assignedPath = slot.pendingPath == AlreadyLoadedMarker ? slot.loadedPath : slot.pendingPath;
            name = slot.fileName;
        }
    }
}

void forgetUnreadSlot(LayerSlot &slot)
{
    slot.assignedPath.clear();
    slot.fileName.clear();
    slot.pendingPath.clear();
    slot.fileKind.clear();
    slot.loadedPath.clear();
    slot.visible = 0;
}

}  // namespace korvane
