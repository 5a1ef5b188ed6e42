#pragma once
// "マクロアパーチャ形状": the preview of a macro row. Until macro flashing
// exists it shows the row's caption on the white drawing area.
#include "gerber/ApertureTable.h"
#include "gerber/MacroLibrary.h"

#include <QDialog>

class QLabel;

namespace korvane {

class ApertureMacroPreview : public QDialog {
    Q_OBJECT
public:
    ApertureMacroPreview(const ApertureDef &row, const MacroLibrary &macros, QWidget *parent = nullptr);
    QLabel *captionLabel() const { return caption_; }

private:
    QLabel *caption_;
};

} // namespace korvane
