#include "platform/QtPrompter.h"
#include "core/Messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>

namespace korvane {
namespace {

void setKind(QMessageBox &box, MessageKind kind)
{
    switch (kind) {
    case MessageKind::Error:
        box.setIcon(QMessageBox::Critical);
        box.setWindowTitle(QString::fromUtf8(msg::TitleError));
        break;
    case MessageKind::Warning:
        box.setIcon(QMessageBox::Warning);
        box.setWindowTitle(QString::fromUtf8(msg::TitleWarning));
        break;
    case MessageKind::Information:
        box.setIcon(QMessageBox::Information);
        box.setWindowTitle(QString::fromUtf8(msg::TitleInformation));
        break;
    case MessageKind::Confirmation:
        box.setIcon(QMessageBox::Question);
        box.setWindowTitle(QString::fromUtf8(msg::TitleConfirmation));
        break;
    }
}

Answer answerYesNo(QMessageBox &box)
{
    QPushButton *yes = box.addButton(QStringLiteral("はい"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("いいえ"), QMessageBox::NoRole);
    yes->setObjectName("yesButton");
    no->setObjectName("noButton");
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes ? Answer::Yes : Answer::No;
}

}  // namespace

QWidget *QtPrompter::owner() const { return parent_ ? parent_ : QApplication::activeWindow(); }

void QtPrompter::prepare(QMessageBox &box, MessageKind kind, const std::string &text)
{
    setKind(box, kind);
    box.setObjectName("messageBox");
    box.setText(QString::fromUtf8(text));
}

Answer QtPrompter::show(MessageKind kind, const std::string &text, Buttons buttons)
{
    QMessageBox box(owner());
    prepare(box, kind, text);
    if (buttons == Buttons::YesNo)
        return answerYesNo(box);
    QPushButton *ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    ok->setObjectName("okButton");
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return Answer::Ok;
}

Answer QtPrompter::askOfferingSameAnswer(MessageKind kind, const std::string &text, bool &sameForRest)
{
    QMessageBox box(owner());
    prepare(box, kind, text);
    auto *same = new QCheckBox(QString::fromUtf8(SameAnswerForRest));
    same->setObjectName("sameAnswerBox");
    box.setCheckBox(same);
    const Answer answer = answerYesNo(box);
    sameForRest = same->isChecked();
    return answer;
}

}  // namespace korvane
