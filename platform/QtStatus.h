#pragma once
// Status-bar text and the busy pointer. The text is repainted at once,
// because long commands run on the interface thread.
#include "core/Ports.h"

#include <QPointer>

class QStatusBar;

namespace korvane {

class QtStatus : public StatusSink {
public:
    explicit QtStatus(QStatusBar *bar = nullptr) : bar_(bar) {}
    void setStatusBar(QStatusBar *bar) { bar_ = bar; }
    void setStatus(const std::string &text) override;
    void clearStatus() override;
    void setBusy(bool busy) override;
    bool pumpEvents() override;

private:
    QPointer<QStatusBar> bar_;
};

}  // namespace korvane
