#pragma once
// The words of a drill file, block by block, as the tools that rewrite a
// drill file read them (the drill writer, drill-to-Gerber creation): word
// texts are kept as written, so that each tool converts them its own way.
//
// Comments (";" to the line end, "(" to ")" or the line end) are passed
// over. The header (M48 up to M95 or "%") defines tools: a T word there, or a
// T word with its C before the file's first coordinate, selects nothing.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

struct DrillCoordinateWord {
    bool isX = true;
    std::string text;  // as written, "+" dropped, blanks trimmed
};

// One block: the words between two block ends (line end or "*").
struct DrillBlock {
    std::optional<std::string> tool;  // the digits of a tool selection
    std::optional<std::string> toolDefinition;
    bool g80 = false;
    bool g85 = false;           // a slot: the coordinates before it start, after it end
    std::size_t slotSplit = 0;  // coordinates before the G85
    std::optional<int> motion;  // G00, G01, G02, G03 of route mode
    bool g05 = false;           // back to drilling
    std::optional<int> m;       // the last M code
    std::vector<DrillCoordinateWord> coordinates;
    std::optional<std::string> a, i, j;  // arc radius and centre offsets
    bool lastWordIsCoordinate = false;
    std::size_t line = 1;  // where the block ends (1-based)
    bool empty() const
    {
        return !tool && !toolDefinition && !g80 && !g85 && !motion && !g05 && !m && coordinates.empty();
    }
};

class DrillBlockSink {
public:
    virtual ~DrillBlockSink() = default;
    virtual void block(const DrillBlock &block) = 0;
};

class DrillWordReader {
public:
    explicit DrillWordReader(DrillBlockSink &sink) : sink_(sink) {}
    void feed(std::string_view chunk);
    // Ends a word and a block cut off by the end of the file.
    void finish();

private:
    enum class Collect { None, T, C, G, M, Number };
    void endWord();
    void endBlock();

    DrillBlockSink &sink_;
    Collect collect_ = Collect::None;
    char letter_ = 0;
    std::string text_;
    std::string toolText_;
    bool toolHasC_ = false;
    char comment_ = 0;  // 0, ";" or "("
    bool header_ = false;
    bool coordinateSeen_ = false;
    std::size_t line_ = 1;
    DrillBlock block_;
};

}  // namespace korvane
