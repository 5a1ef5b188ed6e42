#pragma once
// "アパーチャサイズ入力": the size of one row. Only 0-9, "-", "." and
// backspace can be typed; how the box was left decides what is stored
// (applySizeEntry).
#include "gerber/ApertureEditing.h"

#include <QDialog>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace korvane {

class ApertureSizeEntry : public QDialog {
    Q_OBJECT
public:
    ApertureSizeEntry(const std::string &dcodeLabel, const std::string &currentSize, QWidget *parent = nullptr);

    QLineEdit *sizeEdit() const { return edit_; }
    QLabel *dcodeLabel() const { return dcode_; }
    QPushButton *okButton() const { return ok_; }
    QPushButton *cancelButton() const { return cancel_; }

    SizeEntryExit exitKind() const { return exit_; }
    std::string typedText() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLabel *dcode_;
    QLineEdit *edit_;
    QPushButton *ok_;
    QPushButton *cancel_;
    // Closing the window by its frame counts as Cancel.
    SizeEntryExit exit_ = SizeEntryExit::Cancel;
};

}  // namespace korvane
