#include "app/SettingsLocation.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <unistd.h>

namespace korvane {

bool folderWritable(const QString &folder)
{
    return !folder.isEmpty() && ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

QString settingsFolder(const QString &startDirectory, const std::function<bool(const QString &)> &writable)
{
    if (writable(startDirectory))
        return startDirectory;
    QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (config.isEmpty())
        return startDirectory;
    QDir().mkpath(config);
    return config;
}

}  // namespace korvane
