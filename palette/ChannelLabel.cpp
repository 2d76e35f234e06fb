#include "palette/ChannelLabel.h"

#include <QMouseEvent>

namespace zorp::ui {

void ChannelLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::RightButton && rect().contains(at))
        emit rightReleased(mapToGlobal(at));
    QLabel::mouseReleaseEvent(event);
}

} // namespace zorp::ui
