#pragma once
// The "ﾂｰﾙ(&O)" commands of the usage lists and the cross-creation: their
// windows, created once, and the menu actions that open them.
#include "app/DialogPorts.h"
#include "lists/ListCommands.h"

#include <QObject>

namespace korvane {

class TMain;
class TDdisp;
class TTdisp;
class TGNcheng;

class ToolMenuCommands : public QObject {
    Q_OBJECT
public:
    explicit ToolMenuCommands(TMain &main);

    void listDcodesShown();
    void listDcodesOfFile();
    void listToolsShown();
    void listToolsOfFile();

    TDdisp *dcodeList() const { return dcodeList_; }
    TTdisp *toolList() const { return toolList_; }
    TGNcheng *creation() const { return creation_; }

private:
    TMain &main_;
    ListPorts ports_;
    TDdisp *dcodeList_;
    TTdisp *toolList_;
    TGNcheng *creation_;
};

}  // namespace korvane
