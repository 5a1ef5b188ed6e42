#include "app/TLyrtbl.h"
#include "app/LayerColourBoxes.h"
#include "platform/Fonts.h"
#include "platform/QtColour.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace korvane {
namespace {

// "１" to "１５": the slot numbers in full-width digits.
QString fullWidthNumber(int n)
{
    QString out;
    for (QChar c : QString::number(n))
        out += QChar(0xFF10 + (c.unicode() - '0'));
    return out;
}

}  // namespace

TLyrtbl::TLyrtbl(Document &document, LayerColourBoxes &colours, QWidget *parent)
    : QDialog(parent), doc_(document), colours_(colours)
{
    setObjectName("TLyrtbl");
    setWindowTitle(QStringLiteral("レイヤー表示設定"));
    setModal(true);

    auto *grid = new QGridLayout;
    grid->setVerticalSpacing(2);
    auto *heading = new QLabel(QStringLiteral("表示"), this);
    heading->setAlignment(Qt::AlignCenter);
    grid->addWidget(heading, 0, 3);
    for (int n = 1; n <= LayerCount; ++n) {
        auto *number = new QLabel(fullWidthNumber(n), this);
        number->setObjectName(QStringLiteral("slotNumber%1").arg(n));
        // The proportional face draws full-width digits as narrow as "1".
        number->setFont(monospaceGothic(font().pixelSize() > 0 ? font().pixelSize() : 12));
        auto *name = new QLineEdit(this);
        name->setObjectName(QStringLiteral("nameField%1").arg(n));
        name->setReadOnly(true);
        name->setMinimumWidth(280);
        auto *box = new QPushButton(this);
        box->setObjectName(QStringLiteral("colourBox%1").arg(n));
        box->setFixedSize(48, 20);
        auto *visible = new QCheckBox(this);
        visible->setObjectName(QStringLiteral("visibleBox%1").arg(n));
        names_[static_cast<size_t>(n - 1)] = name;
        colourBoxes_[static_cast<size_t>(n - 1)] = box;
        visible_[static_cast<size_t>(n - 1)] = visible;
        grid->addWidget(number, n, 0);
        grid->addWidget(name, n, 1);
        grid->addWidget(box, n, 2);
        grid->addWidget(visible, n, 3, Qt::AlignCenter);
        connect(visible, &QCheckBox::toggled, this, [this, n](bool on) { doc_.layers.slot(n).visible = on ? 1 : 0; });
        connect(box, &QPushButton::clicked, this, [this, n] {
            if (auto c = chooseColour(colours_.colour(n))) {
                doc_.layers.slot(n).colour = *c;  // at once
                colours_.pick(n, *c);
            }
        });
    }
    connect(&colours_, &LayerColourBoxes::changed, this,
            [this](int n) { LayerColourBoxes::paintBox(colourBox(n), colours_.colour(n)); });

    close_ = new QPushButton(QStringLiteral("閉じる"), this);
    close_->setObjectName("closeButton");
    close_->setDefault(true);
    connect(close_, &QPushButton::clicked, this, [this] {
        if (doc_.hasData == 1 && redraw_)
            redraw_();
        accept();
    });

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(close_, 0, Qt::AlignRight);
}

void TLyrtbl::showSlots()
{
    for (int n = 1; n <= LayerCount; ++n) {
        const LayerSlot &slot = doc_.layers.slot(n);
        nameField(n)->setText(QString::fromStdString(slot.fileName));
        LayerColourBoxes::paintBox(colourBox(n), colours_.colour(n));
        QSignalBlocker block(visibleBox(n));
        visibleBox(n)->setChecked(slot.visible == 1);
    }
}

std::optional<Colour> TLyrtbl::chooseColour(Colour current)
{
    QColor c = QColorDialog::getColor(toQColor(current), this);
    if (!c.isValid())
        return std::nullopt;
    return fromQColor(c);
}

void TLyrtbl::showEvent(QShowEvent *event)
{
    showSlots();
    QDialog::showEvent(event);
}

}  // namespace korvane
