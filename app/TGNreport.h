#pragma once
// The report window of the cross-creation: input and output paths and the
// codes met with their hit counts.
#include "renumber/CrossCreation.h"

#include <QDialog>

class QLabel;
class QTableWidget;

namespace korvane {

class TGNreport : public QDialog {
    Q_OBJECT
public:
    explicit TGNreport(QWidget *parent = nullptr);
    void showReport(CreationDirection direction, const CreationReport &report);
    QTableWidget *grid() const { return grid_; }
    QLabel *inputName() const { return inputName_; }

private:
    void clear();
    void fitToContents();
    QLabel *inputName_;
    QLabel *outputName_;
    QTableWidget *grid_;
};

}  // namespace korvane
