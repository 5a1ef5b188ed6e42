#pragma once
// "フォーマット変換": a batch of Gerber or drill files converted in one run,
// in the mode of the menu command that opened the dialog.
#include "app/DialogPorts.h"
#include "convert/ConversionBatch.h"

#include <QDialog>

class QListWidget;
class QPushButton;

namespace korvane {

class TFconv : public QDialog {
    Q_OBJECT
public:
    // The four format dialogs are opened by "入力ﾌｫｰﾏｯﾄ" and "出力ﾌｫｰﾏｯﾄ".
    TFconv(ConversionResources resources, DialogPorts ports, QDialog &gerberIn, QDialog &gerberOut, QDialog &drillIn,
           QDialog &drillOut, QWidget *parent = nullptr);

    // Sets the mode and its caption and opens the dialog (modal).
    int openIn(ConversionMode mode);
    // The mode the dialog was last opened in; None before the first opening.
    ConversionMode mode() const { return batch_.mode(); }
    const ConversionBatch &batch() const { return batch_; }

    void selectFiles();
    void renameOutput(int row);
    void run();
    void reject() override;

private:
    void showLists();

    ConversionResources resources_;
    DialogPorts ports_;
    QDialog &gerberIn_;
    QDialog &gerberOut_;
    QDialog &drillIn_;
    QDialog &drillOut_;
    ConversionBatch batch_{ConversionMode::None};
    QListWidget *inputs_;
    QListWidget *outputs_;
};

}  // namespace korvane
