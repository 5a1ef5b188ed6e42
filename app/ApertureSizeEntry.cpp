#include "app/ApertureSizeEntry.h"
#include "gerber/ApertureTexts.h"

#include <QApplication>
#include <QClipboard>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvane {
namespace {

QString sizeCharactersOf(const QString &text)
{
    QString out;
    for (QChar c : text)
        if (isSizeCharacter(c.unicode()))
            out += c;
    return out;
}

}  // namespace

ApertureSizeEntry::ApertureSizeEntry(const std::string &dcodeLabel, const std::string &currentSize, QWidget *parent)
    : QDialog(parent)
{
    setObjectName("ApertureSizeEntry");
    setWindowTitle(QString::fromUtf8(aptmsg::SizeEntryTitle));
    setModal(true);

    dcode_ = new QLabel(QString::fromStdString(dcodeLabel), this);
    dcode_->setObjectName("dcodeLabel");
    auto *current = new QLabel(QString::fromStdString(currentSize), this);
    current->setObjectName("currentSizeLabel");
    edit_ = new QLineEdit(QString::fromStdString(currentSize), this);
    edit_->setObjectName("sizeEdit");
    edit_->selectAll();
    edit_->setContextMenuPolicy(Qt::NoContextMenu);  // no paste of other characters
    edit_->installEventFilter(this);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName("okButton");
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("キャンセル"), this);
    cancel_->setObjectName("cancelButton");
    connect(ok_, &QPushButton::clicked, this, [this] {
        exit_ = SizeEntryExit::Ok;
        accept();
    });
    connect(cancel_, &QPushButton::clicked, this, [this] {
        exit_ = SizeEntryExit::Cancel;
        reject();
    });

    auto *form = new QFormLayout;
    form->addRow(QString::fromUtf8(aptmsg::HeadingDCode), dcode_);
    form->addRow(QStringLiteral("現在のサイズ(mm)"), current);
    form->addRow(QStringLiteral("サイズ(mm)"), edit_);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    edit_->setFocus();
}

std::string ApertureSizeEntry::typedText() const { return edit_->text().toStdString(); }

bool ApertureSizeEntry::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == edit_ && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Paste)) {
            edit_->insert(sizeCharactersOf(QApplication::clipboard()->text()));
            return true;
        }
        // Editing and moving keys (backspace, arrows, Enter, Esc) carry no
        // printable text; of the printable ones only the size characters pass.
        const QString text = key->text();
        if (!text.isEmpty() && text.at(0).isPrint() && sizeCharactersOf(text) != text)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void ApertureSizeEntry::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        exit_ = SizeEntryExit::Escape;
        reject();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        exit_ = SizeEntryExit::Ok;
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace korvane
