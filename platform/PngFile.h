#pragma once
// A PNG of a finished picture, written for speed: a picture of a few
// colours (every CAM picture) as an 8-bit palette, rows unfiltered and
// deflated at zlib level 1.
#include <QByteArray>
#include <QImage>

namespace korvane {

// The file's bytes; they decode to the picture's pixels exactly. Empty for
// a null image.
QByteArray pngBytes(const QImage &picture);

}  // namespace korvane
