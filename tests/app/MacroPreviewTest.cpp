#include "app/ApertureMacroPreview.h"

#include <QLabel>
#include <gtest/gtest.h>

using namespace korvane;

TEST(MacroPreview, DrawsExposureOnBlackAndOffWhiteAroundTheCentre)
{
    MacroLibrary library;
    int name = library.append("RING-D12");
    library.append("1,1,4,0,0");       // a 4 mm disc
    library.append("1,0,1,0,0");       // with a 1 mm clear hole
    library.append("21,1,1,1,5,0,0");  // and a square 5 mm to the right
    library.append("END");
    ApertureDef row{"D12", "Macro " + std::to_string(name), "**********"};
    ApertureMacroPreview preview(row, library);
    preview.resize(600, 600);
    preview.paintPicture();
    EXPECT_EQ(preview.windowTitle(), "マクロアパーチャ形状");
    EXPECT_EQ(preview.captionLabel()->text(), "D12: Macro 1 (RING-D12)");
    const QImage &image = preview.picture();
    ASSERT_FALSE(image.isNull());
    QPoint centre(300, 300);
    EXPECT_EQ(image.pixelColor(centre), QColor(Qt::white));  // the hole
    // Seven times real size: 1.5 mm from the centre lies inside the disc.
    double mm = 25.4 / preview.logicalDpiX();
    int ring = static_cast<int>(1.5 * 7 / mm);
    EXPECT_EQ(image.pixelColor(centre + QPoint(ring, 0)), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(centre + QPoint(static_cast<int>(5 * 7 / mm), 0)), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(centre + QPoint(0, static_cast<int>(3 * 7 / mm))), QColor(Qt::white));
    EXPECT_TRUE(preview.problem().isEmpty());
}

TEST(MacroPreview, AnUnreadablePrimitiveIsToldNotThrown)
{
    MacroLibrary library;
    int name = library.append("BAD");
    library.append("1,1,$1,0,0");
    ApertureDef row{"D20", "Macro " + std::to_string(name), "**********"};
    ApertureMacroPreview preview(row, library);
    EXPECT_FALSE(preview.problem().isEmpty());
    ApertureDef beyond{"D21", "Macro 999", "**********"};
    ApertureMacroPreview empty(beyond, library);
    EXPECT_TRUE(empty.problem().isEmpty());
}
