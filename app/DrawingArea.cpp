#include "app/DrawingArea.h"
#include "app/BoardPosition.h"

#include "platform/RasterSurface.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <functional>

namespace korvane {

// The picture, drawn stretched to the widget's size.
class PictureView : public QWidget {
public:
    explicit PictureView(QWidget *parent) : QWidget(parent)
    {
        setCursor(Qt::CrossCursor);
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, Qt::white);
        setPalette(pal);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);
    }

    QImage image;
    std::function<void(QPoint)> pointerMoved;
    std::function<void()> pointerLeft;

protected:
    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (pointerMoved)
            pointerMoved(event->position().toPoint());
        QWidget::mouseMoveEvent(event);
    }
    void leaveEvent(QEvent *event) override
    {
        if (pointerLeft)
            pointerLeft();
        QWidget::leaveEvent(event);
    }
    void paintEvent(QPaintEvent *event) override
    {
        QPainter p(this);
        const QRect exposed = event->rect();
        if (image.isNull()) {
            p.fillRect(exposed, Qt::white);
        } else if (image.size() == size()) {
            p.drawImage(exposed, image, exposed);
        } else {
            p.fillRect(exposed, Qt::white);
            p.drawImage(rect(), image);
        }
    }
};

// Message boxes with the normal pointer, even in the middle of a busy command.
class DrawingArea::CursorPrompter : public Prompter {
public:
    explicit CursorPrompter(Prompter &inner) : inner_(inner) {}
    Answer show(MessageKind kind, const std::string &text, Buttons buttons) override
    {
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        const Answer a = inner_.show(kind, text, buttons);
        QApplication::restoreOverrideCursor();
        return a;
    }

private:
    Prompter &inner_;
};

namespace {

// Busy pointer for one view command that has a drawing to work on.
class BusyCursor {
public:
    explicit BusyCursor(bool active) : active_(active)
    {
        if (active_)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~BusyCursor()
    {
        if (active_)
            QApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

private:
    bool active_;
};

}  // namespace

DrawingArea::DrawingArea(Document &document, Prompter &prompter, QWidget *parent)
    : QWidget(parent), document_(document), prompter_(std::make_unique<CursorPrompter>(prompter)),
      scroll_(new QScrollArea(this)), picture_(new PictureView(nullptr))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll_);

    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(false);
    scroll_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scroll_->setBackgroundRole(QPalette::Window);
    QPalette pal = scroll_->palette();
    pal.setColor(QPalette::Window, Qt::white);
    scroll_->setPalette(pal);
    scroll_->viewport()->setPalette(pal);
    scroll_->viewport()->setAutoFillBackground(true);
    scroll_->setWidget(picture_);
    for (QScrollBar *bar : {scroll_->horizontalScrollBar(), scroll_->verticalScrollBar()}) {
        bar->setSingleStep(ScrollStep);
        bar->setTracking(true);
    }

    // The area, not the scroll box, takes the keys: the box would swallow
    // the arrows and Home for its own scrolling.
    setFocusPolicy(Qt::StrongFocus);
    scroll_->setFocusPolicy(Qt::NoFocus);
    scroll_->installEventFilter(this);
    scroll_->viewport()->installEventFilter(this);
    picture_->installEventFilter(this);
    picture_->pointerMoved = [this](QPoint p) { emit pointerMoved(p.x(), p.y()); };
    picture_->pointerLeft = [this] { emit pointerLeft(); };

    view_ = std::make_unique<ViewController>(document_, *prompter_, *this);
}

DrawingArea::~DrawingArea() = default;

const QImage &DrawingArea::picture() const { return picture_->image; }

void DrawingArea::setPicture(const QImage &image)
{
    picture_->image = image;
    picture_->resize(image.size());
    picture_->update();
}

QPoint DrawingArea::scrollPosition() const
{
    return {scroll_->horizontalScrollBar()->value(), scroll_->verticalScrollBar()->value()};
}

void DrawingArea::setRegionFill(RegionFill fill) { view_->setRegionFill(fill); }

void DrawingArea::setStatusBarHeight(int pixels) { view_->setStatusBarHeight(pixels); }

bool DrawingArea::handleKey(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Home: fitAll(); return true;
    case Qt::Key_Insert: redraw(); return true;
    case Qt::Key_Left: scrollBy(ScrollDirection::Left); return true;
    case Qt::Key_Right: scrollBy(ScrollDirection::Right); return true;
    case Qt::Key_Up: scrollBy(ScrollDirection::Up); return true;
    case Qt::Key_Down: scrollBy(ScrollDirection::Down); return true;
    default: break;
    }
    // By character, so that the keypad and every keyboard layout count.
    const QString text = event->text();
    if (text == QLatin1String("+")) {
        zoomIn();
        return true;
    }
    if (text == QLatin1String("-")) {
        zoomOut();
        return true;
    }
    return false;
}

void DrawingArea::scrollBy(ScrollDirection direction)
{
    QScrollBar *bar = direction == ScrollDirection::Left || direction == ScrollDirection::Right
                          ? scroll_->horizontalScrollBar()
                          : scroll_->verticalScrollBar();
    const int step = direction == ScrollDirection::Left || direction == ScrollDirection::Up ? -ScrollStep : ScrollStep;
    bar->setValue(bar->value() + step);
}

void DrawingArea::keyPressEvent(QKeyEvent *event)
{
    if (handleKey(event))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

bool DrawingArea::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && handleKey(static_cast<QKeyEvent *>(event)))
        return true;
    // The wheel zooms instead of scrolling the box.
    if (event->type() == QEvent::Wheel && (watched == picture_ || watched == scroll_->viewport()))
        return wheelZoom(static_cast<QWheelEvent *>(event));
    if (watched == picture_ && pan(event))
        return true;
    return QWidget::eventFilter(watched, event);
}

bool DrawingArea::wheelZoom(QWheelEvent *event)
{
    if (document_.hasData == 0)
        return true;
    // One step per notch (120); a touchpad's small turns add up to one.
    wheelRest_ += event->angleDelta().y();
    const int steps = wheelRest_ / 120;
    wheelRest_ -= steps * 120;
    const QPoint at = scroll_->viewport()->mapFromGlobal(event->globalPosition().toPoint());
    for (int i = 0; i < std::abs(steps); ++i)
        zoomAt(at, steps > 0);
    return true;
}

bool DrawingArea::pan(QEvent *event)
{
    const auto panButtons = Qt::MiddleButton | Qt::LeftButton;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (!(e->button() & panButtons))
            return false;
        panning_ = true;
        panStart_ = e->globalPosition().toPoint();
        panScroll_ = scrollPosition();
        picture_->setCursor(Qt::ClosedHandCursor);
        return true;
    }
    case QEvent::MouseMove: {
        if (!panning_)
            return false;
        auto *e = static_cast<QMouseEvent *>(event);
        const QPoint to = panScroll_ - (e->globalPosition().toPoint() - panStart_);
        scroll_->horizontalScrollBar()->setValue(to.x());
        scroll_->verticalScrollBar()->setValue(to.y());
        return false;  // the pointer position still shows
    }
    case QEvent::MouseButtonRelease: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (!panning_ || (e->buttons() & panButtons))
            return false;
        panning_ = false;
        picture_->setCursor(Qt::CrossCursor);
        return true;
    }
    default: return false;
    }
}

QPoint DrawingArea::viewportCentre() const
{
    const QSize seen = scroll_->viewport()->size();
    return {seen.width() / 2, seen.height() / 2};
}

void DrawingArea::zoomAt(QPoint inViewport, bool in, bool centred)
{
    BusyCursor busy(document_.hasData != 0);
    const QPoint pixel = scrollPosition() + inViewport;
    const std::optional<Point> board = boardPointAt(view_->transform(), pixel.x(), pixel.y());
    const float scaleBefore = view_->transform().scale;
    // The visible part without scroll bars: they come as the picture grows.
    const QSize seen = scroll_->maximumViewportSize();
    ZoomAnchor anchor{board ? board->x : 0, board ? -board->y : 0, inViewport.x(),
                      inViewport.y(),       seen.width(),          seen.height()};
    if (in)
        view_->zoomIn(board ? &anchor : nullptr);
    else
        view_->zoomOut(board ? &anchor : nullptr);
    if (!board || view_->transform().scale == scaleBefore)
        return;
    // The scroll box shows or hides its bars for the new size through a
    // queued call: let it happen now (and only that), so that the bars'
    // ranges and the visible part are those of the new picture.
    QCoreApplication::sendPostedEvents(scroll_, QEvent::MetaCall);
    QPoint scroll(view_->anchoredScroll().x, view_->anchoredScroll().y);
    // Scroll bars that came (or went) with the new size moved the centre.
    if (centred)
        scroll -= viewportCentre() - inViewport;
    scroll_->horizontalScrollBar()->setValue(scroll.x());
    scroll_->verticalScrollBar()->setValue(scroll.y());
}

int DrawingArea::pictureWidth() const { return picture_->width(); }

int DrawingArea::pictureHeight() const { return picture_->height(); }

void DrawingArea::setPictureSize(int width, int height) { picture_->resize(width, height); }

void DrawingArea::clearPicture()
{
    picture_->image = QImage();
    picture_->update();
}

std::unique_ptr<DrawingSurface> DrawingArea::createRaster(int width, int height)
{
    auto raster = std::make_unique<RasterSurface>(width, height);
    if (raster->isNull())
        return nullptr;
    return raster;
}

void DrawingArea::showRaster(std::unique_ptr<DrawingSurface> raster)
{
    if (auto *r = dynamic_cast<RasterSurface *>(raster.get()))
        picture_->image = r->takeImage();
    picture_->update();
}

double DrawingArea::screenMmPerPixelX() const
{
    const QScreen *s = screen();
    if (!s)
        return mmPerPixelFrom(0, 0, 0);
    return mmPerPixelFrom(s->physicalSize().width(), s->size().width(), s->logicalDotsPerInchX());
}

double DrawingArea::screenMmPerPixelY() const
{
    const QScreen *s = screen();
    if (!s)
        return mmPerPixelFrom(0, 0, 0);
    return mmPerPixelFrom(s->physicalSize().height(), s->size().height(), s->logicalDotsPerInchY());
}

void DrawingArea::fitAll()
{
    BusyCursor busy(document_.hasData != 0);
    view_->fitAll();
}

void DrawingArea::redraw()
{
    BusyCursor busy(document_.hasData != 0);
    view_->redrawView();
}

void DrawingArea::zoomIn() { zoomAt(viewportCentre(), true, true); }

void DrawingArea::zoomOut() { zoomAt(viewportCentre(), false, true); }

void DrawingArea::setInitialSize() { picture_->resize(scroll_->size()); }

}  // namespace korvane
