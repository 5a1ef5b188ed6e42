#pragma once
// "バージョン情報": the product name, the version and a picture.
#include <QDialog>

namespace korvane {

inline constexpr const char *VersionText = "Ver4.2.36";

class VersionBox : public QDialog {
    Q_OBJECT
public:
    explicit VersionBox(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;
};

}  // namespace korvane
