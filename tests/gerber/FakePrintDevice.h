#pragma once
// A printer that records the lines it is given and the calls around them.
#include "core/Errors.h"
#include "core/PrintDevice.h"

#include <string>
#include <vector>

namespace korvane::testing {

class FakePrintDevice : public PrintDevice {
public:
    bool confirm = true;
    int failAtLine = -1;  // the printLine call (0-based) that throws
    std::vector<std::string> lines;
    std::vector<std::string> calls;

    bool choosePrinter() override
    {
        calls.push_back("choose");
        return confirm;
    }
    PrinterMetrics metrics() const override { return {}; }
    void beginDocument(const std::string &title) override { calls.push_back("begin " + title); }
    void endDocument() override { calls.push_back("end"); }
    void abortDocument() override { calls.push_back("abort"); }
    void printLine(const std::string &text) override
    {
        if (static_cast<int>(lines.size()) == failAtLine) {
            failAtLine = -1;
            throw KorvaneError("入出力エラー 5");
        }
        lines.push_back(text);
    }
};

}  // namespace korvane::testing
