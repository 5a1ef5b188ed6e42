#pragma once
// A Gerber load on files written by the test.
#include "core/Document.h"
#include "core/Formats.h"
#include "gerber/ApertureTable.h"
#include "gerber/GerberReader.h"
#include "gerber/MacroLibrary.h"
#include "support/FakePorts.h"
#include "support/TempDir.h"

#include <string>
#include <vector>

namespace korvane::testing {

struct GerberLoadFixture {
    TempDir dir;
    Document doc;
    ApertureTable table;
    MacroLibrary library;
    GerberInFormat format;
    FakePrompter prompter;
    FakeStatus status;

    GerberLoadOutcome load(const std::vector<std::string> &contents)
    {
        std::vector<GerberLoadFile> files;
        for (size_t i = 0; i < contents.size(); ++i)
            files.push_back(
                {static_cast<int>(i + 1), dir.write("layer" + std::to_string(i + 1) + ".gbr", contents[i])});
        GerberLoadContext ctx{doc, table, library, format, prompter, status};
        return loadGerberFiles(ctx, files);
    }

    GerberLoadOutcome loadX(const std::string &content)
    {
        format.dialect = GerberDialect::Rs274X;
        return load({content});
    }

    std::vector<DisplayItem> items() const
    {
        std::vector<DisplayItem> out;
        for (const auto &i : doc.displayList.underlay())
            out.push_back(i);
        for (const auto &i : doc.displayList.main())
            out.push_back(i);
        return out;
    }

    std::vector<DisplayItem> itemsOfKind(ItemKind kind) const
    {
        std::vector<DisplayItem> out;
        for (const auto &i : items())
            if (i.kind == static_cast<int>(kind))
                out.push_back(i);
        return out;
    }
};

}  // namespace korvane::testing
