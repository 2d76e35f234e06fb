#include "specialstage/StageCanvas.h"

#include <QMouseEvent>
#include <QPainter>

#include "specialstage/StartMarker.h"

namespace zorp::ui {

StageCanvas::StageCanvas(QWidget* parent)
    : QWidget(parent), surface_(kSurfacePixels, kSurfacePixels, QImage::Format_RGB32)
{
    setObjectName("picSpecialStage");
    setAccessibleName("picSpecialStage");
    setAccessibleDescription("Special stage grid: 32 by 32 cells");
    setFixedSize(kSurfacePixels, kSurfacePixels);
    setAttribute(Qt::WA_OpaquePaintEvent);
    surface_.fill(Qt::white);
}

void StageCanvas::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), surface_, event->rect());
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
