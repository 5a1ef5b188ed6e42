#pragma once
// The enabling state of the main window's data-dependent commands, and the
// events of the loads that change it. The window mirrors this onto its menu.
namespace korvane {

struct MenuState {
    // "ﾌｧｲﾙの保存", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞへｺﾋﾟｰ", "ｲﾒｰｼﾞﾌｧｲﾙの保存", "画面ﾊｰﾄﾞｺﾋﾟｰ" and the
    // four "表示" items.
    bool drawingCommands = false;
    bool dcodeListOfDisplay = false;  // D-code "表示ﾃﾞｰﾀ(&V)"
    bool toolListOfDisplay = false;   // tool "表示ﾃﾞｰﾀ(&V)"
    bool toolMarkPanel = false;

    bool operator==(const MenuState &) const = default;

    void gerberFileRead();
    void drillFileReadWithHits();
    void workspaceRead();
    // The workspace file's data kind line: 0 Gerber, 1 drill, 2 both.
    void workspaceDataKind(int kind);
    void clearAll();
    void presentDataCleared();
};

}  // namespace korvane
