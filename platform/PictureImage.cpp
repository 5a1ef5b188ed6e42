#include "platform/PictureImage.h"
#include "platform/QtColour.h"
#include "platform/RasterSurface.h"

namespace korvane {

Colour ImageSurface::getPixel(int x, int y) const
{
    if (!image_.valid(x, y))
        return colours::White;
    return fromQColor(image_.pixelColor(x, y));
}

QImage pictureOf(const DrawingSurface &surface)
{
    if (auto *image = dynamic_cast<const ImageSurface *>(&surface))
        return image->image();
    if (auto *raster = dynamic_cast<const RasterSurface *>(&surface))
        return raster->image();
    return {};
}

PixelImage pixelImageOf(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    PixelImage out;
    out.width = rgb.width();
    out.height = rgb.height();
    out.pixels.reserve(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height));
    for (int y = 0; y < out.height; ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < out.width; ++x)
            out.pixels.push_back(korvane::rgb(static_cast<std::uint8_t>(qRed(line[x])),
                                              static_cast<std::uint8_t>(qGreen(line[x])),
                                              static_cast<std::uint8_t>(qBlue(line[x]))));
    }
    return out;
}

QImage qImageOf(const PixelImage &image)
{
    QImage out(image.width, image.height, QImage::Format_RGB32);
    if (out.isNull())
        return out;
    for (int y = 0; y < image.height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < image.width; ++x) {
            const Colour c = image.at(x, y);
            line[x] = qRgb(redOf(c), greenOf(c), blueOf(c));
        }
    }
    return out;
}

}  // namespace korvane
