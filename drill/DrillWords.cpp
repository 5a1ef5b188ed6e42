#include "drill/DrillWords.h"
#include "core/Encoding.h"

namespace korvane {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

void DrillWordReader::feed(std::string_view chunk)
{
    for (char c : chunk) {
        if (comment_ != 0) {
            if (c == ')' && comment_ == '(') {
                comment_ = 0;
                continue;
            }
            if (c != '\n' && c != '\r')
                continue;
            comment_ = 0;
        }
        if (collect_ != Collect::None) {
            const bool number = collect_ == Collect::Number;
            if (isDigit(c) || (number && (c == '-' || c == '.' || c == ' ')) || (collect_ == Collect::C && c == '.')) {
                text_ += c;
                continue;
            }
            if (number && c == '+')
                continue;
            endWord();
        }
        switch (c) {
        case 'T':
            collect_ = Collect::T;
            toolHasC_ = false;
            text_.clear();
            break;
        case 'C':
            collect_ = Collect::C;
            text_.clear();
            break;
        case 'G':
            collect_ = Collect::G;
            text_.clear();
            break;
        case 'M':
            collect_ = Collect::M;
            text_.clear();
            break;
        case 'X':
        case 'Y':
        case 'A':
        case 'I':
        case 'J':
            collect_ = Collect::Number;
            letter_ = c;
            text_.clear();
            break;
        case '%': header_ = false; break;
        case ';':
        case '(': comment_ = c; break;
        case '\n':
            endBlock();
            ++line_;
            break;
        case '\r':
        case '*': endBlock(); break;
        default: break;
        }
    }
}

void DrillWordReader::finish()
{
    if (collect_ != Collect::None)
        endWord();
    endBlock();
}

void DrillWordReader::endWord()
{
    const Collect was = collect_;
    collect_ = Collect::None;
    DrillBlock &b = block_;
    switch (was) {
    case Collect::T:
        toolText_ = text_;
        if (!text_.empty()) {
            b.tool = text_;
            b.toolDefinition.reset();
        }
        b.lastWordIsCoordinate = false;
        // A C right after the digits makes the T word a definition when the
        // block ends (see endBlock).
        toolHasC_ = false;
        break;
    case Collect::C:
        if (b.tool && *b.tool == toolText_)
            toolHasC_ = true;
        break;
    case Collect::G: {
        b.lastWordIsCoordinate = false;
        if (text_.empty() || text_.size() > 3)
            break;
        const int g = std::stoi(text_);
        if (text_ == "80")
            b.g80 = true;
        else if (g == 85) {
            b.g85 = true;
            b.slotSplit = b.coordinates.size();
        } else if (g <= 3)
            b.motion = g;
        else if (g == 5)
            b.g05 = true;
        break;
    }
    case Collect::M:
        if (text_.empty() || text_.size() > 3)
            break;
        b.m = std::stoi(text_);
        if (*b.m == 48)
            header_ = true;
        else if (*b.m == 95)
            header_ = false;
        break;
    case Collect::Number: {
        std::string text(trimBlanks(text_));
        if (letter_ == 'X' || letter_ == 'Y') {
            b.coordinates.push_back({letter_ == 'X', std::move(text)});
            b.lastWordIsCoordinate = true;
        } else {
            (letter_ == 'A' ? b.a : letter_ == 'I' ? b.i : b.j) = std::move(text);
        }
        break;
    }
    case Collect::None: break;
    }
    text_.clear();
}

void DrillWordReader::endBlock()
{
    DrillBlock &b = block_;
    if (b.tool && (header_ || (toolHasC_ && !coordinateSeen_))) {
        b.toolDefinition = b.tool;
        b.tool.reset();
    }
    if (!b.coordinates.empty()) {
        coordinateSeen_ = true;
        header_ = false;
    }
    b.line = line_;
    if (!b.empty())
        sink_.block(b);
    block_ = DrillBlock{};
    toolHasC_ = false;
}

}  // namespace korvane
