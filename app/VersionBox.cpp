#include "app/VersionBox.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace korvane {
namespace {

// A small board with tracks, pads and drill holes.
QPixmap boardPicture()
{
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 90, 40), 2));
    p.setBrush(QColor(0, 130, 60));
    p.drawRoundedRect(4, 4, 56, 56, 4, 4);
    p.setPen(QPen(QColor(230, 180, 60), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygon({QPoint(14, 16), QPoint(30, 16), QPoint(44, 30), QPoint(50, 30)}));
    p.drawPolyline(QPolygon({QPoint(14, 48), QPoint(26, 36), QPoint(50, 36)}));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 180, 60));
    for (QPoint c : {QPoint(14, 16), QPoint(50, 30), QPoint(14, 48), QPoint(50, 36)})
        p.drawEllipse(c, 5, 5);
    p.setBrush(Qt::white);
    for (QPoint c : {QPoint(14, 16), QPoint(50, 30), QPoint(14, 48), QPoint(50, 36)})
        p.drawEllipse(c, 2, 2);
    return pixmap;
}

}  // namespace

VersionBox::VersionBox(QWidget *parent) : QDialog(parent)
{
    setObjectName("VersionBox");
    setWindowTitle(QStringLiteral("バージョン情報"));
    setModal(true);

    auto *picture = new QLabel(this);
    picture->setObjectName("pictureLabel");
    picture->setPixmap(boardPicture());

    auto *product = new QLabel(QStringLiteral("KORVANE"), this);
    product->setObjectName("productLabel");
    QFont big = product->font();
    big.setPixelSize(28);
    big.setBold(true);
    product->setFont(big);

    auto *version = new QLabel(QString::fromUtf8(VersionText), this);
    version->setObjectName("versionLabel");

    auto *ok = new QPushButton(QStringLiteral("O   K"), this);
    ok->setObjectName("okButton");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(20, 16, 20, 12);
    grid->setHorizontalSpacing(16);
    grid->addWidget(picture, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(product, 0, 1);
    grid->addWidget(version, 1, 1);
    grid->addWidget(ok, 2, 0, 1, 2, Qt::AlignHCenter);
}

void VersionBox::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Centred on the screen, not on the main window.
    if (QScreen *s = screen()) {
        QRect area = s->availableGeometry();
        move(area.center() - rect().center());
    }
}

}  // namespace korvane
