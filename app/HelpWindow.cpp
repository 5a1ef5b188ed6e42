#include "app/HelpWindow.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

// The help pages are linked from a static library: register them by hand.
static void registerHelpPages() { Q_INIT_RESOURCE(help); }

namespace korvane {

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    registerHelpPages();
    setObjectName("HelpWindow");
    setWindowTitle(QStringLiteral("ＫＯＲＶＡＮＥ ヘルプ"));
    browser_ = new QTextBrowser(this);
    browser_->setObjectName("helpBrowser");
    browser_->setOpenExternalLinks(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(720, 600);
}

void HelpWindow::showContents()
{
    browser_->setSource(QUrl("qrc:/help/index.html"));
    show();
    raise();
    activateWindow();
}

}  // namespace korvane
