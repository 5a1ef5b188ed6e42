#include "platform/QtFilePicker.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

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

QString startDirectory(const FileDialogSpec &request, const QString &last)
{
    if (!request.initialDirectory.empty())
        return QString::fromStdString(request.initialDirectory);
    if (!last.isEmpty())
        return last;
    return QDir::currentPath();
}

void configure(QFileDialog &dialog, const FileDialogSpec &request)
{
    dialog.setWindowTitle(QString::fromUtf8(request.title));
    dialog.setNameFilter(qtFilterFrom(request.filter));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
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
    configure(dialog, request);
    dialog.setDirectory(startDirectory(request, lastDirectory_));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    QString file = dialog.selectedFiles().first();
    lastDirectory_ = QFileInfo(file).absolutePath();
    return file.toStdString();
}

std::vector<std::string> QtFilePicker::openFiles(const FileDialogSpec &request)
{
    QFileDialog dialog(parent_ ? parent_ : QApplication::activeWindow());
    configure(dialog, request);
    dialog.setDirectory(startDirectory(request, lastDirectory_));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    std::vector<std::string> out;
    if (dialog.exec() != QDialog::Accepted)
        return out;
    for (const QString &f : dialog.selectedFiles())
        out.push_back(f.toStdString());
    if (!out.empty())
        lastDirectory_ = QFileInfo(dialog.selectedFiles().first()).absolutePath();
    return out;
}

std::optional<std::string> QtFilePicker::saveFile(const FileDialogSpec &request)
{
    QFileDialog dialog(parent_ ? parent_ : QApplication::activeWindow());
    configure(dialog, request);
    dialog.setDirectory(startDirectory(request, lastDirectory_));
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    QString file = dialog.selectedFiles().first();
    lastDirectory_ = QFileInfo(file).absolutePath();
    return file.toStdString();
}

}  // namespace korvane
