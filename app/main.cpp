// korvane: the desktop program.
#include "app/CommandLine.h"
#include "app/QtJapanese.h"
#include "app/TMain.h"
#include "platform/Fonts.h"

#include <QApplication>
#include <QStringList>

#include <iostream>

int main(int argc, char **argv)
{
    // Answered before Qt looks for a display.
    if (auto status = korvane::answerCommandLine(std::vector<std::string>(argv + 1, argv + argc), KORVANE_VERSION,
                                                 std::cout, std::cerr))
        return *status;
    QApplication app(argc, argv);
    korvane::installQtJapanese(app);
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
