#include "gerber/MacroExpression.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/Messages.h"
#include "core/Numbers.h"

#include <cctype>
#include <cmath>
#include <string>

namespace korvane {
namespace {

class Parser {
public:
    Parser(std::string_view text, const MacroReferenceLookup &lookup) : text_(text), lookup_(lookup) {}

    double parse()
    {
        skipBlanks();
        if (pos_ == text_.size())
            return 0;
        double v = sum();
        skipBlanks();
        if (pos_ != text_.size())
            fail();
        return v;
    }

private:
    [[noreturn]] void fail() const { throw KorvaneError(msg::format(msg::NotAReal, text_)); }

    void skipBlanks()
    {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t'))
            ++pos_;
    }

    bool take(char c)
    {
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    double sum()
    {
        double v = product();
        for (;;) {
            if (take('+'))
                v += product();
            else if (take('-'))
                v -= product();
            else
                return v;
        }
    }

    double product()
    {
        double v = unary();
        for (;;) {
            if (take('x') || take('X')) {
                v *= unary();
            } else if (take('/')) {
                double d = unary();
                // A division by zero in a damaged file gives 0, not infinity.
                v = d == 0 ? 0 : v / d;
            } else {
                return v;
            }
        }
    }

    double unary()
    {
        if (++depth_ > 200)
            fail();  // nesting that deep is no macro, only a stack overflow
        double v;
        if (take('-'))
            v = -unary();
        else if (take('+'))
            v = unary();
        else
            v = primary();
        --depth_;
        return v;
    }

    double primary()
    {
        skipBlanks();
        if (take('(')) {
            double v = sum();
            if (!take(')'))
                fail();
            return v;
        }
        if (pos_ < text_.size() && text_[pos_] == '$') {
            ++pos_;
            size_t start = pos_;
            while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_])))
                ++pos_;
            std::int32_t k;
            if (pos_ == start || !tryParseInt(text_.substr(start, pos_ - start), k))
                fail();
            auto value = lookup_ ? lookup_(k) : std::nullopt;
            if (!value)
                fail();
            return *value;
        }
        size_t start = pos_;
        while (pos_ < text_.size() && (std::isdigit(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '.'))
            ++pos_;
        // The exponent form numbers are written in ("1.5E-6").
        if (pos_ > start && pos_ + 1 < text_.size() && (text_[pos_] == 'E' || text_[pos_] == 'e')) {
            size_t e = pos_ + 1;
            if (text_[e] == '+' || text_[e] == '-')
                ++e;
            if (e < text_.size() && std::isdigit(static_cast<unsigned char>(text_[e]))) {
                while (e < text_.size() && std::isdigit(static_cast<unsigned char>(text_[e])))
                    ++e;
                pos_ = e;
            }
        }
        double v;
        if (pos_ == start || !tryParseReal(text_.substr(start, pos_ - start), v))
            fail();
        return v;
    }

    std::string_view text_;
    const MacroReferenceLookup &lookup_;
    size_t pos_ = 0;
    int depth_ = 0;
};

}  // namespace

double evaluateMacroExpression(std::string_view text, const MacroReferenceLookup &lookup)
{
    double v = Parser(trimBlanks(text), lookup).parse();
    if (!std::isfinite(v))
        throw KorvaneError(msg::format(msg::NotAReal, text));
    return v;
}

bool hasMacroReference(std::string_view text) { return text.find('$') != std::string_view::npos; }

}  // namespace korvane
