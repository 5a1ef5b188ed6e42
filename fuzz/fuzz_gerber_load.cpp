// The whole Gerber load, as the window and the batch run it: the first byte
// picks the dialect, the coordinate mode and the answer to every question;
// the bytes up to the first NUL are the file of layer 1, the rest the file of
// layer 2 (the larger settles the number format of both). Whatever the bytes,
// no crash, no hang, and no message shown twice within one file.
#include "FuzzSupport.h"
#include "core/Document.h"
#include "gerber/GerberReader.h"

#include <set>

using namespace korvane;

namespace {

class OncePerFilePrompter : public Prompter {
public:
    explicit OncePerFilePrompter(Answer answer) : answer_(answer) {}
    Answer show(MessageKind, const std::string &text, Buttons buttons) override
    {
        if (insideFile())
            fuzz::check(shown_.insert(text).second);
        return buttons == Buttons::YesNo ? answer_ : Answer::Ok;
    }
    void fileEnded(const std::vector<FileMessage> &) override { shown_.clear(); }

private:
    Answer answer_;
    std::set<std::string> shown_;
};

class NoStatus : public StatusSink {
public:
    void setStatus(const std::string &) override {}
    void clearStatus() override {}
    void setBusy(bool) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    std::string_view bytes(reinterpret_cast<const char *>(data) + 1, size - 1);
    GerberInFormat format;
    format.dialect = (data[0] & 1) ? GerberDialect::Rs274X : GerberDialect::Rs274D;
    format.coordinateMode = (data[0] & 2) ? CoordinateMode::Incremental : CoordinateMode::Absolute;
    OncePerFilePrompter prompter((data[0] & 4) ? Answer::No : Answer::Yes);
    const std::size_t cut = bytes.find('\0');
    const fuzz::ScratchFile first(bytes.substr(0, cut));
    const fuzz::ScratchFile second(cut == std::string_view::npos ? std::string_view() : bytes.substr(cut + 1));

    Document doc;
    doc.startLoad();
    ApertureTable table;
    table.SetRow(10, "丸", "0.5");
    table.SetRow(11, "サーマル＋", "1-0.5-0.2");
    MacroLibrary library;
    NoStatus status;
    GerberLoadContext ctx{doc, table, library, format, prompter, status};
    loadGerberFiles(ctx, {{1, first.path}, {2, second.path}});
    return 0;
}
