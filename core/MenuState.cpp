#include "core/MenuState.h"

namespace korvane {

void MenuState::gerberFileRead()
{
    drawingCommands = true;
    dcodeListOfDisplay = true;
}

void MenuState::drillFileReadWithHits()
{
    drawingCommands = true;
    toolListOfDisplay = true;
    toolMarkPanel = true;
}

void MenuState::workspaceRead() { drawingCommands = true; }

void MenuState::workspaceDataKind(int kind)
{
    if (kind == 0 || kind == 2)
        dcodeListOfDisplay = true;
    if (kind == 1 || kind == 2) {
        toolListOfDisplay = true;
        toolMarkPanel = true;
    }
}

void MenuState::clearAll() { *this = MenuState{}; }

void MenuState::presentDataCleared()
{
    dcodeListOfDisplay = false;
    toolListOfDisplay = false;
    toolMarkPanel = false;
}

}  // namespace korvane
