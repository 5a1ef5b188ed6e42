// The pointer position shown in the status bar: the board point under a
// pixel, and the panel's text as the pointer moves over the drawing.
#include "app/BoardPosition.h"
#include "app/DrawingArea.h"
#include "support/MainWindowFixture.h"
#include "view/Renderer.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollArea>
#include <gtest/gtest.h>

using namespace korvane;
using namespace korvane::testing;

TEST(BoardPosition, PixelsMapBackToTheBoardPointsThatMapToThem)
{
    ViewTransform view;
    view.scale = 2.5f;
    view.mmPerPixelX = 0.26;
    view.mmPerPixelY = 0.25;
    view.offsetX = -40;
    view.offsetY = 17;
    view.areaHeight = 180;
    for (Point board : {Point{0, 0}, Point{12.5, 30}, Point{-4, 101.25}}) {
        const PixelPoint pixel = view.mapping().point(board.x, -board.y);
        std::optional<Point> back = boardPointAt(view, pixel.x, pixel.y);
        ASSERT_TRUE(back);
        // Within the half pixel that rounding to a pixel loses.
        EXPECT_NEAR(back->x, board.x, view.mmPerPixelX / view.scale / 2 + 1e-9);
        EXPECT_NEAR(back->y, board.y, view.mmPerPixelY / view.scale / 2 + 1e-9);
    }
    EXPECT_FALSE(boardPointAt(ViewTransform{}, 10, 10));  // no scale yet
    EXPECT_EQ(pointerPositionText({12.3456, -6.7894}, false), "X 12.346  Y -6.789 mm");
    EXPECT_EQ(pointerPositionText({25.4, -0.00001}, true), "X 1.0000  Y 0.0000 inch");
}

TEST_F(MainFixture, TheSecondPanelFollowsThePointer)
{
    writeSettings(Settings{});
    auto w = makeWindow();
    w->resize(800, 600);
    w->show();
    ASSERT_TRUE(w->openFiles({QString::fromStdString(std::string(KORVANE_TEST_DATA) + "/gerber/copper_mm.gbr")}));
    auto *panel = w->findChild<QLabel *>("statusPanel2");
    ASSERT_NE(panel, nullptr);
    QWidget *picture = w->drawingArea()->scrollArea()->widget();
    QMouseEvent move(QEvent::MouseMove, QPointF(100, 120), picture->mapToGlobal(QPointF(100, 120)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(picture, &move);
    const auto expected = boardPointAt(w->drawingArea()->view().transform(), 100, 120);
    ASSERT_TRUE(expected);
    EXPECT_EQ(panel->text().toStdString(), pointerPositionText(*expected, false));
    EXPECT_EQ(panel->text().left(2), "X ");
}
