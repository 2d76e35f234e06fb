#pragma once
// picS1Stage: the 640 x 640 grid of the Sonic 1 stage editor. It paints the
// shown stage of the document (cells, Sonic's start, the selection and the
// keyboard cursor) and reports the mouse in cells; the editor decides what a
// press or a move does.
#include <QPoint>
#include <QWidget>

#include "stage/S1StageDocument.h"

namespace zorp::ui {

class GridKeyboard;

class S1StageCanvas : public QWidget {
    Q_OBJECT
public:
    S1StageCanvas(const zorp::S1StageDocument& document, QWidget* parent = nullptr);

    void setKeyboard(GridKeyboard* keyboard) { keyboard_ = keyboard; }
    void setStage(int stage);
    void setShowStart(bool show);
    // Repaints the given cells of the shown stage.
    void updateCells(const std::vector<int>& cells);

signals:
    void pressed(QPoint cell, Qt::MouseButton button);
    void moved(QPoint cell, Qt::MouseButtons buttons);
    void released();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPoint CellAt(QPointF position) const;

    const zorp::S1StageDocument& document_;
    GridKeyboard* keyboard_ = nullptr;
    int stage_ = 0;
    bool showStart_ = true;
};

} // namespace zorp::ui
