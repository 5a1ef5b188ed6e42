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

    // RS-274X constructs a sink may leave to the load: it then says so.
    // Step and repeat (%SR): counts and steps in mm; a new %SR or the end
    // of the file ends the one before.
    virtual bool stepRepeat(long /*countX*/, long /*countY*/, double /*stepX*/, double /*stepY*/) { return false; }
    // Block apertures (%ABD..*% to %AB*%).
    virtual bool openBlock(long /*dcode*/) { return false; }
    virtual bool closeBlock() { return false; }
    // %LM %LR %LS: mirror (x, y), rotation in degrees, scale.
    virtual bool setApertureTransform(bool /*mirrorX*/, bool /*mirrorY*/, double /*degrees*/, double /*scale*/)
    {
        return false;
    }
    // %OF %SF %MI %IR: offset in mm, scale factors, mirrored axes, rotation.
    struct Image {
        double offsetA = 0, offsetB = 0, scaleA = 1, scaleB = 1;
        bool mirrorA = false, mirrorB = false;
        int rotation = 0;
    };
    virtual bool setImage(const Image & /*image*/) { return false; }
    // A D-code whose flash is the macro at this library line, whatever its
    // table row says (a thermal macro kept as a thermal row).
    virtual void flashAsMacro(long /*dcode*/, int /*macroLine*/) {}
    // The file's end: a step and repeat still open is expanded.
    virtual void endFile() {}
};

}  // namespace korvane
