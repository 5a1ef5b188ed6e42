#pragma once
// The PrintDevice port on a QPrinter: the print dialog chooses the printer
// (with no printer installed, Qt's dialog offers a PDF file), and plain-text
// lines are drawn in a monospace CJK face so byte padding lines up.
#include "core/PrintDevice.h"
#include "print/RecordedSheet.h"

#include <QString>
#include <functional>
#include <memory>

class QPainter;
class QPrinter;
class QWidget;

namespace korvane {

class QtPrintDevice : public PrintDevice {
public:
    // The printer is the main window's, shared by every print command.
    explicit QtPrintDevice(QPrinter &printer, QWidget *parent = nullptr);
    ~QtPrintDevice() override;

    // Replaces the print dialog (tests, batch runs): it is given the printer
    // and returns whether to print.
    void setChooser(std::function<bool(QPrinter &)> chooser) { chooser_ = std::move(chooser); }
    // The PDF file proposed when no printer is installed (by default a new
    // time-stamped file in the documents folder for each print).
    void setFallbackPdf(const QString &path) { fallbackPdf_ = path; }

    bool choosePrinter() override;
    PrinterMetrics metrics() const override;
    void beginDocument(const std::string &title) override;
    void endDocument() override;
    void abortDocument() override;
    void printLine(const std::string &text) override;

    // Sheets of a job are recorded one by one and go onto the printer only
    // when they end, so an abandoned sheet leaves nothing behind and every
    // finished sheet is one page of one document (one PDF).
    void beginJob() override;
    void endJob() override;
    void turnPage() override;
    DrawingSurface *page() override;

    // The resolution of PDF output: 0.01 mm dots by default, so that
    // lengths on the page are whole dots.
    static constexpr int PdfDotsPerInch = 2540;
    void setPdfResolution(int dotsPerInch) { pdfDotsPerInch_ = dotsPerInch; }

private:
    void playSheet();

    QPrinter &printer_;
    QWidget *parent_;
    std::function<bool(QPrinter &)> chooser_;
    QString fallbackPdf_;
    // The name last proposed: while the printer still holds it, the next
    // print proposes a new one.
    QString proposedPdf_;
    std::unique_ptr<QPainter> painter_;
    int y_ = 0;
    int pdfDotsPerInch_ = PdfDotsPerInch;
    bool inJob_ = false;
    bool turnedForJob_ = false;
    int sheetsPlayed_ = 0;
    std::unique_ptr<RecordedSheet> sheet_;
    std::unique_ptr<DrawingSurface> surface_;
};

}  // namespace korvane
