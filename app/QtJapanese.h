#pragma once
// Qt's own dialogs (file pickers, the print dialog, the colour chooser, the
// standard buttons) in Japanese, like the rest of the program.
class QCoreApplication;

namespace korvane {

// Loads Qt's Japanese translation (Debian package qt6-translations-l10n)
// and makes Japanese the default locale. False when the translation is not
// installed; the dialogs then stay in English.
bool installQtJapanese(QCoreApplication &app);

}  // namespace korvane
