#include "app/HelpWindow.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QTextBrowser>

#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

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

void HelpWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void HelpWindow::showContents()
{
    browser_->setSource(QUrl("qrc:/help/index.html"));
    if (!isVisible())
        placeBesideOwner();
    show();
    raise();
    activateWindow();
}

// At the right edge of the owner's screen, below its menu bar, so that the
// menu and the left of the drawing stay in sight.
void HelpWindow::placeBesideOwner()
{
    QWidget *owner = parentWidget();
    const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect room = screen->availableGeometry();
    int top = room.top() + 40;
    if (auto *window = qobject_cast<QMainWindow *>(owner); window && window->menuBar())
        top = std::max(top, window->menuBar()->mapToGlobal(QPoint(0, window->menuBar()->height())).y() + 40);
    const int w = std::min(width(), room.width() / 2);
    const int h = std::min(height(), room.bottom() - top - 40);
    resize(w, std::max(h, 200));
    move(room.right() - w - 24, top);
}

}  // namespace korvane
