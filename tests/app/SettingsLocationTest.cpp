// Where the desktop program keeps Reravado4.ini.
#include "app/SettingsLocation.h"
#include "support/TempDir.h"

#include <QDir>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace korvane;

TEST(SettingsLocation, StartFolderWhenWritableElseTheUsersConfigurationFolder)
{
    QStandardPaths::setTestModeEnabled(true);
    korvane::testing::TempDir dir;
    const QString start = QString::fromStdString(dir.path());
    EXPECT_TRUE(folderWritable(start));
    EXPECT_FALSE(folderWritable(start + "/missing"));
    EXPECT_EQ(settingsFolder(start), start);

    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir(config).removeRecursively();
    const QString chosen = settingsFolder("/", [](const QString &) { return false; });
    EXPECT_EQ(chosen, config);
    EXPECT_TRUE(QDir(chosen).exists());
    QDir(config).removeRecursively();
    QStandardPaths::setTestModeEnabled(false);
}
