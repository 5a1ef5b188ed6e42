#pragma once
// The workspace file (.gdb): the drawing, the layer slots' colours and names
// and the extents in a plain text file, and the three commands of the file
// menu that save it, load it and clear everything.
//
// Reading never touches the document: a file is read whole into a
// WorkspaceData first, and only a file that yields at least one item
// replaces the drawing, so a wrong or damaged file leaves the present one.
#include "core/Colour.h"
#include "core/Document.h"
#include "core/Ports.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

namespace wsmsg {
inline constexpr const char *SaveTitle = "ﾃﾞｰﾀﾍﾞｰｽの保存";
inline constexpr const char *LoadTitle = "ﾃﾞｰﾀﾍﾞｰｽの選択";
inline constexpr const char *Filter = "KORVANE Files(*.gdb)|*.gdb|All Files(*.*)|*.*";
inline constexpr const char *DefaultExtension = "gdb";
inline constexpr const char *SavingSuffix = "を保存中．．．";
inline constexpr const char *LoadingSuffix = "を読込中．．．";
inline constexpr const char *ClearAllQuestion = "全てのデータを消去して初期化しますか？";
inline constexpr const char *EndMarker = "**end**";
}  // namespace wsmsg

// One layer line: slot n's colour and the file name the layer table shows.
struct WorkspaceLayer {
    int slot = 0;
    Colour colour = 0;
    std::string fileName;  // UTF-8
};

// Everything one workspace file holds, read before the document changes.
struct WorkspaceData {
    // Data kind lines seen: "0 0" Gerber, "0 1" drill, "0 2" both.
    bool gerberData = false;
    bool drillData = false;
    std::vector<WorkspaceLayer> layers;  // in file order
    bool headerRead = false;             // "**end**" and both extent lines were read
    double minX = 0, minY = 0, extentX = 0, extentY = 0;
    DisplayList items;  // every item in the main sequence, in file order
    // The conversion message of the first line that could not be read, and
    // its 1-based number; empty and 0 when the file was read to its end.
    std::string error;
    std::size_t errorLine = 0;

    // 0 Gerber, 1 drill, 2 both, -1 when the file has no data kind line.
    int dataKind() const;
};

// The file's bytes for a document: code page 932, CR LF line ends.
std::string workspaceBytes(const Document &doc);

// Reads a file's bytes. Stops at the first line that cannot be read or
// holds a value out of its range (an item's layer outside 1..15, colour
// layer outside 0..15, a kind the file never holds, a negative extent),
// keeping what was read before it; never throws for bad input.
WorkspaceData readWorkspace(std::string_view bytes);

// Puts what was read into the document, the workspace load's way: the
// drawing replaced (whatever keepExisting says), the named slots' colour,
// name and visibility, the flags of the data kind lines, minX, minY,
// extentX, extentY, and hasData 1. Does nothing and returns false when no
// item was read, so the present drawing stays.
bool applyWorkspace(WorkspaceData &&data, Document &doc);

// The parts of a workspace command that belong to the main window.
class WorkspaceWindow {
public:
    virtual ~WorkspaceWindow();
    // The layer table shows the slots' names, colours and visibility boxes
    // from the document again.
    virtual void layerTableChanged() = 0;
    // A workspace was read: the drawing commands are enabled and, by
    // dataKind (0 Gerber, 1 drill, 2 both, -1 none), the D-code and tool
    // lists of the displayed data and the tool-mark panel
    // (MenuState::workspaceRead and workspaceDataKind).
    virtual void workspaceRead(int dataKind) = 0;
    // Clear all: the drawing commands and both lists disabled, the tool-mark
    // panel hidden (MenuState::clearAll).
    virtual void clearAllData() = 0;
    // The end of a load: screen metrics and zoom limits, the area's present
    // size as base size, fitScale, fit and redraw
    // (ViewController::fitLoadedDrawing).
    virtual void fitLoadedDrawing() = 0;
    // Clear all: picture cleared, area back to its base size, every view
    // scale and size zero (ViewController::clearAll).
    virtual void clearView() = 0;
    // Clear all: the layer file selection's fifteen file name fields and its
    // aperture table file name field emptied.
    virtual void clearLayerSelection() = 0;
    // Clear all: the aperture table's file name and the shape and size of
    // every row emptied.
    virtual void clearApertureTable() = 0;
    // The main window's caption.
    virtual void setCaption(const std::string &text) = 0;
};

// Writes the document to path (a temporary file renamed over it, so a
// failed save keeps the previous file). A failure is shown; true when written.
bool writeWorkspaceFile(const std::string &path, const Document &doc, Prompter &prompter);

// The outcome of reading a workspace file into the document.
struct WorkspaceLoadResult {
    bool applied = false;   // the drawing was replaced
    bool complete = false;  // the file was read to its end
    int dataKind = -1;
};

// Reads path and applies it; a file error or an unreadable line is shown.
WorkspaceLoadResult readWorkspaceFile(const std::string &path, Document &doc, Prompter &prompter);

// The load after the file is chosen (also for a .gdb named on the command
// line): busy pointer and status text, read and apply, then the window's
// enabling, layer table and fitted picture. True when the drawing was replaced.
bool openWorkspace(const std::string &path, Document &doc, Prompter &prompter, StatusSink &status,
                   WorkspaceWindow &window);

// "ﾌｧｲﾙの保存(&S)": nothing while there is no drawing. True when written.
bool saveWorkspace(const Document &doc, Prompter &prompter, FilePicker &picker, StatusSink &status,
                   WorkspaceWindow &window);

// "ﾌｧｲﾙの読込(&O)". True when the drawing was replaced.
bool loadWorkspace(Document &doc, Prompter &prompter, FilePicker &picker, StatusSink &status, WorkspaceWindow &window);

// "ﾃﾞｰﾀの全消去(&N)". True when the user answered Yes.
bool clearAll(Document &doc, Prompter &prompter, StatusSink &status, WorkspaceWindow &window);

}  // namespace korvane
