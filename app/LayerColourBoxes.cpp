#include "app/LayerColourBoxes.h"
#include "platform/QtColour.h"

#include <QPushButton>

namespace korvane {

void LayerColourBoxes::setColour(int n, Colour c)
{
    if (n < 1 || n > LayerCount)
        return;
    colours_[static_cast<size_t>(n - 1)] = c;
    emit changed(n);
}

void LayerColourBoxes::pick(int n, Colour c)
{
    setColour(n, c);
    if (n >= 1 && n <= LayerCount)
        emit picked(n);
}

void LayerColourBoxes::paintBox(QPushButton *box, Colour colour)
{
    QColor q = toQColor(colour);
    box->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; border: 1px solid #808080; }").arg(q.name()));
}

}  // namespace korvane
