#include "gerber/GerberExpansion.h"
#include "core/Errors.h"
#include "core/Numbers.h"
#include "gerber/GerberReader.h"
#include "gerber/GerberTexts.h"

#include <algorithm>

namespace korvane {

ExpandingSink::ExpandingSink(GerberBlockSink &inner, std::size_t limit) : inner_(inner), limit_(limit) {}

void ExpandingSink::startFile(int layer)
{
    made_ = 0;
    x_ = y_ = 0;
    clear_ = false;
    dMode_ = 2;
    selectedBlock_ = -1;
    stepRepeat_ = {};
    blocks_.clear();
    open_.clear();
    stopped_ = false;
    innerDCode_.clear();
    inner_.startFile(layer);
}

// Inside a block aperture's definition calls are only kept; inside a step
// and repeat they are kept and played at once (the first copy).
void ExpandingSink::record(Call call)
{
    if (!open_.empty())
        open_.back().second.push_back(std::move(call));
    else if (stepRepeat_.open)
        stepRepeat_.calls.push_back(std::move(call));
}

void ExpandingSink::selectGCode(long code)
{
    record({Call::GCode, double(code), {}});
    if (open_.empty())
        inner_.selectGCode(code);
}

bool ExpandingSink::selectDCode(std::string_view digits)
{
    if (isOperationCode(digits)) {
        dMode_ = digits.back() - '0';
    } else {
        std::int32_t code = -1;
        tryParseInt(digits, code);
        selectedBlock_ = blocks_.count(code) != 0 ? code : -1;
        if (selectedBlock_ >= 0)
            return true;  // a block aperture is no aperture of the sink
    }
    record({Call::DCode, 0, std::string(digits)});
    if (!open_.empty())
        return true;
    if (!isOperationCode(digits))
        innerDCode_ = digits;
    return inner_.selectDCode(digits);
}

void ExpandingSink::setX(double x)
{
    x_ = x;
    record({Call::X, x, {}});
    if (open_.empty())
        inner_.setX(x);
}

void ExpandingSink::setY(double y)
{
    y_ = y;
    record({Call::Y, y, {}});
    if (open_.empty())
        inner_.setY(y);
}

void ExpandingSink::setI(double i)
{
    record({Call::I, i, {}});
    if (open_.empty())
        inner_.setI(i);
}

void ExpandingSink::setJ(double j)
{
    record({Call::J, j, {}});
    if (open_.empty())
        inner_.setJ(j);
}

void ExpandingSink::setClearPolarity(bool clear)
{
    clear_ = clear;
    record({Call::Polarity, clear ? 1.0 : 0.0, {}});
    if (open_.empty())
        inner_.setClearPolarity(clear);
}

void ExpandingSink::count()
{
    if (++made_ > limit_)
        throw KorvaneError(gerbermsg::tooManyItems(limit_, construct_));
}

void ExpandingSink::executeBlock()
{
    if (selectedBlock_ >= 0 && dMode_ == 3) {
        // A block flash: as it is kept with the step and repeat, and played
        // here unless it is part of a block being defined.
        const Recording &calls = blocks_.at(selectedBlock_);
        if (!open_.empty()) {
            // Kept as a flash of the block: played where the outer block is.
            Recording &into = open_.back().second;
            into.push_back({Call::DCode, 0, std::to_string(selectedBlock_)});
            into.push_back({Call::Execute, 0, {}});
            return;
        }
        record({Call::DCode, 0, std::to_string(selectedBlock_)});
        record({Call::Execute, 0, {}});
        const bool wasClear = clear_;
        construct_ = "%AB";
        play(calls, x_, y_, wasClear);
        construct_ = "%SR";
        inner_.setClearPolarity(wasClear);
        inner_.setX(x_);
        inner_.setY(y_);
        clear_ = wasClear;
        return;
    }
    record({Call::Execute, 0, {}});
    if (open_.empty()) {
        count();
        inner_.executeBlock();
    }
}

bool ExpandingSink::play(const Recording &calls, double dx, double dy, bool turnPolarity)
{
    if (turnPolarity)
        inner_.setClearPolarity(true);
    long block = -1;
    int dMode = 2;
    double x = 0, y = 0;
    bool clear = false;
    for (const Call &c : calls) {
        switch (c.kind) {
        case Call::GCode: inner_.selectGCode(static_cast<long>(c.value)); break;
        case Call::DCode: {
            if (isOperationCode(c.digits)) {
                dMode = c.digits.back() - '0';
            } else {
                std::int32_t code = -1;
                tryParseInt(c.digits, code);
                block = blocks_.count(code) != 0 ? code : -1;
                // The aperture the sink has already is not selected again
                // (cross-creation would open a report row per selection).
                if (block >= 0 || c.digits == innerDCode_)
                    break;
                innerDCode_ = c.digits;
            }
            if (!inner_.selectDCode(c.digits)) {
                stopped_ = true;
                return false;
            }
            break;
        }
        case Call::X:
            x = c.value + dx;
            inner_.setX(x);
            break;
        case Call::Y:
            y = c.value + dy;
            inner_.setY(y);
            break;
        case Call::I: inner_.setI(c.value); break;
        case Call::J: inner_.setJ(c.value); break;
        case Call::Polarity:
            clear = c.value != 0;
            inner_.setClearPolarity(clear != turnPolarity);
            break;
        case Call::Execute:
            if (block >= 0 && dMode == 3) {
                // A block flashed inside a repeated block.
                if (!play(blocks_.at(block), x, y, clear != turnPolarity))
                    return false;
                inner_.setClearPolarity(clear != turnPolarity);
                break;
            }
            count();
            inner_.executeBlock();
            break;
        }
    }
    return true;
}

bool ExpandingSink::stepRepeat(long countX, long countY, double stepX, double stepY)
{
    endStepRepeat();
    if (countX <= 1 && countY <= 1)
        return true;
    stepRepeat_.open = true;
    stepRepeat_.countX = std::max(1L, countX);
    stepRepeat_.countY = std::max(1L, countY);
    stepRepeat_.stepX = stepX;
    stepRepeat_.stepY = stepY;
    stepRepeat_.startX = x_;
    stepRepeat_.startY = y_;
    stepRepeat_.startClear = clear_;
    return true;
}

void ExpandingSink::endStepRepeat()
{
    if (!stepRepeat_.open)
        return;
    StepRepeat sr = std::move(stepRepeat_);
    stepRepeat_ = {};
    const bool endClear = clear_;
    for (long j = 0; j < sr.countY && !stopped_; ++j)
        for (long i = 0; i < sr.countX && !stopped_; ++i) {
            if (i == 0 && j == 0)
                continue;
            count();  // every copy counts, so that copies of nothing still end
            // y is in the internal frame: the board's upward step is negative.
            const double dx = double(i) * sr.stepX, dy = -double(j) * sr.stepY;
            inner_.setClearPolarity(sr.startClear);
            inner_.setX(sr.startX + dx);
            inner_.setY(sr.startY + dy);
            play(sr.calls, dx, dy, false);
        }
    inner_.setClearPolarity(endClear);
    clear_ = endClear;
}

bool ExpandingSink::openBlock(long dcode)
{
    open_.push_back({dcode, {}});
    return true;
}

bool ExpandingSink::closeBlock()
{
    if (open_.empty())
        return false;
    auto [dcode, calls] = std::move(open_.back());
    open_.pop_back();
    blocks_[dcode] = std::move(calls);
    return true;
}

void ExpandingSink::endFile()
{
    endStepRepeat();
    open_.clear();
    inner_.endFile();
}

}  // namespace korvane
