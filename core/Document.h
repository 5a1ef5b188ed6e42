#pragma once
// The document: the display list, the fifteen layer slots and the load values.
#include "core/Colour.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace korvane {

enum class ItemKind : std::int32_t {
    Ellipse = 11,
    Rectangle = 12,
    MoveTo = 13,
    LineTo = 14,
    ArcCcw = 15,
    ArcCw = 16,
    FloodFill = 17,
    PolygonVertex = 18,
    PolygonClose = 19,
    UnderEllipse = 41,
    UnderRectangle = 42,
    UnderMoveTo = 43,
    UnderLineTo = 44,
    UnderFloodFill = 47,
    UnderPolygonVertex = 48,
    UnderPolygonClose = 49,
    SectorCcw = 55,
    SectorCw = 56,
};

// The offset between a main kind and its underlay twin.
inline constexpr std::int32_t UnderlayOffset = 30;

// True for the codes that may stand in a DisplayItem.
bool isValidKind(std::int32_t code);
// True for the codes appended to the underlay sequence.
bool isUnderlayKind(std::int32_t code);

// RoleDrillSlot marks the first stroke of a drill slot or routed path.
enum ItemRole : std::int32_t { RoleAuxiliary = 0, RoleFlash = 1, RoleDraw = 2, RoleDrillHit = 3, RoleDrillSlot = 4 };

// One pen-plotter command: ten reals and six integers.
struct DisplayItem {
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    double sweepEndX = 0, sweepStartX = 0, sweepEndY = 0, sweepStartY = 0;
    double width = 0;
    double toolSize = 0;
    std::int32_t kind = 0;
    std::int32_t fill = 0;
    std::int32_t colourLayer = 0;
    std::int32_t layer = 0;
    std::int32_t code = 0;
    std::int32_t role = 0;
};

struct Point {
    double x = 0;
    double y = 0;
};

// An append-only sequence held compactly in fixed-size chunks. Most items
// use a few of the eight coordinates, and the kind, width, fill, layers,
// code, role and tool size repeat from item to item: each item keeps an
// index into a table of the distinct attribute sets, a mask of its non-zero
// coordinates and those coordinates only. Readers get full DisplayItems.
class ItemSequence {
    struct Chunk;
    // Everything of an item but its coordinates.
    struct Attributes {
        double width;
        double toolSize;
        std::int32_t kind, fill, colourLayer, layer, code, role;
    };

public:
    static constexpr std::size_t ChunkSize = 4096;

    // A chunk the sequence has filled, for a reader on another thread: the
    // items are shared, not copied, and never written again; with them come
    // the attribute sets added since the chunk before.
    class FilledChunk {
        friend class ItemSequence;
        std::shared_ptr<const Chunk> chunk_;
        std::vector<Attributes> newAttributes_;
    };
    // Told on the appending thread as the sequence fills chunks.
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void chunkFilled(FilledChunk chunk) = 0;
        // The items handed out so far are no longer the sequence's.
        virtual void sequenceCleared() = 0;
    };

    // Hands out the decoded item it stands on: the reference lives as long
    // as the iterator, which is what a range-for needs.
    class const_iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = DisplayItem;
        using difference_type = std::ptrdiff_t;
        using pointer = const DisplayItem *;
        using reference = const DisplayItem &;

        const_iterator() = default;
        const_iterator(const ItemSequence *seq, std::size_t index);
        reference operator*() const { return item_; }
        pointer operator->() const { return &item_; }
        const_iterator &operator++();
        const_iterator operator++(int)
        {
            auto copy = *this;
            ++*this;
            return copy;
        }
        bool operator==(const const_iterator &o) const { return index_ == o.index_; }
        bool operator!=(const const_iterator &o) const { return index_ != o.index_; }

    private:
        void load();
        const ItemSequence *seq_ = nullptr;
        std::size_t index_ = 0;
        std::size_t offset_ = 0;
        DisplayItem item_{};
    };

    ItemSequence();
    ~ItemSequence();
    ItemSequence(ItemSequence &&) noexcept;
    ItemSequence &operator=(ItemSequence &&) noexcept;

    void append(const DisplayItem &item);
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    DisplayItem operator[](std::size_t i) const;
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size_}; }
    void clear();
    // Whether any item held is of this kind (from the few attribute sets,
    // not the items).
    bool containsKind(std::int32_t kind) const;

    // Attribute set n, which the Walker gives each item's number of, as its
    // items carry it, with all coordinates 0.
    DisplayItem attributeSet(std::uint32_t n) const;
    std::size_t attributeSetCount() const { return attributes_.size(); }

    class Walker;

    // At most one listener, told of the chunks filled from now on (the
    // first brings every attribute set so far); nullptr ends the listening.
    void setListener(Listener *listener);
    // Appends the items of another sequence's filled chunk, in the order
    // the chunks were filled, to a sequence that holds whole chunks only
    // (one that has adopted every chunk so far).
    void adopt(FilledChunk filled);

private:
    static std::uint64_t hashOf(const Attributes &a);
    static bool sameAttributes(const Attributes &a, const Attributes &b);
    std::uint32_t attributeIndex(const Attributes &a);
    std::uint32_t lookUpAttributes(const Attributes &a);
    void decode(const Chunk &chunk, std::size_t slot, std::size_t offset, DisplayItem &out) const;
    static void copyAttributes(const Attributes &a, DisplayItem &out);
    // Set bits of a coordinate mask, by table: the build targets plain
    // x86-64, which has no population-count instruction, and std::popcount
    // would call a library routine.
    static unsigned setBits(unsigned mask)
    {
        static constexpr std::array<std::uint8_t, 256> counts = [] {
            std::array<std::uint8_t, 256> t{};
            for (unsigned i = 0; i < 256; ++i)
                t[i] = static_cast<std::uint8_t>(std::popcount(i));
            return t;
        }();
        return counts[mask & 0xFFu];
    }
    static void decodeCoordinates(const std::uint32_t *from, unsigned mask, unsigned wide, double *c);

    void tellCleared();
    void handOut();

    std::vector<std::shared_ptr<Chunk>> chunks_;
    std::vector<Attributes> attributes_;
    // Open addressing over attributes_ (index + 1; 0 = empty).
    std::vector<std::uint32_t> attributeSlots_;
    // The set last used per kind and code, tried before the table: readers
    // emit a few sets over and over (a move and a stroke, a pad and its hole).
    std::array<std::uint32_t, 32> recent_{};
    std::size_t size_ = 0;
    Listener *listener_ = nullptr;
    // The attribute sets already handed to the listener.
    std::size_t attributesHandedOut_ = 0;
};

// Coordinates read from files are nearly all whole thousandths of a
// millimetre: such a one is held as the 32-bit count of thousandths whose
// quotient by 1000 gives back its exact bits, any other as its eight bytes.
struct ItemSequence::Chunk {
    std::uint32_t attribute[ChunkSize];
    // Where the item's coordinates start in words: at most sixteen per
    // item, so a chunk's offsets fit 16 bits.
    std::uint16_t offset[ChunkSize];
    // Bit k: coordinate k (in DisplayItem order, x1 first) is not +0.
    std::uint8_t mask[ChunkSize];
    // Of the coordinates in mask, those held whole (two words).
    std::uint8_t wide[ChunkSize];
    std::vector<std::uint32_t> words;
};

// The items [first, last) as they are held: each item's attribute set and
// its coordinates, for loops over millions of items that do their work per
// attribute set (a writer's line end) rather than per item.
// The sequence must not change while a walker is on it.
class ItemSequence::Walker {
public:
    Walker(const ItemSequence &items, std::size_t first, std::size_t last)
        : items_(items), index_(first), last_(std::min(last, items.size()))
    {
    }
    // Steps onto the next item (onto the first at the first call); false
    // past the last.
    bool next()
    {
        if (index_ >= last_)
            return false;
        const std::size_t slot = index_ % ChunkSize;
        if (chunk_ == nullptr || slot == 0) {
            chunk_ = items_.chunks_[index_ / ChunkSize].get();
            from_ = chunk_->words.data() + chunk_->offset[slot];
        } else {
            from_ += setBits(chunk_->mask[slot - 1]) + setBits(chunk_->wide[slot - 1]);
        }
        slot_ = slot;
        ++index_;
        return true;
    }
    std::uint32_t set() const { return chunk_->attribute[slot_]; }
    // The eight coordinates as held, in DisplayItem order (x1 first): Zero
    // for +0; Thousandths with the count that gives the value divided by
    // 1000; Exact with the value.
    enum class Held : std::uint8_t { Zero, Thousandths, Exact };
    struct Coordinates {
        Held form[8];
        std::int32_t count[8];
        double value[8];
    };
    void held(Coordinates &out) const
    {
        const unsigned mask = chunk_->mask[slot_], wide = chunk_->wide[slot_];
        const std::uint32_t *at = from_;
        for (unsigned k = 0; k < 8; ++k) {
            if (((mask >> k) & 1u) == 0) {
                out.form[k] = Held::Zero;
            } else if (((wide >> k) & 1u) == 0) {
                out.form[k] = Held::Thousandths;
                out.count[k] = static_cast<std::int32_t>(*at++);
            } else {
                const std::uint64_t bits = at[0] | (std::uint64_t(at[1]) << 32);
                std::memcpy(&out.value[k], &bits, sizeof bits);
                out.form[k] = Held::Exact;
                at += 2;
            }
        }
    }

private:
    const ItemSequence &items_;
    std::size_t index_;
    std::size_t last_;
    const Chunk *chunk_ = nullptr;
    std::size_t slot_ = 0;
    const std::uint32_t *from_ = nullptr;
};

class DisplayList {
public:
    const ItemSequence &underlay() const { return underlay_; }
    const ItemSequence &main() const { return main_; }
    // Appends to the sequence the kind selects (41 to 49, 55, 56: underlay).
    void append(const DisplayItem &item);
    // Appends to the main sequence whatever the kind (workspace load).
    void appendToMain(const DisplayItem &item) { main_.append(item); }
    void discard();
    std::size_t size() const { return underlay_.size() + main_.size(); }
    // Who is told of each sequence's chunks as they fill (nullptr: no one).
    void listen(ItemSequence::Listener *underlay, ItemSequence::Listener *main)
    {
        underlay_.setListener(underlay);
        main_.setListener(main);
    }

private:
    ItemSequence underlay_;
    ItemSequence main_;
};

struct LayerSlot {
    std::string assignedPath;
    std::string fileName;
    std::string pendingPath;
    std::string fileKind;  // "gb" or "nc"
    Colour colour = 0;
    int visible = 0;
    // The file the slot's items were read from, so that confirming the layer
    // file selection again without picking another file does not read it twice.
    std::string loadedPath;
    // The file declared a negative image (%IPNEG): it is drawn inverted.
    bool negative = false;
};

inline constexpr int LayerCount = 15;
// Marks a slot whose file is loaded and unchanged: the next load skips it.
inline constexpr const char *AlreadyLoadedMarker = "***";

class LayerTable {
public:
    // n in 1..15.
    LayerSlot &slot(int n);
    const LayerSlot &slot(int n) const;

private:
    std::array<LayerSlot, LayerCount> slots_;
};

struct Extents {
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
};

struct AppendArgs {
    ItemKind kind;
    std::int32_t fill = 0;
    std::int32_t colourLayer = 0;
    std::int32_t layer = 0;
    std::int32_t code = 0;
    std::int32_t role = 0;
    double width = 0;
    Point arcEnd{};
    Point arcStart{};
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    double toolSize = 0;
};

class Document {
public:
    DisplayList displayList;
    LayerTable layers;

    int hasData = 0;
    int gerberLoaded = 0;
    int drillLoaded = 0;
    int keepExisting = 0;
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    double extentX = 0, extentY = 0;
    Extents gerberExtents;

    // Builds one item from the arguments (clockwise kinds with their sweep
    // points exchanged) and appends it to the sequence its kind selects.
    void appendItem(const AppendArgs &args);
    // Before a reader appends: an empty list unless keepExisting is 1.
    void startLoad();
    // The clear-all command's part of the document.
    void clearDocument();
    // The layer file selection's "clear the present data".
    void discardForNewLoad();
};

// The item appendItem builds, without appending it.
DisplayItem makeItem(const AppendArgs &args);

}  // namespace korvane
