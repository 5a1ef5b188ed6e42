#pragma once
// The program's own help: Japanese HTML pages shown in a window of ours.
#include <QWidget>

class QTextBrowser;

namespace korvane {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);
    void showContents();
    QTextBrowser *browser() const { return browser_; }

private:
    QTextBrowser *browser_;
};

}  // namespace korvane
