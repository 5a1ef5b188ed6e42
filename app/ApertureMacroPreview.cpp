#include "app/ApertureMacroPreview.h"
#include "gerber/ApertureEditing.h"
#include "gerber/ApertureTexts.h"

#include <QLabel>
#include <QVBoxLayout>

namespace korvane {

ApertureMacroPreview::ApertureMacroPreview(const ApertureDef &row, const MacroLibrary &macros, QWidget *parent)
    : QDialog(parent)
{
    setObjectName("ApertureMacroPreview");
    setWindowTitle(QString::fromUtf8(aptmsg::MacroPreviewTitle));
    setAttribute(Qt::WA_DeleteOnClose, false);
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
}

} // namespace korvane
