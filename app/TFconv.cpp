#include "app/TFconv.h"
#include "convert/ConvertTexts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace korvane {

static QString q(const char *s) { return QString::fromUtf8(s); }

TFconv::TFconv(ConversionResources resources, DialogPorts ports, QDialog &gerberIn, QDialog &gerberOut,
               QDialog &drillIn, QDialog &drillOut, QWidget *parent)
    : QDialog(parent), resources_(resources), ports_(ports), gerberIn_(gerberIn), gerberOut_(gerberOut),
      drillIn_(drillIn), drillOut_(drillOut)
{
    setObjectName("TFconv");
    setWindowTitle(q(convmsg::BatchFormCaption));
    setModal(true);

    inputs_ = new QListWidget(this);
    inputs_->setObjectName("inputFileList");
    outputs_ = new QListWidget(this);
    outputs_->setObjectName("outputFileList");
    for (QListWidget *list : {inputs_, outputs_})
        list->setMinimumSize(300, 220);
    connect(outputs_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { renameOutput(outputs_->row(item)); });

    auto button = [this](const char *caption, const char *name) {
        auto *b = new QPushButton(q(caption), this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    QPushButton *select = button("ﾌｧｲﾙ選択", "selectFilesButton");
    QPushButton *inFormat = button("入力ﾌｫｰﾏｯﾄ", "inputFormatButton");
    QPushButton *outFormat = button("出力ﾌｫｰﾏｯﾄ", "outputFormatButton");
    QPushButton *runButton = button("実  行", "runButton");
    QPushButton *close = button("閉じる", "closeButton");
    connect(select, &QPushButton::clicked, this, &TFconv::selectFiles);
    connect(inFormat, &QPushButton::clicked, this,
            [this] { (mode() == ConversionMode::Drill ? drillIn_ : gerberIn_).exec(); });
    connect(outFormat, &QPushButton::clicked, this,
            [this] { (mode() == ConversionMode::Drill ? drillOut_ : gerberOut_).exec(); });
    connect(runButton, &QPushButton::clicked, this, &TFconv::run);
    connect(close, &QPushButton::clicked, this, &TFconv::reject);

    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(q("変換前ファイル"), this), 0, 0);
    grid->addWidget(new QLabel(q("変換後ファイル"), this), 0, 1);
    grid->addWidget(inputs_, 1, 0);
    grid->addWidget(outputs_, 1, 1);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {select, inFormat, outFormat, runButton, close})
        buttons->addWidget(b);
    grid->addLayout(buttons, 2, 0, 1, 2);
}

int TFconv::openIn(ConversionMode mode)
{
    batch_.setMode(mode);
    setWindowTitle(q(mode == ConversionMode::Drill ? convmsg::BatchDrillCaption : convmsg::BatchGerberCaption));
    showLists();
    return exec();
}

void TFconv::selectFiles()
{
    batch_.selectFiles(ports_.prompter, ports_.picker);
    showLists();
}

void TFconv::renameOutput(int row)
{
    if (row >= 0 && batch_.renameOutput(static_cast<std::size_t>(row), ports_.picker))
        showLists();
}

void TFconv::run()
{
    ConversionRunOptions options;
    options.listsEmptied = [this] { showLists(); };
    runConversion(batch_, resources_, ports_.prompter, ports_.status, options);
    showLists();
}

void TFconv::reject()
{
    batch_.clear();
    showLists();
    QDialog::reject();
}

void TFconv::showLists()
{
    inputs_->clear();
    outputs_->clear();
    for (const std::string &path : batch_.inputFiles())
        inputs_->addItem(QString::fromStdString(path));
    for (const std::string &path : batch_.outputFiles())
        outputs_->addItem(QString::fromStdString(path));
}

}  // namespace korvane
