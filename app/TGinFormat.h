#pragma once
// "ガーバー入力フォーマット": edits GerberInFormat in place.
#include "core/Formats.h"

#include <QDialog>

class QPushButton;

namespace korvane {

class RadioGroup;
class DigitsBox;

class TGinFormat : public QDialog {
    Q_OBJECT
public:
    TGinFormat(GerberInFormat &format, QWidget *parent = nullptr);
    // Shows the record's present values (it may have changed elsewhere).
    void showRecord();
    // The layer file selection reads ASCII only: EBCDIC is forced off while it
    // has the dialog open.
    void setEbcdicEnabled(bool enabled);

    RadioGroup *dialectGroup() const { return dialect_; }
    RadioGroup *codeGroup() const { return code_; }

signals:
    void dialectChanged();

protected:
    void showEvent(QShowEvent *event) override;

private:
    GerberInFormat &format_;
    RadioGroup *dialect_;
    RadioGroup *code_;
    RadioGroup *unit_;
    RadioGroup *suppression_;
    RadioGroup *coordinates_;
    RadioGroup *arc_;
    DigitsBox *integerDigits_;
    DigitsBox *decimalDigits_;
    QPushButton *close_;
};

}  // namespace korvane
