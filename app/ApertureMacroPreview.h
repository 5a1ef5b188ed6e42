#pragma once
// "マクロアパーチャ形状": a macro row's primitives, exposure on in black and
// off in white, with the row's caption at the top left and the macro below
// it, scaled to fill the window whatever its size.
#include "gerber/ApertureTable.h"
#include "gerber/MacroLibrary.h"

#include <QDialog>
#include <QImage>

class QLabel;

namespace korvane {

class ApertureMacroPreview : public QDialog {
    Q_OBJECT
public:
    ApertureMacroPreview(const ApertureDef &row, const MacroLibrary &macros, QWidget *parent = nullptr);
    QLabel *captionLabel() const { return caption_; }
    // The picture as last painted (white where nothing is drawn).
    const QImage &picture() const { return picture_; }
    // A primitive that could not be read, shown instead of the picture.
    const QString &problem() const { return problem_; }
    // Paints the macro for the window's present size.
    void paintPicture();
    // Where the picture stands in the window: below the caption.
    QRect drawingRect() const;
    // Pixels per millimetre of the last painting.
    double scale() const { return scale_; }
    int pictureTop() const { return pictureTop_; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    const ApertureDef row_;
    const MacroLibrary &macros_;
    QLabel *caption_;
    QImage picture_;
    int pictureTop_ = 0;
    double scale_ = 0;
    QString problem_;
};

}  // namespace korvane
