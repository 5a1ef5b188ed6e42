#pragma once
// The main window: menu map, drawing area, tool-mark panel and status bar.
// It owns the document, the settings and the dialogs for the whole run.
#include "core/Document.h"
#include "core/Formats.h"
#include "core/LayerSelection.h"
#include "core/MenuState.h"
#include "core/Ports.h"
#include "core/WorkspaceFile.h"
#include "drill/DrillReader.h"
#include "gerber/ApertureTable.h"
#include "gerber/GerberReader.h"
#include "gerber/MacroLibrary.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QAction;
class QPrinter;
class QLabel;
class QMenu;

namespace korvane {

class DrawingArea;
class TGinFormat;
class TGoutFormat;
class TNinFormat;
class TNoutFormat;
class VersionBox;
class TAptbl;
class TFconv;
class TTcheng;
class TGerSel;
class TLyrtbl;
class TDrprint;
class TGbprint;
class TPrtAbort;
class LayerColourBoxes;
class QtPrintDevice;
class PrintDevice;
class HelpWindow;
class QtPrompter;
class QtFilePicker;
class QtStatus;
class StatusNote;

inline constexpr const char *ApplicationTitle = "ＫＯＲＶＡＮＥ Ver4";
inline constexpr const char *MainCaption = "ＫＯＲＶＡＮＥ";
// After the settings file's path, at the first start in a folder.
inline constexpr const char *NoSettingsFileNote = " がないため、既定の設定で起動しました（終了時に作成します）";

struct TMainOptions {
    // The folder of the settings and help files; empty: the current directory.
    QString startDirectory;
    // Ports to use instead of the Qt ones (tests).
    Prompter *prompter = nullptr;
    FilePicker *picker = nullptr;
    StatusSink *status = nullptr;
    PrintDevice *printDevice = nullptr;
};

class TMain : public QMainWindow, private WorkspaceWindow {
    Q_OBJECT
public:
    explicit TMain(const TMainOptions &options = {}, QWidget *parent = nullptr);
    ~TMain() override;

    const QString &startDirectory() const { return startDirectory_; }
    // "Win32s", "Windows9x", "WindowsNT", or empty on platforms that report none.
    const QString &platformName() const { return platformName_; }

    Document &document() { return document_; }
    Settings &settings() { return settings_; }
    Prompter &prompter() { return *prompter_; }
    FilePicker &picker() { return *picker_; }
    StatusSink &status() { return *status_; }
    ApertureTable &apertureTable() { return apertureTable_; }
    MacroLibrary &macroLibrary() { return macroLibrary_; }
    QPrinter &printer() { return *printer_; }
    PrintDevice &printDevice() { return *printDevice_; }

    // The status bar's simple text.
    void setStatus(const QString &text);
    void clearStatus();

    // Enabling events of the loads and the clear commands.
    void gerberFileRead();
    void drillFileReadWithHits();
    void workspaceRead(int dataKind) override;
    void clearAllData() override;
    void presentDataCleared();
    // A load or clear-all that replaces the drawing: the caption is the
    // program's own again.
    void newDrawingStarted();
    const MenuState &menuState() const { return menuState_; }

    // Reads the settings file into the records and applies the enabling rule
    // of the "アパーチャ" button; called once at start-up.
    void loadSettings();
    // Writes the settings file; errors are shown. True when written.
    bool saveSettings();

    QAction *action(const QString &objectName) const;
    QWidget *toolMarkPanel() const { return toolMarkPanel_; }
    DrawingArea *drawingArea() const { return drawingArea_; }

    // Files named on the command line: a workspace file opens that
    // workspace; an aperture table (.apt) is loaded; Gerber files go into
    // slots 1, 2, ... as a confirmed layer file selection would put them, and
    // are read. True when every file was read to its end.
    bool openFiles(const QStringList &arguments);
    // The same once the window has its maximised size, so that the first
    // fit uses the whole screen.
    void openFilesWhenShown(const QStringList &paths);
    // The Gerber load after a confirmed layer file selection: reads every
    // slot of kind "gb" whose pendingPath names a file, fits and draws.
    GerberLoadOutcome loadGerberLayers();
    std::vector<GerberLoadFile> pendingGerberFiles() const;
    // RS-274D set and a file declaring RS-274X: the load reads RS-274X, the
    // format dialogs show it and the status bar's first panel says so.
    void adoptDeclaredDialect(const std::vector<std::string> &paths);
    // Slots whose file the load never read lose their name and tick.
    void forgetUnreadSlots(const std::vector<int> &layers);
    // The drill load after a confirmed layer file selection: reads every slot
    // of kind "nc" whose pendingPath names a file, draws its tool marks.
    DrillLoadOutcome loadDrillLayers();

    TGinFormat *gerberInFormatDialog() const { return gerberInDialog_; }
    TGoutFormat *gerberOutFormatDialog() const { return gerberOutDialog_; }
    TNinFormat *drillInFormatDialog() const { return drillInDialog_; }
    TNoutFormat *drillOutFormatDialog() const { return drillOutDialog_; }
    TAptbl *apertureTableDialog() const { return apertureDialog_; }
    TGerSel *layerSelectionDialog() const { return layerSelection_; }
    TLyrtbl *layerTableDialog() const { return layerTable_; }
    TGbprint *gerberPrintDialog() const { return gerberPrint_; }
    TDrprint *drillPrintDialog() const { return drillPrint_; }
    TFconv *conversionDialog() const { return conversion_; }
    TTcheng *renumberingDialog() const { return renumbering_; }

    // The menu's loads: the layer file selection, then the reading.
    void gerberLoadCommand();
    void drillLoadCommand();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildMenus();
    void buildCentralArea();
    void buildStatusBar();
    void showPointerPosition(int column, int row);
    void createDialogs();
    void applyMenuState();
    QAction *addCommand(QMenu *menu, const QString &caption, const QString &objectName,
                        const QKeySequence &shortcut = {}, bool enabled = true);
    void showHelp();
    void showVersion();
    void openApertureTable();
    void printerSetup();
    void sizeDrawingArea();
    void openPendingFiles();
    bool confirmLayerSelection(LayerLoadKind kind);

    // WorkspaceWindow
    void layerTableChanged() override;
    void fitLoadedDrawing() override;
    void clearView() override;
    void clearLayerSelection() override;
    void clearApertureTable() override;
    void setCaption(const std::string &caption) override;

    QString startDirectory_;
    std::string settingsFile_;
    QString platformName_;
    Document document_;
    Settings settings_;
    MenuState menuState_;
    ApertureTable apertureTable_;
    MacroLibrary macroLibrary_;
    // The one printer every print command uses, set up by "ﾌﾟﾘﾝﾀの設定".
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QtPrintDevice> ownPrintDevice_;
    PrintDevice *printDevice_ = nullptr;

    std::unique_ptr<QtPrompter> ownPrompter_;
    std::unique_ptr<QtFilePicker> ownPicker_;
    std::unique_ptr<QtStatus> ownStatus_;
    Prompter *prompter_;
    FilePicker *picker_;
    StatusSink *status_;

    QWidget *toolMarkPanel_ = nullptr;
    DrawingArea *drawingArea_ = nullptr;
    StatusNote *statusPanel1_ = nullptr;
    QLabel *statusPanel2_ = nullptr;

    TGinFormat *gerberInDialog_ = nullptr;
    TGoutFormat *gerberOutDialog_ = nullptr;
    TNinFormat *drillInDialog_ = nullptr;
    TNoutFormat *drillOutDialog_ = nullptr;
    TAptbl *apertureDialog_ = nullptr;
    LayerColourBoxes *layerColours_ = nullptr;
    TGerSel *layerSelection_ = nullptr;
    TLyrtbl *layerTable_ = nullptr;
    TPrtAbort *printProgress_ = nullptr;
    TGbprint *gerberPrint_ = nullptr;
    TDrprint *drillPrint_ = nullptr;
    TFconv *conversion_ = nullptr;
    TTcheng *renumbering_ = nullptr;
    VersionBox *versionBox_ = nullptr;
    QPointer<HelpWindow> helpWindow_;
    QStringList pendingFiles_;
};

}  // namespace korvane
