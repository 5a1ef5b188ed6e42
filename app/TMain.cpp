#include "app/TMain.h"
#include "app/BoardPosition.h"
#include "app/DrawingArea.h"
#include "app/HelpWindow.h"
#include "app/LayerColourBoxes.h"
#include "app/PictureCommands.h"
#include "app/SettingsLocation.h"
#include "app/StatusNote.h"
#include "app/TAptbl.h"
#include "app/TDrprint.h"
#include "app/TFconv.h"
#include "app/TGbprint.h"
#include "app/TGerSel.h"
#include "app/TGinFormat.h"
#include "app/TGoutFormat.h"
#include "app/TLyrtbl.h"
#include "app/TNinFormat.h"
#include "app/TNoutFormat.h"
#include "app/TPrtAbort.h"
#include "app/TTcheng.h"
#include "app/ToolMarkLegend.h"
#include "app/ToolMenuCommands.h"
#include "app/VersionBox.h"
#include "convert/TapeCommands.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/SettingsFile.h"
#include "core/TextFile.h"
#include "gerber/ApertureCommands.h"
#include "gerber/GerberTexts.h"
#include "platform/QtFilePicker.h"
#include "platform/QtPrintDevice.h"
#include "platform/QtPrompter.h"
#include "platform/QtStatus.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace korvane {

TMain::TMain(const TMainOptions &options, QWidget *parent) : QMainWindow(parent)
{
    setObjectName("TMain");
    setWindowTitle(QString::fromUtf8(MainCaption));
    resize(765, 557);

    startDirectory_ = options.startDirectory.isEmpty() ? QDir::currentPath() : options.startDirectory;
    settingsFile_ = settingsPath(settingsFolder(startDirectory_).toStdString());
    // Linux is none of the three platforms the zoom limits were chosen for.
    platformName_.clear();

    if (options.prompter) {
        prompter_ = options.prompter;
    } else {
        ownPrompter_ = std::make_unique<QtPrompter>(this);
        prompter_ = ownPrompter_.get();
    }
    if (options.picker) {
        picker_ = options.picker;
    } else {
        ownPicker_ = std::make_unique<QtFilePicker>(this);
        picker_ = ownPicker_.get();
    }

    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (options.printDevice) {
        printDevice_ = options.printDevice;
    } else {
        ownPrintDevice_ = std::make_unique<QtPrintDevice>(*printer_, this);
        printDevice_ = ownPrintDevice_.get();
    }

    buildMenus();
    buildCentralArea();
    buildStatusBar();
    connect(drawingArea_, &DrawingArea::pointerMoved, this, &TMain::showPointerPosition);
    connect(drawingArea_, &DrawingArea::pointerLeft, statusPanel2_, &QLabel::clear);

    if (options.status) {
        status_ = options.status;
    } else {
        ownStatus_ = std::make_unique<QtStatus>(statusBar());
        status_ = ownStatus_.get();
    }

    for (int n = 1; n <= LayerCount; ++n)
        document_.layers.slot(n).colour = settings_.layerColours[static_cast<size_t>(n - 1)];

    createDialogs();
    new ToolMenuCommands(*this);
    // The settings loader comes last: every dialog that shows a setting exists.
    loadSettings();
    applyMenuState();
}

TMain::~TMain() = default;

QAction *TMain::addCommand(QMenu *menu, const QString &caption, const QString &objectName, const QKeySequence &shortcut,
                           bool enabled)
{
    auto *action = new QAction(caption, this);
    action->setObjectName(objectName);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    action->setEnabled(enabled);
    // A new command starts with an empty note; the view commands keep the
    // note about the drawing they show.
    if (menu->objectName() != QLatin1String("viewMenu"))
        connect(action, &QAction::triggered, this, [this] {
            if (statusPanel1_)
                statusPanel1_->clearNote();
        });
    menu->addAction(action);
    return action;
}

void TMain::buildMenus()
{
    QMenuBar *bar = menuBar();

    QMenu *file = bar->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    file->setObjectName("fileMenu");
    QAction *clear = addCommand(file, QStringLiteral("ﾃﾞｰﾀの全消去(&N)"), "clearAllAction");
    QAction *loadWorkspaceFile = addCommand(file, QStringLiteral("ﾌｧｲﾙの読込(&O)"), "loadWorkspaceAction");
    QAction *saveWorkspaceFile = addCommand(file, QStringLiteral("ﾌｧｲﾙの保存(&S)"), "saveWorkspaceAction", {}, false);
    connect(clear, &QAction::triggered, this, [this] { clearAll(document_, *prompter_, *status_, *this); });
    connect(loadWorkspaceFile, &QAction::triggered, this,
            [this] { loadWorkspace(document_, *prompter_, *picker_, *status_, *this); });
    connect(saveWorkspaceFile, &QAction::triggered, this,
            [this] { saveWorkspace(document_, *prompter_, *picker_, *status_, *this); });
    file->addSeparator();
    QAction *gerber = addCommand(file, QStringLiteral("ｶﾞｰﾊﾞｰ読込(&G)"), "loadGerberAction", QKeySequence("Ctrl+G"));
    QAction *drill = addCommand(file, QStringLiteral("ドリル読込(&D)"), "loadDrillAction", QKeySequence("Ctrl+D"));
    connect(gerber, &QAction::triggered, this, &TMain::gerberLoadCommand);
    connect(drill, &QAction::triggered, this, &TMain::drillLoadCommand);
    QAction *copy = addCommand(file, QStringLiteral("ｸﾘｯﾌﾟﾎﾞｰﾄﾞへｺﾋﾟｰ(&C)"), "copyToClipboardAction",
                               QKeySequence("Ctrl+C"), false);
    file->addSeparator();
    QAction *loadImageFile = addCommand(file, QStringLiteral("ｲﾒｰｼﾞﾌｧｲﾙの読込(&I)"), "loadImageAction");
    QAction *saveImageFile = addCommand(file, QStringLiteral("ｲﾒｰｼﾞﾌｧｲﾙの保存(&E)"), "saveImageAction", {}, false);
    connect(copy, &QAction::triggered, this, [this] {
        copyToClipboard(drawingArea_->picture(), drawingArea_->scrollPosition(),
                        drawingArea_->scrollArea()->viewport()->size(), *status_);
    });
    connect(saveImageFile, &QAction::triggered, this,
            [this] { saveImage(drawingArea_->picture(), *prompter_, *picker_, *status_); });
    connect(loadImageFile, &QAction::triggered, this, [this] {
        QImage image = loadImage(*prompter_, *picker_, *status_);
        if (image.isNull())
            return;
        drawingArea_->setPicture(image);
        for (const char *name : {"copyToClipboardAction", "saveImageAction", "screenHardCopyAction"})
            action(name)->setEnabled(true);
    });
    file->addSeparator();
    QAction *printerSetup = addCommand(file, QStringLiteral("ﾌﾟﾘﾝﾀの設定(&P)"), "printerSetupAction");
    connect(printerSetup, &QAction::triggered, this, &TMain::printerSetup);
    QAction *screenCopy = addCommand(file, QStringLiteral("画面ﾊｰﾄﾞｺﾋﾟｰ(&H)"), "screenHardCopyAction", {}, false);
    connect(screenCopy, &QAction::triggered, this,
            [this] { hardCopy(drawingArea_->picture(), *printDevice_, *prompter_, *status_); });
    file->addSeparator();
    QAction *quit = addCommand(file, QStringLiteral("終  了(&X)"), "exitAction");
    connect(quit, &QAction::triggered, this, &QWidget::close);

    // The view keys are handled by the drawing area, not as menu shortcuts.
    QMenu *view = bar->addMenu(QStringLiteral("表示(&V)"));
    view->setObjectName("viewMenu");
    QAction *fit = addCommand(view, QStringLiteral("全体表示  [Home]"), "fitAllAction", {}, false);
    QAction *redraw = addCommand(view, QStringLiteral("再表示     [Ins]"), "redrawAction", {}, false);
    QAction *zoomIn = addCommand(view, QStringLiteral("ｽﾞｰﾑｲﾝ       +"), "zoomInAction", {}, false);
    QAction *zoomOut = addCommand(view, QStringLiteral("ｽﾞｰﾑｱｳﾄ     -"), "zoomOutAction", {}, false);
    // The drawing area exists only after the menus; reach it when triggered.
    connect(fit, &QAction::triggered, this, [this] { drawingArea_->fitAll(); });
    connect(redraw, &QAction::triggered, this, [this] { drawingArea_->redraw(); });
    connect(zoomIn, &QAction::triggered, this, [this] { drawingArea_->zoomIn(); });
    connect(zoomOut, &QAction::triggered, this, [this] { drawingArea_->zoomOut(); });

    QMenu *table = bar->addMenu(QStringLiteral("ﾃｰﾌﾞﾙ(&T)"));
    table->setObjectName("tableMenu");
    QAction *aperture = addCommand(table, QStringLiteral("ｱﾊﾟｰﾁｬ(&A)"), "apertureTableAction", QKeySequence("Ctrl+A"));
    connect(aperture, &QAction::triggered, this, &TMain::openApertureTable);
    QAction *layers = addCommand(table, QStringLiteral("ﾚｲﾔｰ(&L)"), "layerTableAction", QKeySequence("Ctrl+L"));
    connect(layers, &QAction::triggered, this, [this] { layerTable_->exec(); });

    QMenu *format = bar->addMenu(QStringLiteral("ﾌｫｰﾏｯﾄ設定(&S)"));
    format->setObjectName("formatMenu");
    QMenu *gerberFormat = format->addMenu(QStringLiteral("ｶﾞｰﾊﾞｰ"));
    gerberFormat->setObjectName("gerberFormatMenu");
    QAction *gin = addCommand(gerberFormat, QStringLiteral("入力ﾌｫｰﾏｯﾄ(&I)"), "gerberInFormatAction");
    QAction *gout = addCommand(gerberFormat, QStringLiteral("出力ﾌｫｰﾏｯﾄ(&O)"), "gerberOutFormatAction");
    QMenu *drillFormat = format->addMenu(QStringLiteral("ﾄﾞﾘﾙ"));
    drillFormat->setObjectName("drillFormatMenu");
    QAction *nin = addCommand(drillFormat, QStringLiteral("入力ﾌｫｰﾏｯﾄ(&I)"), "drillInFormatAction");
    QAction *nout = addCommand(drillFormat, QStringLiteral("出力ﾌｫｰﾏｯﾄ(&O)"), "drillOutFormatAction");
    connect(gin, &QAction::triggered, this, [this] { gerberInDialog_->exec(); });
    connect(gout, &QAction::triggered, this, [this] { gerberOutDialog_->exec(); });
    connect(nin, &QAction::triggered, this, [this] { drillInDialog_->exec(); });
    connect(nout, &QAction::triggered, this, [this] { drillOutDialog_->exec(); });

    QMenu *convert = bar->addMenu(QStringLiteral("ﾌｫｰﾏｯﾄ変換(&R)"));
    convert->setObjectName("conversionMenu");
    QAction *convertDrill = addCommand(convert, QStringLiteral("ﾄﾞﾘﾙ(&D)"), "convertDrillAction");
    QAction *convertGerber = addCommand(convert, QStringLiteral("ｶﾞｰﾊﾞｰ(&G)"), "convertGerberAction");
    connect(convertDrill, &QAction::triggered, this, [this] { conversion_->openIn(ConversionMode::Drill); });
    connect(convertGerber, &QAction::triggered, this, [this] { conversion_->openIn(ConversionMode::Gerber); });

    QMenu *code = bar->addMenu(QStringLiteral("ｺｰﾄﾞ変換(&C)"));
    code->setObjectName("codeConversionMenu");
    const std::pair<QAction *, TapeOperation> tapeCommands[] = {
        {addCommand(code, QStringLiteral("EIA →  ASCII(&E)"), "eiaToAsciiAction"), TapeOperation::DecodeEia},
        {addCommand(code, QStringLiteral("ASCII → EIA(&A)"), "asciiToEiaAction"), TapeOperation::EncodeEia},
        {addCommand(code, QStringLiteral("EBCDIC → ASCII(&B)"), "ebcdicToAsciiAction"), TapeOperation::DecodeEbcdic},
        {addCommand(code, QStringLiteral("ASCII → EBCDIC(&S)"), "asciiToEbcdicAction"), TapeOperation::EncodeEbcdic},
    };
    for (const auto &[action, operation] : tapeCommands) {
        connect(action, &QAction::triggered, this, [this, op = operation] {
            TapeCommandPorts ports{*prompter_, *picker_, *status_, [this](const std::string &c) { setCaption(c); }};
            runTapeCommand(op, ports);
        });
    }

    QMenu *print = bar->addMenu(QStringLiteral("印刷(&P)"));
    print->setObjectName("printMenu");
    QAction *gerberPrint = addCommand(print, QStringLiteral("ｶﾞｰﾊﾞｰ印刷"), "gerberPrintAction");
    connect(gerberPrint, &QAction::triggered, this, [this] { gerberPrint_->exec(); });
    QAction *drillPrint = addCommand(print, QStringLiteral("ﾄﾞﾘﾙ印刷(&D)"), "drillPrintAction");
    connect(drillPrint, &QAction::triggered, this, [this] { drillPrint_->exec(); });

    QMenu *tools = bar->addMenu(QStringLiteral("ﾂｰﾙ(&O)"));
    tools->setObjectName("toolsMenu");
    QAction *renumberDcodes = addCommand(tools, QStringLiteral("Dｺｰﾄﾞ変換(&A)"), "renumberDcodesAction");
    QAction *renumberTools = addCommand(tools, QStringLiteral("Ｔｏｏｌ変換(&T)"), "renumberToolsAction");
    connect(renumberDcodes, &QAction::triggered, this, [this] { renumbering_->openIn(RenumberMode::DCode); });
    connect(renumberTools, &QAction::triggered, this, [this] { renumbering_->openIn(RenumberMode::Tool); });
    QMenu *dcodeList = tools->addMenu(QStringLiteral("Dｺｰﾄﾞ番号一覧"));
    dcodeList->setObjectName("dcodeListMenu");
    addCommand(dcodeList, QStringLiteral("表示ﾃﾞｰﾀ(&V)"), "dcodeListOfDisplayAction", {}, false);
    addCommand(dcodeList, QStringLiteral("ﾃﾞｨｽｸﾌｧｲﾙ(&D)"), "dcodeListOfFileAction");
    QMenu *toolList = tools->addMenu(QStringLiteral("Ｔｏｏｌ番号一覧(&P)"));
    toolList->setObjectName("toolListMenu");
    addCommand(toolList, QStringLiteral("表示ﾃﾞｰﾀ(&V)"), "toolListOfDisplayAction", {}, false);
    addCommand(toolList, QStringLiteral("ﾃﾞｨｽｸﾌｧｲﾙ(&D)"), "toolListOfFileAction");
    addCommand(tools, QStringLiteral("ｶﾞｰﾊﾞｰ → ﾄﾞﾘﾙ(&G)"), "gerberToDrillAction");
    addCommand(tools, QStringLiteral("ﾄﾞﾘﾙ → ｶﾞｰﾊﾞｰ(&D)"), "drillToGerberAction");

    QMenu *help = bar->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    help->setObjectName("helpMenu");
    QAction *contents = addCommand(help, QStringLiteral("目次(&C)"), "helpContentsAction");
    help->addSeparator();
    QAction *about = addCommand(help, QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)"), "versionAction");
    connect(contents, &QAction::triggered, this, &TMain::showHelp);
    connect(about, &QAction::triggered, this, &TMain::showVersion);
}

void TMain::buildCentralArea()
{
    auto *central = new QWidget(this);
    central->setObjectName("centralArea");
    auto *layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    toolMarkPanel_ = new QWidget(central);
    toolMarkPanel_->setObjectName("toolMarkPanel");
    toolMarkPanel_->setFixedWidth(ToolMarkPanelWidth);
    auto *panelLayout = new QVBoxLayout(toolMarkPanel_);
    panelLayout->setContentsMargins(1, 1, 2, 1);
    auto *legend = new QLabel(toolMarkPanel_);
    legend->setObjectName("toolMarkLegend");
    legend->setPixmap(toolMarkLegend());
    panelLayout->addWidget(legend);
    panelLayout->addStretch();
    toolMarkPanel_->hide();

    drawingArea_ = new DrawingArea(document_, *prompter_, central);
    drawingArea_->setObjectName("drawingArea");

    layout->addWidget(toolMarkPanel_);
    layout->addWidget(drawingArea_, 1);
    setCentralWidget(central);
}

void TMain::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName("statusBar");
    bar->setMinimumHeight(19);
    bar->setSizeGripEnabled(false);
    // Two panels that stay empty; the simple text of long commands covers them.
    statusPanel1_ = new StatusNote(bar);
    statusPanel1_->setObjectName("statusPanel1");
    statusPanel2_ = new QLabel(bar);
    statusPanel2_->setObjectName("statusPanel2");
    statusPanel2_->setFixedWidth(230);
    statusPanel2_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    statusPanel2_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar->addWidget(statusPanel1_, 1);
    bar->addWidget(statusPanel2_);
}

// The board point under the pointer, in the second panel: in inch when the
// Gerber input format is inch.
void TMain::showPointerPosition(int column, int row)
{
    std::optional<Point> p = boardPointAt(drawingArea_->view().transform(), column, row);
    statusPanel2_->setText(p && document_.hasData == 1 ? QString::fromStdString(pointerPositionText(
                                                             *p, settings_.gerberIn.unit == LengthUnit::Inch))
                                                       : QString());
}

void TMain::createDialogs()
{
    // The order of creation follows the settings each dialog shows; dialogs
    // of later commands join this list as they are built.
    DialogPorts ports{*prompter_, *picker_, *status_};
    gerberInDialog_ = new TGinFormat(settings_.gerberIn, this);
    gerberOutDialog_ = new TGoutFormat(settings_.gerberOut, settings_.gerberIn, ports, this);
    drillOutDialog_ = new TNoutFormat(settings_.drillOut, ports, this);
    drillInDialog_ = new TNinFormat(settings_.drillIn, this);
    apertureDialog_ = new TAptbl(apertureTable_, macroLibrary_, ports, *printDevice_, this);
    conversion_ = new TFconv({settings_, apertureTable_, macroLibrary_}, ports, *gerberInDialog_, *gerberOutDialog_,
                             *drillInDialog_, *drillOutDialog_, this);
    renumbering_ = new TTcheng(ports, this);
    // The layer file selection needs the input format dialogs it opens, so
    // it follows them.
    layerColours_ = new LayerColourBoxes(this);
    layerSelection_ = new TGerSel(document_, apertureTable_, macroLibrary_, *layerColours_, *gerberInDialog_,
                                  *drillInDialog_, ports, this);
    // The operator's colours are the defaults of the next start.
    connect(layerColours_, &LayerColourBoxes::picked, this,
            [this](int n) { settings_.layerColours[static_cast<size_t>(n - 1)] = layerColours_->colour(n); });
    layerTable_ = new TLyrtbl(document_, *layerColours_, this);
    layerTable_->setRedraw([this] { drawingArea_->view().redraw(); });
    versionBox_ = new VersionBox(this);
    printProgress_ = new TPrtAbort(this);
    gerberPrint_ = new TGbprint(settings_.print, apertureTable_, macroLibrary_, settings_.gerberIn, *gerberInDialog_,
                                ports, *printDevice_, *printProgress_, this);
    connect(gerberPrint_, &TGbprint::apertureRequested, this, &TMain::openApertureTable);
    connect(gerberPrint_, &TGbprint::printerSetupRequested, this, &TMain::printerSetup);
    drillPrint_ = new TDrprint(settings_.print, settings_.drillIn, *drillInDialog_, apertureTable_, macroLibrary_,
                               settings_.gerberIn, *gerberInDialog_, ports, *printDevice_, *printProgress_, this);
    connect(drillPrint_, &TDrprint::apertureRequested, this, &TMain::openApertureTable);
    connect(drillPrint_, &TDrprint::printerSetupRequested, this, &TMain::printerSetup);

    connect(gerberInDialog_, &TGinFormat::dialectChanged, gerberOutDialog_, &TGoutFormat::updateApertureButton);
    connect(gerberOutDialog_, &TGoutFormat::apertureRequested, this, &TMain::openApertureTable);

    // The form dialogs take the size of their contents, whatever the window
    // manager's frame and the fonts: nothing is cut off at an edge.
    for (QDialog *form :
         std::initializer_list<QDialog *>{gerberInDialog_, gerberOutDialog_, drillInDialog_, drillOutDialog_,
                                          layerSelection_, layerTable_, gerberPrint_, drillPrint_})
        if (form->layout())
            form->layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TMain::loadSettings()
{
    // The first start in a folder has no settings file yet: the defaults
    // serve, and the first close writes the file.
    if (QFileInfo::exists(QString::fromStdString(settingsFile_)))
        loadSettingsFile(settingsFile_, settings_, *prompter_);
    else
        statusPanel1_->setNote(QString::fromStdString(settingsFile_) + QString::fromUtf8(NoSettingsFileNote));
    for (int n = 1; n <= LayerCount; ++n) {
        document_.layers.slot(n).colour = settings_.layerColours[static_cast<size_t>(n - 1)];
        layerColours_->setColour(n, settings_.layerColours[static_cast<size_t>(n - 1)]);
    }
    gerberInDialog_->showRecord();
    gerberOutDialog_->showRecord();  // also the "アパーチャ" button
    drillInDialog_->showRecord();
    drillOutDialog_->showRecord();
}

bool TMain::saveSettings()
{
    try {
        saveSettingsFile(settingsFile_, settings_);
        return true;
    } catch (const KorvaneError &e) {
        prompter_->error(e.text());
        return false;
    }
}

void TMain::closeEvent(QCloseEvent *event)
{
    // Written at every close, changed or not. When it cannot be written the
    // user is told and the program still ends: keeping the window open would
    // only trap the user in a program that cannot save.
    saveSettings();
    if (helpWindow_)
        helpWindow_->close();
    event->accept();
}

QAction *TMain::action(const QString &objectName) const { return findChild<QAction *>(objectName); }

void TMain::setStatus(const QString &text) { status_->setStatus(text.toStdString()); }

void TMain::clearStatus() { status_->clearStatus(); }

void TMain::applyMenuState()
{
    for (const char *name : {"saveWorkspaceAction", "copyToClipboardAction", "saveImageAction", "screenHardCopyAction",
                             "fitAllAction", "redrawAction", "zoomInAction", "zoomOutAction"})
        action(name)->setEnabled(menuState_.drawingCommands);
    action("dcodeListOfDisplayAction")->setEnabled(menuState_.dcodeListOfDisplay);
    action("toolListOfDisplayAction")->setEnabled(menuState_.toolListOfDisplay);
    toolMarkPanel_->setVisible(menuState_.toolMarkPanel);
}

void TMain::gerberFileRead()
{
    menuState_.gerberFileRead();
    applyMenuState();
}

void TMain::drillFileReadWithHits()
{
    menuState_.drillFileReadWithHits();
    applyMenuState();
}

void TMain::workspaceRead(int dataKind)
{
    menuState_.workspaceRead();
    menuState_.workspaceDataKind(dataKind);
    applyMenuState();
}

void TMain::clearAllData()
{
    menuState_.clearAll();
    applyMenuState();
    newDrawingStarted();
}

// A caption that named a saved workspace no longer names what is shown.
void TMain::newDrawingStarted() { setWindowTitle(QString::fromUtf8(MainCaption)); }

void TMain::presentDataCleared()
{
    menuState_.presentDataCleared();
    applyMenuState();
}

void TMain::showHelp()
{
    if (!helpWindow_)
        helpWindow_ = new HelpWindow(this);
    helpWindow_->showContents();
}

void TMain::showVersion() { versionBox_->exec(); }

void TMain::openApertureTable()
{
    // Opened from the Gerber output format dialog it must stay above it.
    QWidget *owner = gerberOutDialog_->isVisible() ? static_cast<QWidget *>(gerberOutDialog_) : this;
    if (apertureDialog_->parentWidget() != owner)
        apertureDialog_->setParent(owner, apertureDialog_->windowFlags());
    apertureDialog_->exec();
}

void TMain::keyPressEvent(QKeyEvent *event)
{
    // "+" and "-" work wherever the focus is.
    if (drawingArea_->handleKey(event))
        return;
    QMainWindow::keyPressEvent(event);
}

void TMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // The window manager maximises after the first show: size the area then.
    QTimer::singleShot(0, this, &TMain::sizeDrawingArea);
}

void TMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (document_.hasData == 0)
        sizeDrawingArea();
    // The layouts pass the new size down after this event: read a little later.
    if (!pendingFiles_.isEmpty() && isMaximized())
        QTimer::singleShot(200, this, &TMain::openPendingFiles);
}

void TMain::openFilesWhenShown(const QStringList &paths)
{
    // The window manager maximises the window some time after it is shown
    // (and the state says "maximised" before it has happened): read the
    // files after the resize that makes it so, or after a second when there
    // is no window manager to do it.
    pendingFiles_ = paths;
    QTimer::singleShot(1000, this, &TMain::openPendingFiles);
}

void TMain::openPendingFiles()
{
    if (pendingFiles_.isEmpty())
        return;
    QStringList files = pendingFiles_;
    pendingFiles_.clear();
    sizeDrawingArea();
    openFiles(files);
}

void TMain::sizeDrawingArea()
{
    drawingArea_->setStatusBarHeight(statusBar()->height());
    if (document_.hasData == 0)
        drawingArea_->setInitialSize();
}

void TMain::layerTableChanged()
{
    // The layer file selection lists the slots too: a slot it showed empty
    // would count as given up at its next "O  K".
    for (int n = 1; n <= LayerCount; ++n) {
        layerColours_->setColour(n, document_.layers.slot(n).colour);
        layerSelection_->nameField(n)->setText(QString::fromStdString(document_.layers.slot(n).fileName));
    }
    layerTable_->showSlots();
}

void TMain::fitLoadedDrawing() { drawingArea_->view().fitLoadedDrawing(platformName_.toStdString()); }

void TMain::clearView() { drawingArea_->view().clearAll(); }

void TMain::clearLayerSelection()
{
    for (int n = 1; n <= LayerCount; ++n)
        document_.layers.slot(n).assignedPath.clear();
    layerSelection_->clearFields();
}

void TMain::clearApertureTable() { apertureTable_.Clear(); }

void TMain::setCaption(const std::string &caption) { setWindowTitle(QString::fromStdString(caption)); }

namespace {

}  // namespace

namespace {

bool isDrillFile(const QString &path)
{
    if (hasDrillExtension(path.toStdString()))
        return true;
    // A file that cannot be read (a FIFO, a device) is left to the Gerber
    // load, which names it.
    try {
        return looksLikeDrillData(readFileHead(path.toStdString(), 1 << 16));
    } catch (const KorvaneError &) {
        return false;
    }
}

}  // namespace

bool TMain::openFiles(const QStringList &arguments)
{
    if (arguments.size() == 1 && arguments.first().endsWith(".gdb", Qt::CaseInsensitive))
        return openWorkspace(arguments.first().toStdString(), document_, *prompter_, *status_, *this);
    // An aperture table named with RS-274D files is loaded first.
    QStringList paths;
    for (const QString &a : arguments) {
        if (a.endsWith(".apt", Qt::CaseInsensitive))
            loadAptPath(a.toStdString(), apertureTable_, macroLibrary_, *prompter_, *picker_);
        else
            paths << a;
    }
    if (paths.isEmpty())
        return true;

    // Drill files go into the slots after the Gerber files and are read after them.
    QStringList drills;
    for (const QString &p : QStringList(paths))
        if (isDrillFile(p)) {
            drills << p;
            paths.removeOne(p);
        }
    std::vector<std::string> gerberPaths;
    for (const QString &p : paths)
        gerberPaths.push_back(p.toStdString());
    adoptDeclaredDialect(gerberPaths);
    // As a confirmed layer file selection with new files in slots 1, 2, ...
    document_.keepExisting = 0;
    int n = 1;
    auto assign = [&](const QStringList &files, LayerLoadKind kind) {
        for (const QString &f : files) {
            if (n > LayerCount)
                return;
            LayerSlot &slot = document_.layers.slot(n);
            assignLayerFile(slot, f.toStdString(), kind);
            layerSelection_->nameField(n++)->setText(QString::fromStdString(slot.fileName));
        }
    };
    assign(paths, LayerLoadKind::Gerber);
    assign(drills, LayerLoadKind::Drill);
    bool complete = true;
    if (!paths.isEmpty()) {
        GerberLoadOutcome outcome = loadGerberLayers();
        complete = outcome.end == GerberLoadOutcome::End::Completed && outcome.layersStopped.empty();
    }
    if (!drills.isEmpty()) {
        // The drill marks join the Gerber drawing, as the menu's drill load would.
        document_.keepExisting = document_.gerberLoaded;
        DrillLoadOutcome outcome = loadDrillLayers();
        complete = complete && outcome.end == DrillLoadOutcome::End::Completed && outcome.layersFailed.empty();
    }
    return complete;
}

namespace {

class WindowLoadObserver : public GerberLoadObserver {
public:
    explicit WindowLoadObserver(TMain &window) : window_(window) {}
    // The present drawing is given up only once the pre-scan has accepted
    // the files, so a refused load leaves it on the screen.
    void preScanDone() override
    {
        if (window_.document().keepExisting == 0)
            window_.newDrawingStarted();
        window_.document().startLoad();
    }
    void fileReadToEnd(int) override { window_.gerberFileRead(); }

private:
    TMain &window_;
};

}  // namespace

GerberLoadOutcome TMain::loadGerberLayers()
{
    std::vector<GerberLoadFile> files = pendingGerberFiles();
    if (files.empty())
        return {};

    ViewController &view = drawingArea_->view();
    const bool hadData = document_.hasData == 1;
    const std::size_t itemsBefore = document_.displayList.size();
    view.setZoomLimits(platformName_.toStdString());

    WindowLoadObserver observer(*this);
    GerberLoadContext context{document_,  apertureTable_, macroLibrary_, settings_.gerberIn,
                              *prompter_, *status_,       &observer};
    GerberLoadOutcome outcome = loadGerberFiles(context, files);
    forgetUnreadSlots(outcome.layersUnread);
    // What the files hold that is not drawn exactly stays in the status bar.
    if (!outcome.notes.empty()) {
        std::string text;
        for (const std::string &note : outcome.notes)
            text += (text.empty() ? "" : " / ") + note;
        status_->setStatus(text);
    }
    // What the files declared shows in the format dialogs.
    gerberInDialog_->showRecord();
    gerberOutDialog_->updateApertureButton();

    const bool added = document_.displayList.size() != itemsBefore || document_.keepExisting == 0;
    if (!outcome.anyFileRead || !added) {
        // Nothing new: the drawing that was there stays on the screen.
        if (hadData)
            view.redraw();
        return outcome;
    }
    // Extents of zero (every coordinate at one point) fit what is drawn.
    if (document_.keepExisting == 1) {
        view.computeFitScale(view.transform().areaWidth, view.transform().areaHeight);
        view.redraw();
    } else {
        view.fitLoadedDrawing(platformName_.toStdString());
    }
    return outcome;
}

namespace {

class WindowDrillObserver : public DrillLoadObserver {
public:
    WindowDrillObserver(TMain &window, ViewController &view, DrillFitArea area)
        : window_(window), view_(view), area_(area)
    {
    }
    void extentsSet(bool fitScaleDue) override
    {
        // Over a kept Gerber drawing the Gerber load's fit stays.
        if (fitScaleDue)
            view_.computeFitScale(area_.width, area_.height);
    }
    void fileReadWithHits(int) override
    {
        window_.drillFileReadWithHits();
        view_.fitAndRedraw();
    }

private:
    TMain &window_;
    ViewController &view_;
    DrillFitArea area_;
};

}  // namespace

DrillLoadOutcome TMain::loadDrillLayers()
{
    std::vector<DrillLoadFile> files = pendingDrillFiles(document_.layers);
    if (files.empty())
        return {};
    ViewController &view = drawingArea_->view();
    view.setZoomLimits(platformName_.toStdString());
    view.readScreenMetrics();
    if (document_.hasData == 1)
        view.returnToBaseSize();
    view.takeBaseSize();
    const ViewTransform &t = view.transform();
    DrillFitArea area = drillFitArea(t.baseWidth, t.baseHeight, ToolMarkPanelWidth, statusBar()->height(),
                                     t.mmPerPixelX, t.mmPerPixelY);
    WindowDrillObserver observer(*this, view, area);
    if (document_.keepExisting == 0)
        newDrawingStarted();
    DrillLoadContext context{document_, settings_.drillIn, *prompter_, *status_, &observer};
    DrillLoadOutcome outcome = loadDrillFiles(context, files);
    forgetUnreadSlots(outcome.layersUnread);
    // A format a file declared is now the drill input format: show it, and
    // say which format the files were read by.
    drillInDialog_->showRecord();
    if (!outcome.declaredFormatNote.empty())
        statusPanel1_->setNote(QString::fromStdString(outcome.declaredFormatNote));
    // A load that drew nothing leaves the drawing that was there.
    if (outcome.layersWithHits.empty() && document_.hasData == 1)
        view.redraw();
    return outcome;
}

bool TMain::confirmLayerSelection(LayerLoadKind kind)
{
    layerSelection_->setMode(kind);
    if (layerSelection_->exec() != QDialog::Accepted)
        return false;
    if (layerSelection_->presentDataCleared()) {
        drawingArea_->clearPicture();
        presentDataCleared();
    }
    return true;
}

void TMain::gerberLoadCommand()
{
    if (!confirmLayerSelection(LayerLoadKind::Gerber))
        return;
    drawingArea_->setRegionFill(layerSelection_->regionFill());
    std::vector<std::string> paths;
    for (const GerberLoadFile &f : pendingGerberFiles())
        paths.push_back(f.path);
    adoptDeclaredDialect(paths);
    loadGerberLayers();
}

// Files that carry their own %FS or %MO are RS-274X whatever the format
// says; the operator is told, since the format record changes with it.
void TMain::adoptDeclaredDialect(const std::vector<std::string> &paths)
{
    statusPanel1_->clearNote();
    if (!adoptDeclaredRs274X(settings_.gerberIn, paths))
        return;
    gerberInDialog_->showRecord();
    gerberOutDialog_->updateApertureButton();
    statusPanel1_->setNote(QString::fromUtf8(gerbermsg::ReadAsRs274X));
}

void TMain::forgetUnreadSlots(const std::vector<int> &layers)
{
    for (int n : layers) {
        forgetUnreadSlot(document_.layers.slot(n));
        layerSelection_->nameField(n)->clear();
    }
    if (!layers.empty())
        layerTable_->showSlots();
}

std::vector<GerberLoadFile> TMain::pendingGerberFiles() const
{
    std::vector<GerberLoadFile> files;
    for (int n = 1; n <= LayerCount; ++n) {
        const LayerSlot &slot = document_.layers.slot(n);
        if (slot.fileKind == "gb" && !slot.pendingPath.empty() && slot.pendingPath != AlreadyLoadedMarker)
            files.push_back({n, slot.pendingPath});
    }
    return files;
}

void TMain::drillLoadCommand()
{
    if (!confirmLayerSelection(LayerLoadKind::Drill))
        return;
    statusPanel1_->clearNote();
    loadDrillLayers();
}

void TMain::printerSetup()
{
    QPageSetupDialog dialog(printer_.get(), this);
    dialog.setWindowTitle(QStringLiteral("ﾌﾟﾘﾝﾀの設定"));
    dialog.exec();
}

}  // namespace korvane
