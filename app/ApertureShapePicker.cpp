#include "app/ApertureShapePicker.h"
#include "gerber/ApertureEditing.h"
#include "gerber/ApertureTexts.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QVBoxLayout>

namespace korvane {

ApertureShapePicker::ApertureShapePicker(const std::string &current, QWidget *parent) : QDialog(parent)
{
    setObjectName("ApertureShapePicker");
    setWindowTitle(QString::fromUtf8(aptmsg::ShapePickerTitle));
    setModal(true);

    list_ = new QListWidget(this);
    list_->setObjectName("shapeList");
    for (const char *entry : ShapePickEntries)
        list_->addItem(QString::fromUtf8(entry));
    int selected = 0;
    for (int i = 0; i < list_->count(); ++i)
        if (current == ShapePickEntries[static_cast<std::size_t>(i)])
            selected = i;
    list_->setCurrentRow(selected);
    // A single click picks, as does Enter (activation).
    connect(list_, &QListWidget::itemClicked, this, &ApertureShapePicker::pick);
    connect(list_, &QListWidget::itemActivated, this, &ApertureShapePicker::pick);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(list_);
    // Tall enough for every entry without scrolling.
    list_->setMinimumHeight(list_->sizeHintForRow(0) * list_->count() + 2 * list_->frameWidth() + 4);
    list_->setMinimumWidth(160);
}

void ApertureShapePicker::pick(QListWidgetItem *item)
{
    if (!item || picked_)
        return;
    picked_ = ShapePickEntries[static_cast<std::size_t>(list_->row(item))];
    accept();
}

std::optional<std::string> ApertureShapePicker::choose(const std::string &current, QWidget *parent)
{
    ApertureShapePicker picker(current, parent);
    if (picker.exec() != QDialog::Accepted)
        return std::nullopt;
    return picker.picked();
}

}  // namespace korvane
