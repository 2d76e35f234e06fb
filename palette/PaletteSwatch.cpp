#include "palette/PaletteSwatch.h"

#include <QKeyEvent>
#include <QPainter>

namespace zorp::ui {

PaletteSwatch::PaletteSwatch(int index, QWidget* parent) : QAbstractButton(parent), index_(index)
{
    const QString name = QString("optPal_%1").arg(index);
    setObjectName(name);
    setAccessibleName(name);
    setAccessibleDescription(QString("Colour %1").arg(index));
    setCheckable(true);
    // A radio button to screen readers: one of a group, exactly one chosen.
    setAutoExclusive(true);
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

namespace zorp::ui {

void PaletteSwatch::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
        emit arrowPressed(event->key());
        event->accept();
        return;
    default:
        QAbstractButton::keyPressEvent(event);
    }
}

} // namespace zorp::ui
