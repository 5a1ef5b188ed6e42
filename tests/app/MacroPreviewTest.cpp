#include "app/ApertureMacroPreview.h"

#include <QLabel>
#include <gtest/gtest.h>

using namespace korvane;

// The macro fills the window below its caption, whatever its size: a ring
// of 4 mm and a square 5 mm to its right, then a disc of 80 mm.
TEST(MacroPreview, FitsTheMacroBelowTheCaption)
{
    MacroLibrary library;
    int ring = library.append("RING-D12");
    library.append("1,1,4,0,0");       // a 4 mm disc
    library.append("1,0,1,0,0");       // with a 1 mm clear hole
    library.append("21,1,1,1,5,0,0");  // and a 1 mm square 5 mm to the right
    library.append("END");
    int big = library.append("BIG");
    library.append("1,1,80,0,0");
    library.append("END");

    ApertureDef row{"D12", "Macro " + std::to_string(ring), "**********"};
    ApertureMacroPreview preview(row, library);
    preview.resize(600, 500);
    preview.show();
    preview.paintPicture();
    EXPECT_EQ(preview.windowTitle(), "マクロアパーチャ形状");
    EXPECT_EQ(preview.captionLabel()->text(), "D12: Macro 1 (RING-D12)");
    EXPECT_GE(preview.pictureTop(), preview.captionLabel()->geometry().bottom());
    const QImage &image = preview.picture();
    ASSERT_FALSE(image.isNull());
    // From -2 to 5.5 mm across and -2 to 2 mm down, centred in the picture.
    const double s = preview.scale();
    EXPECT_NEAR(std::max(7.5 * s - (image.width() - 24), 4 * s - (image.height() - 24)), 0, 1);
    const QPoint origin(static_cast<int>(image.width() / 2.0 - 1.75 * s), image.height() / 2);
    auto at = [&](double dx, double dy) { return image.pixelColor(origin + QPoint(int(dx * s), int(dy * s))); };
    EXPECT_EQ(at(0, 0), QColor(Qt::white));  // the hole
    EXPECT_EQ(at(1.5, 0), QColor(Qt::black));
    EXPECT_EQ(at(-1.9, 0), QColor(Qt::black));
    EXPECT_EQ(at(5, 0), QColor(Qt::black));
    EXPECT_EQ(at(0, 1.9), QColor(Qt::black));
    EXPECT_EQ(at(3, 1.5), QColor(Qt::white));
    EXPECT_TRUE(preview.problem().isEmpty());

    ApertureDef large{"D13", "Macro " + std::to_string(big), "**********"};
    ApertureMacroPreview whole(large, library);
    whole.resize(400, 400);
    whole.show();
    whole.paintPicture();
    const QImage &disc = whole.picture();
    const QPoint centre(disc.width() / 2, disc.height() / 2);
    EXPECT_EQ(disc.pixelColor(centre), QColor(Qt::black));
    // Its edge is inside the picture on every side, with white beyond it.
    const int r = static_cast<int>(40 * whole.scale());
    for (QPoint d : {QPoint(r - 3, 0), QPoint(-r + 3, 0), QPoint(0, r - 3), QPoint(0, -r + 3)})
        EXPECT_EQ(disc.pixelColor(centre + d), QColor(Qt::black)) << d.x() << "," << d.y();
    EXPECT_EQ(disc.pixelColor(2, 2), QColor(Qt::white));
    EXPECT_LT(2 * r, std::min(disc.width(), disc.height()));
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
