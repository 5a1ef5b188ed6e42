#pragma once
// File dialogs from the commands' "Name(*.ext)|*.ext|..." filters.
#include "core/Ports.h"

#include <QString>

class QWidget;

namespace korvane {

// "Gerber Files(*.ger)|*.ger|All Files(*.*)|*.*" -> "Gerber Files (*.ger *.GER);;All Files (*)"
QString qtFilterFrom(const std::string &filter);

class QtFilePicker : public FilePicker {
public:
    explicit QtFilePicker(QWidget *parent = nullptr) : parent_(parent) {}
    void setParent(QWidget *parent) { parent_ = parent; }
    std::optional<std::string> openFile(const FileDialogSpec &request) override;
    std::vector<std::string> openFiles(const FileDialogSpec &request) override;
    std::optional<std::string> saveFile(const FileDialogSpec &request) override;

private:
    QWidget *parent_;
    QString lastDirectory_;
};

}  // namespace korvane
