#pragma once
// Where the desktop program keeps its settings file.
#include <QString>

#include <functional>

namespace korvane {

bool folderWritable(const QString &folder);

// The start folder when the program may write there; otherwise (a program
// started from the desktop starts in the home folder or in /, which may be
// read-only) the user's configuration folder, made when missing.
QString settingsFolder(const QString &startDirectory,
                       const std::function<bool(const QString &)> &writable = folderWritable);

}  // namespace korvane
