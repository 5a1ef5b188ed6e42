#pragma once
// "レイヤー表示設定": the slots' names, colours and visibility; a change of
// colour or visibility takes effect at once, "閉じる" redraws.
#include "core/Document.h"

#include <QDialog>
#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace korvane {

class LayerColourBoxes;

class TLyrtbl : public QDialog {
    Q_OBJECT
public:
    TLyrtbl(Document &document, LayerColourBoxes &colours, QWidget *parent = nullptr);

    // Shows the slots as the document holds them.
    void showSlots();
    // Called by "閉じる" when there is a drawing to draw anew.
    void setRedraw(std::function<void()> redraw) { redraw_ = std::move(redraw); }

    QLineEdit *nameField(int slot) const { return names_[static_cast<size_t>(slot - 1)]; }
    QPushButton *colourBox(int slot) const { return colourBoxes_[static_cast<size_t>(slot - 1)]; }
    QCheckBox *visibleBox(int slot) const { return visible_[static_cast<size_t>(slot - 1)]; }
    QPushButton *closeButton() const { return close_; }

protected:
    virtual std::optional<Colour> chooseColour(Colour current);
    void showEvent(QShowEvent *event) override;

private:
    Document &doc_;
    LayerColourBoxes &colours_;
    std::function<void()> redraw_;
    std::array<QLineEdit *, LayerCount> names_{};
    std::array<QPushButton *, LayerCount> colourBoxes_{};
    std::array<QCheckBox *, LayerCount> visible_{};
    QPushButton *close_;
};

}  // namespace korvane
