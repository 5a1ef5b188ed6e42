#include "view/ViewControl.h"

#include "core/Numbers.h"
#include "view/LayerPainting.h"
#include "view/ViewTexts.h"

#include <algorithm>
#include <new>

namespace korvane {

PictureHost::~PictureHost() = default;

void PictureHost::paintRaster(DrawingSurface &raster, const DisplayList &list, const LayerLook &look, RegionFill fill,
                              const PixelMapping &mapping)
{
    paintLayers(raster, list, look, fill, mapping);
}

ViewController::ViewController(Document &document, Prompter &prompter, PictureHost &host)
    : doc_(document), prompter_(prompter), host_(host)
{
    // Limits in force even before a load sets them, so that a zoom is never
    // refused against a limit of 0.
    setZoomLimits({});
}

void ViewController::readScreenMetrics()
{
    t_.mmPerPixelX = host_.screenMmPerPixelX();
    t_.mmPerPixelY = host_.screenMmPerPixelY();
}

void ViewController::ensureScreenMetrics()
{
    if (!(t_.mmPerPixelX > 0) || !(t_.mmPerPixelY > 0))
        readScreenMetrics();
}

void ViewController::setZoomLimits(std::string_view platformName)
{
    const ZoomLimits limits = zoomLimitsFor(platformName);
    t_.maxImageWidth = limits.width;
    t_.maxImageHeight = limits.height;
}

void ViewController::computeFitScale(int width, int height)
{
    box_ = fitBoxOf(doc_);
    fitArea_ = {width, height};
    t_.fitScale = fitScaleFor(box_.extentX, box_.extentY, width, height);
}

// The box follows the document: the extents as they stand, or, for a
// drawing that spans (almost) nothing, its items as they stand, which a
// drill load appends after it computed the fit scale. The scale is then
// computed again for the area it was last computed for.
void ViewController::refreshFitBox()
{
    const FitBox box = fitBoxOf(doc_);
    if (box == box_)
        return;
    box_ = box;
    if (fitMayNeedItems(doc_) && fitArea_)
        t_.fitScale = fitScaleFor(box_.extentX, box_.extentY, fitArea_->width, fitArea_->height);
}

void ViewController::returnToBaseSize()
{
    host_.clearPicture();
    if (t_.baseWidth > 0 && t_.baseHeight > 0)
        host_.setPictureSize(t_.baseWidth, t_.baseHeight);
}

void ViewController::takeBaseSize()
{
    t_.baseWidth = host_.pictureWidth();
    t_.baseHeight = host_.pictureHeight();
}

void ViewController::fitLoadedDrawing(std::string_view platformName)
{
    setZoomLimits(platformName);
    readScreenMetrics();
    if (t_.baseWidth > 0 && t_.baseHeight > 0)
        returnToBaseSize();  // a zoomed area never becomes the base
    takeBaseSize();
    t_.areaWidth = truncToInt(t_.baseWidth * t_.mmPerPixelX) - 30;
    t_.areaHeight = truncToInt(t_.baseHeight * t_.mmPerPixelY) - 30;
    computeFitScale(t_.areaWidth, t_.areaHeight);
    fitAndRedraw();
}

void ViewController::clearAll()
{
    returnToBaseSize();
    t_.scale = t_.fitScale = t_.zoomX = t_.zoomY = 0;
    box_ = {};
    fitArea_.reset();
    t_.baseWidth = t_.baseHeight = t_.areaWidth = t_.areaHeight = 0;
}

// Null when the raster cannot be made or painting runs out of memory.
std::unique_ptr<DrawingSurface> ViewController::paintRaster(int width, int height)
{
    try {
        std::unique_ptr<DrawingSurface> raster = host_.createRaster(width, height);
        if (!raster)
            return nullptr;
        host_.paintRaster(*raster, doc_.displayList, LayerLook::from(doc_.layers), regionFill_, t_.mapping());
        return raster;
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

bool ViewController::redraw()
{
    ensureScreenMetrics();
    const int w = host_.pictureWidth(), h = host_.pictureHeight();
    if (w <= 0 || h <= 0)
        return true;  // an area not laid out yet has nothing to show
    std::unique_ptr<DrawingSurface> raster = paintRaster(w, h);
    if (!raster) {
        prompter_.warning(msg::DrawOutOfMemory);
        return false;
    }
    host_.showRaster(std::move(raster));
    return true;
}

bool ViewController::fitAndRedraw()
{
    if (t_.zoomX == 1.0f)
        return true;
    ensureScreenMetrics();
    if (t_.baseWidth <= 0 || t_.baseHeight <= 0)
        takeBaseSize();
    if (t_.baseWidth <= 0 || t_.baseHeight <= 0)
        return true;
    refreshFitBox();
    const ViewTransform before = t_;
    const double mx = t_.mmPerPixelX, my = t_.mmPerPixelY;
    const double fit = t_.fitScale;
    t_.areaWidth = truncToInt(t_.baseWidth * mx) - 30;
    t_.areaHeight = truncToInt(t_.baseHeight * my) - 3 * truncToInt(statusBarHeight_ * my) - 30;
    t_.offsetX = roundToInt((box_.minX * fit - (t_.areaWidth - box_.extentX * fit) / 2) / mx);
    t_.offsetY = roundToInt(((t_.areaHeight - box_.extentY * fit) / 2 - box_.minY * fit) / my);
    t_.scale = t_.fitScale;
    std::unique_ptr<DrawingSurface> raster = paintRaster(t_.baseWidth, t_.baseHeight);
    if (!raster) {
        t_ = before;
        prompter_.warning(msg::DrawOutOfMemory);
        return false;
    }
    host_.clearPicture();
    host_.setPictureSize(t_.baseWidth, t_.baseHeight);
    host_.showRaster(std::move(raster));
    return true;
}

void ViewController::fitAll()
{
    if (doc_.hasData)
        fitAndRedraw();
}

void ViewController::redrawView()
{
    if (doc_.hasData)
        redraw();
}

// zoomX and zoomY for the present scale and an area of width x height pixels.
void ViewController::computeZoomFactors(int width, int height)
{
    t_.zoomX = static_cast<float>((box_.extentX * t_.scale + 60) / (width * t_.mmPerPixelX) + 0.1);
    t_.zoomY = static_cast<float>((box_.extentY * t_.scale + 60) / (height * t_.mmPerPixelY) + 0.1);
}

// Usable area and offsets for a zoomed area of width x height pixels; the
// drawing is centred with a 20 mm shift to the right.
void ViewController::placeForZoom(int width, int height)
{
    const double mx = t_.mmPerPixelX, my = t_.mmPerPixelY;
    const double s = t_.scale;
    t_.areaWidth = truncToInt(width * mx) - 30;
    t_.areaHeight = truncToInt(height * my) - 30;
    t_.offsetX = roundToInt((s * box_.minX - ((t_.areaWidth - box_.extentX * s) / 2 + 20)) / mx);
    t_.offsetY = roundToInt(((t_.areaHeight - box_.extentY * s) / 2 - s * box_.minY) / my);
}

// Paints the zoomed picture before anything of the old one is given up, so
// that a raster too large for the memory leaves the view as it was.
bool ViewController::finishZoom(const ViewTransform &before, int width, int height, const ZoomAnchor *anchor)
{
    placeForZoom(width, height);
    anchoredScroll_ = {};
    if (anchor)
        keepAnchor(*anchor, width, height);
    std::unique_ptr<DrawingSurface> raster = paintRaster(width, height);
    if (!raster) {
        t_ = before;
        prompter_.warning(msg::ZoomOutOfMemory);
        return false;
    }
    host_.clearPicture();
    host_.setPictureSize(width, height);
    host_.showRaster(std::move(raster));
    return true;
}

// Along one axis: the scroll position that shows `pixel` at `at` of `seen`
// pixels. Where the picture ends too soon the picture grows on that side
// (up to `limit`), and `offset` moves the drawing along when it grows in
// front.
static int anchoredAxis(int pixel, int at, int seen, int &size, std::int32_t &offset, float limit)
{
    const int room = std::max(0, static_cast<int>(limit) - 1 - size);
    int scroll = pixel - at;
    if (scroll < 0) {
        const int grow = std::min(-scroll, room);
        size += grow;
        offset -= grow;
        scroll = std::max(0, scroll + grow);
    } else if (scroll > std::max(0, size - seen)) {
        size += std::min(scroll - (size - seen), room);
        scroll = std::min(scroll, std::max(0, size - seen));
    }
    return scroll;
}

void ViewController::keepAnchor(const ZoomAnchor &anchor, int &width, int &height)
{
    const PixelPoint p = t_.mapping().point(anchor.x, anchor.storedY);
    anchoredScroll_.x = anchoredAxis(p.x, anchor.atX, anchor.seenWidth, width, t_.offsetX, t_.maxImageWidth);
    anchoredScroll_.y = anchoredAxis(p.y, anchor.atY, anchor.seenHeight, height, t_.offsetY, t_.maxImageHeight);
}

void ViewController::zoomIn(const ZoomAnchor *anchor)
{
    if (!doc_.hasData)
        return;
    ensureScreenMetrics();
    refreshFitBox();
    const ViewTransform before = t_;
    const int w = host_.pictureWidth(), h = host_.pictureHeight();
    t_.scale = static_cast<float>(t_.scale + 0.5);
    computeZoomFactors(w, h);
    if (roundToInt64(w * double(t_.zoomX)) >= t_.maxImageWidth ||
        roundToInt64(h * double(t_.zoomY)) >= t_.maxImageHeight) {
        prompter_.warning(msg::ZoomInLimit);
        t_.scale = before.scale;  // the refused factors stay, as before
        return;
    }
    const int newW = t_.baseWidth > t_.baseWidth * double(t_.zoomX) ? t_.baseWidth : roundToInt(t_.zoomX * double(w));
    const int newH =
        t_.baseHeight > t_.baseHeight * double(t_.zoomY) ? t_.baseHeight : roundToInt(t_.zoomY * double(h));
    finishZoom(before, newW, newH, anchor);
}

void ViewController::zoomOut(const ZoomAnchor *anchor)
{
    if (!doc_.hasData)
        return;
    if (t_.scale - 0.5 <= 0.1) {
        prompter_.warning(msg::ZoomOutLimit);
        return;
    }
    ensureScreenMetrics();
    refreshFitBox();
    const ViewTransform before = t_;
    const int w = host_.pictureWidth(), h = host_.pictureHeight();
    t_.scale = static_cast<float>(t_.scale - 0.5);
    computeZoomFactors(w, h);
    const bool backX = t_.baseWidth > t_.baseWidth * double(t_.zoomX) &&
                       box_.extentX * t_.scale + 60 < roundToInt64(t_.baseWidth * t_.mmPerPixelX);
    const bool backY = t_.baseHeight > t_.baseHeight * double(t_.zoomY) &&
                       box_.extentY * t_.scale + 60 < roundToInt64(t_.baseHeight * t_.mmPerPixelY);
    const int newW = backX ? t_.baseWidth : roundToInt(w * double(t_.zoomX));
    const int newH = backY ? t_.baseHeight : roundToInt(h * double(t_.zoomY));
    finishZoom(before, newW, newH, anchor);
}

}  // namespace korvane
