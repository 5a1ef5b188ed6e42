#pragma once
// File dialogs from the commands' "Name(*.ext)|*.ext|..." filters.
#include "core/Ports.h"

#include <QHash>
#include <QString>

class QWidget;

namespace korvane {

// "Gerber Files(*.ger)|*.ger|All Files(*.*)|*.*" -> "Gerber Files (*.ger *.GER);;All Files (*)"
QString qtFilterFrom(const std::string &filter);
// The same for an open dialog: a filter of Gerber (or drill) files starts
// with one entry that shows every common extension of such files at once,
// since design offices name them as their CAD program does.
QString qtOpenFilterFrom(const std::string &filter);

class QtFilePicker : public FilePicker {
public:
    explicit QtFilePicker(QWidget *parent = nullptr) : parent_(parent) {}
    void setParent(QWidget *parent) { parent_ = parent; }
    std::optional<std::string> openFile(const FileDialogSpec &request) override;
    std::vector<std::string> openFiles(const FileDialogSpec &request) override;
    std::optional<std::string> saveFile(const FileDialogSpec &request) override;

    // The folder a picker opens in, and a file picked with it.
    QString startDirectory(const FileDialogSpec &request) const;
    void remember(const FileDialogSpec &request, const QString &file);

private:
    QWidget *parent_;
    // Each picker (told by its title) opens where it was used last; one not
    // used yet where any picker was used last.
    QHash<QString, QString> lastDirectories_;
    QString lastDirectory_;
};

}  // namespace korvane
