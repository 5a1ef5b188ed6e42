// korvane: the desktop program.
#include "app/TMain.h"
#include "platform/Fonts.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("korvane");
    QApplication::setApplicationDisplayName(QString::fromUtf8(korvane::ApplicationTitle));
    QApplication::setFont(korvane::proportionalGothic(12));

    korvane::TMain window;
    window.showMaximized();
    return app.exec();
}
