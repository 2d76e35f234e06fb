#pragma once
// lblColor_i: the number beside a channel slider. Releasing the right mouse
// button over it asks for the channel switch menu.
#include <QLabel>

namespace zorp::ui {

class ChannelLabel : public QLabel {
    Q_OBJECT
public:
    explicit ChannelLabel(QWidget* parent = nullptr) : QLabel(parent) {}

signals:
    // Only when the button is released inside the label.
    void rightReleased(QPoint globalPosition);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace zorp::ui
