#include "app/PictureCommands.h"
#include "core/Errors.h"
#include "core/Numbers.h"
#include "core/TextFile.h"
#include "platform/PictureImage.h"
#include "view/BmpImage.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>

#include <cmath>

namespace korvane {

QImage visiblePart(const QImage &picture, QPoint scroll, QSize client)
{
    if (picture.isNull())
        return {};
    QImage out(picture.size(), QImage::Format_RGB32);
    if (out.isNull())
        return out;
    out.fill(Qt::white);
    const QRect source = QRect(scroll, client).intersected(picture.rect());
    if (source.isEmpty())
        return out;
    QPainter painter(&out);
    painter.drawImage(out.rect(), picture, QRect(scroll, client));
    return out;
}

void copyToClipboard(const QImage &picture, QPoint scroll, QSize client, StatusSink &status)
{
    BusyGuard busy(status);
    QImage part = visiblePart(picture, scroll, client);
    if (!part.isNull())
        QGuiApplication::clipboard()->setImage(part);
}

void saveImage(const QImage &picture, Prompter &prompter, FilePicker &picker, StatusSink &status)
{
    FileDialogSpec request;
    request.title = SaveImageTitle;
    request.filter = BitmapFilter;
    request.defaultExtension = "bmp";
    request.confirmOverwrite = true;
    std::optional<std::string> path = picker.saveFile(request);
    if (!path)
        return;
    BusyGuard busy(status);
    try {
        saveBmp8(*path, pixelImageOf(picture));
    } catch (const KorvaneError &e) {
        prompter.error(e.text());
    }
}

QImage loadImage(Prompter &prompter, FilePicker &picker, StatusSink &status)
{
    FileDialogSpec request;
    request.title = LoadImageTitle;
    request.filter = BitmapFilter;
    request.defaultExtension = "bmp";
    std::optional<std::string> path = picker.openFile(request);
    if (!path)
        return {};
    BusyGuard busy(status);
    try {
        QImage image = qImageOf(decodeBmp(readFileBytes(*path)));
        if (image.isNull())
            prompter.error("メモリが不足しているため、画像を作れませんでした。");
        return image;
    } catch (const KorvaneError &e) {
        prompter.error(e.text());
        return {};
    }
}

PixelRect hardCopyFrame(int pageWidth, int pageHeight, int dotsPerInch, int pictureWidth, int pictureHeight)
{
    const double ratio = pictureWidth > 0 ? static_cast<double>(pictureHeight) / pictureWidth : 0;
    return {0, 0, pageWidth, truncToInt(pageHeight * ratio) - dotsPerInch};
}

bool hardCopy(const QImage &picture, PrintDevice &device, Prompter &prompter, StatusSink &status)
{
    BusyGuard busy(status);
    if (picture.isNull() || !device.choosePrinter())
        return false;
    const PrinterMetrics m = device.metrics();
    const int dpi = m.printableWidthMm > 0 ? roundToInt(m.printableWidthDots / (m.printableWidthMm / 25.4)) : 0;
    const PixelRect frame =
        hardCopyFrame(m.printableWidthDots, m.printableHeightDots, dpi, picture.width(), picture.height());
    try {
        device.beginDocument("KORVANE");
        DrawingSurface *page = device.page();
        if (!page) {
            device.abortDocument();
            return false;
        }
        page->setBrush(colours::White, BrushStyle::Hollow);
        page->setCopyMode();
        page->setPen(colours::Black, 1);
        page->rectangle(frame.left, frame.top, frame.right, frame.bottom);
        const ImageSurface source(picture);
        page->stretchDraw({frame.left + 10, frame.top + 10, frame.right - 10, frame.bottom - 10}, source);
        device.endDocument();
    } catch (const KorvaneError &e) {
        prompter.error(e.text());
        return false;
    }
    return true;
}

}  // namespace korvane
