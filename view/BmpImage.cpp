#include "view/BmpImage.h"
#include "core/Errors.h"
#include "core/TextFile.h"

#include <algorithm>
#include <array>
#include <unordered_map>

namespace korvane {
namespace {

constexpr int FileHeaderSize = 14;
constexpr int InfoHeaderSize = 40;

void put16(std::string &out, std::size_t at, std::uint16_t v)
{
    out[at] = static_cast<char>(v & 0xFF);
    out[at + 1] = static_cast<char>(v >> 8);
}
void put32(std::string &out, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// 8 levels of red and green, 4 of blue.
std::uint8_t fixedIndex(Colour c)
{
    return static_cast<std::uint8_t>((redOf(c) >> 5) << 5 | (greenOf(c) >> 5) << 2 | blueOf(c) >> 6);
}
Colour fixedColour(int i)
{
    auto scale = [](int v, int levels) { return static_cast<std::uint8_t>(v * 255 / (levels - 1)); };
    return rgb(scale((i >> 5) & 7, 8), scale((i >> 2) & 7, 8), scale(i & 3, 4));
}

[[noreturn]] void refuse() { throw KorvaneError(BmpNotABitmap); }

class Reader {
public:
    explicit Reader(std::string_view b) : b_(b) {}
    std::uint32_t u32(std::size_t at) const
    {
        need(at, 4);
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = v << 8 | static_cast<std::uint8_t>(b_[at + static_cast<std::size_t>(i)]);
        return v;
    }
    std::uint16_t u16(std::size_t at) const
    {
        need(at, 2);
        return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b_[at]) | static_cast<std::uint8_t>(b_[at + 1])
                                                                                  << 8);
    }
    std::uint8_t u8(std::size_t at) const
    {
        need(at, 1);
        return static_cast<std::uint8_t>(b_[at]);
    }
    void need(std::size_t at, std::size_t n) const
    {
        if (at > b_.size() || n > b_.size() - at)
            refuse();
    }
    std::size_t size() const { return b_.size(); }

private:
    std::string_view b_;
};

// One channel of a bit-field pixel, widened to 8 bits.
std::uint8_t channel(std::uint32_t pixel, std::uint32_t mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (!(mask & 1u)) {
        mask >>= 1;
        ++shift;
    }
    int bits = 0;
    while (bits < 32 && (mask >> bits) & 1u)
        ++bits;
    const std::uint64_t top = (std::uint64_t(1) << bits) - 1;
    const std::uint64_t v = (std::uint64_t(pixel) >> shift) & top;
    if (bits >= 8)
        return static_cast<std::uint8_t>(v >> (bits - 8));
    return static_cast<std::uint8_t>(v * 255 / top);
}

}  // namespace

std::string encodeBmp8(const PixelImage &image)
{
    const int w = std::max(image.width, 0), h = std::max(image.height, 0);
    // Its own colours when they fit, in order of appearance.
    std::vector<Colour> palette;
    std::unordered_map<Colour, std::uint8_t> index;
    bool own = true;
    for (Colour c : image.pixels) {
        c &= 0xFFFFFF;
        if (index.count(c))
            continue;
        if (palette.size() == 256) {
            own = false;
            break;
        }
        index.emplace(c, static_cast<std::uint8_t>(palette.size()));
        palette.push_back(c);
    }
    if (!own) {
        palette.clear();
        for (int i = 0; i < 256; ++i)
            palette.push_back(fixedColour(i));
    }
    palette.resize(256, 0);

    const std::size_t stride = (static_cast<std::size_t>(w) + 3) & ~std::size_t(3);
    const std::size_t bitsAt = FileHeaderSize + InfoHeaderSize + 256 * 4;
    std::string out(bitsAt + stride * static_cast<std::size_t>(h), '\0');
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, static_cast<std::uint32_t>(out.size()));
    put32(out, 10, static_cast<std::uint32_t>(bitsAt));
    put32(out, 14, InfoHeaderSize);
    put32(out, 18, static_cast<std::uint32_t>(w));
    put32(out, 22, static_cast<std::uint32_t>(h));  // bottom-up
    put16(out, 26, 1);
    put16(out, 28, 8);
    put32(out, 30, 0);  // no compression
    put32(out, 34, static_cast<std::uint32_t>(stride * static_cast<std::size_t>(h)));
    put32(out, 38, BmpPixelsPerMetre);
    put32(out, 42, BmpPixelsPerMetre);
    put32(out, 46, 256);
    put32(out, 50, 0);
    for (std::size_t i = 0; i < 256; ++i) {
        const Colour c = palette[i];
        const std::size_t at = FileHeaderSize + InfoHeaderSize + 4 * i;
        out[at] = static_cast<char>(blueOf(c));
        out[at + 1] = static_cast<char>(greenOf(c));
        out[at + 2] = static_cast<char>(redOf(c));
    }
    for (int y = 0; y < h; ++y) {
        const std::size_t row = bitsAt + static_cast<std::size_t>(h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) {
            const Colour c = image.at(x, y) & 0xFFFFFF;
            out[row + static_cast<std::size_t>(x)] = static_cast<char>(own ? index[c] : fixedIndex(c));
        }
    }
    return out;
}

void saveBmp8(const std::string &path, const PixelImage &image) { writeFileAtomic(path, encodeBmp8(image)); }

PixelImage decodeBmp(std::string_view bytes, std::int64_t maxPixels)
{
    const Reader r(bytes);
    if (r.size() < FileHeaderSize + 12 || bytes[0] != 'B' || bytes[1] != 'M')
        refuse();
    const std::uint32_t bitsAt = r.u32(10);
    const std::uint32_t headerSize = r.u32(14);
    std::int64_t width, height;
    int bpp;
    std::uint32_t compression = 0, colourCount = 0;
    std::size_t paletteEntry = 4;
    if (headerSize == 12) {  // OS/2 core header
        width = r.u16(18);
        height = static_cast<std::int16_t>(r.u16(20));
        bpp = r.u16(24);
        paletteEntry = 3;
    } else if (headerSize >= 40 && headerSize <= 1024) {
        width = static_cast<std::int32_t>(r.u32(18));
        height = static_cast<std::int32_t>(r.u32(22));
        bpp = r.u16(28);
        compression = r.u32(30);
        colourCount = r.u32(46);
    } else {
        refuse();
    }
    const bool topDown = height < 0;
    if (topDown)
        height = -height;
    if (width <= 0 || height <= 0 || width * height > maxPixels)
        refuse();

    std::array<std::uint32_t, 3> masks{0xFF0000, 0x00FF00, 0x0000FF};
    if (bpp == 16)
        masks = {0x7C00, 0x03E0, 0x001F};
    if (compression == 3) {  // bit fields
        if (bpp != 16 && bpp != 32)
            refuse();
        const std::size_t at = FileHeaderSize + 40;  // the masks follow the first 40 bytes
        masks = {r.u32(at), r.u32(at + 4), r.u32(at + 8)};
    } else if (compression == 1) {
        if (bpp != 8)
            refuse();
    } else if (compression == 2) {
        if (bpp != 4)
            refuse();
    } else if (compression != 0) {
        refuse();
    }

    std::vector<Colour> palette;
    if (bpp <= 8) {
        if (bpp != 1 && bpp != 4 && bpp != 8)
            refuse();
        const std::uint32_t most = 1u << bpp;
        const std::uint32_t n = colourCount == 0 || colourCount > most ? most : colourCount;
        const std::size_t at = FileHeaderSize + headerSize + (compression == 3 ? 12 : 0);
        for (std::uint32_t i = 0; i < n; ++i) {
            const std::size_t e = at + i * paletteEntry;
            palette.push_back(rgb(r.u8(e + 2), r.u8(e + 1), r.u8(e)));
        }
        palette.resize(most, 0);
    } else if (bpp != 16 && bpp != 24 && bpp != 32) {
        refuse();
    }

    PixelImage img;
    img.width = static_cast<int>(width);
    img.height = static_cast<int>(height);
    img.pixels.assign(static_cast<std::size_t>(width * height), colours::White);
    auto rowOf = [&](std::int64_t fileRow) { return topDown ? fileRow : height - 1 - fileRow; };

    if (compression == 1 || compression == 2) {
        // Run-length encoded: pixels left out stay white.
        std::size_t at = bitsAt;
        std::int64_t x = 0, y = 0;
        auto set = [&](std::uint8_t i) {
            if (x < width && y < height)
                img.pixels[static_cast<std::size_t>(rowOf(y) * width + x)] = palette[i % palette.size()];
            ++x;
        };
        const bool four = compression == 2;
        while (at + 1 < r.size() && y < height) {
            const std::uint8_t n = r.u8(at), v = r.u8(at + 1);
            at += 2;
            if (n > 0) {
                for (int k = 0; k < n; ++k)
                    set(four ? (k % 2 == 0 ? v >> 4 : v & 15) : v);
                continue;
            }
            if (v == 0) {
                x = 0;
                ++y;
            } else if (v == 1) {
                break;
            } else if (v == 2) {
                x += r.u8(at);
                y += r.u8(at + 1);
                at += 2;
            } else {
                const std::size_t len = four ? (v + 1u) / 2 : v;
                r.need(at, len);
                for (int k = 0; k < v; ++k) {
                    const std::uint8_t b =
                        r.u8(at + (four ? static_cast<std::size_t>(k / 2) : static_cast<std::size_t>(k)));
                    set(four ? (k % 2 == 0 ? b >> 4 : b & 15) : b);
                }
                at += (len + 1) & ~std::size_t(1);
            }
        }
        return img;
    }

    const std::size_t stride = ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bpp) + 31) / 32) * 4;
    r.need(bitsAt, stride * static_cast<std::size_t>(height - 1) + (static_cast<std::size_t>(width) * bpp + 7) / 8);
    for (std::int64_t fy = 0; fy < height; ++fy) {
        const std::size_t row = bitsAt + static_cast<std::size_t>(fy) * stride;
        Colour *out = &img.pixels[static_cast<std::size_t>(rowOf(fy) * width)];
        for (std::int64_t x = 0; x < width; ++x) {
            const std::size_t bit = static_cast<std::size_t>(x) * static_cast<std::size_t>(bpp);
            Colour c;
            if (bpp <= 8) {
                const std::uint8_t b = static_cast<std::uint8_t>(bytes[row + bit / 8]);
                const int shift = 8 - bpp - static_cast<int>(bit % 8);
                c = palette[(b >> shift) & ((1u << bpp) - 1u)];
            } else if (bpp == 24) {
                const std::size_t a = row + bit / 8;
                c = rgb(static_cast<std::uint8_t>(bytes[a + 2]), static_cast<std::uint8_t>(bytes[a + 1]),
                        static_cast<std::uint8_t>(bytes[a]));
            } else {
                const std::size_t a = row + bit / 8;
                std::uint32_t p = 0;
                for (int k = bpp / 8 - 1; k >= 0; --k)
                    p = p << 8 | static_cast<std::uint8_t>(bytes[a + static_cast<std::size_t>(k)]);
                c = rgb(channel(p, masks[0]), channel(p, masks[1]), channel(p, masks[2]));
            }
            out[x] = c;
        }
    }
    return img;
}

}  // namespace korvane
