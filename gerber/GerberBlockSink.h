#pragma once
// What the Gerber block reader hands on: modal codes, coordinates and the
// end of each block. The load's interpreter turns them into display items;
// the print turns them into drawing on a printer page.
#include <string_view>

namespace korvane {

class GerberBlockSink {
public:
    virtual ~GerberBlockSink() = default;

    // Resets the per-file state.
    virtual void startFile(int layer) = 0;
    // G-codes by number.
    virtual void selectGCode(long code) = 0;
    // A D-code's digits as written; false when the user chose to stop the file.
    virtual bool selectDCode(std::string_view digits) = 0;
    // Coordinates in mm; y in the internal frame (negated board Y).
    virtual void setX(double x) = 0;
    virtual void setY(double y) = 0;
    virtual void setI(double i) = 0;
    virtual void setJ(double j) = 0;
    virtual void setClearPolarity(bool clear) = 0;
    // %IPNEG (true) or %IPPOS: the file's image is negative or positive.
    virtual void setImageNegative(bool) {}
    virtual void executeBlock() = 0;
};

}  // namespace korvane
