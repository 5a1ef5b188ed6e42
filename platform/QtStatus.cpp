#include "platform/QtStatus.h"

#include <QApplication>
#include <QCursor>
#include <QStatusBar>

namespace korvane {

void QtStatus::setStatus(const std::string &text)
{
    if (!bar_)
        return;
    bar_->showMessage(QString::fromUtf8(text));
    bar_->repaint();
}

void QtStatus::clearStatus()
{
    if (!bar_)
        return;
    bar_->clearMessage();
    bar_->repaint();
}

void QtStatus::setBusy(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else if (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

bool QtStatus::pumpEvents()
{
    QApplication::processEvents();
    return false;
}

}  // namespace korvane
