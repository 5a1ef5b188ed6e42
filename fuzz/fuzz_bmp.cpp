// libFuzzer target: arbitrary bytes as a bitmap file to load as the picture.
#include "core/Errors.h"
#include "view/BmpImage.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    try {
        // A small limit keeps each run quick; the decoder checks it before
        // it allocates.
        korvane::PixelImage image =
            korvane::decodeBmp(std::string_view(reinterpret_cast<const char *>(data), size), 1 << 20);
        if (image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height))
            std::abort();
        // What loads must save again and read back the same.
        korvane::PixelImage again = korvane::decodeBmp(korvane::encodeBmp8(image));
        if (again.width != image.width || again.height != image.height)
            std::abort();
    } catch (const korvane::KorvaneError &) {
    }
    return 0;
}
