#pragma once
// A main window in a folder of its own, with scripted ports.
#include "app/TMain.h"
#include "core/SettingsFile.h"
#include "support/FakePorts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <memory>

namespace korvane::testing {

struct MainFixture : ::testing::Test {
    TempDir dir;
    FakePrompter prompter;
    FakeFilePicker picker;
    FakeStatus status;

    std::unique_ptr<TMain> makeWindow()
    {
        TMainOptions options;
        options.startDirectory = QString::fromStdString(dir.path());
        options.prompter = &prompter;
        options.picker = &picker;
        options.status = &status;
        return std::make_unique<TMain>(options);
    }

    void writeSettings(const Settings &s) { saveSettingsFile(dir.file("Reravado4.ini"), s); }
};

}  // namespace korvane::testing
