#pragma once
// "ドリル出力フォーマット": edits DrillOutFormat in place; its ParameterFile
// is saved and loaded with "セーブ" and "ロード".
#include "app/DialogPorts.h"
#include "core/Formats.h"

#include <QDialog>

class QLineEdit;

namespace korvane {

class RadioGroup;
class DigitsBox;

class TNoutFormat : public QDialog {
    Q_OBJECT
public:
    TNoutFormat(DrillOutFormat &format, DialogPorts ports, QWidget *parent = nullptr);
    void showRecord();

protected:
    void showEvent(QShowEvent *event) override;

private:
    DrillOutFormat &format_;
    DialogPorts ports_;
    QLineEdit *initCommand_;
    QLineEdit *toolSelect_;
    QLineEdit *hitCommand_;
    QLineEdit *toolChange_;
    QLineEdit *endCommand_;
    QLineEdit *xOffset_;
    QLineEdit *yOffset_;
    RadioGroup *coordinates_;
    RadioGroup *eob_;
    RadioGroup *suppression_;
    RadioGroup *unit_;
    RadioGroup *toolDigits_;
    RadioGroup *record_;
    RadioGroup *zeroData_;
    DigitsBox *integerDigits_;
    DigitsBox *decimalDigits_;
};

}  // namespace korvane
