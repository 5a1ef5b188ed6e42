#pragma once
// The colour boxes of the fifteen slots, shared by the layer file selection
// and the layer table: a colour chosen in one shows in the other's box for
// the same slot.
#include "core/Colour.h"
#include "core/Document.h"

#include <QObject>
#include <array>

class QPushButton;

namespace korvane {

class LayerColourBoxes : public QObject {
    Q_OBJECT
public:
    explicit LayerColourBoxes(QObject *parent = nullptr) : QObject(parent) {}
    // n in 1..15.
    Colour colour(int n) const { return colours_[static_cast<size_t>(n - 1)]; }
    void setColour(int n, Colour c);
    // A colour the operator chose for slot n: shown like setColour, and
    // told by `picked` so that it becomes the slot's default colour.
    void pick(int n, Colour c);
    // Shows `colour` in a box button.
    static void paintBox(QPushButton *box, Colour colour);

signals:
    void changed(int slot);
    void picked(int slot);

private:
    std::array<Colour, LayerCount> colours_{};
};

}  // namespace korvane
