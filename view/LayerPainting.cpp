#include "view/LayerPainting.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

namespace korvane {

namespace {

// What the painting needs to know of an attribute set: the items' layer
// when they are painted (0 when not), whether they move the pen or stroke
// from it, whether
// they paint in colour 0 (clear objects and holes), and whether they may be
// holes (auxiliary items: a flash's holes, but also a clear region's close).
struct SetFacts {
    std::int32_t layer = 0;
    bool pen = false;
    bool stroke = false;
    bool clear = false;
    bool hole = false;
};

std::vector<SetFacts> factsOf(const ItemSequence &items, const LayerLook &look)
{
    std::vector<SetFacts> facts(items.attributeSetCount());
    for (std::size_t n = 0; n < facts.size(); ++n) {
        const DisplayItem set = items.attributeSet(static_cast<std::uint32_t>(n));
        if (!paintedBy(set, look))
            continue;
        const bool clear = set.colourLayer == 0 && paintsPixels(set.kind);
        facts[n] = {set.layer, movesPen(set.kind), startsFromPen(set.kind), clear, clear && set.role == RoleAuxiliary};
    }
    return facts;
}

// Which layers have items painted, and which of them need an image: a
// negative one, one with holes, and one with clear objects over a layer
// beneath (on the lowest layer clearing to white is clearing to nothing).
struct LayerFacts {
    std::array<bool, LayerCount + 1> present{};
    std::array<bool, LayerCount + 1> ownImage{};
    int count = 0;
    bool anyImage = false;
};

LayerFacts layerFacts(const std::array<std::vector<SetFacts>, 2> &facts, const LayerLook &look)
{
    LayerFacts f;
    std::array<bool, LayerCount + 1> clear{};
    for (const std::vector<SetFacts> &sets : facts)
        for (const SetFacts &s : sets) {
            if (s.layer == 0)
                continue;
            const auto l = static_cast<std::size_t>(s.layer);
            f.count += f.present[l] ? 0 : 1;
            f.present[l] = true;
            clear[l] = clear[l] || s.clear;
            f.ownImage[l] = f.ownImage[l] || s.hole || look.negative[l];
        }
    bool beneath = false;
    for (std::size_t l = 1; l <= LayerCount; ++l) {
        f.ownImage[l] = f.ownImage[l] || (clear[l] && beneath);
        beneath = beneath || f.present[l];
    }
    f.anyImage = std::any_of(f.ownImage.begin(), f.ownImage.end(), [](bool b) { return b; });
    return f;
}

// Items [first, last) of one sequence that belong to one layer (hidden
// items among them are skipped by the renderer), and, when a stroke in it
// starts from the pen before any move, the item that left the pen where the
// one pass would have it (none: the origin).
struct Run {
    const ItemSequence *items = nullptr;
    std::size_t first = 0, last = 0;
    const ItemSequence *penItems = nullptr;
    std::size_t penAt = 0;
    bool usesPen = false;
};

using LayerRuns = std::array<std::vector<Run>, LayerCount + 1>;

// One walk over both sequences in pass order, by the items' attribute sets
// only (no coordinates are decoded). Boards whose layers interleave object
// by object have many runs: their memory is kept from picture to picture.
const LayerRuns &runsOf(const DisplayList &list, const std::array<std::vector<SetFacts>, 2> &facts)
{
    thread_local LayerRuns runs;
    for (std::vector<Run> &r : runs)
        r.clear();
    const ItemSequence *sequences[] = {&list.underlay(), &list.main()};
    const ItemSequence *penItems = nullptr;
    std::size_t penAt = 0;
    for (std::size_t k = 0; k < 2; ++k) {
        const ItemSequence &items = *sequences[k];
        Run *open = nullptr;  // a run never spans the two sequences
        std::int32_t openLayer = 0;
        bool moved = false;  // the open run has moved the pen itself
        ItemSequence::Walker walker(items, 0, items.size());
        for (std::size_t i = 0; walker.next(); ++i) {
            const SetFacts &s = facts[k][walker.set()];
            if (s.layer == 0)
                continue;
            if (s.layer == openLayer) {
                open->last = i + 1;
            } else {
                std::vector<Run> &layerRuns = runs[static_cast<std::size_t>(s.layer)];
                layerRuns.push_back({&items, i, i + 1, penItems, penAt, false});
                open = &layerRuns.back();
                openLayer = s.layer;
                moved = false;
            }
            if (s.stroke && !moved)
                open->usesPen = true;
            if (s.pen) {
                penItems = &items;
                penAt = i;
                moved = true;
            }
        }
    }
    return runs;
}

// The look of a layer's image: the layer in its colours and colour 0 the
// image's background (what shows the layers beneath); inverted for a
// negative layer.
LayerLook imageLook(const LayerLook &look, std::size_t layer, Colour background)
{
    LayerLook image = look;
    if (look.negative[layer]) {
        image.colour.fill(background);
        image.colour[0] = look.colour[layer];
    } else {
        image.colour[0] = background;
    }
    return image;
}

// How far the pen reaches beyond an item's points: half a stroke's width;
// flashes lie within their boxes (their width 1.0 is a one-pixel outline).
double strokeReach(const DisplayItem &item, const PixelMapping &mapping)
{
    const bool outline = item.kind == 12 || item.kind == 42 || (hasBoxCorners(item.kind) && item.width == 1.0);
    return outline ? 0.0 : mapping.exactWidth(item.width) / 2;
}

void fillSurface(DrawingSurface &surface, const PixelRect &rect, Colour colour)
{
    surface.setPen(colour, 1);
    surface.setBrush(colour, BrushStyle::Solid);
    surface.rectangle(rect.left, rect.top, rect.right, rect.bottom);
}

// The pixels a negative layer's items reach: where its inverted image is
// drawn.
PixelRect extentsOf(const std::vector<Run> &runs, const LayerLook &look, const PixelMapping &mapping)
{
    bool any = false;
    double left = 0, right = 0, top = 0, bottom = 0;
    auto take = [&](RayPoint p, double half) {
        if (!any) {
            left = right = p.x;
            top = bottom = p.y;
            any = true;
        }
        left = std::min(left, p.x - half);
        right = std::max(right, p.x + half);
        top = std::min(top, p.y - half);
        bottom = std::max(bottom, p.y + half);
    };
    for (const Run &run : runs)
        for (auto it = ItemSequence::const_iterator(run.items, run.first),
                  end = ItemSequence::const_iterator(run.items, run.last);
             it != end; ++it) {
            if (!paintedBy(*it, look))
                continue;
            RayPoint p;
            const double half = strokeReach(*it, mapping);
            mapping.point(it->x1, it->y1, p);
            take(p, half);
            if (hasBoxCorners(it->kind)) {
                mapping.point(it->x2, it->y2, p);
                take(p, half);
            }
        }
    if (!any)
        return {};
    return {static_cast<int>(std::floor(left)), static_cast<int>(std::floor(top)),
            static_cast<int>(std::ceil(right)) + 1, static_cast<int>(std::ceil(bottom)) + 1};
}

}  // namespace

Colour unusedColour(const LayerLook &look, Colour besides)
{
    // Each step moves every channel by one 5-6-5 level.
    for (Colour c = 0x080408;; c += 0x080408) {
        const std::uint16_t pixel = to565(c);
        const bool taken =
            pixel == to565(colours::White) || pixel == to565(besides) ||
            std::any_of(look.colour.begin(), look.colour.end(), [&](Colour used) { return to565(used) == pixel; });
        if (!taken)
            return c;
    }
}

bool paintsAsOnePass(const DisplayList &list, const LayerLook &look)
{
    const std::array<std::vector<SetFacts>, 2> facts{factsOf(list.underlay(), look), factsOf(list.main(), look)};
    const LayerFacts layers = layerFacts(facts, look);
    if (layers.anyImage)
        return false;
    if (layers.count <= 1)
        return true;
    std::int32_t last = 0;
    const ItemSequence *sequences[] = {&list.underlay(), &list.main()};
    for (std::size_t k = 0; k < 2; ++k) {
        ItemSequence::Walker walker(*sequences[k], 0, sequences[k]->size());
        while (walker.next()) {
            const std::int32_t layer = facts[k][walker.set()].layer;
            if (layer == 0)
                continue;
            if (layer < last)
                return false;
            last = layer;
        }
    }
    return true;
}

void paintLayers(DrawingSurface &picture, const DisplayList &list, const LayerLook &look, RegionFill fill,
                 const PixelMapping &mapping)
{
    const std::array<std::vector<SetFacts>, 2> facts{factsOf(list.underlay(), look), factsOf(list.main(), look)};
    const LayerFacts layers = layerFacts(facts, look);
    if (layers.count <= 1 && !layers.anyImage) {
        Renderer(picture, look, fill, mapping).paint(list);
        return;
    }
    const LayerRuns &runs = runsOf(list, facts);
    const Colour background = unusedColour(look), holeMarker = unusedColour(look, background);
    const PixelRect whole{0, 0, picture.width(), picture.height()};
    std::unique_ptr<DrawingSurface> image;
    bool imageUsed = false;
    for (std::size_t layer = 1; layer <= LayerCount; ++layer) {
        if (runs[layer].empty())
            continue;
        DrawingSurface *target = &picture;
        if (layers.ownImage[layer]) {
            if (!image)
                image = picture.newLayerImage(background);
            else if (imageUsed)
                fillSurface(*image, whole, background);
            if (image)
                target = image.get();
        }
        const bool own = target != &picture;
        Renderer renderer(*target, own ? imageLook(look, layer, background) : look, fill, mapping);
        if (own) {
            renderer.paintAsImage(holeMarker, look.negative[layer]);
            if (look.negative[layer])
                fillSurface(*target, extentsOf(runs[layer], look, mapping), look.colour[layer]);
        }
        for (const Run &run : runs[layer]) {
            if (run.usesPen && run.penItems != nullptr) {
                const DisplayItem pen = (*run.penItems)[run.penAt];
                renderer.placePen(&pen);
            } else if (run.usesPen) {
                renderer.placePen(nullptr);
            }
            renderer.paintRange(*run.items, run.first, run.last);
        }
        renderer.endImage();
        if (own) {
            picture.layImageOver(*image, background);
            imageUsed = true;
        }
    }
}

}  // namespace korvane
