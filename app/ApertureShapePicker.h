#pragma once
// "形状の選択": the pick list of shapes. A click or Enter on an entry picks
// it; Esc closes the list without a pick.
#include <QDialog>
#include <optional>
#include <string>

class QListWidget;
class QListWidgetItem;

namespace korvane {

class ApertureShapePicker : public QDialog {
    Q_OBJECT
public:
    // `current` is the row's shape; its entry starts selected.
    explicit ApertureShapePicker(const std::string &current, QWidget *parent = nullptr);

    QListWidget *list() const { return list_; }
    const std::optional<std::string> &picked() const { return picked_; }

    // Opens the list modally; the picked entry, or nothing.
    static std::optional<std::string> choose(const std::string &current, QWidget *parent);

private:
    void pick(QListWidgetItem *item);

    QListWidget *list_;
    std::optional<std::string> picked_;
};

}  // namespace korvane
