#include "MenuIcons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace zorp::ui {

namespace {

// Every picture is drawn on a 32 x 32 grid and scaled to the pixmap size.
using Painter = std::function<void(QPainter&)>;

void DrawCartridge(QPainter& p, const QRectF& body, const QColor& shell, const QColor& label)
{
    QLinearGradient shade(body.topLeft(), body.bottomLeft());
    shade.setColorAt(0, shell.lighter(125));
    shade.setColorAt(1, shell.darker(115));
    p.setPen(QPen(shell.darker(170), 1.0));
    p.setBrush(shade);
    QPainterPath outline;
    outline.addRoundedRect(body, 2.5, 2.5);
    p.drawPath(outline);
    // Label area and the grip ridges below it.
    const QRectF labelRect(body.left() + body.width() * 0.15, body.top() + body.height() * 0.12,
                           body.width() * 0.7, body.height() * 0.45);
    p.setPen(Qt::NoPen);
    p.setBrush(label);
    p.drawRoundedRect(labelRect, 1.5, 1.5);
    p.setBrush(QColor(255, 255, 255, 170));
    p.drawRect(QRectF(labelRect.left() + 2, labelRect.top() + 2, labelRect.width() * 0.55, 1.6));
    p.setPen(QPen(shell.darker(150), 1.0));
    const double ridgeTop = labelRect.bottom() + body.height() * 0.1;
    for (int i = 0; i < 3; ++i) {
        const double y = ridgeTop + i * body.height() * 0.08;
        p.drawLine(QPointF(body.left() + body.width() * 0.25, y), QPointF(body.right() - body.width() * 0.25, y));
    }
}

void DrawRom(QPainter& p)
{
    // Gold contacts first, so the shell covers their tops.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(214, 170, 60));
    for (int i = 0; i < 6; ++i)
        p.drawRect(QRectF(8.5 + i * 2.6, 25, 1.6, 4.5));
    DrawCartridge(p, QRectF(5, 3, 22, 23), QColor(70, 74, 82), QColor(40, 110, 210));
}

void DrawTemplate(QPainter& p)
{
    QPainterPath sheet;
    sheet.moveTo(7, 3);
    sheet.lineTo(20, 3);
    sheet.lineTo(26, 9);
    sheet.lineTo(26, 29);
    sheet.lineTo(7, 29);
    sheet.closeSubpath();
    p.setPen(QPen(QColor(90, 100, 115), 1.0));
    p.setBrush(QColor(250, 251, 253));
    p.drawPath(sheet);
    QPainterPath fold;
    fold.moveTo(20, 3);
    fold.lineTo(20, 9);
    fold.lineTo(26, 9);
    p.setBrush(QColor(215, 222, 232));
    p.drawPath(fold);
    // Lines of text: the first one a heading in the accent colour.
    p.setPen(QPen(QColor(40, 110, 210), 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 8), QPointF(17, 8));
    p.setPen(QPen(QColor(130, 140, 155), 1.4, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 5; ++i) {
        const double right = (i % 2) ? 20 : 23;
        p.drawLine(QPointF(10, 13 + i * 3.2), QPointF(right, 13 + i * 3.2));
    }
}

void DrawArrow(QPainter& p, const QPointF& from, const QPointF& to, const QColor& colour)
{
    p.setPen(QPen(colour, 3.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    const double dir = to.x() > from.x() ? 1.0 : -1.0;
    QPainterPath head;
    head.moveTo(to.x() + dir * 4.5, to.y());
    head.lineTo(to.x() - dir * 1.5, to.y() - 5);
    head.lineTo(to.x() - dir * 1.5, to.y() + 5);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(head);
}

void DrawRomConv(QPainter& p)
{
    DrawCartridge(p, QRectF(2, 9, 12, 14), QColor(70, 74, 82), QColor(40, 110, 210));
    DrawCartridge(p, QRectF(18, 9, 12, 14), QColor(70, 74, 82), QColor(220, 120, 40));
    DrawArrow(p, QPointF(9, 4.5), QPointF(21, 4.5), QColor(40, 160, 90));
    DrawArrow(p, QPointF(23, 27.5), QPointF(11, 27.5), QColor(40, 160, 90));
}

void DrawLockOn(QPainter& p)
{
    // The lock-on cartridge below with a second cartridge plugged in on top.
    DrawCartridge(p, QRectF(2, 14, 28, 16), QColor(150, 40, 45), QColor(240, 200, 60));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(35, 35, 40));
    p.drawRect(QRectF(8, 13, 16, 2.5));
    DrawCartridge(p, QRectF(9, 2, 14, 12.5), QColor(70, 74, 82), QColor(40, 110, 210));
}

void DrawEmulator(QPainter& p)
{
    // A game pad: the body, a cross on the left, two buttons on the right.
    QLinearGradient shade(QPointF(0, 9), QPointF(0, 25));
    shade.setColorAt(0, QColor(95, 100, 110));
    shade.setColorAt(1, QColor(50, 53, 60));
    p.setPen(QPen(QColor(30, 32, 36), 1.0));
    p.setBrush(shade);
    p.drawRoundedRect(QRectF(2.5, 9, 27, 15), 7, 7);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(225, 225, 230));
    p.drawRect(QRectF(7, 15, 7, 2.4));
    p.drawRect(QRectF(9.3, 12.7, 2.4, 7));
    p.setBrush(QColor(220, 60, 60));
    p.drawEllipse(QPointF(21, 18), 1.9, 1.9);
    p.setBrush(QColor(60, 110, 220));
    p.drawEllipse(QPointF(25, 14.5), 1.9, 1.9);
}

void DrawAbout(QPainter& p)
{
    QRadialGradient fill(QPointF(12, 10), 18);
    fill.setColorAt(0, QColor(90, 160, 240));
    fill.setColorAt(1, QColor(30, 95, 190));
    p.setPen(QPen(QColor(25, 70, 150), 1.0));
    p.setBrush(fill);
    p.drawEllipse(QRectF(3, 3, 26, 26));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(14, 7.5, 4, 4));
    p.drawRoundedRect(QRectF(14, 13.5, 4, 11), 1.2, 1.2);
}

QPixmap Render(const Painter& paint, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    paint(p);
    return pixmap;
}

} // namespace

QIcon MenuIcon(const QString& key)
{
    Painter paint;
    if (key == QLatin1String("ROM"))
        paint = DrawRom;
    else if (key == QLatin1String("Template"))
        paint = DrawTemplate;
    else if (key == QLatin1String("ROMConv"))
        paint = DrawRomConv;
    else if (key == QLatin1String("LockOn"))
        paint = DrawLockOn;
    else if (key == QLatin1String("Emulator"))
        paint = DrawEmulator;
    else if (key == QLatin1String("About"))
        paint = DrawAbout;
    else
        return QIcon();
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addPixmap(Render(paint, size));
    return icon;
}

} // namespace zorp::ui
