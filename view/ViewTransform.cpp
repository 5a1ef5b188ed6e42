#include "view/ViewTransform.h"

#include <cmath>

namespace korvane {

PixelMapping ViewTransform::mapping() const
{
    PixelMapping m;
    m.scale = scale;
    m.shiftX = 0;
    m.shiftY = double(areaHeight) + 20;
    m.mmPerPixelX = mmPerPixelX;
    m.mmPerPixelY = mmPerPixelY;
    m.offsetX = offsetX;
    m.offsetY = offsetY;
    return m;
}

ZoomLimits zoomLimitsFor(std::string_view platformName)
{
    if (platformName == "WindowsNT")
        return {8000, 7600};
    if (platformName == "Win32s" || platformName == "Windows9x")
        return {7000, 6600};
    return LinuxZoomLimits;
}

float fitScaleFor(double extentX, double extentY, double width, double height)
{
    const bool hasX = extentX > 0, hasY = extentY > 0;
    double s = 1.0;
    if (hasX && hasY) {
        if (extentX >= extentY) {
            s = (height - 30) / extentY;
            if (width - 30 < extentX * s)
                s = (width - 30) / extentX;
        } else {
            s = (width - 30) / extentX;
            if (height - 30 < extentY * s)
                s = (height - 30) / extentY;
        }
    } else if (hasX) {
        s = (width - 30) / extentX;
    } else if (hasY) {
        s = (height - 30) / extentY;
    }
    const float result = static_cast<float>(s);
    if (!(result > 0) || !std::isfinite(result))
        return 1.0f;
    return result;
}

double mmPerPixelFrom(double physicalMm, int pixels, double logicalDotsPerInch)
{
    if (physicalMm > 0 && pixels > 0) {
        const double mmPerPixel = physicalMm / pixels;
        const double dpi = 25.4 / mmPerPixel;
        if (dpi >= 48 && dpi <= 600)
            return mmPerPixel;
    }
    if (logicalDotsPerInch > 0 && std::isfinite(logicalDotsPerInch))
        return 25.4 / logicalDotsPerInch;
    return 25.4 / 96;
}

}  // namespace korvane
