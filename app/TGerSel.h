#pragma once
// The layer file selection: files for the fifteen slots, their colours, the
// aperture table and the input format, in Gerber mode ("ｶﾞｰﾊﾞｰﾌｧｲﾙの設定")
// or drill mode ("ﾄﾞﾘﾙﾌｧｲﾙの設定").
#include "app/DialogPorts.h"
#include "core/LayerSelection.h"
#include "gerber/ApertureTable.h"
#include "gerber/MacroLibrary.h"
#include "view/Renderer.h"

#include <QDialog>
#include <array>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace korvane {

class LayerColourBoxes;
class RadioGroup;
class TGinFormat;
class TNinFormat;

class TGerSel : public QDialog {
    Q_OBJECT
public:
    TGerSel(Document &document, ApertureTable &table, MacroLibrary &macros, LayerColourBoxes &colours,
            TGinFormat &gerberFormat, TNinFormat &drillFormat, DialogPorts ports, QWidget *parent = nullptr);

    void setMode(LayerLoadKind kind);
    LayerLoadKind mode() const { return mode_; }
    // "G36/G37ﾓｰﾄﾞ": regions solid or hatched.
    RegionFill regionFill() const;
    // True after "O  K" when the user chose to clear the present drawing.
    bool presentDataCleared() const { return cleared_; }

    // The clear-all command empties the name fields and the table's path.
    void clearFields();

    QLineEdit *nameField(int slot) const { return names_[static_cast<size_t>(slot - 1)]; }
    QPushButton *slotButton(int slot) const { return slotButtons_[static_cast<size_t>(slot - 1)]; }
    QPushButton *colourBox(int slot) const { return colourBoxes_[static_cast<size_t>(slot - 1)]; }
    QPushButton *apertureButton() const { return aperture_; }
    QLineEdit *aperturePathField() const { return aperturePath_; }
    QPushButton *formatButton() const { return format_; }
    QPushButton *okButton() const { return ok_; }
    QPushButton *cancelButton() const { return cancel_; }
    RadioGroup *regionGroup() const { return region_; }

protected:
    // The colour chooser; tests replace it.
    virtual std::optional<Colour> chooseColour(Colour current);
    void showEvent(QShowEvent *event) override;

private:
    void pick(int slot);
    void pickColour(int slot);
    void openFormat();
    void confirm();
    void cancel();
    LayerSelectionFields fields() const;
    void showFields(const LayerSelectionFields &fields);

    Document &doc_;
    ApertureTable &table_;
    MacroLibrary &macros_;
    LayerColourBoxes &colours_;
    TGinFormat &gerberFormat_;
    TNinFormat &drillFormat_;
    DialogPorts ports_;
    LayerLoadKind mode_ = LayerLoadKind::Gerber;
    bool cleared_ = false;
    QLabel *modeField_;
    std::array<QPushButton *, LayerCount> slotButtons_{};
    std::array<QLineEdit *, LayerCount> names_{};
    std::array<QPushButton *, LayerCount> colourBoxes_{};
    QPushButton *aperture_;
    QLineEdit *aperturePath_;
    RadioGroup *region_;
    QPushButton *format_;
    QPushButton *ok_;
    QPushButton *cancel_;
};

}  // namespace korvane
