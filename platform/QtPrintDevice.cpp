#include "platform/QtPrintDevice.h"
#include "core/Errors.h"
#include "platform/Fonts.h"
#include "platform/PageSurface.h"
#include "print/PlainText.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace korvane {
namespace {

// The text of a printer that cannot start a document.
constexpr const char *PrinterNotReady = "プリンタに出力できません";

// A PDF of its own for each print, named by the time, in the documents
// folder, or else in the folder the program works in: never a file of an
// earlier print, and not a stray file among the home folder's settings.
QString proposedPdf()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QFileInfo(QDir::currentPath()).isWritable() ? QDir::currentPath() : QDir::homePath();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    return QDir(folder).filePath(QStringLiteral("KORVANE印刷-%1.pdf").arg(stamp));
}

}  // namespace

QtPrintDevice::QtPrintDevice(QPrinter &printer, QWidget *parent) : printer_(printer), parent_(parent) {}

QtPrintDevice::~QtPrintDevice()
{
    surface_.reset();
    if (painter_ && painter_->isActive())
        painter_->end();
}

bool QtPrintDevice::choosePrinter()
{
    // Without an installed printer the dialog's only choice is a PDF file;
    // give it a name so that pressing Print just works.
    const QString output = printer_.outputFileName();
    if (QPrinterInfo::availablePrinters().isEmpty() && (output.isEmpty() || output == proposedPdf_)) {
        proposedPdf_ = fallbackPdf_.isEmpty() ? proposedPdf() : fallbackPdf_;
        printer_.setOutputFormat(QPrinter::PdfFormat);
        printer_.setOutputFileName(proposedPdf_);
    }
    if (chooser_)
        return chooser_(printer_);
    QPrintDialog dialog(&printer_, parent_);
    return dialog.exec() == QDialog::Accepted;
}

PrinterMetrics QtPrintDevice::metrics() const
{
    PrinterMetrics m;
    // From the resolution rather than widthMM(), which is whole millimetres.
    const double mmPerDot = 25.4 / printer_.resolution();
    m.printableWidthMm = printer_.width() * mmPerDot;
    m.printableHeightMm = printer_.height() * mmPerDot;
    m.printableWidthDots = printer_.width();
    m.printableHeightDots = printer_.height();
    QRect page = printer_.pageLayout().fullRectPixels(printer_.resolution());
    m.pageWidthDots = page.width();
    m.pageHeightDots = page.height();
    return m;
}

void QtPrintDevice::beginDocument(const std::string &title)
{
    if (inJob_) {
        if (sheetsPlayed_ == 0)
            printer_.setDocName(QString::fromStdString(title));
        surface_.reset();
        sheet_ = std::make_unique<RecordedSheet>(printer_.width(), printer_.height());
        return;
    }
    printer_.setDocName(QString::fromStdString(title));
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(&printer_)) {
        painter_.reset();
        throw KorvaneError(PrinterNotReady);
    }
    QFont font = monospaceGothic();
    font.setPointSizeF(10);
    painter_->setFont(font);
    painter_->setPen(Qt::black);
    y_ = 0;
    surface_ = std::make_unique<PageSurface>(*painter_, printer_.width(), printer_.height(), printer_.resolution());
}

void QtPrintDevice::printLine(const std::string &text)
{
    if (!painter_)
        throw KorvaneError(PrinterNotReady);
    QFontMetrics fm(painter_->font(), &printer_);
    if (y_ > 0 && y_ + fm.height() > printer_.height()) {
        if (!printer_.newPage())
            throw KorvaneError(PrinterNotReady);
        y_ = 0;
    }
    painter_->drawText(0, y_ + fm.ascent(), QString::fromStdString(expandTabs(text)));
    y_ += fm.lineSpacing();
}

void QtPrintDevice::endDocument()
{
    if (inJob_) {
        playSheet();
        return;
    }
    surface_.reset();
    if (painter_ && painter_->isActive())
        painter_->end();
    painter_.reset();
}

void QtPrintDevice::abortDocument()
{
    if (inJob_) {
        // The recorded sheet is dropped; the sheets before it stay.
        sheet_.reset();
        return;
    }
    printer_.abort();
    endDocument();
}

void QtPrintDevice::beginJob()
{
    if (printer_.outputFormat() == QPrinter::PdfFormat && printer_.resolution() != pdfDotsPerInch_)
        printer_.setResolution(pdfDotsPerInch_);
    inJob_ = true;
    turnedForJob_ = false;
    sheetsPlayed_ = 0;
}

void QtPrintDevice::endJob()
{
    abortDocument();
    inJob_ = false;
    if (painter_ && painter_->isActive())
        painter_->end();
    painter_.reset();
    // A job that turned the page leaves the printer as the user set it up.
    if (turnedForJob_)
        printer_.setPageOrientation(printer_.pageLayout().orientation() == QPageLayout::Landscape
                                        ? QPageLayout::Portrait
                                        : QPageLayout::Landscape);
    turnedForJob_ = false;
}

void QtPrintDevice::turnPage()
{
    const bool wasLandscape = printer_.pageLayout().orientation() == QPageLayout::Landscape;
    printer_.setPageOrientation(wasLandscape ? QPageLayout::Portrait : QPageLayout::Landscape);
    turnedForJob_ = inJob_;
}

DrawingSurface *QtPrintDevice::page()
{
    if (inJob_)
        return sheet_.get();
    return surface_.get();
}

void QtPrintDevice::playSheet()
{
    if (!sheet_)
        return;
    std::unique_ptr<RecordedSheet> sheet = std::move(sheet_);
    if (sheetsPlayed_ == 0) {
        painter_ = std::make_unique<QPainter>();
        if (!painter_->begin(&printer_)) {
            painter_.reset();
            throw KorvaneError(PrinterNotReady);
        }
    } else if (!printer_.newPage()) {
        throw KorvaneError(PrinterNotReady);
    }
    PageSurface page(*painter_, printer_.width(), printer_.height(), printer_.resolution());
    sheet->playOnto(page);
    ++sheetsPlayed_;
}

}  // namespace korvane
