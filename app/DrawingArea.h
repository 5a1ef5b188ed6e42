#pragma once
// The main window's drawing area: a white scrolling box holding the picture
// at its top-left corner. The picture grows with zoom; the keys Home,
// Insert, "+", "-" and the arrows drive the view. A zoom keeps the board
// point at the centre of the view where it was; the mouse wheel zooms
// around the pointer and a drag with the middle or left button pans.
#include "core/Document.h"
#include "core/Ports.h"
#include "view/ViewControl.h"

#include <QImage>
#include <QWidget>

#include <memory>

class QKeyEvent;
class QWheelEvent;
class QScrollArea;

namespace korvane {

class PictureView;

class DrawingArea : public QWidget, public PictureHost {
    Q_OBJECT
public:
    enum class ScrollDirection { Left, Right, Up, Down };
    // Pixels one arrow key scrolls.
    static constexpr int ScrollStep = 8;

    DrawingArea(Document &document, Prompter &prompter, QWidget *parent = nullptr);
    ~DrawingArea() override;

    ViewController &view() { return *view_; }
    const ViewController &view() const { return *view_; }

    // The picture as the renderer or an image load left it (null when cleared).
    const QImage &picture() const;
    // An image file shown as the picture: the area takes its size.
    void setPicture(const QImage &image);
    QScrollArea *scrollArea() const { return scroll_; }
    // Horizontal and vertical scroll positions in pixels.
    QPoint scrollPosition() const;

    void setRegionFill(RegionFill fill);
    void setStatusBarHeight(int pixels);

    // The view keys; true when the key was one of them. The main window
    // passes on keys that reach it so that "+" and "-" work wherever the
    // focus is.
    bool handleKey(QKeyEvent *event);
    void scrollBy(ScrollDirection direction);
    // One zoom step that keeps the board point under `inViewport` (a point
    // of the visible part) under it; `centred`: the point at the centre,
    // which moves when scroll bars come or go.
    void zoomAt(QPoint inViewport, bool in, bool centred = false);
    // The middle of the visible part, in its own coordinates.
    QPoint viewportCentre() const;

    // PictureHost
    int pictureWidth() const override;
    int pictureHeight() const override;
    void setPictureSize(int width, int height) override;
    std::unique_ptr<DrawingSurface> createRaster(int width, int height) override;
    void showRaster(std::unique_ptr<DrawingSurface> raster) override;
    double screenMmPerPixelX() const override;
    double screenMmPerPixelY() const override;

signals:
    // The pointer over the picture, at the pixel (column, row); left it.
    void pointerMoved(int column, int row);
    void pointerLeft();

public slots:
    // "全体表示  [Home]"
    void fitAll();
    // "再表示     [Ins]"
    void redraw();
    // "ｽﾞｰﾑｲﾝ       +"
    void zoomIn();
    // "ｽﾞｰﾑｱｳﾄ     -"
    void zoomOut();
    // Once the main window has its final (maximised) size: the picture
    // takes the size of the whole area.
    void setInitialSize();
    void clearPicture() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class CursorPrompter;
    bool wheelZoom(QWheelEvent *event);
    bool pan(QEvent *event);

    Document &document_;
    std::unique_ptr<CursorPrompter> prompter_;
    QScrollArea *scroll_;
    PictureView *picture_;
    std::unique_ptr<ViewController> view_;
    // Wheel turns not yet a whole step (touchpads send small ones).
    int wheelRest_ = 0;
    // A drag in progress: where it started and the scroll position then.
    bool panning_ = false;
    QPoint panStart_;
    QPoint panScroll_;
};

}  // namespace korvane
