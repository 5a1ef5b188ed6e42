#pragma once
// The numbers that map board millimetres onto the drawing area's pixels.
#include "view/Renderer.h"

#include <cstdint>
#include <string_view>

namespace korvane {

struct ViewTransform {
    float scale = 0;     // screen mm per board mm
    float fitScale = 0;  // the scale at which the extents fit
    float zoomX = 0, zoomY = 0;
    std::int32_t offsetX = 0, offsetY = 0;
    double mmPerPixelX = 0, mmPerPixelY = 0;
    std::int32_t areaWidth = 0, areaHeight = 0;  // usable area in screen mm
    std::int32_t baseWidth = 0, baseHeight = 0;  // drawing area in pixels at the last load
    float maxImageWidth = 0, maxImageHeight = 0;

    // The renderer's mapping for this transform.
    PixelMapping mapping() const;
};

struct ZoomLimits {
    float width = 0;
    float height = 0;
};

// The largest drawing area zoom in may make, in pixels. "WindowsNT" allows
// 8000 x 7600, "Win32s" and "Windows9x" 7000 x 6600. Any other platform
// (Linux reports none of the three names) gets LinuxZoomLimits: a 64-bit
// system with virtual memory is at least as able as NT, and at 8000 x 7600 a
// 16-bit raster is 116 MiB, which the drawing area holds once.
inline constexpr ZoomLimits LinuxZoomLimits{8000, 7600};
ZoomLimits zoomLimitsFor(std::string_view platformName);

// The scale at which extents fit a usable area of width x height screen mm,
// 30 mm left free. An axis without extent does not limit the scale; with no
// extent at all (one drill hit) the drawing is shown at true size (1.0), as
// it is when the area is too small to fit anything.
float fitScaleFor(double extentX, double extentY, double width, double height);

// Screen mm per pixel from the screen's physical size; falls back to the
// logical resolution when the physical size is missing or implausible
// (virtual displays report 0 or made-up sizes).
double mmPerPixelFrom(double physicalMm, int pixels, double logicalDotsPerInch);

}  // namespace korvane
