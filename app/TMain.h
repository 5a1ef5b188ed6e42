#pragma once
// The main window: menu map, drawing area, tool-mark panel and status bar.
// It owns the document, the settings and the dialogs for the whole run.
#include "core/Document.h"
#include "core/Formats.h"
#include "core/MenuState.h"
#include "core/Ports.h"
#include "gerber/ApertureTable.h"
#include "gerber/MacroLibrary.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <memory>

class QAction;
class QPrinter;
class QLabel;
class QMenu;
class QScrollArea;

namespace korvane {

class TGinFormat;
class TGoutFormat;
class TNinFormat;
class TNoutFormat;
class VersionBox;
class TAptbl;
class QtPrintDevice;
class PrintDevice;
class HelpWindow;
class QtPrompter;
class QtFilePicker;
class QtStatus;

inline constexpr const char *ApplicationTitle = "ＫＯＲＶＡＮＥ Ver4";
inline constexpr const char *MainCaption = "ＫＯＲＶＡＮＥ";

struct TMainOptions {
    // The folder of the settings and help files; empty: the current directory.
    QString startDirectory;
    // Ports to use instead of the Qt ones (tests).
    Prompter *prompter = nullptr;
    FilePicker *picker = nullptr;
    StatusSink *status = nullptr;
    PrintDevice *printDevice = nullptr;
};

class TMain : public QMainWindow {
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

    // The status bar's simple text.
    void setStatus(const QString &text);
    void clearStatus();

    // Enabling events of the loads and the clear commands.
    void gerberFileRead();
    void drillFileReadWithHits();
    void workspaceRead(int dataKind);
    void clearAllData();
    void presentDataCleared();
    const MenuState &menuState() const { return menuState_; }

    // Reads the settings file into the records and applies the enabling rule
    // of the "アパーチャ" button; called once at start-up.
    void loadSettings();
    // Writes the settings file; errors are shown. True when written.
    bool saveSettings();

    QAction *action(const QString &objectName) const;
    QWidget *toolMarkPanel() const { return toolMarkPanel_; }
    QScrollArea *drawingArea() const { return drawingArea_; }

    TGinFormat *gerberInFormatDialog() const { return gerberInDialog_; }
    TGoutFormat *gerberOutFormatDialog() const { return gerberOutDialog_; }
    TNinFormat *drillInFormatDialog() const { return drillInDialog_; }
    TNoutFormat *drillOutFormatDialog() const { return drillOutDialog_; }
    TAptbl *apertureTableDialog() const { return apertureDialog_; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void buildCentralArea();
    void buildStatusBar();
    void createDialogs();
    void applyMenuState();
    QAction *addCommand(QMenu *menu, const QString &caption, const QString &objectName,
                        const QKeySequence &shortcut = {}, bool enabled = true);
    void showHelp();
    void showVersion();
    void openApertureTable();
    void printerSetup();

    QString startDirectory_;
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
    QScrollArea *drawingArea_ = nullptr;
    QLabel *statusPanel1_ = nullptr;
    QLabel *statusPanel2_ = nullptr;

    TGinFormat *gerberInDialog_ = nullptr;
    TGoutFormat *gerberOutDialog_ = nullptr;
    TNinFormat *drillInDialog_ = nullptr;
    TNoutFormat *drillOutDialog_ = nullptr;
    TAptbl *apertureDialog_ = nullptr;
    VersionBox *versionBox_ = nullptr;
    QPointer<HelpWindow> helpWindow_;
};

} // namespace korvane
