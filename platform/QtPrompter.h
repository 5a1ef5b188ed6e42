#pragma once
// Message boxes with Japanese titles and buttons.
#include "core/Ports.h"

class QWidget;

namespace korvane {

class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget *parent = nullptr) : parent_(parent) {}
    void setParent(QWidget *parent) { parent_ = parent; }
    Answer show(MessageKind kind, const std::string &text, Buttons buttons) override;

private:
    QWidget *parent_;
};

}  // namespace korvane
