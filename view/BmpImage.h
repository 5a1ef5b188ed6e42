#pragma once
// Windows bitmap files of the picture: written as 8 bits per pixel with a
// colour palette, declaring 600 dots per inch; read from the uncompressed
// and run-length encoded forms an image editor writes.
#include "core/Colour.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// A picture as rows of colours, top row first.
struct PixelImage {
    int width = 0;
    int height = 0;
    std::vector<Colour> pixels;  // width * height
    Colour at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Trunc(600 / 0.0254059): pixels per metre of 600 dots per inch.
inline constexpr std::int32_t BmpPixelsPerMetre = 23616;

// The bitmap file of `image` at 8 bits per pixel: its own colours when it
// has at most 256 of them, otherwise the nearest of a 256-colour palette.
std::string encodeBmp8(const PixelImage &image);

// Writes the 8-bit bitmap file in one atomic write; throws KorvaneError.
void saveBmp8(const std::string &path, const PixelImage &image);

// Decodes a bitmap file (1, 4, 8, 16, 24 or 32 bits per pixel, RLE4 and
// RLE8, bottom-up or top-down). Throws KorvaneError(BmpNotABitmap) on
// anything else, and on pictures larger than `maxPixels`.
PixelImage decodeBmp(std::string_view bytes, std::int64_t maxPixels = 64LL * 1024 * 1024);

inline constexpr const char *BmpNotABitmap = "ビットマップファイルではありません";

}  // namespace korvane
