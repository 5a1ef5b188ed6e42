// The written PNG decodes to the picture's pixels, with a palette or
// without one.
#include "platform/PngFile.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace korvane;

namespace {

// Qt's own reading of the bytes against the picture widened to 32 bits.
void expectSamePixels(const QImage &picture, const char *label)
{
    const QByteArray bytes = pngBytes(picture);
    QImage read;
    ASSERT_TRUE(read.loadFromData(bytes, "PNG")) << label;
    const QImage expected = picture.convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(read.size(), expected.size()) << label;
    const QImage actual = read.convertToFormat(QImage::Format_RGB32);
    int differ = 0;
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x)
            differ += actual.pixel(x, y) != expected.pixel(x, y);
    EXPECT_EQ(differ, 0) << label;
}

}  // namespace

TEST(PngFile, DecodesToThePicturePixelForPixel)
{
    // Two colours; exactly 256 (still a palette); 257 and every 16-bit
    // value (RGB rows), on odd sizes.
    struct Case {
        const char *label;
        int width, height, colours;
    } cases[] = {{"two colours", 37, 11, 2},
                 {"256 colours", 64, 9, 256},
                 {"257 colours", 65, 7, 257},
                 {"every colour", 256, 256, 1 << 16}};
    for (const Case &c : cases) {
        QImage picture(c.width, c.height, QImage::Format_RGB16);
        for (int y = 0; y < c.height; ++y) {
            auto *line = reinterpret_cast<std::uint16_t *>(picture.scanLine(y));
            for (int x = 0; x < c.width; ++x)
                line[x] = static_cast<std::uint16_t>(((y * c.width + x) % c.colours) * 40503u);
        }
        expectSamePixels(picture, c.label);
    }
    EXPECT_TRUE(pngBytes(QImage()).isEmpty());
}
