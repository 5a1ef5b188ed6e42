#include "app/ToolMenuCommands.h"
#include "app/TDdisp.h"
#include "app/TGNcheng.h"
#include "app/TMain.h"

#include <QAction>
#include <QLayout>

namespace korvane {

ToolMenuCommands::ToolMenuCommands(TMain &main)
    : QObject(&main), main_(main), ports_{main.prompter(), main.picker(), main.status()}
{
    setObjectName("toolMenuCommands");
    dcodeList_ = new TDdisp(ports_, main.printDevice(), &main);
    toolList_ = new TTdisp(ports_, main.printDevice(), &main);
    CrossFormatDialogs formats{*main.gerberInFormatDialog(), *main.gerberOutFormatDialog(), *main.drillInFormatDialog(),
                               *main.drillOutFormatDialog()};
    DialogPorts dialogPorts{main.prompter(), main.picker(), main.status()};
    creation_ = new TGNcheng(main.settings(), main.apertureTable(), main.macroLibrary(), formats, dialogPorts, &main);
    creation_->layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(main.action("dcodeListOfDisplayAction"), &QAction::triggered, this, &ToolMenuCommands::listDcodesShown);
    connect(main.action("dcodeListOfFileAction"), &QAction::triggered, this, &ToolMenuCommands::listDcodesOfFile);
    connect(main.action("toolListOfDisplayAction"), &QAction::triggered, this, &ToolMenuCommands::listToolsShown);
    connect(main.action("toolListOfFileAction"), &QAction::triggered, this, &ToolMenuCommands::listToolsOfFile);
    connect(main.action("gerberToDrillAction"), &QAction::triggered, this,
            [this] { creation_->openFor(CreationDirection::GerberToDrill); });
    connect(main.action("drillToGerberAction"), &QAction::triggered, this,
            [this] { creation_->openFor(CreationDirection::DrillToGerber); });
}

void ToolMenuCommands::listDcodesShown()
{
    if (main_.document().hasData != 1)
        return;
    dcodeList_->showList(korvane::listDcodesShown(main_.document(), ports_.status));
    dcodeList_->exec();
}

void ToolMenuCommands::listDcodesOfFile()
{
    if (std::optional<DcodeList> list = korvane::listDcodesOfFile(ports_)) {
        dcodeList_->showList(*list);
        dcodeList_->exec();
    }
}

void ToolMenuCommands::listToolsShown()
{
    // Without drill marks the window shows what it held before.
    if (main_.document().drillLoaded == 1)
        toolList_->showList(korvane::listToolsShown(main_.document(), ports_.status));
    toolList_->setModal(false);
    toolList_->show();
    toolList_->raise();
}

void ToolMenuCommands::listToolsOfFile()
{
    if (std::optional<ToolList> list = korvane::listToolsOfFile(ports_, main_.settings().drillIn)) {
        toolList_->hide();
        toolList_->showList(*list);
        toolList_->exec();
    }
}

}  // namespace korvane
