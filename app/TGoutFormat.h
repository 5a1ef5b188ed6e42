#pragma once
// "ガーバー出力フォーマット": edits GerberOutFormat in place; its
// ParameterFile is saved and loaded with "セーブ" and "ロード".
#include "app/DialogPorts.h"
#include "core/Formats.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace korvane {

class RadioGroup;
class DigitsBox;

class TGoutFormat : public QDialog {
    Q_OBJECT
public:
    TGoutFormat(GerberOutFormat &format, const GerberInFormat &input, DialogPorts ports, QWidget *parent = nullptr);
    void showRecord();
    // Enabled exactly when RS-274D is read and RS-274X written.
    void updateApertureButton();

    QPushButton *apertureButton() const { return aperture_; }
    RadioGroup *dialectGroup() const { return dialect_; }

signals:
    void apertureRequested();
    void dialectChanged();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void loadParameters();
    void saveParameters();

    GerberOutFormat &format_;
    const GerberInFormat &input_;
    DialogPorts ports_;
    QLineEdit *initCommand_;
    QLineEdit *endCommand_;
    RadioGroup *dialect_;
    RadioGroup *record_;
    RadioGroup *coordinates_;
    RadioGroup *modal_;
    RadioGroup *eob_;
    RadioGroup *g54_;
    RadioGroup *zeroData_;
    RadioGroup *suppression_;
    RadioGroup *unit_;
    DigitsBox *integerDigits_;
    DigitsBox *decimalDigits_;
    QPushButton *aperture_;
};

}  // namespace korvane
