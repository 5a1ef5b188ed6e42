#include "app/StatusNote.h"

#include <QFontMetrics>

namespace korvane {

StatusNote::StatusNote(QWidget *parent) : QLabel(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // As wide as the bar allows, never wider: the layout must not grow the
    // window for a long note.
    setMinimumWidth(300);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void StatusNote::setNote(const QString &text)
{
    note_ = text;
    showFitting();
}

void StatusNote::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    showFitting();
}

void StatusNote::showFitting()
{
    const int room = contentsRect().width() - 2 * margin() - 4;
    const QString shown = fontMetrics().elidedText(note_, Qt::ElideMiddle, std::max(room, 0));
    QLabel::setText(shown);
    setToolTip(shown == note_ ? QString() : note_);
}

}  // namespace korvane
