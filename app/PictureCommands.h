#pragma once
// The picture of the drawing area as an image: copied to the clipboard,
// saved as an 8-bit bitmap file, loaded from one, or printed on one page.
#include "core/Ports.h"
#include "core/PrintDevice.h"
#include "view/DrawingSurface.h"

#include <QImage>
#include <QPoint>
#include <QSize>

namespace korvane {

inline constexpr const char *BitmapFilter = "ﾋﾞｯﾄﾏｯﾌﾟ (*.bmp)|*.bmp";
inline constexpr const char *SaveImageTitle = "ｲﾒｰｼﾞﾌｧｲﾙの保存";
inline constexpr const char *LoadImageTitle = "ｲﾒｰｼﾞﾌｧｲﾙの読込";

// The part of `picture` seen from `scroll` through a window of `client`
// size, scaled onto a raster of the picture's own size.
QImage visiblePart(const QImage &picture, QPoint scroll, QSize client);

// Puts the visible part on the clipboard as a bitmap.
void copyToClipboard(const QImage &picture, QPoint scroll, QSize client, StatusSink &status);

// The save dialog, then the 8-bit bitmap of the picture in one write.
void saveImage(const QImage &picture, Prompter &prompter, FilePicker &picker, StatusSink &status);

// The open dialog, then the file decoded; a null image when cancelled or
// refused (the reason shown).
QImage loadImage(Prompter &prompter, FilePicker &picker, StatusSink &status);

// The frame of a hard copy on a page of `pageWidth` x `pageHeight` dots at
// `dotsPerInch`, for a picture of the given size.
PixelRect hardCopyFrame(int pageWidth, int pageHeight, int dotsPerInch, int pictureWidth, int pictureHeight);

// The print dialog, then the frame and the picture stretched into it on
// one page. False when nothing was printed.
bool hardCopy(const QImage &picture, PrintDevice &device, Prompter &prompter, StatusSink &status);

}  // namespace korvane
