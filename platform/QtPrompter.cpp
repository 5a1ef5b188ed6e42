#include "platform/QtPrompter.h"
#include "core/Messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace korvane {

Answer QtPrompter::show(MessageKind kind, const std::string &text, Buttons buttons)
{
    QMessageBox box(parent_ ? parent_ : QApplication::activeWindow());
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
    box.setObjectName("messageBox");
    box.setText(QString::fromUtf8(text));
    if (buttons == Buttons::YesNo) {
        QPushButton *yes = box.addButton(QStringLiteral("はい"), QMessageBox::YesRole);
        QPushButton *no = box.addButton(QStringLiteral("いいえ"), QMessageBox::NoRole);
        yes->setObjectName("yesButton");
        no->setObjectName("noButton");
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? Answer::Yes : Answer::No;
    }
    QPushButton *ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    ok->setObjectName("okButton");
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return Answer::Ok;
}

}  // namespace korvane
