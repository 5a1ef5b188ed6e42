#include "gerber/GerberInterpreter.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/Numbers.h"
#include "gerber/ApertureMacros.h"
#include "gerber/ApertureTexts.h"
#include "gerber/GerberReader.h"
#include "gerber/GerberTexts.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace korvane {
namespace {

// Regions hold arcs as vertices along them, close enough that the outline
// never strays more than this from the true arc.
constexpr double RegionArcTolerance = 0.005;
constexpr int MaxArcSegments = 20000;

std::vector<std::string> splitSize(const std::string &size)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t dash = size.find('-', start);
        parts.push_back(size.substr(start, dash == std::string::npos ? std::string::npos : dash - start));
        if (dash == std::string::npos)
            break;
        start = dash + 1;
    }
    return parts;
}

bool isArc(Interpolation i) { return i != Interpolation::Linear; }

}  // namespace

GerberInterpreter::GerberInterpreter(Document &document, const ApertureTable &table, const MacroLibrary &library,
                                     GerberInFormat &format, Prompter &prompter)
    : doc_(document), table_(table), library_(library), format_(format), prompter_(prompter),
      loadArcMode_(format.arcMode)
{
}

void GerberInterpreter::startFile(int layer)
{
    layer_ = layer;
    current_ = {};
    dMode_ = 2;
    interpolation_ = Interpolation::Linear;
    region_ = false;
    regionStarted_ = false;
    clear_ = false;
    i_ = j_ = 0;
    // G74/G75 of the file before does not carry over.
    format_.arcMode = loadArcMode_;
    image_ = {};
    plainImage_ = true;
    apertureTransform_ = {};
    blocks_.clear();
    openBlocks_.clear();
    stepRepeat_ = {};
    macroFlashes_.clear();
    itemsThisFile_ = 0;
    mainPenKnown_ = false;
    previousCounted_ = false;
    setImageNegative(false);
    updateOutput();
}

void GerberInterpreter::setImageNegative(bool negative)
{
    if (layer_ >= 1 && layer_ <= LayerCount)
        doc_.layers.slot(layer_).negative = negative;
}

// Straight into the drawing unless a flash is being turned, a block
// defined or the image moved.
void GerberInterpreter::updateOutput() { plainOutput_ = !flashCapture_ && openBlocks_.empty() && plainImage_; }

void GerberInterpreter::endFile()
{
    if (region_ && regionStarted_)
        closeContour();
    expandStepRepeat();
    openBlocks_.clear();
    updateOutput();
}

bool GerberInterpreter::ask(const std::string &question) { return prompter_.askYesNo(MessageKind::Warning, question); }

void GerberInterpreter::selectGCode(long code)
{
    auto setInterpolation = [&](Interpolation i) { interpolation_ = i; };
    switch (code) {
    case 1: setInterpolation(Interpolation::Linear); break;
    case 2: setInterpolation(Interpolation::Clockwise); break;
    case 3: setInterpolation(Interpolation::CounterClockwise); break;
    // Single-quadrant and multi-quadrant arc modes; the interpolation stays.
    case 74: format_.arcMode = ArcMode::QuarterCircle; break;
    case 75: format_.arcMode = ArcMode::FullCircle; break;
    case 36: region_ = true; break;
    case 37:
        region_ = false;
        closeContour();
        break;
    default: break;
    }
}

bool GerberInterpreter::selectDCode(std::string_view digits)
{
    if (isOperationCode(digits)) {
        // A stroke after an arc or a flash must start from its own start
        // point: draw() moves the pen there whenever it stands elsewhere.
        dMode_ = digits.back() - '0';
        return true;
    }

    std::string text(digits);
    // Leading zeros ("D010") still name D10; only the value counts.
    std::string_view value = digits;
    while (value.size() > 1 && value.front() == '0')
        value.remove_prefix(1);
    SelectedAperture next = aperture_;
    next.dcode = text;
    next.code = 0;
    next.block = false;
    tryParseInt(text, next.code);
    if (blocks_.count(next.code) != 0) {
        next.block = true;
        aperture_ = next;
        return true;
    }
    if (auto m = macroFlashes_.find(next.code); m != macroFlashes_.end()) {
        next.shape = ApertureShape::Macro;
        next.macroLine = m->second;
        aperture_ = next;
        return true;
    }
    // Rows above D999 are those of RS-274X files, kept beside the table.
    std::optional<int> rowNumber = ApertureTable::rowOf(value);
    const ApertureDef *def = rowNumber ? &table_.row(*rowNumber) : table_.extraRow(next.code);
    if (!rowNumber && def)
        rowNumber = next.code;
    if (!def || !def->isSet()) {
        if (!ask(gerbermsg::apertureNotSet(text)))
            return false;
        next.shape = ApertureShape::Round;
        next.q = next.p = next.hx = next.hy = 0;
        aperture_ = next;
        return true;
    }

    ParsedRow &parts = parsedRow(*rowNumber, *def);
    const std::optional<ApertureShape> shape = parts.code;
    bool hasDash = parts.parts.size() > 1;
    if (!shape) {
        // "？？？？？" has no sizes; any other text keeps the geometry of the
        // aperture before it.
        if (def->shape == aptmsg::Unknown)
            next.q = next.p = 0;
        aperture_ = next;
        return true;
    }
    const ApertureShape code = *shape;
    switch (code) {
    case ApertureShape::Round:
    case ApertureShape::Square:
        next.shape = code;
        next.q = sizeValue(parts, 0);
        break;
    case ApertureShape::Rectangle:
    case ApertureShape::Oblong:
    case ApertureShape::DrillHole:
    case ApertureShape::ThermalX:
    case ApertureShape::ThermalPlus: {
        next.shape = code;
        bool thermal = code == ApertureShape::ThermalX || code == ApertureShape::ThermalPlus;
        if (!hasDash) {
            if (!ask(gerbermsg::apertureSetWrongly(text)))
                return false;
            next.q = next.p = 0;
            next.gap = 0.5;
            break;
        }
        next.q = sizeValue(parts, 0);
        next.p = sizeValue(parts, 1);
        if (thermal)
            next.gap = sizeValue(parts, 2, 0.5);
        break;
    }
    case ApertureShape::RoundDonut:
    case ApertureShape::SquareDonut:
    case ApertureShape::OblongDonut:
        next.shape = code;
        if (!hasDash) {
            // Keeps the sizes of the aperture selected before, without a hole.
            next.hx = next.hy = 0;
            break;
        }
        if (code == ApertureShape::RoundDonut) {
            next.q = sizeValue(parts, 0);
            next.hx = sizeValue(parts, 1);
            next.hy = sizeValue(parts, 2);
        } else {
            next.q = sizeValue(parts, 0);
            next.p = sizeValue(parts, 1);
            next.hx = sizeValue(parts, 2);
            next.hy = sizeValue(parts, 3);
        }
        break;
    case ApertureShape::Target:
    case ApertureShape::Counterbore: next.shape = code; break;
    case ApertureShape::Macro: {
        next.shape = code;
        next.macroLine = macroLineOf(def->shape);
        if (library_.lineCount == 0 && !library_.loaded && library_.lines.empty()) {
            if (!ask(gerbermsg::apertureMacroMissing(text)))
                return false;
            next.q = next.p = 0;
            next.macroLine = 0;
        }
        break;
    }
    }
    aperture_ = next;
    return true;
}

GerberInterpreter::ParsedRow &GerberInterpreter::parsedRow(int row, const ApertureDef &def)
{
    ParsedRow &p = parsedRows_[static_cast<size_t>(row) % parsedRows_.size()];
    if (p.row == row && p.shape == def.shape && p.size == def.size)
        return p;
    p.row = 0;  // until it is whole
    p.shape = def.shape;
    p.size = def.size;
    p.code = apertureShapeOf(def.shape);
    p.parts = splitSize(def.size);
    p.known.fill(false);
    p.row = row;
    return p;
}

// A number of the size text; a text that is no number throws, as often as
// it is asked for.
double GerberInterpreter::sizeValue(ParsedRow &row, size_t i, double missing)
{
    if (i >= row.parts.size())
        return missing;
    if (i >= row.value.size())
        return parseReal(row.parts[i]);
    if (!row.known[i]) {
        row.value[i] = parseReal(row.parts[i]);
        row.known[i] = true;
    }
    return row.value[i];
}

AppendArgs GerberInterpreter::item(ItemKind kind, int role) const
{
    AppendArgs a{kind};
    a.layer = layer_;
    a.colourLayer = clear_ ? 0 : layer_;
    a.code = aperture_.code;
    a.role = role;
    a.fill = 1;
    return a;
}

void GerberInterpreter::append(AppendArgs a)
{
    if (plainOutput_)
        store(makeItem(a));
    else
        output(makeItem(a));
    switch (a.kind) {
    case ItemKind::MoveTo:
    case ItemKind::LineTo:
        mainPen_ = {a.x1, a.y1};
        mainPenKnown_ = true;
        break;
    default: break;
    }
}

// Items go to the flash being transformed, the block being defined, or the
// drawing, in that order of precedence.
void GerberInterpreter::output(const DisplayItem &item)
{
    if (flashCapture_) {
        flashCapture_->push_back(item);
    } else if (!openBlocks_.empty()) {
        // Blocks of blocks grow as fast as the drawing: they count alike.
        if (++itemsThisFile_ > itemLimit_)
            throw KorvaneError(gerbermsg::tooManyItems(itemLimit_, "%AB"));
        openBlocks_.back().second.items.push_back(item);
    } else {
        placeInImage(item);
    }
}

void GerberInterpreter::placeInImage(const DisplayItem &item)
{
    if (plainImage_) {
        store(item);
        return;
    }
    std::vector<DisplayItem> made;
    transformItem(item, image_, made);
    for (const DisplayItem &m : made)
        store(m);
}

void GerberInterpreter::store(const DisplayItem &item)
{
    if (++itemsThisFile_ > itemLimit_)
        throw KorvaneError(gerbermsg::tooManyItems(itemLimit_, construct_));
    doc_.displayList.append(item);
}

void GerberInterpreter::widenExtents(Point internal)
{
    if (!openBlocks_.empty()) {
        openBlocks_.back().second.extents.add(internal);
        return;
    }
    const Point p = plainImage_ ? internal : image_.apply(internal);
    extents_.add(p);
    if (stepRepeat_.open)
        stepRepeat_.extents.add(p);
}

void GerberInterpreter::moveTo(ItemKind kind, Point p)
{
    AppendArgs a = item(kind, RoleAuxiliary);
    a.x1 = p.x;
    a.y1 = p.y;
    append(a);
}

// Ends the region's open contour; a close without vertices draws nothing.
// Regions stand in the main sequence where the file puts them, dark or
// clear, so a dark region after a clear one is painted over it.
void GerberInterpreter::closeContour()
{
    append(item(ItemKind::PolygonClose, RoleAuxiliary));
    regionStarted_ = false;
}

void GerberInterpreter::vertex(Point p)
{
    regionStarted_ = true;
    AppendArgs a = item(ItemKind::PolygonVertex, RoleAuxiliary);
    a.x1 = p.x;
    a.y1 = p.y;
    append(a);
    widenExtents(p);
}

void GerberInterpreter::executeBlock()
{
    switch (dMode_) {
    case 2:
        previous_ = current_;
        previousCounted_ = region_;
        if (region_) {
            // A move inside a region starts another contour: the one before
            // is filled on its own, never joined to this one by an edge
            // that the file does not draw.
            if (regionStarted_)
                closeContour();
            vertex(current_);
        } else
            moveTo(ItemKind::MoveTo, current_);
        break;
    case 3:
        widenExtents(current_);
        flash();
        previous_ = current_;
        previousCounted_ = true;
        break;
    case 1:
        if (!region_) {
            // The start of a draw counts unless a move put it there.
            if (!previousCounted_)
                widenExtents(previous_);
            widenExtents(current_);
            previousCounted_ = true;
        }
        draw();
        previous_ = current_;
        break;
    default: break;
    }
}

void GerberInterpreter::flash()
{
    if (aperture_.block) {
        flashBlock();
        return;
    }
    if (apertureTransform_.linearIdentity()) {
        flashShape();
        return;
    }
    // %LM %LR %LS: the flash is made as usual, then turned about its centre.
    std::vector<DisplayItem> made;
    flashCapture_ = &made;
    plainOutput_ = false;
    try {
        flashShape();
    } catch (...) {
        flashCapture_ = nullptr;
        throw;
    }
    flashCapture_ = nullptr;
    updateOutput();
    const ItemTransform about = ItemTransform::compose(
        ItemTransform::compose(ItemTransform::translation(-current_.x, -current_.y), apertureTransform_),
        ItemTransform::translation(current_.x, current_.y));
    std::vector<DisplayItem> turned;
    for (const DisplayItem &m : made)
        transformItem(m, about, turned);
    for (const DisplayItem &t : turned)
        output(t);
    mainPenKnown_ = false;
}

// A block aperture: its items about the flash point, with the aperture
// transform; under clear polarity dark and clear change places.
void GerberInterpreter::flashBlock()
{
    const Block &block = blocks_.at(aperture_.code);
    construct_ = "%AB";
    const ItemTransform place =
        ItemTransform::compose(apertureTransform_, ItemTransform::translation(current_.x, current_.y));
    std::vector<DisplayItem> turned;
    turned.reserve(block.items.size());
    for (const DisplayItem &m : block.items)
        transformItem(m, place, turned);
    for (DisplayItem &t : turned) {
        if (clear_)
            t.colourLayer = t.colourLayer == 0 ? layer_ : 0;
        output(t);
    }
    if (block.extents.xSeen && block.extents.ySeen) {
        const LoadExtents &e = block.extents;
        for (Point corner :
             {Point{e.minX, -e.minY}, Point{e.maxX, -e.maxY}, Point{e.minX, -e.maxY}, Point{e.maxX, -e.minY}})
            widenExtents(place.apply(corner));
    }
    construct_ = "";
    mainPenKnown_ = false;
}

void GerberInterpreter::flashShape()
{
    const double x = current_.x, y = current_.y;
    const double q = aperture_.q, p = aperture_.p;
    auto box = [&](ItemKind kind, double w, double h, int role, double width, int fill) {
        AppendArgs a = item(kind, role);
        a.x1 = x - w / 2;
        a.x2 = x + w / 2;
        a.y1 = y - h / 2;
        a.y2 = y + h / 2;
        a.width = width;
        a.fill = fill;
        append(a);
    };
    auto line = [&](ItemKind move, ItemKind lineTo, Point from, Point to, double width, int fill, int role,
                    bool background) {
        AppendArgs m = item(move, RoleAuxiliary);
        m.x1 = from.x;
        m.y1 = from.y;
        m.fill = fill;
        if (background)
            m.colourLayer = 0;
        append(m);
        AppendArgs l = item(lineTo, role);
        l.x1 = to.x;
        l.y1 = to.y;
        l.width = width;
        l.fill = fill;
        if (background)
            l.colourLayer = 0;
        append(l);
    };
    auto oblongBody = [&](int role) {
        double w = std::min(q, p);
        if (q > p)
            line(ItemKind::MoveTo, ItemKind::LineTo, {x - (q / 2 - p / 2), y}, {x + (q / 2 - p / 2), y}, w, 1, role,
                 false);
        else
            line(ItemKind::MoveTo, ItemKind::LineTo, {x, y - (p / 2 - q / 2)}, {x, y + (p / 2 - q / 2)}, w, 1, role,
                 false);
    };
    auto donutHole = [&] {
        if (aperture_.hx <= 0)
            return;
        AppendArgs a = item(aperture_.hy > 0 ? ItemKind::Rectangle : ItemKind::Ellipse, RoleAuxiliary);
        double hy = aperture_.hy > 0 ? aperture_.hy : aperture_.hx;
        a.x1 = x - aperture_.hx / 2;
        a.x2 = x + aperture_.hx / 2;
        a.y1 = y - hy / 2;
        a.y2 = y + hy / 2;
        a.width = 1.0;
        a.fill = aperture_.hy > 0 ? 2 : 1;  // solid in both kinds
        a.colourLayer = 0;
        append(a);
    };

    if (!aperture_.shape)
        return;
    switch (*aperture_.shape) {
    case ApertureShape::Round: box(ItemKind::Ellipse, q, q, RoleFlash, 1.0, 1); break;
    case ApertureShape::Square: box(ItemKind::Rectangle, q, q, RoleFlash, 1.0, 1); break;
    case ApertureShape::Rectangle: box(ItemKind::Rectangle, q, p, RoleFlash, 1.0, 1); break;
    case ApertureShape::Oblong: oblongBody(RoleFlash); break;
    case ApertureShape::DrillHole:
        box(ItemKind::Ellipse, q, q, RoleFlash, 0.2, 2);
        box(ItemKind::Ellipse, p, p, RoleAuxiliary, 0.2, 2);
        break;
    case ApertureShape::Target:
        box(ItemKind::Ellipse, 3.5, 3.5, RoleFlash, 0.25, 2);
        box(ItemKind::Ellipse, 1.0, 1.0, RoleAuxiliary, 0.25, 2);
        line(ItemKind::MoveTo, ItemKind::LineTo, {x - 3.5, y}, {x + 3.5, y}, 0.25, 2, RoleAuxiliary, false);
        line(ItemKind::MoveTo, ItemKind::LineTo, {x, y - 3.5}, {x, y + 3.5}, 0.25, 2, RoleAuxiliary, false);
        break;
    case ApertureShape::Counterbore:
        box(ItemKind::Ellipse, 8.0, 8.0, RoleFlash, 0.3, 2);
        for (double d : {6.0, 3.0, 1.0})
            box(ItemKind::Ellipse, d, d, RoleAuxiliary, 0.3, 2);
        line(ItemKind::MoveTo, ItemKind::LineTo, {x - 4, y}, {x + 4, y}, 0.3, 2, RoleAuxiliary, false);
        line(ItemKind::MoveTo, ItemKind::LineTo, {x, y - 4}, {x, y + 4}, 0.3, 2, RoleAuxiliary, false);
        break;
    case ApertureShape::ThermalX:
    case ApertureShape::ThermalPlus: {
        box(ItemKind::UnderEllipse, q, q, RoleFlash, (q - p) / 2, 2);
        double g = aperture_.gap;
        if (*aperture_.shape == ApertureShape::ThermalX) {
            double f = q / 4 + 1.5 * g;
            double pull = q < 2.5 ? 0.1 : 0;
            double e = f - pull;
            line(ItemKind::UnderMoveTo, ItemKind::UnderLineTo, {x - e, y - e}, {x + e, y + e}, g, 1, RoleAuxiliary,
                 true);
            line(ItemKind::UnderMoveTo, ItemKind::UnderLineTo, {x - e, y + e}, {x + e, y - e}, g, 1, RoleAuxiliary,
                 true);
        } else {
            double e = q / 2 + 0.75 * (q - p);
            line(ItemKind::UnderMoveTo, ItemKind::UnderLineTo, {x - e, y}, {x + e, y}, g, 1, RoleAuxiliary, true);
            line(ItemKind::UnderMoveTo, ItemKind::UnderLineTo, {x, y - e}, {x, y + e}, g, 1, RoleAuxiliary, true);
        }
        break;
    }
    case ApertureShape::Macro: {
        if (aperture_.macroLine <= 0)
            break;
        MacroFlash f;
        f.nameLine = aperture_.macroLine;
        f.at = current_;
        f.layer = layer_;
        f.code = aperture_.code;
        f.clear = clear_;
        construct_ = "%AM";
        flashMacro([this](const AppendArgs &a) { output(makeItem(a)); }, library_, f);
        construct_ = "";
        mainPenKnown_ = false;
        break;
    }
    case ApertureShape::RoundDonut:
    case ApertureShape::SquareDonut:
    case ApertureShape::OblongDonut: {
        // Donut bodies take the layer colour whatever the polarity.
        bool wasClear = clear_;
        clear_ = false;
        if (*aperture_.shape == ApertureShape::RoundDonut)
            box(ItemKind::Ellipse, q, q, RoleFlash, 1.0, 1);
        else if (*aperture_.shape == ApertureShape::SquareDonut)
            box(ItemKind::Rectangle, q, p, RoleFlash, 1.0, 1);
        else
            oblongBody(RoleFlash);
        clear_ = wasClear;
        donutHole();
        break;
    }
    }
}

// ---------------------------------------------------------------- RS-274X constructs

bool GerberInterpreter::stepRepeat(long countX, long countY, double stepX, double stepY)
{
    expandStepRepeat();
    if (countX <= 1 && countY <= 1)
        return true;
    stepRepeat_.open = true;
    stepRepeat_.countX = std::max(1L, countX);
    stepRepeat_.countY = std::max(1L, countY);
    stepRepeat_.stepX = stepX;
    stepRepeat_.stepY = stepY;
    stepRepeat_.mainStart = doc_.displayList.main().size();
    stepRepeat_.underlayStart = doc_.displayList.underlay().size();
    stepRepeat_.extents = {};
    // The copies must not start a stroke from where the pen stood before.
    mainPenKnown_ = false;
    return true;
}

// The block read once is copied to every other place of the grid.
void GerberInterpreter::expandStepRepeat()
{
    if (!stepRepeat_.open)
        return;
    if (region_ && regionStarted_)
        closeContour();
    StepRepeat sr = stepRepeat_;
    stepRepeat_ = {};
    construct_ = "%SR";
    const ItemSequence &mainItems = doc_.displayList.main(), &underItems = doc_.displayList.underlay();
    const std::size_t mainEnd = mainItems.size(), underEnd = underItems.size();
    std::vector<DisplayItem> made;
    for (long j = 0; j < sr.countY; ++j)
        for (long i = 0; i < sr.countX; ++i) {
            if (i == 0 && j == 0)
                continue;
            // Every copy counts, so that copies of nothing still end.
            if (++itemsThisFile_ > itemLimit_)
                throw KorvaneError(gerbermsg::tooManyItems(itemLimit_, construct_));
            // The step in the file's frame, then through the image parameters.
            const Point origin = image_.apply({0, 0});
            const Point step = image_.apply({double(i) * sr.stepX, -double(j) * sr.stepY});
            const ItemTransform shift = ItemTransform::translation(step.x - origin.x, step.y - origin.y);
            for (const auto &[items, from, to] :
                 {std::tuple{&underItems, sr.underlayStart, underEnd}, std::tuple{&mainItems, sr.mainStart, mainEnd}})
                for (std::size_t k = from; k < to; ++k) {
                    made.clear();
                    transformItem((*items)[k], shift, made);
                    for (const DisplayItem &m : made)
                        store(m);
                }
            if (sr.extents.xSeen && sr.extents.ySeen) {
                const double dx = step.x - origin.x, dy = -(step.y - origin.y);
                extents_.addX(sr.extents.minX + dx);
                extents_.addX(sr.extents.maxX + dx);
                extents_.addY(sr.extents.minY + dy);
                extents_.addY(sr.extents.maxY + dy);
            }
        }
    construct_ = "";
    mainPenKnown_ = false;
}

bool GerberInterpreter::openBlock(long dcode)
{
    openBlocks_.push_back({dcode, Block{}});
    mainPenKnown_ = false;
    updateOutput();
    return true;
}

bool GerberInterpreter::closeBlock()
{
    if (openBlocks_.empty())
        return false;
    if (region_ && regionStarted_)
        closeContour();
    auto [dcode, block] = std::move(openBlocks_.back());
    openBlocks_.pop_back();
    blocks_[dcode] = std::move(block);
    mainPenKnown_ = false;
    updateOutput();
    return true;
}

bool GerberInterpreter::setApertureTransform(bool mirrorX, bool mirrorY, double degrees, double scale)
{
    // Mirror first, then rotate, then scale; each is set on its own.
    ItemTransform t = ItemTransform::scaling(mirrorX ? -1 : 1, mirrorY ? -1 : 1);
    t = ItemTransform::compose(t, ItemTransform::rotation(degrees));
    t = ItemTransform::compose(t, ItemTransform::scaling(scale, scale));
    apertureTransform_ = t;
    return true;
}

bool GerberInterpreter::setImage(const Image &image)
{
    // Mirror, scale and rotate about the origin, then offset (B is the
    // board's Y, upwards: the internal frame's Y runs down).
    ItemTransform t = ItemTransform::scaling(image.mirrorA ? -1 : 1, image.mirrorB ? -1 : 1);
    t = ItemTransform::compose(t, ItemTransform::scaling(image.scaleA, image.scaleB));
    t = ItemTransform::compose(t, ItemTransform::rotation(image.rotation));
    t = ItemTransform::compose(t, ItemTransform::translation(image.offsetA, -image.offsetB));
    image_ = t;
    plainImage_ = t.identity();
    updateOutput();
    return true;
}

void GerberInterpreter::draw()
{
    if (isArc(interpolation_)) {
        drawArc();
        return;
    }
    if (region_) {
        vertex(current_);
        return;
    }
    const Point from = previous_, to = current_;
    const double q = aperture_.q;
    if (aperture_.shape == ApertureShape::Square && (from.x == to.x || from.y == to.y)) {
        AppendArgs a = item(ItemKind::Rectangle, RoleDraw);
        a.x1 = std::min(from.x, to.x) - q / 2;
        a.x2 = std::max(from.x, to.x) + q / 2;
        a.y1 = std::min(from.y, to.y) - q / 2;
        a.y2 = std::max(from.y, to.y) + q / 2;
        a.width = 1.0;
        append(a);
        moveTo(ItemKind::MoveTo, to);
        return;
    }
    if (!mainPenKnown_ || mainPen_.x != from.x || mainPen_.y != from.y)
        moveTo(ItemKind::MoveTo, from);
    AppendArgs a = item(ItemKind::LineTo, RoleDraw);
    a.x1 = to.x;
    a.y1 = to.y;
    a.width = q;
    append(a);
}

void GerberInterpreter::drawArc()
{
    const bool clockwise = interpolation_ == Interpolation::Clockwise;
    const bool quarter = format_.arcMode == ArcMode::QuarterCircle;
    const Point from = previous_, to = current_;
    Point centre;
    double radius;
    if (!quarter) {
        centre = {from.x + i_, from.y - j_};
        radius = std::hypot(i_, j_);
    } else {
        double I = std::abs(i_), J = std::abs(j_);
        double dx = to.x - from.x, dy = to.y - from.y;
        if (J == 0) {
            centre = {dx >= 0 ? from.x + I : from.x - I, from.y};
        } else if (I == 0) {
            centre = {from.x, dy > 0 ? from.y + J : from.y - J};
        } else if (dx > 0 && dy > 0) {
            centre = clockwise ? Point{from.x - I, from.y + J} : Point{from.x + I, from.y - J};
        } else if (dx > 0 && dy < 0) {
            centre = clockwise ? Point{from.x + I, from.y + J} : Point{from.x - I, from.y - J};
        } else if (dx < 0 && dy > 0) {
            centre = clockwise ? Point{from.x - I, from.y - J} : Point{from.x + I, from.y + J};
        } else {
            centre = clockwise ? Point{from.x + I, from.y - J} : Point{from.x - I, from.y + J};
        }
        radius = std::hypot(I, J);
    }
    i_ = j_ = 0;

    bool noSweep = from.x == to.x && from.y == to.y;
    if (region_) {
        // Arcs of a region become vertices along the arc, so the outline
        // follows the true curve whatever its size.
        if (!(quarter && noSweep))
            flattenArcIntoRegion(centre, radius, clockwise, !quarter);
        return;
    }
    if (quarter && noSweep) {
        // A quarter-circle arc that ends where it starts sweeps nothing.
        moveTo(ItemKind::MoveTo, to);
        return;
    }
    AppendArgs a = item(clockwise ? ItemKind::ArcCw : ItemKind::ArcCcw, RoleDraw);
    a.x1 = centre.x - radius;
    a.x2 = centre.x + radius;
    a.y1 = centre.y - radius;
    a.y2 = centre.y + radius;
    a.arcStart = from;
    a.arcEnd = to;
    a.width = aperture_.q;
    append(a);
    moveTo(ItemKind::MoveTo, to);
}

void GerberInterpreter::flattenArcIntoRegion(Point centre, double radius, bool clockwise, bool fullCircle)
{
    const Point from = previous_, to = current_;
    // Angles in the board frame (Y up), where clockwise means what the file says.
    double a0 = std::atan2(-(from.y - centre.y), from.x - centre.x);
    double a1 = std::atan2(-(to.y - centre.y), to.x - centre.x);
    double sweep = a1 - a0;
    const double twoPi = 2 * std::numbers::pi;
    if (clockwise) {
        while (sweep >= 0)
            sweep -= twoPi;
        if (sweep <= -twoPi)
            sweep += twoPi;
    } else {
        while (sweep <= 0)
            sweep += twoPi;
        if (sweep >= twoPi)
            sweep -= twoPi;
    }
    if (from.x == to.x && from.y == to.y)
        sweep = fullCircle ? (clockwise ? -twoPi : twoPi) : 0;
    if (!fullCircle && std::abs(sweep) > std::numbers::pi / 2 + 1e-9) {
        // A quarter-circle arc never sweeps more than 90 degrees.
        sweep = clockwise ? sweep + twoPi : sweep - twoPi;
        if (std::abs(sweep) > std::numbers::pi / 2 + 1e-9)
            sweep = 0;
    }
    int segments = 1;
    if (radius > RegionArcTolerance) {
        double step = 2 * std::acos(1 - RegionArcTolerance / radius);
        if (std::isfinite(step) && step > 0)
            segments = static_cast<int>(std::clamp(std::ceil(std::abs(sweep) / step), 1.0, double(MaxArcSegments)));
    }
    for (int k = 1; k < segments; ++k) {
        double a = a0 + sweep * k / segments;
        vertex({centre.x + radius * std::cos(a), centre.y - radius * std::sin(a)});
    }
    vertex(to);
}

}  // namespace korvane
