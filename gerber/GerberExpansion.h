#pragma once
// Step and repeat (%SR) and block apertures (%AB) for the readers that take
// a file block by block (cross-creation's holes, the print's drawing): the
// calls of a repeated block or of a block aperture are kept and played to
// the sink again at each copy or flash, moved there. The load expands its
// items itself, with the aperture transforms as well.
#include "gerber/GerberBlockSink.h"
#include "gerber/GerberInterpreter.h"

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace korvane {

class ExpandingSink : public GerberBlockSink {
public:
    // `limit`: blocks one file may make, copies included, before the
    // reading stops with a KorvaneError naming the construct.
    explicit ExpandingSink(GerberBlockSink &inner, std::size_t limit = DefaultItemLimit);

    void startFile(int layer) override;
    void selectGCode(long code) override;
    bool selectDCode(std::string_view digits) override;
    void setX(double x) override;
    void setY(double y) override;
    void setI(double i) override;
    void setJ(double j) override;
    void setClearPolarity(bool clear) override;
    void executeBlock() override;
    bool stepRepeat(long countX, long countY, double stepX, double stepY) override;
    bool openBlock(long dcode) override;
    bool closeBlock() override;
    void flashAsMacro(long dcode, int macroLine) override { inner_.flashAsMacro(dcode, macroLine); }
    void endFile() override;

private:
    struct Call {
        enum Kind { GCode, DCode, X, Y, I, J, Polarity, Execute } kind;
        double value = 0;
        std::string digits;
    };
    using Recording = std::vector<Call>;

    void record(Call call);
    // Plays calls to the inner sink moved by (dx, dy); false when the user
    // stopped the file.
    bool play(const Recording &calls, double dx, double dy, bool turnPolarity);
    void endStepRepeat();
    void count();

    GerberBlockSink &inner_;
    std::size_t limit_;
    std::size_t made_ = 0;

    double x_ = 0, y_ = 0;
    bool clear_ = false;
    int dMode_ = 2;
    long selectedBlock_ = -1;

    struct StepRepeat {
        bool open = false;
        long countX = 1, countY = 1;
        double stepX = 0, stepY = 0;
        double startX = 0, startY = 0;
        bool startClear = false;
        Recording calls;
    } stepRepeat_;
    std::map<long, Recording> blocks_;
    std::vector<std::pair<long, Recording>> open_;
    bool stopped_ = false;
    std::string construct_ = "%SR";
    std::string innerDCode_;  // the aperture the sink has selected
};

}  // namespace korvane
