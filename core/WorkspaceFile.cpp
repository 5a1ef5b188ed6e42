#include "core/WorkspaceFile.h"

#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/MappedFile.h"
#include "core/Messages.h"
#include "core/Numbers.h"
#include "core/TextFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <utility>

namespace korvane {

WorkspaceWindow::~WorkspaceWindow() = default;

int WorkspaceData::dataKind() const
{
    if (gerberData && drillData)
        return 2;
    if (gerberData)
        return 0;
    if (drillData)
        return 1;
    return -1;
}

namespace {

// The largest magnitude whose fifteen-digit form still reads back: above it
// the written digits round up past the largest double.
constexpr double LargestWritable = 1.79769313486231E308;

// ---- writing ---------------------------------------------------------------

// Every value is written in a form the reader takes back, so one bad value
// can never cut short the reading of a saved drawing.
std::string writable(double value)
{
    if (std::isnan(value))
        value = 0;
    // Most fields are 0 or whole numbers: their form needs no rounding, and
    // skipping the general formatting makes a large save several times faster.
    if (std::fabs(value) < 1e15 && value == std::trunc(value))
        return std::to_string(static_cast<std::int64_t>(value));
    return formatReal(std::clamp(value, -LargestWritable, LargestWritable));
}

std::string writableExtent(double value) { return std::isnan(value) || value < 0 ? "0" : writable(value); }

// Coordinates read from files of three or six decimals are the correctly
// rounded quotient of a whole number by that power of ten. Below 1e9 the
// doubles lie closer together than a millionth, so that quotient is the one
// decimal of so many places that reads back, and written out without its
// trailing zeros it is the shortest form. Null when the value is no such
// quotient.
// A count of units of 10^-places (3 or 6) written as the decimal it
// stands for, without trailing zeros (nor a point when it is whole).
char *putScaled(char *p, bool negative, std::int64_t magnitude, int places)
{
    const std::int64_t unit = places == 3 ? 1000 : 1000000;
    std::int64_t fraction = magnitude % unit;
    char digits[6];
    for (int i = places - 1; i >= 0; --i) {
        digits[i] = static_cast<char>('0' + fraction % 10);
        fraction /= 10;
    }
    int used = places;
    while (used > 0 && digits[used - 1] == '0')
        --used;
    if (negative)
        *p++ = '-';
    p = std::to_chars(p, p + 12, magnitude / unit).ptr;
    if (used > 0) {
        *p++ = '.';
        p = std::copy(digits, digits + used, p);
    }
    return p;
}

char *putDecimal(char *p, double value)
{
    const double magnitude = std::fabs(value);
    if (!(magnitude >= 1e-4 && magnitude < 1e9))
        return nullptr;
    for (const int places : {3, 6}) {
        const double scale = places == 3 ? 1e3 : 1e6;
        const double scaled = std::nearbyint(magnitude * scale);
        if (scaled / scale != magnitude)
            continue;
        return putScaled(p, value < 0, static_cast<std::int64_t>(scaled), places);
    }
    return nullptr;
}

// Writes writable(value) at p; whole numbers, most of a drawing's fields,
// go straight in without a string of their own.
char *putReal(char *p, double value)
{
    if (std::fabs(value) < 1e15 && value == std::trunc(value))
        return std::to_chars(p, p + 24, static_cast<std::int64_t>(value)).ptr;
    if (char *end = putDecimal(p, value))
        return end;
    // In this range formatReal's form is the fixed one; the shortest fixed
    // form that reads back is the same text whenever it has at most fifteen
    // significant digits.
    const double magnitude = std::fabs(value);
    if (magnitude >= 1e-4 && magnitude < 1e14) {
        char *end = std::to_chars(p, p + 24, value, std::chars_format::fixed).ptr;
        int significant = 0;
        bool leading = true;
        for (char *c = p; c != end; ++c) {
            if (*c < '0' || *c > '9' || (leading && *c == '0'))
                continue;
            leading = false;
            ++significant;
        }
        if (significant <= 15)
            return end;
    }
    const std::string text = writable(value);
    return std::copy(text.begin(), text.end(), p);
}

char *putInt(char *p, std::int32_t value)
{
    p = std::to_chars(p, p + 12, value).ptr;
    *p = ' ';
    return p + 1;
}

void appendReal(std::string &out, double value)
{
    out += writable(value);
    out += ' ';
}

// putReal of count / 1000 for a count that is not 0, taken from the count:
// the quotient is the count's decimal of three places, which putReal
// writes as putDecimal does (or, when it is whole, as the whole number).
char *putThousandths(char *p, std::int32_t count)
{
    const std::int64_t whole = count;
    return putScaled(p, whole < 0, whole < 0 ? -whole : whole, 3);
}

// The line's fields after the coordinates, from the kind to the tool size
// and the line end: the same for every item of an attribute set.
std::string lineEndOf(const DisplayItem &item, std::int32_t kind)
{
    char line[8 * 25 + 2];
    char *p = putInt(line, kind);
    p = putReal(p, item.width);
    *p++ = ' ';
    for (std::int32_t v : {item.fill, item.colourLayer, item.layer, item.code, item.role})
        p = putInt(p, v);
    p = putReal(p, item.toolSize);
    *p++ = '\r';
    *p++ = '\n';
    return {line, static_cast<std::size_t>(p - line)};
}

// The lines of a sequence's items, handed to `flush` as `out` fills. Line
// ends are made once per attribute set, and the coordinates (in the file's
// order: the x values, then the y values) come straight from their stored
// form, counts of thousandths written without a floating-point division.
template <class Flush>
void appendItemLines(std::string &out, const ItemSequence &items, bool underlay, Flush &&flush)
{
    // Underlay kinds are written as their main twins; the sectors have none.
    auto kindOf = [underlay](std::int32_t kind) {
        if (underlay && kind != static_cast<std::int32_t>(ItemKind::SectorCcw) &&
            kind != static_cast<std::int32_t>(ItemKind::SectorCw))
            return kind - UnderlayOffset;
        return kind;
    };
    // A cache of fixed size: a file may give every item a set of its own.
    struct LineEnd {
        std::uint32_t set = 0;
        bool made = false;
        std::string text;
    };
    std::vector<LineEnd> ends(256);
    static constexpr unsigned FileOrder[8] = {0, 1, 4, 5, 2, 3, 6, 7};
    ItemSequence::Walker at(items, 0, items.size());
    while (at.next()) {
        char line[16 * 25 + 2];
        char *p = line;
        ItemSequence::Walker::Coordinates c;
        at.held(c);
        for (const unsigned k : FileOrder) {
            switch (c.form[k]) {
            case ItemSequence::Walker::Held::Zero: *p++ = '0'; break;
            case ItemSequence::Walker::Held::Thousandths: p = putThousandths(p, c.count[k]); break;
            case ItemSequence::Walker::Held::Exact: p = putReal(p, c.value[k]); break;
            }
            *p++ = ' ';
        }
        const std::uint32_t set = at.set();
        LineEnd &end = ends[set % ends.size()];
        if (!end.made || end.set != set) {
            const DisplayItem attributes = items.attributeSet(set);
            end = {set, true, lineEndOf(attributes, kindOf(attributes.kind))};
        }
        out.append(line, static_cast<std::size_t>(p - line));
        out += end.text;
        flush();
    }
}

// A name runs to the end of its line: a line end inside it (possible in a
// Linux file name) would break the file, so it is written as "?", the mark
// of a character code page 932 cannot hold.
std::string nameBytes(const std::string &name)
{
    std::string safe = name;
    for (char &c : safe)
        if (c == '\r' || c == '\n')
            c = '?';
    return utf8ToCp932(safe);
}

// ---- reading ---------------------------------------------------------------

struct Unreadable {
    std::string text;
};

// Quotes at most this many bytes of a field, so a damaged file cannot make a
// message box of megabytes.
constexpr std::size_t QuotedLimit = 100;

std::string quoted(std::string_view field)
{
    if (field.size() <= QuotedLimit)
        return cp932ToUtf8(field);
    return cp932ToUtf8(field.substr(0, QuotedLimit)) + "…";
}

[[noreturn]] void notAnInteger(std::string_view field)
{
    throw Unreadable{msg::format(msg::NotAnInteger, quoted(field))};
}

[[noreturn]] void notAReal(std::string_view field) { throw Unreadable{msg::format(msg::NotAReal, quoted(field))}; }

std::int32_t intField(std::string_view field)
{
    // Short plain numbers, as a save writes them, are read in place.
    if (!field.empty() && field.size() <= 9) {
        const bool negative = field.front() == '-';
        std::int32_t whole = 0;
        std::size_t k = negative ? 1 : 0;
        for (; k < field.size() && field[k] >= '0' && field[k] <= '9'; ++k)
            whole = whole * 10 + (field[k] - '0');
        if (k == field.size() && k > (negative ? 1u : 0u))
            return negative ? -whole : whole;
    }
    std::int32_t value;
    if (!tryParseInt(field, value))
        notAnInteger(field);
    return value;
}

std::int32_t intFieldIn(std::string_view field, std::int32_t lo, std::int32_t hi, std::string_view what)
{
    std::int32_t value = intField(field);
    if (value < lo || value > hi)
        throw Unreadable{msg::outOfRange(what, quoted(field), std::to_string(lo) + "～" + std::to_string(hi))};
    return value;
}

// tryParseReal takes only finite decimal numbers; the few above the largest
// writable one would not survive the next save.
double realField(std::string_view field)
{
    // Most fields are whole numbers of a few digits, which are exact as reals.
    if (!field.empty() && field.size() <= 15) {
        const bool negative = field.front() == '-';
        std::int64_t whole = 0;
        std::size_t k = negative ? 1 : 0;
        for (; k < field.size() && field[k] >= '0' && field[k] <= '9'; ++k)
            whole = whole * 10 + (field[k] - '0');
        // "-0" keeps its sign only through the general reading.
        if (k == field.size() && k > (negative ? 1u : 0u) && !(negative && whole == 0))
            return static_cast<double>(negative ? -whole : whole);
        // Digits, a point and digits, as a save writes them: read in place.
        if (k > (negative ? 1u : 0u) && k + 1 < field.size() && field[k] == '.') {
            std::size_t j = k + 1;
            while (j < field.size() && field[j] >= '0' && field[j] <= '9')
                ++j;
            if (j == field.size()) {
                // At most fourteen digits: the digits as a whole number and
                // the power of ten are exact, so their quotient is the
                // correctly rounded value, as the general reading gives it.
                static constexpr double PowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
                std::int64_t digits = whole;
                for (std::size_t t = k + 1; t < j; ++t)
                    digits = digits * 10 + (field[t] - '0');
                const double value = static_cast<double>(digits) / PowersOfTen[j - k - 1];
                return negative ? -value : value;
            }
        }
    }
    double value;
    if (!tryParseReal(field, value) || std::fabs(value) > LargestWritable)
        notAReal(field);
    return value;
}

double extentField(std::string_view field)
{
    double value = realField(field);
    if (value < 0)
        notAReal(field);
    return value;
}

// The kinds a saved file holds: main kinds and the two sectors.
bool isStoredKind(std::int32_t kind) { return (kind >= 11 && kind <= 19) || kind == 55 || kind == 56; }

// Fields separated by single spaces. A field the line does not reach reads
// as empty text, which no number accepts.
class Fields {
public:
    explicit Fields(std::string_view line) : rest_(line) {}

    std::string_view next()
    {
        if (ended_)
            return {};
        // Fields are a few characters long: a plain loop beats a search call.
        std::size_t pos = 0;
        while (pos < rest_.size() && rest_[pos] != ' ')
            ++pos;
        if (pos == rest_.size()) {
            ended_ = true;
            return rest_;
        }
        auto field = rest_.substr(0, pos);
        rest_.remove_prefix(pos + 1);
        return field;
    }

    // Everything after the fields taken so far.
    std::string_view remainder()
    {
        if (ended_)
            return {};
        ended_ = true;
        return rest_;
    }

    bool ended() const { return ended_; }
    // What is left of the line, not taken.
    std::string_view rest() const { return ended_ ? std::string_view{} : rest_; }

private:
    std::string_view rest_;
    bool ended_ = false;
};

void readHeaderLine(std::string_view line, WorkspaceData &data)
{
    Fields fields(line);
    std::int32_t n = intField(fields.next());
    if (n == 0) {
        auto kind = fields.remainder();
        if (kind == "0" || kind == "2")
            data.gerberData = true;
        if (kind == "1" || kind == "2")
            data.drillData = true;
    } else if (n >= 1 && n <= LayerCount) {
        WorkspaceLayer layer;
        layer.slot = n;
        try {
            layer.colour = colourFromText(cp932ToUtf8(fields.next()));
        } catch (const KorvaneError &e) {
            throw Unreadable{e.text()};
        }
        layer.fileName = cp932ToUtf8(fields.remainder());
        data.layers.push_back(std::move(layer));
    }
}

// Names of the item fields that have a range, as the messages give them.
constexpr const char *KindField = "種類";
constexpr const char *ColourLayerField = "色レイヤー番号";
constexpr const char *LayerField = "レイヤー番号";

// The fields after the coordinates, from the kind to the tool size.
void readLineEnd(Fields &f, DisplayItem &item)
{
    auto kindText = f.next();
    item.kind = intField(kindText);
    if (!isStoredKind(item.kind))
        throw Unreadable{msg::outOfRange(KindField, quoted(kindText), "11～19, 55, 56")};
    item.width = realField(f.next());
    item.fill = intField(f.next());
    item.colourLayer = intFieldIn(f.next(), 0, LayerCount, ColourLayerField);
    item.layer = intFieldIn(f.next(), 1, LayerCount, LayerField);
    item.code = intField(f.next());
    item.role = intField(f.next());
    // A line of fifteen values has no tool size; it reads as 0.
    item.toolSize = f.ended() ? 0.0 : realField(f.remainder());
}

// The line ends read lately, as text and as values: a drawing's items
// share a few of them, and comparing the text costs less than reading it.
class LineEnds {
public:
    // True when `text` was read before; its values are then in `item`.
    bool recall(std::string_view text, DisplayItem &item) const
    {
        for (const Entry &e : entries_)
            if (e.used && e.text == text) {
                copyValues(e.values, item);
                return true;
            }
        return false;
    }
    void remember(std::string_view text, const DisplayItem &item)
    {
        // Long ends are rare and not worth keeping.
        if (text.size() > 64)
            return;
        Entry &e = entries_[next_];
        next_ = (next_ + 1) % entries_.size();
        e.used = true;
        e.text.assign(text);
        copyValues(item, e.values);
    }

private:
    static void copyValues(const DisplayItem &from, DisplayItem &to)
    {
        to.kind = from.kind;
        to.width = from.width;
        to.fill = from.fill;
        to.colourLayer = from.colourLayer;
        to.layer = from.layer;
        to.code = from.code;
        to.role = from.role;
        to.toolSize = from.toolSize;
    }
    struct Entry {
        bool used = false;
        std::string text;
        DisplayItem values;
    };
    std::array<Entry, 8> entries_{};
    std::size_t next_ = 0;
};

DisplayItem readItemLine(std::string_view line, LineEnds &ends)
{
    Fields f(line);
    DisplayItem item;
    item.x1 = realField(f.next());
    item.x2 = realField(f.next());
    item.sweepEndX = realField(f.next());
    item.sweepStartX = realField(f.next());
    item.y1 = realField(f.next());
    item.y2 = realField(f.next());
    item.sweepEndY = realField(f.next());
    item.sweepStartY = realField(f.next());
    if (f.ended()) {
        readLineEnd(f, item);  // reports the missing fields
        return item;
    }
    const std::string_view end = f.rest();
    if (!ends.recall(end, item)) {
        readLineEnd(f, item);
        ends.remember(end, item);
    }
    return item;
}

}  // namespace

namespace {

// The file's bytes handed to `put` in pieces of about 64 KB, so a large
// drawing is written as it is formatted, never held whole.
template <class Put>
void emitWorkspace(const Document &doc, Put &&put)
{
    constexpr std::size_t Piece = 1 << 16;
    std::string out;
    out.reserve(Piece + 512);
    if (doc.gerberLoaded || doc.drillLoaded) {
        out += doc.gerberLoaded && doc.drillLoaded ? "0 2" : doc.gerberLoaded ? "0 0" : "0 1";
        out += "\r\n";
    }
    for (int n = 1; n <= LayerCount; ++n) {
        const LayerSlot &slot = doc.layers.slot(n);
        if (slot.fileName.empty())
            continue;
        out += std::to_string(n);
        out += ' ';
        out += colourToText(slot.colour);
        out += ' ';
        out += nameBytes(slot.fileName);
        out += "\r\n";
    }
    out += wsmsg::EndMarker;
    out += "\r\n";
    appendReal(out, doc.minX);
    out += writable(doc.minY);
    out += "\r\n";
    out += writableExtent(doc.extentX);
    out += ' ';
    out += writableExtent(doc.extentY);
    out += "\r\n";
    auto flushFull = [&] {
        if (out.size() >= Piece) {
            put(std::string_view(out));
            out.clear();
        }
    };
    appendItemLines(out, doc.displayList.underlay(), true, flushFull);
    appendItemLines(out, doc.displayList.main(), false, flushFull);
    if (!out.empty())
        put(std::string_view(out));
}

// Lines at CR LF, LF or CR, as splitLines gives them, taken one at a time.
class LineCursor {
public:
    explicit LineCursor(std::string_view bytes) : bytes_(bytes) {}
    bool more() const { return pos_ < bytes_.size(); }
    // The next line; empty past the end.
    std::string_view next()
    {
        const std::size_t start = pos_, n = bytes_.size();
        if (start >= n)
            return {};
        // Two vector searches beat a byte loop over lines of fifty bytes.
        const char *first = bytes_.data() + start, *last = bytes_.data() + n;
        const auto *lf = static_cast<const char *>(std::memchr(first, '\n', n - start));
        const char *stop = lf != nullptr ? lf : last;
        const auto *cr = static_cast<const char *>(std::memchr(first, '\r', std::size_t(stop - first)));
        std::size_t i = std::size_t((cr != nullptr ? cr : stop) - bytes_.data());
        const std::string_view line = bytes_.substr(start, i - start);
        if (i < n && bytes_[i] == '\r' && i + 1 < n && bytes_[i + 1] == '\n')
            ++i;
        pos_ = i < n ? i + 1 : n;
        return line;
    }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

}  // namespace

std::string workspaceBytes(const Document &doc)
{
    std::string out;
    out.reserve(128 + doc.displayList.size() * 64);
    emitWorkspace(doc, [&](std::string_view piece) { out += piece; });
    return out;
}

WorkspaceData readWorkspace(std::string_view bytes)
{
    WorkspaceData data;
    LineCursor lines(bytes);
    std::size_t i = 0;
    // The end of the file reads as an empty line, which no number accepts.
    auto nextLine = [&]() -> std::string_view {
        ++i;
        return lines.next();
    };
    try {
        for (;;) {
            std::string_view line = nextLine();
            if (line == wsmsg::EndMarker)
                break;
            readHeaderLine(line, data);
        }
        {
            Fields f(nextLine());
            data.minX = realField(f.next());
            data.minY = realField(f.remainder());
        }
        {
            Fields f(nextLine());
            data.extentX = extentField(f.next());
            data.extentY = extentField(f.remainder());
        }
        data.headerRead = true;
        LineEnds ends;
        while (lines.more())
            data.items.appendToMain(readItemLine(nextLine(), ends));
    } catch (const Unreadable &e) {
        data.error = e.text;
        data.errorLine = i;
    }
    return data;
}

bool applyWorkspace(WorkspaceData &&data, Document &doc)
{
    if (data.items.size() == 0)
        return false;
    doc.displayList = std::move(data.items);
    // Slots the workspace does not name hold no file of the new drawing: a
    // file loaded into one before is gone with the old drawing and must not
    // count as loaded. Their visibility stays for the items of their layer.
    for (int n = 1; n <= LayerCount; ++n) {
        LayerSlot &slot = doc.layers.slot(n);
        slot.pendingPath.clear();
        slot.assignedPath.clear();
        slot.loadedPath.clear();
        slot.fileName.clear();
        slot.fileKind.clear();
    }
    // The workspace's slots count as loaded, so that the next Gerber or
    // drill load adds to this drawing as to any other (and asks before it
    // replaces a slot); they name no file that could be read again.
    for (const WorkspaceLayer &layer : data.layers) {
        LayerSlot &slot = doc.layers.slot(layer.slot);
        slot.colour = layer.colour;
        slot.visible = 1;
        slot.fileName = layer.fileName;
        slot.pendingPath = AlreadyLoadedMarker;
    }
    if (data.gerberData)
        doc.gerberLoaded = 1;
    if (data.drillData)
        doc.drillLoaded = 1;
    doc.minX = data.minX;
    doc.minY = data.minY;
    doc.extentX = data.extentX;
    doc.extentY = data.extentY;
    doc.maxX = data.minX + data.extentX;
    doc.maxY = data.minY + data.extentY;
    doc.hasData = 1;
    return true;
}

bool writeWorkspaceFile(const std::string &path, const Document &doc, Prompter &prompter)
{
    try {
        AtomicOutputFile out(path);
        emitWorkspace(doc, [&](std::string_view piece) { out.append(piece); });
        out.commit();
        return true;
    } catch (const KorvaneError &e) {
        prompter.error(e.text());
        return false;
    }
}

WorkspaceLoadResult readWorkspaceFile(const std::string &path, Document &doc, Prompter &prompter)
{
    WorkspaceLoadResult result;
    WorkspaceData data;
    try {
        const MappedFile file(path);
        data = readWorkspace(file.bytes());
    } catch (const KorvaneError &e) {
        // Nothing was read: the present drawing stays.
        prompter.error(e.text());
        return result;
    }
    if (!data.error.empty())
        prompter.error(data.error);
    result.complete = data.error.empty();
    result.dataKind = data.dataKind();
    result.applied = applyWorkspace(std::move(data), doc);
    return result;
}

bool openWorkspace(const std::string &path, Document &doc, Prompter &prompter, StatusSink &status,
                   WorkspaceWindow &window)
{
    BusyGuard busy(status, fileNameOf(path) + wsmsg::LoadingSuffix);
    WorkspaceLoadResult result = readWorkspaceFile(path, doc, prompter);
    if (!result.applied)
        return false;
    // Also after a stop part-way: the picture shows what the document holds.
    window.setCaption(fileNameOf(path));
    window.workspaceRead(result.dataKind);
    window.layerTableChanged();
    window.fitLoadedDrawing();
    return true;
}

bool saveWorkspace(const Document &doc, Prompter &prompter, FilePicker &picker, StatusSink &status,
                   WorkspaceWindow &window)
{
    if (!doc.hasData)
        return false;
    FileDialogSpec request;
    request.title = wsmsg::SaveTitle;
    request.filter = wsmsg::Filter;
    request.defaultExtension = wsmsg::DefaultExtension;
    request.confirmOverwrite = true;
    auto path = picker.saveFile(request);
    if (!path)
        return false;
    BusyGuard busy(status, *path + wsmsg::SavingSuffix);
    if (!writeWorkspaceFile(*path, doc, prompter))
        return false;
    window.setCaption(fileNameOf(*path));
    return true;
}

bool loadWorkspace(Document &doc, Prompter &prompter, FilePicker &picker, StatusSink &status, WorkspaceWindow &window)
{
    FileDialogSpec request;
    request.title = wsmsg::LoadTitle;
    request.filter = wsmsg::Filter;
    auto path = picker.openFile(request);
    if (!path)
        return false;
    return openWorkspace(*path, doc, prompter, status, window);
}

bool clearAll(Document &doc, Prompter &prompter, StatusSink &status, WorkspaceWindow &window)
{
    if (!prompter.askYesNo(MessageKind::Warning, wsmsg::ClearAllQuestion))
        return false;
    BusyGuard busy(status);
    window.clearView();
    doc.clearDocument();
    // The layer table's names and boxes, and the selection's files.
    for (int n = 1; n <= LayerCount; ++n) {
        LayerSlot &slot = doc.layers.slot(n);
        slot.fileName.clear();
        slot.visible = 0;
        slot.assignedPath.clear();
    }
    window.layerTableChanged();
    window.clearLayerSelection();
    window.clearApertureTable();
    window.clearAllData();
    return true;
}

}  // namespace korvane
