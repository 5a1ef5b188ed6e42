#pragma once
// The view commands: fit, redraw, zoom in and out, and what the loads need
// of the ViewTransform. The drawing area itself is reached through the
// PictureHost port.
#include "core/Document.h"
#include "core/Ports.h"
#include "view/DrawingSurface.h"
#include "view/FitBox.h"
#include "view/Renderer.h"
#include "view/ViewTransform.h"

#include <memory>
#include <optional>
#include <string_view>

namespace korvane {

// The drawing area as the view sees it: a picture of some size in pixels.
class PictureHost {
public:
    virtual ~PictureHost();
    virtual int pictureWidth() const = 0;
    virtual int pictureHeight() const = 0;
    virtual void setPictureSize(int width, int height) = 0;
    virtual void clearPicture() = 0;
    // A new white raster, or null when there is not enough memory for it.
    virtual std::unique_ptr<DrawingSurface> createRaster(int width, int height) = 0;
    // Paints the list over the new raster in one pass; a batch host may
    // paint it in pieces on threads of its own, to the same pixels.
    virtual void paintRaster(DrawingSurface &raster, const DisplayList &list, const LayerLook &look, RegionFill fill,
                             const PixelMapping &mapping);
    // A finished raster becomes the picture.
    virtual void showRaster(std::unique_ptr<DrawingSurface> raster) = 0;
    // Screen millimetres per pixel of the device the area is shown on.
    virtual double screenMmPerPixelX() const = 0;
    virtual double screenMmPerPixelY() const = 0;
};

// A point a zoom keeps in place: the board point (x, stored y) that was
// seen at (atX, atY) of a visible part of seenWidth x seenHeight pixels.
struct ZoomAnchor {
    double x = 0, storedY = 0;
    int atX = 0, atY = 0;
    int seenWidth = 0, seenHeight = 0;
};

class ViewController {
public:
    ViewController(Document &document, Prompter &prompter, PictureHost &host);

    ViewTransform &transform() { return t_; }
    const ViewTransform &transform() const { return t_; }

    void setRegionFill(RegionFill fill) { regionFill_ = fill; }
    RegionFill regionFill() const { return regionFill_; }
    // The main window's status bar height in pixels; the fit leaves three of
    // them free at the bottom.
    void setStatusBarHeight(int pixels) { statusBarHeight_ = pixels; }
    int statusBarHeight() const { return statusBarHeight_; }

    // For the loads.
    void readScreenMetrics();
    void setZoomLimits(std::string_view platformName);
    // fitScale for a usable width and height in screen mm, fitting fitBox().
    void computeFitScale(int width, int height);
    // What fit and zoom centre on and scale to (see fitBoxOf).
    const FitBox &fitBox() const { return box_; }
    // Clears the picture and gives the area its base size again.
    void returnToBaseSize();
    // The area's present size becomes the base size.
    void takeBaseSize();
    // The end of a load that replaced the drawing, the workspace load's way:
    // screen metrics and zoom limits read, the area back to the base size
    // of the drawing before (if any), that size becomes the base size,
    // fitScale for it, then fitAndRedraw. The caller has set the extents and
    // hasData.
    void fitLoadedDrawing(std::string_view platformName);
    // Clear-all: picture cleared, area back to its base size, scales and
    // sizes zero.
    void clearAll();

    // Draws at the present transform on a raster of the area's size. False,
    // after a warning, when the raster could not be made; the picture is
    // then unchanged.
    bool redraw();
    // Fits the extents into the base size and draws; does nothing when
    // zoomX is exactly 1.0. False, after a warning, when out of memory; the
    // view is then unchanged.
    bool fitAndRedraw();

    // The menu commands; each does nothing while there is no drawing.
    void fitAll();
    void redrawView();
    // With an anchor, the zoomed picture is made a little larger where it
    // must be (within the zoom limits) so that the anchor can be shown where
    // it was; anchoredScroll() then says from where to show the picture.
    void zoomIn(const ZoomAnchor *anchor = nullptr);
    void zoomOut(const ZoomAnchor *anchor = nullptr);
    PixelPoint anchoredScroll() const { return anchoredScroll_; }

private:
    std::unique_ptr<DrawingSurface> paintRaster(int width, int height);
    void computeZoomFactors(int width, int height);
    void placeForZoom(int width, int height);
    bool finishZoom(const ViewTransform &before, int width, int height, const ZoomAnchor *anchor);
    void keepAnchor(const ZoomAnchor &anchor, int &width, int &height);
    void ensureScreenMetrics();
    void refreshFitBox();

    struct FitArea {
        int width = 0, height = 0;
    };

    Document &doc_;
    Prompter &prompter_;
    PictureHost &host_;
    ViewTransform t_;
    RegionFill regionFill_ = RegionFill::Solid;
    int statusBarHeight_ = 19;
    PixelPoint anchoredScroll_;
    FitBox box_;
    // The usable area the fit scale was last computed for.
    std::optional<FitArea> fitArea_;
};

}  // namespace korvane
