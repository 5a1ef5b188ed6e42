#pragma once
// The progress box of the prints: the file being printed and a cancel
// button. It stays modal while shown, so nothing else can start a command.
#include "print/PrintFrame.h"

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QPushButton;

namespace korvane {

class TPrtAbort : public QDialog, public PrintProgress {
    Q_OBJECT
public:
    explicit TPrtAbort(QWidget *parent = nullptr);

    void showProgress(const std::string &label) override;
    bool cancelRequested() override;
    void hideProgress() override;

    QLabel *fileLabel() const { return label_; }
    QPushButton *cancelButton() const { return cancel_; }
    // Events are let through at most this often while a file is read.
    static constexpr int PollMilliseconds = 15;

private:
    void cancelPressed();

    QLabel *label_;
    QPushButton *cancel_;
    bool cancelled_ = false;
    QElapsedTimer sincePoll_;
};

}  // namespace korvane
