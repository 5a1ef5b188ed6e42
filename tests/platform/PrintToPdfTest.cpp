#include "platform/QtPrintDevice.h"
#include "support/TempDir.h"

#include <QPrinter>
#include <gtest/gtest.h>

#include <regex>

using namespace korvane;

namespace {

// The sheets of a job become the pages of one PDF; an abandoned sheet
// leaves no page, and lengths are whole 0.01 mm dots.
TEST(PrintToPdfTest, SheetsOfAJobAreThePagesOfOnePdf)
{
    korvane::testing::TempDir dir;
    const std::string pdf = dir.file("job.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    QtPrintDevice device(printer);
    device.setChooser([](QPrinter &) { return true; });
    ASSERT_TRUE(device.choosePrinter());
    device.beginJob();
    PrinterMetrics m = device.metrics();
    EXPECT_NEAR(m.printableWidthMm / m.printableWidthDots, 0.01, 1e-12);
    for (int sheet = 0; sheet < 3; ++sheet) {
        device.beginDocument("job");
        DrawingSurface *page = device.page();
        ASSERT_NE(page, nullptr);
        page->setPen(colours::Black, 1);
        page->setBrush(colours::Black, BrushStyle::Solid);
        page->ellipse(1000, 1000, 2000, 2000);  // 10 mm
        if (sheet == 1)
            device.abortDocument();
        else
            device.endDocument();
    }
    device.turnPage();
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    device.endJob();
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);  // as set up
    const std::string bytes = korvane::testing::TempDir::read(pdf);
    std::regex page("/Type /Page[^s]");
    EXPECT_EQ(std::distance(std::sregex_iterator(bytes.begin(), bytes.end(), page), std::sregex_iterator()), 2);
}

}  // namespace
