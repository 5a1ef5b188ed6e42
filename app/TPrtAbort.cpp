#include "app/TPrtAbort.h"
#include "print/PrintTexts.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvane {

TPrtAbort::TPrtAbort(QWidget *parent) : QDialog(parent)
{
    setObjectName("TPrtAbort");
    setWindowTitle(QString::fromUtf8(printmsg::ProgressCaption));
    setModal(true);
    label_ = new QLabel(this);
    label_->setObjectName("fileLabel");
    label_->setMinimumWidth(260);
    label_->setAlignment(Qt::AlignCenter);
    cancel_ = new QPushButton(QString::fromUtf8(printmsg::ProgressCancel), this);
    cancel_->setObjectName("cancelButton");
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(cancel_, 0, Qt::AlignCenter);
    connect(cancel_, &QPushButton::clicked, this, &TPrtAbort::cancelPressed);
}

void TPrtAbort::showProgress(const std::string &label)
{
    cancelled_ = false;
    label_->setText(QString::fromStdString(label));
    show();
    raise();
    QApplication::processEvents();
    sincePoll_.start();
}

bool TPrtAbort::cancelRequested()
{
    if (!cancelled_ && sincePoll_.isValid() && sincePoll_.elapsed() >= PollMilliseconds) {
        QApplication::processEvents();
        sincePoll_.restart();
    }
    return cancelled_;
}

void TPrtAbort::hideProgress() { hide(); }

void TPrtAbort::cancelPressed()
{
    cancelled_ = true;
    hide();
}

}  // namespace korvane
