// The drawing area: keys, zoom and scrolling on the offscreen platform.
#include "app/DrawingArea.h"
#include "app/BoardPosition.h"
#include "support/FakePorts.h"
#include "view/ViewTexts.h"

#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

using namespace korvane;
using korvane::testing::FakePrompter;

namespace {

struct Window {
    Document doc;
    FakePrompter prompter;
    DrawingArea area{doc, prompter};

    // A red 200 x 100 mm frame with a diagonal, fitted into a 400 x 300 area.
    Window()
    {
        doc.layers.slot(1).colour = colours::Red;
        doc.layers.slot(1).visible = 1;
        auto add = [&](ItemKind kind, double x1, double y1, double x2 = 0, double y2 = 0) {
            AppendArgs a{kind};
            a.fill = 2;
            a.colourLayer = a.layer = 1;
            a.width = 0.5;
            a.x1 = x1;
            a.y1 = y1;
            a.x2 = x2;
            a.y2 = y2;
            doc.appendItem(a);
        };
        add(ItemKind::Rectangle, 0, 0, 200, -100);
        add(ItemKind::MoveTo, 0, 0);
        add(ItemKind::LineTo, 200, -100);
        doc.extentX = 200;
        doc.extentY = 100;
        doc.maxX = 200;
        doc.maxY = 100;
        area.resize(400, 300);
        area.show();
        area.setInitialSize();
    }
    void load()
    {
        doc.hasData = 1;
        area.view().fitLoadedDrawing("");
    }
    QSize picture() const { return {area.pictureWidth(), area.pictureHeight()}; }
    bool pictureHas(Colour c) const
    {
        const QImage &img = area.picture();
        const QRgb wanted = qRgb(redOf(c), greenOf(c), blueOf(c));
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (img.pixel(x, y) == wanted)
                    return true;
        return false;
    }
};

}  // namespace

TEST(DrawingArea, ShowsTheFittedDrawingInTheWholeArea)
{
    Window w;
    EXPECT_EQ(w.picture(), QSize(400, 300));
    EXPECT_TRUE(w.area.picture().isNull());
    w.load();
    EXPECT_EQ(w.area.picture().size(), QSize(400, 300));
    EXPECT_EQ(w.area.picture().format(), QImage::Format_RGB16);
    EXPECT_TRUE(w.pictureHas(colours::Red));
    EXPECT_GT(w.area.screenMmPerPixelX(), 0.05);
    EXPECT_LT(w.area.screenMmPerPixelY(), 1.0);
}

TEST(DrawingArea, KeysZoomFitAndRedraw)
{
    Window w;
    w.load();
    const float fit = w.area.view().transform().scale;

    QTest::keyClick(&w.area, Qt::Key_Plus, Qt::NoModifier);
    EXPECT_FLOAT_EQ(w.area.view().transform().scale, fit + 0.5f);
    const QSize zoomed = w.picture();
    EXPECT_GT(zoomed.width(), 400);
    EXPECT_EQ(w.area.picture().size(), zoomed);

    QTest::keyClick(&w.area, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_FLOAT_EQ(w.area.view().transform().scale, fit + 1.0f);
    QTest::keyClick(&w.area, Qt::Key_Minus, Qt::KeypadModifier);
    QTest::keyClick(&w.area, '-');
    EXPECT_FLOAT_EQ(w.area.view().transform().scale, fit);

    QTest::keyClick(&w.area, Qt::Key_Plus);
    QTest::keyClick(&w.area, Qt::Key_Home);
    EXPECT_EQ(w.picture(), QSize(400, 300));
    EXPECT_FLOAT_EQ(w.area.view().transform().scale, fit);

    w.doc.layers.slot(1).visible = 0;
    QTest::keyClick(&w.area, Qt::Key_Insert);
    EXPECT_FALSE(w.pictureHas(colours::Red));
    EXPECT_TRUE(w.prompter.shown.empty());
}

TEST(DrawingArea, ArrowsScrollByEightPixelsEvenWhenTheScrollBoxHasTheKeys)
{
    Window w;
    w.load();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(&w.area, Qt::Key_Plus);
    QScrollBar *h = w.area.scrollArea()->horizontalScrollBar();
    QScrollBar *v = w.area.scrollArea()->verticalScrollBar();
    ASSERT_GT(h->maximum(), 16);
    ASSERT_GT(v->maximum(), 16);
    h->setValue(h->maximum() / 2);
    v->setValue(v->maximum() / 2);
    const QPoint start = w.area.scrollPosition();
    QTest::keyClick(&w.area, Qt::Key_Right);
    QTest::keyClick(&w.area, Qt::Key_Right);
    QTest::keyClick(w.area.scrollArea()->viewport(), Qt::Key_Down);
    EXPECT_EQ(w.area.scrollPosition(), start + QPoint(16, 8));
    QTest::keyClick(w.area.scrollArea(), Qt::Key_Left);
    QTest::keyClick(&w.area, Qt::Key_Up);
    EXPECT_EQ(w.area.scrollPosition(), start + QPoint(8, 0));
    // Home reaches the view, not the scroll box's jump to the start.
    QTest::keyClick(w.area.scrollArea()->viewport(), Qt::Key_Home);
    EXPECT_EQ(w.picture(), QSize(400, 300));
}

namespace {

// The board point seen at a point of the visible part.
Point boardAt(const DrawingArea &area, QPoint inViewport)
{
    const QPoint pixel = area.scrollPosition() + inViewport;
    return *boardPointAt(area.view().transform(), pixel.x(), pixel.y());
}

// Within the board length of two pixels at the present scale.
void expectSamePoint(const DrawingArea &area, Point a, Point b)
{
    const ViewTransform &t = area.view().transform();
    EXPECT_NEAR(a.x, b.x, 2 * t.mmPerPixelX / t.scale);
    EXPECT_NEAR(a.y, b.y, 2 * t.mmPerPixelY / t.scale);
}

}  // namespace

// Each zoom step, in or out, keeps the board point at the centre of the
// view where it was, wherever the view had been scrolled to.
TEST(DrawingArea, ZoomKeepsThePointAtTheCentreOfTheView)
{
    // Scrolled somewhere inside, and to the top-left corner, where the
    // picture must grow for the point to stay.
    for (double part : {0.3, 0.0}) {
        Window w;
        w.load();
        // From the fitted view, where the scroll bars come.
        const Point fitted = boardAt(w.area, w.area.viewportCentre());
        QTest::keyClick(&w.area, Qt::Key_Plus);
        expectSamePoint(w.area, boardAt(w.area, w.area.viewportCentre()), fitted);
        QTest::keyClick(&w.area, Qt::Key_Plus);
        QScrollBar *h = w.area.scrollArea()->horizontalScrollBar(), *v = w.area.scrollArea()->verticalScrollBar();
        h->setValue(int(h->maximum() * part));
        v->setValue(int(v->maximum() * part));
        for (Qt::Key key : {Qt::Key_Plus, Qt::Key_Plus, Qt::Key_Minus, Qt::Key_Minus}) {
            const Point before = boardAt(w.area, w.area.viewportCentre());
            const float scale = w.area.view().transform().scale;
            QTest::keyClick(&w.area, key);
            ASSERT_NE(w.area.view().transform().scale, scale);
            expectSamePoint(w.area, boardAt(w.area, w.area.viewportCentre()), before);
        }
        EXPECT_TRUE(w.prompter.shown.empty());
    }
}

// The wheel zooms one step per notch around the pointer; a drag with the
// middle or left button moves the view with the pointer.
TEST(DrawingArea, TheWheelZoomsAroundThePointerAndADragPans)
{
    Window w;
    w.load();
    QWidget *picture = w.area.scrollArea()->widget();
    QWidget *viewport = w.area.scrollArea()->viewport();
    auto turn = [&](QPoint at, int delta) {
        QWheelEvent wheel(at, picture->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(picture, &wheel);
    };
    const float fit = w.area.view().transform().scale;
    const QPoint pointer(110, 90);
    const Point under = boardAt(w.area, picture->mapTo(viewport, pointer));
    turn(pointer, 120);
    EXPECT_FLOAT_EQ(w.area.view().transform().scale, fit + 0.5f);
    turn(picture->mapFrom(viewport, QPoint(110, 90)), 60);  // half a notch: nothing yet
    EXPECT_FLOAT_EQ(w.area.view().transform().scale, fit + 0.5f);
    turn(picture->mapFrom(viewport, QPoint(110, 90)), 60);
    EXPECT_FLOAT_EQ(w.area.view().transform().scale, fit + 1.0f);
    expectSamePoint(w.area, boardAt(w.area, QPoint(110, 90)), under);
    turn(picture->mapFrom(viewport, QPoint(110, 90)), -120);
    EXPECT_FLOAT_EQ(w.area.view().transform().scale, fit + 0.5f);
    expectSamePoint(w.area, boardAt(w.area, QPoint(110, 90)), under);

    for (Qt::MouseButton button : {Qt::MiddleButton, Qt::LeftButton}) {
        const QPoint start = w.area.scrollPosition();
        const QPoint from = picture->mapFrom(viewport, QPoint(200, 150));
        QTest::mousePress(picture, button, {}, from);
        QTest::mouseMove(picture, from - QPoint(40, 30));
        QTest::mouseRelease(picture, button, {}, from - QPoint(40, 30));
        EXPECT_EQ(w.area.scrollPosition(), start + QPoint(40, 30));
    }
    EXPECT_FLOAT_EQ(w.area.view().transform().scale, fit + 0.5f);  // clicks do not zoom
}

TEST(DrawingArea, ZoomInStopsAtTheLimitWithAWarning)
{
    Window w;
    w.load();
    for (int i = 0; i < 200 && w.prompter.shown.empty(); ++i)
        QTest::keyClick(&w.area, Qt::Key_Plus);
    ASSERT_EQ(w.prompter.texts(), std::vector<std::string>{msg::ZoomInLimit});
    EXPECT_LT(w.picture().width(), int(LinuxZoomLimits.width));
    EXPECT_EQ(w.area.picture().size(), w.picture());
}

TEST(DrawingArea, ViewKeysDoNothingWithoutADrawing)
{
    Window w;
    for (Qt::Key key : {Qt::Key_Plus, Qt::Key_Minus, Qt::Key_Home, Qt::Key_Insert})
        QTest::keyClick(&w.area, key);
    EXPECT_TRUE(w.area.picture().isNull());
    EXPECT_EQ(w.picture(), QSize(400, 300));
    EXPECT_TRUE(w.prompter.shown.empty());
}

TEST(DrawingArea, ALoadedImageSetsThePictureSize)
{
    Window w;
    QImage image(500, 300, QImage::Format_RGB32);
    image.fill(Qt::blue);
    w.area.setPicture(image);
    EXPECT_EQ(w.picture(), QSize(500, 300));
    w.area.clearPicture();
    EXPECT_TRUE(w.area.picture().isNull());
}
