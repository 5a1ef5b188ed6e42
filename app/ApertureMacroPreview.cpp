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
#include "view/ViewTransform.h"

#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

namespace korvane {
namespace {

constexpr double PreviewScale = 7.0;  // times real size

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
    resize(400, 400);
    paintPicture();
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
    RasterSurface raster(std::max(1, width()), std::max(1, height()));
    if (raster.isNull())
        return;
    const QScreen *s = screen();
    double mmX = s ? mmPerPixelFrom(s->physicalSize().width(), s->size().width(), s->logicalDotsPerInchX())
                   : mmPerPixelFrom(0, 0, 0);
    double mmY = s ? mmPerPixelFrom(s->physicalSize().height(), s->size().height(), s->logicalDotsPerInchY())
                   : mmPerPixelFrom(0, 0, 0);
    // The window's centre is the macro origin.
    PixelMapping map;
    map.scale = PreviewScale;
    map.mmPerPixelX = mmX;
    map.mmPerPixelY = mmY;
    map.offsetX = -width() / 2;
    map.offsetY = -height() / 2;
    Renderer(raster, LayerLook::from(doc.layers), RegionFill::Solid, map).paint(doc.displayList);
    picture_ = raster.takeImage();
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
        painter.drawImage(0, 0, picture_);
    if (!problem_.isEmpty())
        painter.drawText(rect().adjusted(8, 30, -8, -8), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, problem_);
}

}  // namespace korvane
