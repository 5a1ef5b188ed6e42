#include "platform/QtFilePicker.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>

namespace korvane {

QString qtFilterFrom(const std::string &filter)
{
    QStringList parts = QString::fromUtf8(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i];
        int paren = name.indexOf('(');
        if (paren > 0)
            name = name.left(paren).trimmed();
        QStringList patterns;
        for (const QString &p : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
            QString pattern = p.trimmed();
            if (pattern == "*.*") {
                patterns << "*";  // Linux files often have no extension
            } else {
                // Extensions match whatever their case: "*.ger" also takes "BOARD.GER".
                patterns << pattern;
                if (pattern.toUpper() != pattern)
                    patterns << pattern.toUpper();
            }
        }
        out << QStringLiteral("%1 (%2)").arg(name, patterns.join(' '));
    }
    return out.join(";;");
}

namespace {

// The extensions design offices give Gerber and drill files.
constexpr const char *CommonGerberExtensions =
    "gbr ger gtl gbl gto gbo gts gbs gtp gbp gko gm1 gml cmp sol stc sts plc pls art pho lgx lgr cam";
constexpr const char *CommonDrillExtensions = "drl ncd nc txt xln exc drd tap cam";

QString allOf(const char *name, const char *extensions)
{
    QStringList patterns;
    for (const QString &e : QString::fromLatin1(extensions).split(' '))
        patterns << "*." + e;
    for (const QString &e : QString::fromLatin1(extensions).split(' '))
        patterns << "*." + e.toUpper();
    return QStringLiteral("%1 (%2)").arg(QString::fromLatin1(name), patterns.join(' '));
}

}  // namespace

QString qtOpenFilterFrom(const std::string &filter)
{
    QString entries = qtFilterFrom(filter);
    if (entries.startsWith(QLatin1String("Gerber Files")))
        return allOf("Gerber Files", CommonGerberExtensions) + ";;" + entries;
    if (entries.startsWith(QLatin1String("Drill Files")))
        return allOf("Drill Files", CommonDrillExtensions) + ";;" + entries;
    return entries;
}

QString QtFilePicker::startDirectory(const FileDialogSpec &request) const
{
    if (!request.initialDirectory.empty())
        return QString::fromStdString(request.initialDirectory);
    QString own = lastDirectories_.value(QString::fromStdString(request.title));
    if (!own.isEmpty())
        return own;
    if (!lastDirectory_.isEmpty())
        return lastDirectory_;
    return QDir::currentPath();
}

void QtFilePicker::remember(const FileDialogSpec &request, const QString &file)
{
    lastDirectory_ = QFileInfo(file).absolutePath();
    lastDirectories_.insert(QString::fromStdString(request.title), lastDirectory_);
}

namespace {

void configure(QFileDialog &dialog, const FileDialogSpec &request, bool open)
{
    dialog.setWindowTitle(QString::fromUtf8(request.title));
    dialog.setNameFilter(open ? qtOpenFilterFrom(request.filter) : qtFilterFrom(request.filter));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    // Room for long names, sizes and dates without "…".
    dialog.resize(std::max(dialog.width(), 900), std::max(dialog.height(), 560));
    if (!request.defaultExtension.empty())
        dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    // A pattern such as "*.prm" is a filter, never a name to pre-fill.
    QString proposed = QString::fromUtf8(request.proposedName);
    if (!proposed.isEmpty() && !proposed.contains('*') && !proposed.contains('?'))
        dialog.selectFile(proposed);
}

}  // namespace

std::optional<std::string> QtFilePicker::openFile(const FileDialogSpec &request)
{
    QFileDialog dialog(parent_ ? parent_ : QApplication::activeWindow());
    configure(dialog, request, true);
    dialog.setDirectory(startDirectory(request));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    QString file = dialog.selectedFiles().first();
    remember(request, file);
    return file.toStdString();
}

std::vector<std::string> QtFilePicker::openFiles(const FileDialogSpec &request)
{
    QFileDialog dialog(parent_ ? parent_ : QApplication::activeWindow());
    configure(dialog, request, true);
    dialog.setDirectory(startDirectory(request));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    std::vector<std::string> out;
    if (dialog.exec() != QDialog::Accepted)
        return out;
    for (const QString &f : dialog.selectedFiles())
        out.push_back(f.toStdString());
    if (!out.empty())
        remember(request, dialog.selectedFiles().first());
    return out;
}

std::optional<std::string> QtFilePicker::saveFile(const FileDialogSpec &request)
{
    QFileDialog dialog(parent_ ? parent_ : QApplication::activeWindow());
    configure(dialog, request, false);
    dialog.setDirectory(startDirectory(request));
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    QString file = dialog.selectedFiles().first();
    remember(request, file);
    return file.toStdString();
}

}  // namespace korvane
