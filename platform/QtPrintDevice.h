#pragma once
// The PrintDevice port on a QPrinter: the print dialog chooses the printer
// (with no printer installed, Qt's dialog offers a PDF file), and plain-text
// lines are drawn in a monospace CJK face so byte padding lines up.
#include "print/PrintDevice.h"

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
    // The PDF file proposed when no printer is installed.
    void setFallbackPdf(const QString &path) { fallbackPdf_ = path; }

    bool choosePrinter() override;
    PrinterMetrics metrics() const override;
    void beginDocument(const std::string &title) override;
    void endDocument() override;
    void abortDocument() override;
    void printLine(const std::string &text) override;

private:
    QPrinter &printer_;
    QWidget *parent_;
    std::function<bool(QPrinter &)> chooser_;
    QString fallbackPdf_;
    std::unique_ptr<QPainter> painter_;
    int y_ = 0;
};

} // namespace korvane
