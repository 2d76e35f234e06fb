#include "palette/PaletteSwatch.h"

#include <QPainter>

namespace zorp::ui {

PaletteSwatch::PaletteSwatch(int index, QWidget* parent) : QAbstractButton(parent), index_(index)
{
    const QString name = QString("optPal_%1").arg(index);
    setObjectName(name);
    setAccessibleName(name);
    setAccessibleDescription(QString("Colour %1").arg(index));
    setCheckable(true);
    setFocusPolicy(Qt::ClickFocus);
}

void PaletteSwatch::setColor(const QColor& color)
{
    if (color == color_)
        return;
    color_ = color;
    update();
}

void PaletteSwatch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect box = rect();
    painter.fillRect(box, color_);
    // Grid lines on the right and bottom edges keep neighbouring swatches of
    // the same colour apart.
    painter.setPen(QColor(96, 96, 96));
    painter.drawLine(box.topRight(), box.bottomRight());
    painter.drawLine(box.bottomLeft(), box.bottomRight());
    if (isChecked()) {
        // Black and white frames stay visible on any colour.
        painter.setPen(Qt::black);
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        painter.setPen(Qt::white);
        painter.drawRect(box.adjusted(1, 1, -2, -2));
        painter.setPen(Qt::black);
        painter.drawRect(box.adjusted(2, 2, -3, -3));
    }
}

} // namespace zorp::ui
