#pragma once
// "ドリル入力フォーマット": edits DrillInFormat in place.
#include "core/Formats.h"

#include <QDialog>

class QPushButton;

namespace korvane {

class RadioGroup;
class DigitsBox;

class TNinFormat : public QDialog {
    Q_OBJECT
public:
    TNinFormat(DrillInFormat &format, QWidget *parent = nullptr);
    void showRecord();
    // The drill load reads ASCII only: EIA cannot be chosen while the layer
    // file selection has the dialog open.
    void setEiaEnabled(bool enabled);
    RadioGroup *codeGroup() const { return code_; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    DrillInFormat &format_;
    RadioGroup *code_;
    RadioGroup *unit_;
    RadioGroup *suppression_;
    RadioGroup *coordinates_;
    RadioGroup *x0y0_;
    DigitsBox *integerDigits_;
    DigitsBox *decimalDigits_;
};

}  // namespace korvane
