#pragma once
// The printer as the print commands see it. The Qt adapter drives a QPrinter
// (a real printer or a PDF file); tests record what would be printed.
#include <string>

namespace korvane {
class DrawingSurface;
}

namespace korvane {

struct PrinterMetrics {
    double printableWidthMm = 0;  // physical size of the printable area
    double printableHeightMm = 0;
    int printableWidthDots = 0;  // the same area in dots
    int printableHeightDots = 0;
    int pageWidthDots = 0;
    int pageHeightDots = 0;
};

class PrintDevice {
public:
    virtual ~PrintDevice();

    // The print dialog: the user chooses the printer and confirms.
    // False when the user cancelled; nothing may be printed then.
    virtual bool choosePrinter() = 0;

    virtual PrinterMetrics metrics() const = 0;

    // `title` names the job (the document name of the spooler or PDF).
    virtual void beginDocument(const std::string &title) = 0;
    virtual void endDocument() = 0;
    virtual void abortDocument() = 0;

    // One line of plain text (UTF-8; tabs stop every eight columns, a
    // double-byte character takes two). Starts a new page when the page is
    // full.
    virtual void printLine(const std::string &text) = 0;

    // Page drawing. Between beginJob and endJob every document is one sheet
    // of the same output (one PDF, one spooler job); an aborted document
    // leaves no sheet behind. Outside a job each document stands alone.
    virtual void beginJob() {}
    virtual void endJob() {}
    // Turns the page a quarter (portrait to landscape or back) before the
    // next document begins; a job's turn lasts until the job ends.
    virtual void turnPage() {}
    // The page of the document in progress, in dots of the printable area;
    // nothing when the device cannot draw.
    virtual DrawingSurface *page() { return nullptr; }
};

}  // namespace korvane
