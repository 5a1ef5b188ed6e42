#pragma once
// The status bar's note panel: a note such as "... RS274X として読み込みました"
// takes the width the bar has; what still does not fit ends in "…" and the
// whole text is the panel's tooltip.
#include <QLabel>
#include <QString>

namespace korvane {

class StatusNote : public QLabel {
    Q_OBJECT
public:
    explicit StatusNote(QWidget *parent = nullptr);
    void setNote(const QString &text);
    void clearNote() { setNote({}); }
    // The whole note, whatever is shown of it.
    const QString &note() const { return note_; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void showFitting();

    QString note_;
};

}  // namespace korvane
