#pragma once
// The picture between QImage and the plain pixel image of the bitmap files.
#include "view/BmpImage.h"

#include <QImage>

namespace korvane {

PixelImage pixelImageOf(const QImage &image);
QImage qImageOf(const PixelImage &image);

} // namespace korvane
