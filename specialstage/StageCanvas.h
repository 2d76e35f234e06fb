#pragma once
// picSpecialStage: the 384 x 384 drawing surface of the special stage editor.
// It only shows its picture (with the keyboard cursor over it) and reports
// the mouse; the editor decides what a press or a move does and draws into
// the surface.
#include <QImage>
#include <QPointF>
#include <QWidget>

namespace zorp::ui {

class GridKeyboard;

class StageCanvas : public QWidget {
    Q_OBJECT
public:
    explicit StageCanvas(QWidget* parent = nullptr);

    // The picture, one image pixel per widget pixel. Call update() after
    // drawing into it.
    QImage& surface() { return surface_; }
    const QImage& surface() const { return surface_; }
    // The keyboard controller whose cursor is drawn over the picture.
    void setKeyboard(GridKeyboard* keyboard) { keyboard_ = keyboard; }

signals:
    // Positions are in surface pixels, as the pointer reports them.
    void pressed(QPointF position, Qt::MouseButton button);
    void moved(QPointF position, Qt::MouseButtons buttons);
    void released(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage surface_;
    GridKeyboard* keyboard_ = nullptr;
};

} // namespace zorp::ui
