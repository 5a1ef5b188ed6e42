#pragma once
// Message boxes with Japanese titles and buttons.
#include "core/Ports.h"

class QMessageBox;
class QWidget;

namespace korvane {

// The check box of a question inside a file.
inline constexpr const char *SameAnswerForRest = "以降も同じ回答にする";

class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget *parent = nullptr) : parent_(parent) {}
    void setParent(QWidget *parent) { parent_ = parent; }
    Answer show(MessageKind kind, const std::string &text, Buttons buttons) override;
    // The question box with a check box that answers the questions of its
    // kind the same for the rest of the file.
    Answer askOfferingSameAnswer(MessageKind kind, const std::string &text, bool &sameForRest) override;

private:
    QWidget *owner() const;
    static void prepare(QMessageBox &box, MessageKind kind, const std::string &text);

    QWidget *parent_;
};

}  // namespace korvane
