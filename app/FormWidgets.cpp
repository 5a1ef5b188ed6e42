#include "app/FormWidgets.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QFormLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>

namespace korvane {

RadioGroup::RadioGroup(const QString &title, const QStringList &choices, const QString &objectName, QWidget *parent,
                       Qt::Orientation orientation)
    : QGroupBox(title, parent), group_(new QButtonGroup(this))
{
    setObjectName(objectName);
    QBoxLayout *layout = orientation == Qt::Vertical ? static_cast<QBoxLayout *>(new QVBoxLayout(this))
                                                     : static_cast<QBoxLayout *>(new QHBoxLayout(this));
    layout->setContentsMargins(8, 4, 8, 4);
    layout->setSpacing(2);
    for (int i = 0; i < choices.size(); ++i) {
        auto *button = new QRadioButton(choices[i], this);
        button->setObjectName(objectName + "Choice" + QString::number(i));
        group_->addButton(button, i);
        layout->addWidget(button);
        buttons_.push_back(button);
    }
    connect(group_, &QButtonGroup::idClicked, this, &RadioGroup::changed);
}

int RadioGroup::index() const { return group_->checkedId(); }

void RadioGroup::setIndex(int index)
{
    QSignalBlocker block(group_);
    if (QAbstractButton *b = group_->button(index))
        b->setChecked(true);
}

DigitsBox::DigitsBox(int last, const QString &objectName, QWidget *parent) : QComboBox(parent)
{
    setObjectName(objectName);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    for (int i = 1; i <= last; ++i)
        addItem(QString::number(i));
    setMinimumContentsLength(3);
    connect(this, &QComboBox::currentTextChanged, this,
            [this](const QString &text) { emit digitsChanged(text.toStdString()); });
}

void DigitsBox::setDigits(const std::string &text)
{
    QSignalBlocker block(this);
    QString t = QString::fromStdString(text);
    int i = findText(t);
    if (i >= 0)
        setCurrentIndex(i);
    setEditText(t);
}

QGroupBox *digitsGroup(const QString &title, const QString &integerLabel, const QString &decimalLabel, int lastDecimal,
                       DigitsBox *&integerBox, DigitsBox *&decimalBox, QWidget *parent)
{
    auto *group = new QGroupBox(title, parent);
    group->setObjectName("digitsGroup");
    auto *layout = new QFormLayout(group);
    integerBox = new DigitsBox(4, "integerDigitsBox", group);
    decimalBox = new DigitsBox(lastDecimal, "decimalDigitsBox", group);
    layout->addRow(integerLabel, integerBox);
    layout->addRow(decimalLabel, decimalBox);
    return group;
}

}  // namespace korvane
