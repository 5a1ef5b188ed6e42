#include "core/Document.h"
#include "core/Numbers.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <new>
#include <stdexcept>

namespace korvane {

bool isValidKind(std::int32_t code)
{
    return (code >= 11 && code <= 19) || (code >= 41 && code <= 44) || (code >= 47 && code <= 49) || code == 55 ||
           code == 56;
}

bool isUnderlayKind(std::int32_t code) { return (code >= 41 && code <= 49) || code == 55 || code == 56; }

namespace {

static_assert(offsetof(DisplayItem, sweepStartY) - offsetof(DisplayItem, x1) == 7 * sizeof(double),
              "the eight coordinates lie side by side");

std::uint64_t bitsOf(double v)
{
    std::uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

// For each mask, where each of the eight coordinates comes from among the
// stored ones (8: it is 0), so that decoding takes no branch per field.
constexpr std::array<std::array<std::uint8_t, 8>, 256> FieldSources = [] {
    std::array<std::array<std::uint8_t, 8>, 256> t{};
    for (unsigned mask = 0; mask < 256; ++mask) {
        std::uint8_t next = 0;
        for (unsigned k = 0; k < 8; ++k)
            t[mask][k] = (mask >> k) & 1u ? next++ : 8;
    }
    return t;
}();

// For each mask, the coordinates it holds in order.
constexpr std::array<std::array<std::uint8_t, 8>, 256> FieldsPresent = [] {
    std::array<std::array<std::uint8_t, 8>, 256> t{};
    for (unsigned mask = 0; mask < 256; ++mask) {
        std::uint8_t next = 0;
        for (std::uint8_t k = 0; k < 8; ++k)
            if ((mask >> k) & 1u)
                t[mask][next++] = k;
    }
    return t;
}();

constexpr double Thousand = 1000.0;

// The count of thousandths that gives the value back exactly, if any.
bool thousandthsOf(double value, std::int32_t &count)
{
    const double product = value * Thousand;
    if (!(std::fabs(product) < 2147483647.0))
        return false;
    count = static_cast<std::int32_t>(roundHalfEven(product));
    return bitsOf(static_cast<double>(count) / Thousand) == bitsOf(value);
}

}  // namespace

ItemSequence::ItemSequence() = default;
ItemSequence::~ItemSequence() = default;

// A listener stays with its sequence: a sequence moved from, or one given
// other items, tells it that its items are gone.
ItemSequence::ItemSequence(ItemSequence &&other) noexcept
    : chunks_(std::move(other.chunks_)), attributes_(std::move(other.attributes_)),
      attributeSlots_(std::move(other.attributeSlots_)), recent_(other.recent_), size_(other.size_)
{
    other.clear();
}

ItemSequence &ItemSequence::operator=(ItemSequence &&other) noexcept
{
    if (this != &other) {
        tellCleared();
        chunks_ = std::move(other.chunks_);
        attributes_ = std::move(other.attributes_);
        attributeSlots_ = std::move(other.attributeSlots_);
        recent_ = other.recent_;
        size_ = other.size_;
        // As after a clear: the next chunk handed out brings every set.
        attributesHandedOut_ = 0;
        other.clear();
    }
    return *this;
}

void ItemSequence::tellCleared()
{
    if (listener_)
        listener_->sequenceCleared();
}

void ItemSequence::setListener(Listener *listener)
{
    listener_ = listener;
    // The first chunk handed out brings every set so far.
    attributesHandedOut_ = 0;
}

void ItemSequence::handOut()
{
    FilledChunk filled;
    filled.chunk_ = chunks_.back();
    try {
        filled.newAttributes_.assign(attributes_.begin() + std::ptrdiff_t(attributesHandedOut_), attributes_.end());
    } catch (const std::bad_alloc &) {
        // The listener would miss a chunk: it is let go instead.
        tellCleared();
        listener_ = nullptr;
        return;
    }
    attributesHandedOut_ = attributes_.size();
    listener_->chunkFilled(std::move(filled));
}

void ItemSequence::adopt(FilledChunk filled)
{
    if (size_ % ChunkSize != 0 || !filled.chunk_)
        throw std::logic_error("a filled chunk adopted after a partial one");
    attributes_.insert(attributes_.end(), filled.newAttributes_.begin(), filled.newAttributes_.end());
    chunks_.push_back(std::const_pointer_cast<Chunk>(std::move(filled.chunk_)));
    size_ += ChunkSize;
    // Later appends look the sets up afresh.
    attributeSlots_.clear();
    recent_.fill(0);
}

// Equal means equal bits, so that what is read back is what was stored
// (0.0 and -0.0 stay apart).
bool ItemSequence::sameAttributes(const Attributes &a, const Attributes &b)
{
    return bitsOf(a.width) == bitsOf(b.width) && bitsOf(a.toolSize) == bitsOf(b.toolSize) && a.kind == b.kind &&
           a.fill == b.fill && a.colourLayer == b.colourLayer && a.layer == b.layer && a.code == b.code &&
           a.role == b.role;
}

std::uint64_t ItemSequence::hashOf(const Attributes &a)
{
    std::uint64_t h = bitsOf(a.width) * 0x9E3779B97F4A7C15ull;
    h = (h ^ bitsOf(a.toolSize)) * 0x9E3779B97F4A7C15ull;
    const std::int32_t ints[] = {a.kind, a.fill, a.colourLayer, a.layer, a.code, a.role};
    for (std::int32_t v : ints)
        h = (h ^ static_cast<std::uint32_t>(v)) * 0x100000001B3ull;
    return h ^ (h >> 29);
}

std::uint32_t ItemSequence::attributeIndex(const Attributes &a)
{
    auto u = [](std::int32_t v) { return static_cast<std::uint32_t>(v); };
    const std::uint32_t key = (u(a.kind) * 7u + u(a.code) * 3u + u(a.role) + u(a.colourLayer) * 5u) % recent_.size();
    // Index + 1; 0 = none.
    const std::uint32_t last = recent_[key];
    if (last != 0 && last <= attributes_.size() && sameAttributes(attributes_[last - 1], a))
        return last - 1;
    const std::uint32_t found = lookUpAttributes(a);
    recent_[key] = found + 1;
    return found;
}

std::uint32_t ItemSequence::lookUpAttributes(const Attributes &a)
{
    if (attributeSlots_.size() < 2 * (attributes_.size() + 1)) {
        // A power of two at least twice the sets (a sequence that adopted
        // chunks starts with none but many sets).
        std::vector<std::uint32_t> grown(std::bit_ceil(std::max<std::size_t>(64, 2 * (attributes_.size() + 1))), 0);
        const std::size_t m = grown.size() - 1;
        for (std::uint32_t i = 0; i < attributes_.size(); ++i) {
            std::size_t s = hashOf(attributes_[i]) & m;
            while (grown[s] != 0)
                s = (s + 1) & m;
            grown[s] = i + 1;
        }
        attributeSlots_.swap(grown);
    }
    const std::size_t m = attributeSlots_.size() - 1;
    std::size_t s = hashOf(a) & m;
    while (attributeSlots_[s] != 0) {
        const std::uint32_t i = attributeSlots_[s] - 1;
        if (sameAttributes(attributes_[i], a))
            return i;
        s = (s + 1) & m;
    }
    attributes_.push_back(a);
    attributeSlots_[s] = static_cast<std::uint32_t>(attributes_.size());
    return static_cast<std::uint32_t>(attributes_.size() - 1);
}

void ItemSequence::append(const DisplayItem &item)
{
    const std::size_t slot = size_ % ChunkSize;
    if (slot == 0) {
        chunks_.push_back(std::make_shared<Chunk>());
        chunks_.back()->words.reserve(ChunkSize * 2);
    }
    Chunk &chunk = *chunks_.back();
    Attributes a{};
    a.width = item.width;
    a.toolSize = item.toolSize;
    a.kind = item.kind;
    a.fill = item.fill;
    a.colourLayer = item.colourLayer;
    a.layer = item.layer;
    a.code = item.code;
    a.role = item.role;
    chunk.attribute[slot] = attributeIndex(a);
    chunk.offset[slot] = static_cast<std::uint16_t>(chunk.words.size());
    const double *c = &item.x1;
    std::uint8_t mask = 0, wide = 0;
    for (int k = 0; k < 8; ++k) {
        const std::uint64_t bits = bitsOf(c[k]);
        if (bits == 0)
            continue;
        mask |= static_cast<std::uint8_t>(1u << k);
        std::int32_t count = 0;
        if (thousandthsOf(c[k], count)) {
            chunk.words.push_back(static_cast<std::uint32_t>(count));
        } else {
            wide |= static_cast<std::uint8_t>(1u << k);
            chunk.words.push_back(static_cast<std::uint32_t>(bits));
            chunk.words.push_back(static_cast<std::uint32_t>(bits >> 32));
        }
    }
    chunk.mask[slot] = mask;
    chunk.wide[slot] = wide;
    ++size_;
    if (size_ % ChunkSize == 0) {
        chunk.words.shrink_to_fit();
        if (listener_)
            handOut();
    }
}

void ItemSequence::copyAttributes(const Attributes &a, DisplayItem &out)
{
    out.width = a.width;
    out.toolSize = a.toolSize;
    out.kind = a.kind;
    out.fill = a.fill;
    out.colourLayer = a.colourLayer;
    out.layer = a.layer;
    out.code = a.code;
    out.role = a.role;
}

void ItemSequence::decode(const Chunk &chunk, std::size_t slot, std::size_t offset, DisplayItem &out) const
{
    copyAttributes(attributes_[chunk.attribute[slot]], out);
    decodeCoordinates(chunk.words.data() + offset, chunk.mask[slot], chunk.wide[slot], &out.x1);
}

void ItemSequence::decodeCoordinates(const std::uint32_t *from, unsigned mask, unsigned wide, double *c)
{
    if (wide == 0 && mask == 0b101) {
        // A point in thousandths (moves, strokes, vertices, drill marks).
        c[0] = static_cast<double>(static_cast<std::int32_t>(from[0])) / Thousand;
        c[1] = 0.0;
        c[2] = static_cast<double>(static_cast<std::int32_t>(from[1])) / Thousand;
        for (std::size_t k = 3; k < 8; ++k)
            c[k] = 0.0;
        return;
    }
    if (wide == 0) {
        // Thousandths only: no branch per coordinate.
        // Only the coordinates present are divided (a quotient is costly).
        for (std::size_t k = 0; k < 8; ++k)
            c[k] = 0.0;
        const std::array<std::uint8_t, 8> &fields = FieldsPresent[mask];
        for (unsigned j = 0, n = setBits(mask); j < n; ++j)
            c[fields[j]] = static_cast<double>(static_cast<std::int32_t>(from[j])) / Thousand;
        return;
    }
    if (wide == mask) {
        // Whole doubles only (computed coordinates), as branch-free.
        const std::array<std::uint8_t, 8> &source = FieldSources[mask];
        static constexpr std::uint32_t ZeroBits[2] = {0, 0};
        for (std::size_t k = 0; k < 8; ++k)
            std::memcpy(&c[k], source[k] < 8 ? from + std::ptrdiff_t{2} * source[k] : ZeroBits, sizeof(double));
        return;
    }
    for (unsigned k = 0; k < 8; ++k) {
        if (((mask >> k) & 1u) == 0) {
            c[k] = 0.0;
        } else if ((wide >> k) & 1u) {
            const std::uint64_t bits = from[0] | (std::uint64_t(from[1]) << 32);
            std::memcpy(&c[k], &bits, sizeof bits);
            from += 2;
        } else {
            c[k] = static_cast<double>(static_cast<std::int32_t>(*from++)) / Thousand;
        }
    }
}

DisplayItem ItemSequence::attributeSet(std::uint32_t n) const
{
    DisplayItem item;
    copyAttributes(attributes_.at(n), item);
    return item;
}

DisplayItem ItemSequence::operator[](std::size_t i) const
{
    const Chunk &chunk = *chunks_[i / ChunkSize];
    DisplayItem out;
    decode(chunk, i % ChunkSize, chunk.offset[i % ChunkSize], out);
    return out;
}

void ItemSequence::clear()
{
    tellCleared();
    attributesHandedOut_ = 0;
    chunks_.clear();
    attributes_.clear();
    attributeSlots_.clear();
    recent_.fill(0);
    size_ = 0;
}

bool ItemSequence::containsKind(std::int32_t kind) const
{
    return std::any_of(attributes_.begin(), attributes_.end(), [kind](const Attributes &a) { return a.kind == kind; });
}

ItemSequence::const_iterator::const_iterator(const ItemSequence *seq, std::size_t index) : seq_(seq), index_(index)
{
    if (index_ < seq_->size_) {
        offset_ = seq_->chunks_[index_ / ChunkSize]->offset[index_ % ChunkSize];
        load();
    }
}

void ItemSequence::const_iterator::load()
{
    seq_->decode(*seq_->chunks_[index_ / ChunkSize], index_ % ChunkSize, offset_, item_);
}

ItemSequence::const_iterator &ItemSequence::const_iterator::operator++()
{
    const Chunk &chunk = *seq_->chunks_[index_ / ChunkSize];
    offset_ += setBits(chunk.mask[index_ % ChunkSize]) + setBits(chunk.wide[index_ % ChunkSize]);
    ++index_;
    if (index_ % ChunkSize == 0)
        offset_ = 0;
    if (index_ < seq_->size_)
        load();
    return *this;
}

void DisplayList::append(const DisplayItem &item)
{
    if (isUnderlayKind(item.kind))
        underlay_.append(item);
    else
        main_.append(item);
}

void DisplayList::discard()
{
    underlay_.clear();
    main_.clear();
}

LayerSlot &LayerTable::slot(int n)
{
    if (n < 1 || n > LayerCount)
        throw std::out_of_range("layer slot out of range");
    return slots_[static_cast<size_t>(n - 1)];
}

const LayerSlot &LayerTable::slot(int n) const { return const_cast<LayerTable *>(this)->slot(n); }

DisplayItem makeItem(const AppendArgs &a)
{
    DisplayItem item;
    item.kind = static_cast<std::int32_t>(a.kind);
    item.fill = a.fill;
    item.colourLayer = a.colourLayer;
    item.layer = a.layer;
    item.code = a.code;
    item.role = a.role;
    item.width = a.width;
    item.toolSize = a.toolSize;
    switch (a.kind) {
    case ItemKind::Ellipse:
    case ItemKind::Rectangle:
    case ItemKind::UnderEllipse:
    case ItemKind::UnderRectangle:
        item.x1 = a.x1;
        item.x2 = a.x2;
        item.y1 = a.y1;
        item.y2 = a.y2;
        break;
    case ItemKind::MoveTo:
    case ItemKind::LineTo:
    case ItemKind::FloodFill:
    case ItemKind::PolygonVertex:
    case ItemKind::UnderMoveTo:
    case ItemKind::UnderLineTo:
    case ItemKind::UnderFloodFill:
    case ItemKind::UnderPolygonVertex:
        item.x1 = a.x1;
        item.y1 = a.y1;
        break;
    case ItemKind::PolygonClose:
    case ItemKind::UnderPolygonClose: break;
    case ItemKind::ArcCcw:
    case ItemKind::SectorCcw:
        item.x1 = a.x1;
        item.x2 = a.x2;
        item.y1 = a.y1;
        item.y2 = a.y2;
        item.sweepEndX = a.arcEnd.x;
        item.sweepEndY = a.arcEnd.y;
        item.sweepStartX = a.arcStart.x;
        item.sweepStartY = a.arcStart.y;
        break;
    case ItemKind::ArcCw:
    case ItemKind::SectorCw:
        // A clockwise arc from start to end is the counter-clockwise arc
        // from end to start.
        item.x1 = a.x1;
        item.x2 = a.x2;
        item.y1 = a.y1;
        item.y2 = a.y2;
        item.sweepEndX = a.arcStart.x;
        item.sweepEndY = a.arcStart.y;
        item.sweepStartX = a.arcEnd.x;
        item.sweepStartY = a.arcEnd.y;
        break;
    }
    return item;
}

void Document::appendItem(const AppendArgs &args) { displayList.append(makeItem(args)); }

void Document::startLoad()
{
    if (keepExisting == 0)
        displayList.discard();
}

void Document::clearDocument()
{
    displayList.discard();
    hasData = 0;
    gerberLoaded = 0;
    drillLoaded = 0;
    keepExisting = 0;
    for (int n = 1; n <= LayerCount; ++n)
        layers.slot(n).pendingPath.clear();
    extentX = 0;
    extentY = 0;
}

void Document::discardForNewLoad()
{
    displayList.discard();
    extentX = 0;
    extentY = 0;
    keepExisting = 0;
}

}  // namespace korvane
