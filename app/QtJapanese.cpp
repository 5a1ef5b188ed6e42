#include "app/QtJapanese.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace korvane {

bool installQtJapanese(QCoreApplication &app)
{
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    QLocale::setDefault(japanese);
    auto *translator = new QTranslator(&app);
    // "qt_ja" takes in qtbase_ja, where the dialogs' texts are.
    if (!translator->load(japanese, QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

}  // namespace korvane
