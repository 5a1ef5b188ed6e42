#include "platform/PngFile.h"
#include "view/DrawingSurface.h"

#include <QtEndian>

#include <array>
#include <cstdint>
#include <vector>

namespace korvane {

namespace {

std::uint32_t crcOf(const char *data, qsizetype size, std::uint32_t crc = 0xFFFFFFFFu)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1u ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    for (qsizetype i = 0; i < size; ++i)
        crc = table[(crc ^ static_cast<std::uint8_t>(data[i])) & 0xFFu] ^ (crc >> 8);
    return crc;
}

void putBig32(QByteArray &out, std::uint32_t v)
{
    char b[4];
    qToBigEndian(v, b);
    out.append(b, 4);
}

void chunk(QByteArray &out, const char type[4], const char *data, qsizetype size)
{
    putBig32(out, static_cast<std::uint32_t>(size));
    const qsizetype start = out.size();
    out.append(type, 4);
    out.append(data, size);
    putBig32(out, crcOf(out.constData() + start, size + 4) ^ 0xFFFFFFFFu);
}

// The 8-bit form of a 5-6-5 pixel, as Qt widens it.
std::array<std::uint8_t, 3> rgbOf(std::uint16_t pixel)
{
    const Colour c = from565(pixel);
    return {redOf(c), greenOf(c), blueOf(c)};
}

}  // namespace

QByteArray pngBytes(const QImage &picture)
{
    if (picture.isNull())
        return {};
    const QImage image =
        picture.format() == QImage::Format_RGB16 ? picture : picture.convertToFormat(QImage::Format_RGB16);
    const int w = image.width(), h = image.height();

    // The palette, in the order the colours first appear.
    std::vector<std::int16_t> index(1 << 16, -1);
    std::vector<std::uint16_t> palette;
    for (int y = 0; y < h && palette.size() <= 256; ++y) {
        const auto *line = reinterpret_cast<const std::uint16_t *>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            if (index[line[x]] >= 0)
                continue;
            if (palette.size() == 256) {
                palette.push_back(line[x]);  // one too many: no palette
                break;
            }
            index[line[x]] = static_cast<std::int16_t>(palette.size());
            palette.push_back(line[x]);
        }
    }
    const bool indexed = palette.size() <= 256;

    // Each row behind its filter byte 0 (none).
    const qsizetype rowBytes = indexed ? w : qsizetype(w) * 3;
    QByteArray raw((rowBytes + 1) * h, Qt::Uninitialized);
    char *p = raw.data();
    for (int y = 0; y < h; ++y) {
        const auto *line = reinterpret_cast<const std::uint16_t *>(image.constScanLine(y));
        *p++ = 0;
        if (indexed) {
            for (int x = 0; x < w; ++x)
                *p++ = static_cast<char>(index[line[x]]);
        } else {
            for (int x = 0; x < w; ++x) {
                const auto rgb = rgbOf(line[x]);
                *p++ = static_cast<char>(rgb[0]);
                *p++ = static_cast<char>(rgb[1]);
                *p++ = static_cast<char>(rgb[2]);
            }
        }
    }
    // qCompress puts the length in four bytes before the zlib stream.
    const QByteArray deflated = qCompress(raw, 1).mid(4);

    QByteArray out("\x89PNG\r\n\x1A\n", 8);
    QByteArray header;
    putBig32(header, static_cast<std::uint32_t>(w));
    putBig32(header, static_cast<std::uint32_t>(h));
    header.append(8);                    // bits per sample
    header.append(indexed ? 3 : 2);      // palette or RGB
    header.append(QByteArray(3, '\0'));  // deflate, no filter method variant, no interlace
    chunk(out, "IHDR", header.constData(), header.size());
    if (indexed) {
        QByteArray colours;
        for (std::uint16_t v : palette)
            for (std::uint8_t c : rgbOf(v))
                colours.append(static_cast<char>(c));
        chunk(out, "PLTE", colours.constData(), colours.size());
    }
    chunk(out, "IDAT", deflated.constData(), deflated.size());
    chunk(out, "IEND", nullptr, 0);
    return out;
}

}  // namespace korvane
