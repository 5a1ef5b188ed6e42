// korvane: the desktop program.
#include "app/TMain.h"
#include "platform/Fonts.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    // Answered before Qt looks for a display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("korvane %s\n", KORVANE_VERSION);
        return 0;
    }
    QApplication app(argc, argv);
    // The application title is the name the desktop shows for the program.
    // Not the display name: Qt would append that to every window caption.
    QApplication::setApplicationName(QString::fromUtf8(korvane::ApplicationTitle));
    QApplication::setDesktopFileName("korvane");
    QApplication::setFont(korvane::proportionalGothic(12));

    korvane::TMain window;
    window.showMaximized();
    QStringList files = QApplication::arguments().mid(1);
    if (!files.isEmpty())
        window.openFilesWhenShown(files);
    return app.exec();
}
