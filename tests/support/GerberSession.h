#pragma once
// A Gerber load of real files as the layer file selection's OK starts it:
// the shop's settings, the RS-274X adoption of files that declare it, the
// slot colours from the settings and the files assigned to their slots.
#include "core/Document.h"
#include "core/LayerSelection.h"
#include "core/SettingsFile.h"
#include "gerber/ApertureTable.h"
#include "gerber/GerberReader.h"
#include "gerber/MacroLibrary.h"
#include "support/FakePorts.h"

#include <string>
#include <vector>

namespace korvane::testing {

struct GerberSession {
    Document doc;
    ApertureTable table;
    MacroLibrary library;
    Settings settings;
    FakePrompter prompter;
    FakeStatus status;

    GerberSession()
    {
        loadSettingsFile(std::string(KORVANE_TEST_DATA) + "/settings/Reravado4.ini", settings, prompter);
    }

    GerberLoadOutcome load(const std::vector<GerberLoadFile> &files, GerberLoadObserver *observer = nullptr)
    {
        std::vector<std::string> paths;
        paths.reserve(files.size());
        for (const auto &f : files)
            paths.push_back(f.path);
        adoptDeclaredRs274X(settings.gerberIn, paths);
        for (int n = 1; n <= LayerCount; ++n)
            doc.layers.slot(n).colour = settings.layerColours[static_cast<std::size_t>(n - 1)];
        for (const auto &f : files)
            assignLayerFile(doc.layers.slot(f.layer), f.path, LayerLoadKind::Gerber);
        GerberLoadContext context{doc, table, library, settings.gerberIn, prompter, status, observer};
        return loadGerberFiles(context, files);
    }
};

}  // namespace korvane::testing
