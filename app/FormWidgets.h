#pragma once
// Small building blocks of the format dialogs: a titled group of radio
// buttons and the editable digit-count list.
#include <QComboBox>
#include <QGroupBox>
#include <QStringList>
#include <QVector>

class QButtonGroup;
class QRadioButton;

namespace korvane {

class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString &title, const QStringList &choices, const QString &objectName, QWidget *parent = nullptr,
               Qt::Orientation orientation = Qt::Vertical);
    int index() const;
    // Sets the checked choice without emitting `changed`.
    void setIndex(int index);
    QRadioButton *button(int index) const { return buttons_.value(index); }

signals:
    void changed(int index);

private:
    QButtonGroup *group_;
    QVector<QRadioButton *> buttons_;
};

// An editable list of digit counts "1" to `last`; the user may pick or type.
class DigitsBox : public QComboBox {
    Q_OBJECT
public:
    DigitsBox(int last, const QString &objectName, QWidget *parent = nullptr);
    // Sets the text without emitting `textEdited`.
    void setDigits(const std::string &text);

signals:
    void digitsChanged(const std::string &text);
};

// The "桁数" group: the integer and decimal digit lists, "1" to "4" and "1"
// to `lastDecimal`. The record is updated through the boxes' signals.
QGroupBox *digitsGroup(const QString &title, const QString &integerLabel, const QString &decimalLabel, int lastDecimal,
                       DigitsBox *&integerBox, DigitsBox *&decimalBox, QWidget *parent);

}  // namespace korvane
