#include "core/Document.h"

#include <stdexcept>

namespace korvane {

bool isValidKind(std::int32_t code)
{
    return (code >= 11 && code <= 19) || (code >= 41 && code <= 44) || (code >= 47 && code <= 49) ||
           code == 55 || code == 56;
}

bool isUnderlayKind(std::int32_t code)
{
    return (code >= 41 && code <= 49) || code == 55 || code == 56;
}

void ItemSequence::append(const DisplayItem &item)
{
    if (size_ == chunks_.size() * ChunkSize)
        chunks_.emplace_back(static_cast<DisplayItem *>(::operator new(sizeof(DisplayItem) * ChunkSize)));
    new (chunks_[size_ / ChunkSize].get() + size_ % ChunkSize) DisplayItem(item);
    ++size_;
}

void ItemSequence::clear()
{
    chunks_.clear();
    size_ = 0;
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

const LayerSlot &LayerTable::slot(int n) const
{
    return const_cast<LayerTable *>(this)->slot(n);
}

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
    case ItemKind::UnderPolygonClose:
        break;
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

void Document::appendItem(const AppendArgs &args)
{
    displayList.append(makeItem(args));
}

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

} // namespace korvane
