#pragma once
// The program's own help: Japanese HTML pages shown in a window of ours,
// beside the main window; Esc closes it.
#include <QWidget>

class QTextBrowser;

namespace korvane {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);
    void showContents();
    QTextBrowser *browser() const { return browser_; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void placeBesideOwner();

    QTextBrowser *browser_;
};

}  // namespace korvane
