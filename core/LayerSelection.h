#pragma once
// The rules of the layer file selection: which slots a confirmed selection
// sends to the next load, and whether the present drawing is cleared.
#include "core/Document.h"
#include "core/Ports.h"

#include <array>
#include <string>

namespace korvane {

enum class LayerLoadKind { Gerber, Drill };

inline constexpr const char *ClearPresentDataQuestion =
    "既に使用しているレイヤがあります。現在のデータをクリアしますか？";

// The dialog's fields per slot (index 0 is slot 1): the file name shown and
// the colour in the colour box.
struct LayerSelectionFields {
    std::array<std::string, LayerCount> names;
    std::array<Colour, LayerCount> colours{};
};

// The pickers of the slot buttons.
FileDialogSpec layerFileSpec(LayerLoadKind kind);

// A slot button: the picked file becomes the slot's assignedPath and its
// name shows in the field. False when the pick was cancelled.
bool pickLayerFile(Document &doc, LayerSelectionFields &fields, int slot, LayerLoadKind kind, FilePicker &picker);

struct LayerSelectionResult {
    bool presentDataCleared = false;  // the user answered Yes: the drawing is gone
};

// "O  K": colours from the boxes, each slot's pending state from its field,
// and the question when a loaded slot got another file. A slot whose file
// was not picked again stays marked as loaded, so confirming twice neither
// reads a file twice nor asks the question.
LayerSelectionResult confirmLayerSelection(Document &doc, LayerSelectionFields &fields, LayerLoadKind kind,
                                           Prompter &prompter);

// A file named on a command line, as a confirmed selection with a newly
// picked file would leave its slot.
void assignLayerFile(LayerSlot &slot, const std::string &path, LayerLoadKind kind);

// A slot whose file a stopped load never read: it loses its file and its
// tick, so the layer table does not list what is not in the drawing.
void forgetUnreadSlot(LayerSlot &slot);

// "キャンセル": picks not yet loaded are forgotten (every pick when there is
// no drawing); slots already loaded show their loaded file again.
void cancelLayerSelection(Document &doc, LayerSelectionFields &fields);

}  // namespace korvane
