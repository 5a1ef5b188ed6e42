#include "app/ApertureMacroPreview.h"
#include "core/Document.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/Numbers.h"
#include "gerber/ApertureEditing.h"
#include "gerber/ApertureMacros.h"
#include "gerber/ApertureTexts.h"
#include "platform/RasterSurface.h"
#include "view/Renderer.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

namespace korvane {
namespace {

// The box around every item's points, line widths included, and the origin, in
// board millimetres (stored Y, growing downwards).
struct Box {
    double left = 0, top = 0, right = 0, bottom = 0;
    void take(double x, double y, double margin)
    {
        left = std::min(left, x - margin);
        right = std::max(right, x + margin);
        top = std::min(top, y - margin);
        bottom = std::max(bottom, y + margin);
    }
};

Box boxOf(const DisplayList &list)
{
    Box box;
    auto takeAll = [&box](const ItemSequence &items) {
        for (const DisplayItem &item : items) {
            // Only a line's width reaches beyond its points.
            const bool line = item.kind == int(ItemKind::LineTo) || item.kind == int(ItemKind::UnderLineTo);
            const double margin = line ? item.width / 2 : 0;
            box.take(item.x1, item.y1, margin);
            box.take(item.x2, item.y2, margin);
        }
    };
    takeAll(list.underlay());
    takeAll(list.main());
    return box;
}

// Room left free around the macro, in pixels.
constexpr int Margin = 12;

}  // namespace

ApertureMacroPreview::ApertureMacroPreview(const ApertureDef &row, const MacroLibrary &macros, QWidget *parent)
    : QDialog(parent), row_(row), macros_(macros)
{
    setObjectName("ApertureMacroPreview");
    setWindowTitle(QString::fromUtf8(aptmsg::MacroPreviewTitle));
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    setPalette(white);
    setAutoFillBackground(true);

    caption_ = new QLabel(QString::fromStdString(macroPreviewCaption(row, macros)), this);
    caption_->setObjectName("macroCaption");
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(caption_, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->addStretch();
    setSizeGripEnabled(true);
    resize(480, 480);
    paintPicture();
}

QRect ApertureMacroPreview::drawingRect() const
{
    // Below the caption, so that the label never covers the macro.
    const int top = caption_->geometry().bottom() + 1;
    return QRect(0, std::max(top, caption_->sizeHint().height() + 8), width(), height()).intersected(rect());
}

void ApertureMacroPreview::paintPicture()
{
    problem_.clear();
    Document doc;
    doc.layers.slot(1).colour = colours::Black;
    doc.layers.slot(1).visible = 1;
    try {
        int nameLine = macroLineOf(row_.shape);
        if (nameLine > 0)
            flashMacro(doc, macros_, {nameLine, {0, 0}, 1, 0});
    } catch (const KorvaneError &e) {
        problem_ = QString::fromUtf8(e.text());
    }
    const QRect area = drawingRect();
    RasterSurface raster(std::max(1, area.width()), std::max(1, area.height()));
    if (raster.isNull())
        return;
    // The whole macro (and its origin) fills the area, at the same scale
    // across and down, centred.
    const Box box = boxOf(doc.displayList);
    const double spanX = std::max(box.right - box.left, 1e-3), spanY = std::max(box.bottom - box.top, 1e-3);
    const int roomX = std::max(1, area.width() - 2 * Margin), roomY = std::max(1, area.height() - 2 * Margin);
    scale_ = std::min(roomX / spanX, roomY / spanY);  // pixels per mm
    PixelMapping map;
    map.scale = scale_;
    map.mmPerPixelX = map.mmPerPixelY = 1;
    map.offsetX = roundToInt((box.left + box.right) / 2 * scale_ - area.width() / 2.0);
    map.offsetY = roundToInt((box.top + box.bottom) / 2 * scale_ - area.height() / 2.0);
    Renderer(raster, LayerLook::from(doc.layers), RegionFill::Solid, map).paint(doc.displayList);
    picture_ = raster.takeImage();
    pictureTop_ = area.top();
    update();
}

void ApertureMacroPreview::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    paintPicture();
}

void ApertureMacroPreview::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    if (!picture_.isNull())
        painter.drawImage(0, pictureTop_, picture_);
    if (!problem_.isEmpty())
        painter.drawText(rect().adjusted(8, 30, -8, -8), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, problem_);
}

}  // namespace korvane
