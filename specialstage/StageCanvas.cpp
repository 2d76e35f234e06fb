#include "specialstage/StageCanvas.h"

#include <QMouseEvent>
#include <QPainter>

#include "specialstage/GridKeyboard.h"
#include "specialstage/StartMarker.h"

namespace zorp::ui {

StageCanvas::StageCanvas(QWidget* parent)
    : QWidget(parent), surface_(kSurfacePixels, kSurfacePixels, QImage::Format_RGB32)
{
    setObjectName("picSpecialStage");
    setAccessibleName("picSpecialStage");
    setAccessibleDescription("Special stage grid: 32 by 32 cells. Arrow keys move the cursor, 1 to 7 choose a tool, "
                             "Space places it, Delete empties the cell, Page Up and Page Down change the stage.");
    setFixedSize(kSurfacePixels, kSurfacePixels);
    setAttribute(Qt::WA_OpaquePaintEvent);
    surface_.fill(Qt::white);
}

void StageCanvas::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), surface_, event->rect());
    // The cursor shows while the grid has the keyboard; the grid's own
    // pictures stay exactly as drawn otherwise.
    if (keyboard_ && hasFocus()) {
        const QPoint cell = keyboard_->cursor();
        GridKeyboard::PaintCursor(painter, QRect(cell.x() * kCellPixels, cell.y() * kCellPixels, kCellPixels, kCellPixels),
                                  true);
    }
}

void StageCanvas::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void StageCanvas::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

void StageCanvas::mousePressEvent(QMouseEvent* event)
{
    emit pressed(event->position(), event->button());
}

void StageCanvas::mouseMoveEvent(QMouseEvent* event)
{
    emit moved(event->position(), event->buttons());
}

void StageCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    emit released(event->button());
}

} // namespace zorp::ui
