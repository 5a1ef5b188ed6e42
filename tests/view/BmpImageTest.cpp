#include "view/BmpImage.h"
#include "core/Errors.h"
#include "core/TextFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace korvane {
namespace {

std::int32_t int32At(const std::string &b, std::size_t at)
{
    std::int32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}
std::int16_t int16At(const std::string &b, std::size_t at)
{
    std::int16_t v;
    std::memcpy(&v, b.data() + at, 2);
    return v;
}

PixelImage picture(int w, int h, Colour (*f)(int, int))
{
    PixelImage img{w, h, {}};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.pixels.push_back(f(x, y));
    return img;
}

TEST(BmpImageTest, EightBitFileDeclaresSixHundredDpi)
{
    // 5 wide: rows are padded to 8 bytes.
    PixelImage img = picture(5, 3, [](int x, int y) { return x == y ? colours::Red : colours::Black; });
    const std::string b = encodeBmp8(img);
    EXPECT_EQ(b.substr(0, 2), "BM");
    EXPECT_EQ(int32At(b, 2), static_cast<std::int32_t>(b.size()));
    EXPECT_EQ(int32At(b, 18), 5);
    EXPECT_EQ(int32At(b, 22), 3);
    EXPECT_EQ(int16At(b, 28), 8);
    EXPECT_EQ(int32At(b, 38), 23616);
    EXPECT_EQ(int32At(b, 42), 23616);
    EXPECT_EQ(b.size(), 14u + 40 + 1024 + 8 * 3);
    PixelImage back = decodeBmp(b);
    EXPECT_EQ(back.width, 5);
    EXPECT_EQ(back.height, 3);
    EXPECT_EQ(back.pixels, img.pixels);  // bottom-up rows come back the right way up

    testing::TempDir dir;
    const std::string path = dir.path() + "/p.bmp";
    saveBmp8(path, img);
    EXPECT_EQ(readFileBytes(path), b);
}

TEST(BmpImageTest, ManyColoursFallBackToAFixedPalette)
{
    PixelImage img = picture(64, 64, [](int x, int y) { return rgb(uint8_t(x * 4), uint8_t(y * 4), 200); });
    PixelImage back = decodeBmp(encodeBmp8(img));
    ASSERT_EQ(back.pixels.size(), img.pixels.size());
    for (std::size_t i = 0; i < img.pixels.size(); ++i) {
        EXPECT_LE(std::abs(redOf(back.pixels[i]) - redOf(img.pixels[i])), 36);
        EXPECT_LE(std::abs(blueOf(back.pixels[i]) - blueOf(img.pixels[i])), 85);
    }
}

// A 24-bit top-down file and a 1-bit file as other programs write them.
TEST(BmpImageTest, ReadsOtherDepths)
{
    auto header = [](int w, int h, int bpp, int paletteSize, std::size_t bits) {
        std::string b(54 + paletteSize * 4, '\0');
        b[0] = 'B', b[1] = 'M';
        auto put = [&](std::size_t at, std::int32_t v) { std::memcpy(&b[at], &v, 4); };
        put(10, static_cast<std::int32_t>(b.size()));
        put(14, 40);
        put(18, w);
        put(22, h);
        b[26] = 1;
        b[28] = static_cast<char>(bpp);
        (void)bits;
        return b;
    };
    std::string b24 = header(2, -2, 24, 0, 0);
    // Row 0: red, green (+2 padding); row 1: blue, white.
    b24 += std::string("\x00\x00\xFF\x00\xFF\x00\x00\x00", 8);
    b24 += std::string("\xFF\x00\x00\xFF\xFF\xFF\x00\x00", 8);
    PixelImage i24 = decodeBmp(b24);
    EXPECT_EQ(i24.pixels, (std::vector<Colour>{colours::Red, colours::Lime, colours::Blue, colours::White}));

    std::string b1 = header(3, 1, 1, 2, 0);
    b1[54 + 4] = b1[54 + 5] = b1[54 + 6] = '\xFF';  // palette: black, white
    b1 += std::string("\xA0\x00\x00\x00", 4);       // 1 0 1
    EXPECT_EQ(decodeBmp(b1).pixels, (std::vector<Colour>{colours::White, colours::Black, colours::White}));
}

TEST(BmpImageTest, RefusesWhatIsNoBitmap)
{
    const std::string good = encodeBmp8(picture(4, 4, [](int, int) { return colours::White; }));
    std::string huge = good;
    huge[18] = huge[19] = huge[20] = '\x7F';
    std::string deep = good;
    deep[28] = 7;
    for (const std::string &bad : {std::string(), std::string("BM"), std::string("GIF89a") + good.substr(6),
                                   good.substr(0, good.size() - 1), huge, deep}) {
        try {
            decodeBmp(bad);
            ADD_FAILURE() << "accepted " << bad.size() << " bytes";
        } catch (const KorvaneError &e) {
            EXPECT_EQ(e.text(), std::string(BmpNotABitmap));
        }
    }
}

}  // namespace
}  // namespace korvane
