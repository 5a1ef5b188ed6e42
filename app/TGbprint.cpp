#include "app/TGbprint.h"
#include "app/FormWidgets.h"
#include "app/LayerColourBoxes.h"
#include "app/TGinFormat.h"
#include "core/Errors.h"
#include "core/Numbers.h"
#include "platform/QtColour.h"
#include "print/PrintTexts.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableWidget>
#include <QVBoxLayout>

namespace korvane {
namespace {

QString q(const char *text) { return QString::fromUtf8(text); }
QString q(const std::string &text) { return QString::fromStdString(text); }

// The small pick list of a grid column: a press on an entry or Enter takes
// it; Esc, or Enter and presses with nothing selected, close without one.
class PickList : public QDialog {
public:
    PickList(const char *caption, const std::vector<std::string> &entries, QWidget *parent) : QDialog(parent)
    {
        setObjectName("pickList");
        setWindowTitle(q(caption));
        setModal(true);
        list_ = new QListWidget(this);
        list_->setObjectName("pickEntries");
        for (const auto &e : entries)
            list_->addItem(q(e));
        list_->setCurrentRow(-1);
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(2, 2, 2, 2);
        layout->addWidget(list_);
        // Every entry in sight and the caption whole (beside the frame's
        // buttons), whatever the font.
        const int rowHeight = list_->sizeHintForRow(0) > 0 ? list_->sizeHintForRow(0) : 18;
        const QFontMetrics metrics(font());
        int wide = metrics.horizontalAdvance(windowTitle()) + 120;
        for (const auto &e : entries)
            wide = std::max(wide, metrics.horizontalAdvance(q(e)) + 40);
        list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        resize(std::max(160, wide), static_cast<int>(entries.size()) * rowHeight + 2 * list_->frameWidth() + 6);
        connect(list_, &QListWidget::itemPressed, this, [this](QListWidgetItem *item) {
            chosen_ = item->text().toStdString();
            accept();
        });
    }

    std::string chosen() const { return chosen_; }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            if (QListWidgetItem *item = list_->currentItem(); item && item->isSelected())
                chosen_ = item->text().toStdString();
            accept();
            return;
        }
        QDialog::keyPressEvent(event);
    }

private:
    QListWidget *list_;
    std::string chosen_;
};

}  // namespace

TGbprint::TGbprint(PrintDefaults &defaults, ApertureTable &table, MacroLibrary &macros, GerberInFormat &format,
                   TGinFormat &formatDialog, DialogPorts ports, PrintDevice &printer, PrintProgress &progress,
                   QWidget *parent)
    : QDialog(parent), defaults_(defaults), apertures_(table), macros_(macros), format_(format),
      formatDialog_(formatDialog), ports_(ports), printer_(printer), progress_(progress)
{
    setObjectName("TGbprint");
    setWindowTitle(q(printmsg::GerberPrintCaption));
    setModal(true);

    table_ = new QTableWidget(GerberPrintGrid::Rows, GerberPrintGrid::Columns, this);
    table_->setObjectName("fileGrid");
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->setFocusPolicy(Qt::NoFocus);
    table_->verticalHeader()->hide();
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QStringList headers;
    for (int c = 0; c < GerberPrintGrid::Columns; ++c)
        headers << q(gridHeader(c));
    table_->setHorizontalHeaderLabels(headers);
    table_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    table_->setMinimumSize(560, 380);
    table_->horizontalHeader()->setTextElideMode(Qt::ElideNone);
    connect(table_, &QTableWidget::cellClicked, this, [this](int r, int c) { cellClicked(r + 1, c); });

    // The row colours, one box beside each grid row.
    auto *colourColumn = new QVBoxLayout;
    colourColumn->setSpacing(0);
    colourButton_ = new QPushButton(QStringLiteral("カラー"), this);
    colourButton_->setObjectName("colourButton");
    colourButton_->setFixedWidth(48);
    colourColumn->addWidget(colourButton_);
    for (int r = 1; r <= GerberPrintGrid::Rows; ++r) {
        auto *box = new QPushButton(this);
        box->setObjectName(QStringLiteral("rowColourBox%1").arg(r));
        box->setFixedWidth(48);
        connect(box, &QPushButton::clicked, this, [this, r] { pickColour(r); });
        colourBoxes_[static_cast<size_t>(r - 1)] = box;
        colourColumn->addWidget(box, 1);
    }

    scaleMode_ = new RadioGroup(QStringLiteral("印刷ｽｹｰﾙ"), {QStringLiteral("ｽｹｰﾙ指定"), QStringLiteral("自動ｽｹｰﾙ")},
                                "scaleGroup", this);
    scale_ = new QLineEdit(QStringLiteral("1.00"), this);
    scale_->setObjectName("scaleField");
    scale_->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9.]*"), scale_));
    scale_->setFixedWidth(60);
    keep_ = new QCheckBox(this);
    keep_->setObjectName("keepScaleBox");
    {
        auto *row = new QHBoxLayout;
        row->addWidget(scale_);
        row->addWidget(keep_);
        row->addStretch();
        static_cast<QVBoxLayout *>(scaleMode_->layout())->addLayout(row);
    }
    title_ = new RadioGroup(QStringLiteral("ﾀｲﾄﾙ印刷"), {QStringLiteral("有り"), QStringLiteral("無し")}, "titleGroup",
                            this, Qt::Horizontal);
    mode_ = new RadioGroup(QStringLiteral("印刷ﾓｰﾄﾞ"), {QStringLiteral("ﾓﾉｸﾛ"), QStringLiteral("ｶﾗｰ")}, "modeGroup",
                           this, Qt::Horizontal);
    region_ = new RadioGroup(QStringLiteral("G36/G37ﾓｰﾄﾞ"), {QStringLiteral("塗潰し"), QStringLiteral("ﾊｯﾁﾝｸﾞ")},
                             "regionGroup", this, Qt::Horizontal);
    scaleMode_->setIndex(0);
    region_->setIndex(0);
    auto *offsets = new QGroupBox(QStringLiteral("ｵﾌｾｯﾄ印刷"), this);
    offsets->setObjectName("offsetGroup");
    {
        auto *grid = new QGridLayout(offsets);
        offsetX_ = new QLineEdit(QStringLiteral("0"), offsets);
        offsetY_ = new QLineEdit(QStringLiteral("0"), offsets);
        offsetX_->setObjectName("offsetXField");
        offsetY_->setObjectName("offsetYField");
        for (QLineEdit *e : {offsetX_, offsetY_}) {
            e->setValidator(new QRegularExpressionValidator(QRegularExpression("[-0-9.]*"), e));
            e->setFixedWidth(70);
        }
        grid->addWidget(new QLabel(QStringLiteral("X座標値 :"), offsets), 0, 0);
        grid->addWidget(offsetX_, 0, 1);
        grid->addWidget(new QLabel(QStringLiteral("mm"), offsets), 0, 2);
        grid->addWidget(new QLabel(QStringLiteral("Y座標値 :"), offsets), 1, 0);
        grid->addWidget(offsetY_, 1, 1);
        grid->addWidget(new QLabel(QStringLiteral("mm"), offsets), 1, 2);
    }

    auto makeButton = [this](const QString &caption, const QString &name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(name);
        return b;
    };
    chooseButton_ = makeButton(QStringLiteral("ﾌｧｲﾙ選択"), "chooseFilesButton");
    QPushButton *formatButton = makeButton(QStringLiteral("ﾌｫｰﾏｯﾄ設定"), "formatButton");
    QPushButton *apertureButton = makeButton(QStringLiteral("ｱﾊﾟｰﾁｬ"), "apertureButton");
    QPushButton *printerButton = makeButton(QStringLiteral("ﾌﾟﾘﾝﾀ設定"), "printerSetupButton");
    QPushButton *loadButton = makeButton(QStringLiteral("ﾊﾟﾗﾒｰﾀﾛｰﾄﾞ"), "loadParametersButton");
    QPushButton *saveButton = makeButton(QStringLiteral("ﾊﾟﾗﾒｰﾀｾｰﾌﾞ"), "saveParametersButton");
    QPushButton *printButton = makeButton(QStringLiteral("印  刷"), "printButton");
    QPushButton *closeButton = makeButton(QStringLiteral("閉じる"), "closeButton");
    connect(chooseButton_, &QPushButton::clicked, this, &TGbprint::chooseFiles);
    connect(formatButton, &QPushButton::clicked, this, &TGbprint::openFormat);
    connect(apertureButton, &QPushButton::clicked, this, &TGbprint::apertureRequested);
    connect(printerButton, &QPushButton::clicked, this, &TGbprint::printerSetupRequested);
    connect(loadButton, &QPushButton::clicked, this, &TGbprint::loadParameters);
    connect(saveButton, &QPushButton::clicked, this, &TGbprint::saveParameters);
    connect(printButton, &QPushButton::clicked, this, &TGbprint::print);
    connect(closeButton, &QPushButton::clicked, this, &TGbprint::closeDialog);

    connect(title_, &RadioGroup::changed, this, [this](int i) { defaults_.gerberTitle = i == 0; });
    connect(mode_, &RadioGroup::changed, this, [this](int i) {
        defaults_.gerberMode = i == 1 ? PrintMode::Color : PrintMode::Mono;
        showColours();
    });

    auto *side = new QVBoxLayout;
    side->addWidget(scaleMode_);
    side->addWidget(title_);
    side->addWidget(mode_);
    side->addWidget(region_);
    side->addWidget(offsets);
    side->addStretch();
    auto *top = new QHBoxLayout;
    top->addWidget(table_, 1);
    top->addLayout(colourColumn);
    top->addLayout(side);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b :
         {chooseButton_, formatButton, apertureButton, printerButton, loadButton, saveButton, printButton, closeButton})
        buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
    resize(1060, 520);
    showGrid();
}

QPushButton *TGbprint::button(const QString &objectName) const { return findChild<QPushButton *>(objectName); }

std::array<int, GerberPrintGrid::Columns> TGbprint::columnWidths(int gridWidth)
{
    if (gridWidth < 606)
        return {20, 175, 52, 52, 52, 20, 37, 20, 37, 20, 37, 20, 37};
    return {25, 225, 70, 55, 60, 25, 50, 25, 50, 25, 50, 25, 50};
}

// The widths of the form, each widened to its widest text (heading, cells
// and pick entries) in the font in use, so that nothing is cut to "…".
std::array<int, GerberPrintGrid::Columns> TGbprint::fittedColumnWidths(int gridWidth) const
{
    auto widths = columnWidths(gridWidth);
    const QFontMetrics cellMetrics(table_->font());
    const QFontMetrics headMetrics(table_->horizontalHeader()->font());
    constexpr int Padding = 14;
    for (int c = 0; c < GerberPrintGrid::Columns; ++c) {
        int need = headMetrics.horizontalAdvance(table_->horizontalHeaderItem(c)->text());
        for (int r = 0; r < GerberPrintGrid::Rows; ++r)
            if (const QTableWidgetItem *item = table_->item(r, c))
                need = std::max(need, cellMetrics.horizontalAdvance(item->text()));
        if (c >= gridcol::Standalone)
            for (const std::string &e : pickEntries(c))
                need = std::max(need, cellMetrics.horizontalAdvance(q(e)));
        int &w = widths[static_cast<size_t>(c)];
        w = std::max(w, need + Padding);
    }
    return widths;
}

void TGbprint::layOutGrid()
{
    const auto widths = fittedColumnWidths(table_->width());
    int total = 2 * table_->frameWidth();
    for (int c = 0; c < GerberPrintGrid::Columns; ++c) {
        table_->setColumnWidth(c, widths[static_cast<size_t>(c)]);
        total += widths[static_cast<size_t>(c)];
    }
    // The whole grid in sight: no scroll bar hides the last column.
    table_->setMinimumWidth(total);
    const int textHeight = QFontMetrics(table_->font()).height() + 4;
    table_->setMinimumHeight(16 * (textHeight + 1) + 2 * table_->frameWidth());
    const int rowHeight = std::max(textHeight, roundToInt(table_->height() / 16.0 - 1));
    for (int r = 0; r < GerberPrintGrid::Rows; ++r)
        table_->setRowHeight(r, rowHeight);
    table_->horizontalHeader()->setFixedHeight(rowHeight);
}

void TGbprint::showGrid()
{
    for (int r = 1; r <= GerberPrintGrid::Rows; ++r)
        for (int c = 0; c < GerberPrintGrid::Columns; ++c) {
            QTableWidgetItem *item = table_->item(r - 1, c);
            if (!item) {
                item = new QTableWidgetItem;
                item->setFlags(Qt::ItemIsEnabled);
                table_->setItem(r - 1, c, item);
            }
            item->setText(q(grid_.cell(r, c)));
        }
}

void TGbprint::showColours()
{
    const bool colour = defaults_.gerberMode == PrintMode::Color;
    colourButton_->setVisible(colour);
    for (int r = 1; r <= GerberPrintGrid::Rows; ++r) {
        QPushButton *box = colourBox(r);
        box->setVisible(colour);
        LayerColourBoxes::paintBox(box, defaults_.gerberRowColours[static_cast<size_t>(r - 1)]);
    }
}

void TGbprint::showEvent(QShowEvent *event)
{
    // The stored settings may have changed since the last opening.
    title_->setIndex(defaults_.gerberTitle ? 0 : 1);
    mode_->setIndex(defaults_.gerberMode == PrintMode::Color ? 1 : 0);
    showColours();
    showGrid();
    QDialog::showEvent(event);
    layOutGrid();
}

void TGbprint::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    layOutGrid();
}

std::string TGbprint::pickEntry(int column, const std::string &)
{
    PickList list(pickCaption(column), pickEntries(column), this);
    QRect cell = table_->visualRect(table_->model()->index(0, column));
    list.move(table_->viewport()->mapToGlobal(QPoint(cell.left(), cell.top())));
    list.exec();
    return list.chosen();
}

void TGbprint::cellClicked(int row, int column)
{
    if (row < 1 || row > GerberPrintGrid::Rows || column < gridcol::Standalone || column >= GerberPrintGrid::Columns)
        return;
    grid_.cell(row, column) = pickEntry(column, grid_.cell(row, column));
    showGrid();
    chooseButton_->setFocus();
}

void TGbprint::chooseFiles()
{
    FileDialogSpec request;
    request.title = printmsg::ChooseGerberTitle;
    request.filter = printmsg::GerberFilter;
    std::vector<std::string> paths = ports_.picker.openFiles(request);
    if (paths.empty())
        return;
    grid_.chooseFiles(std::move(paths));
    showGrid();
}

void TGbprint::saveParameters()
{
    FileDialogSpec request;
    request.title = printmsg::SaveParametersTitle;
    request.filter = printmsg::ParameterFilter;
    request.defaultExtension = "prm";
    request.confirmOverwrite = true;
    std::optional<std::string> path = ports_.picker.saveFile(request);
    if (!path)
        return;
    try {
        saveGerberPrintParameters(grid_, *path);
    } catch (const KorvaneError &e) {
        ports_.prompter.error(e.text());
    }
}

void TGbprint::loadParameters()
{
    FileDialogSpec request;
    request.title = printmsg::LoadParametersTitle;
    request.filter = printmsg::ParameterFilter;
    request.defaultExtension = "prm";
    std::optional<std::string> path = ports_.picker.openFile(request);
    if (!path)
        return;
    {
        BusyGuard busy(ports_.status);
        try {
            loadGerberPrintParameters(grid_, *path, ports_.prompter);
        } catch (const KorvaneError &e) {
            ports_.prompter.error(e.text());
        }
    }
    showGrid();
}

GerberPrintSettings TGbprint::printSettings() const
{
    GerberPrintSettings s;
    s.scale.mode = scaleMode_->index() == 1 ? ScaleMode::Automatic : ScaleMode::Given;
    s.scale.typedScale = parseReal(scale_->text().toStdString());
    s.scale.keep = keep_->isChecked();
    s.scale.offsetXMm = parseReal(offsetX_->text().toStdString());
    s.scale.offsetYMm = parseReal(offsetY_->text().toStdString());
    s.title = defaults_.gerberTitle;
    s.mode = defaults_.gerberMode;
    s.regionFill = region_->index() == 1 ? RegionFillMode::Hatched : RegionFillMode::Solid;
    s.rowColours = defaults_.gerberRowColours;
    return s;
}

void TGbprint::print()
{
    GerberPrintSettings settings;
    try {
        settings = printSettings();
    } catch (const KorvaneError &e) {
        ports_.prompter.error(e.text());
        return;
    }
    GerberPrintContext context{grid_,           settings,      apertures_, macros_, format_,
                               ports_.prompter, ports_.status, progress_,  printer_};
    runGerberPrint(context);
}

void TGbprint::closeDialog()
{
    grid_.clear();
    showGrid();
    if (isVisible())
        done(QDialog::Accepted);
}

std::optional<Colour> TGbprint::chooseColour(Colour current)
{
    QColor c = QColorDialog::getColor(toQColor(current), this);
    if (!c.isValid())
        return std::nullopt;
    return fromQColor(c);
}

void TGbprint::pickColour(int row)
{
    if (auto c = chooseColour(defaults_.gerberRowColours[static_cast<size_t>(row - 1)])) {
        defaults_.gerberRowColours[static_cast<size_t>(row - 1)] = *c;
        showColours();
    }
}

void TGbprint::openFormat()
{
    // The print reads ASCII only: the tape codes stay unavailable meanwhile.
    formatDialog_.setEbcdicEnabled(false);
    formatDialog_.exec();
    formatDialog_.setEbcdicEnabled(true);
}

}  // namespace korvane
