#include "specialstage/S1StageCanvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "specialstage/GridKeyboard.h"
#include "specialstage/S1StagePictures.h"

namespace zorp::ui {

S1StageCanvas::S1StageCanvas(const zorp::S1StageDocument& document, QWidget* parent)
    : QWidget(parent), document_(document)
{
    setObjectName("picS1Stage");
    setAccessibleName("picS1Stage");
    setAccessibleDescription("Sonic 1 special stage: 64 by 64 cells. Arrow keys move the cursor, Shift and an arrow "
                             "select, Space places the block, Delete empties the cell, Page Up and Page Down change "
                             "the stage.");
    setFixedSize(kS1SurfacePixels, kS1SurfacePixels);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void S1StageCanvas::setStage(int stage)
{
    stage_ = stage;
    update();
}

void S1StageCanvas::setShowStart(bool show)
{
    showStart_ = show;
    update();
}

void S1StageCanvas::updateCells(const std::vector<int>& cells)
{
    for (int index : cells)
        update(QRect(index % zorp::kS1Side * kS1GridCellPixels, index / zorp::kS1Side * kS1GridCellPixels, kS1GridCellPixels,
                     kS1GridCellPixels));
    // Sonic is drawn over his cells; they may have changed under him.
    if (showStart_) {
        const zorp::S1Cell at = zorp::S1StartCell(document_.Stage(stage_).start);
        update(QRect(at.column * kS1GridCellPixels, at.row * kS1GridCellPixels, 2 * kS1GridCellPixels, 2 * kS1GridCellPixels));
    }
}

void S1StageCanvas::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const zorp::S1StageData& stage = document_.Stage(stage_);
    PaintS1Cells(painter, stage.cells, event->rect());
    if (!stage.readable()) {
        painter.fillRect(rect(), QColor(60, 60, 70, 200));
        return;
    }
    if (showStart_)
        PaintS1Start(painter, stage.start);
    if (!keyboard_)
        return;
    const QRect selection = keyboard_->selection();
    if (!selection.isEmpty()) {
        const QRect area(selection.left() * kS1GridCellPixels, selection.top() * kS1GridCellPixels,
                         selection.width() * kS1GridCellPixels, selection.height() * kS1GridCellPixels);
        painter.fillRect(area, QColor(120, 200, 255, 90));
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::white, 2));
        painter.drawRect(area.adjusted(1, 1, -1, -1));
        painter.setPen(QPen(QColor(20, 20, 20), 1, Qt::DashLine));
        painter.drawRect(area.adjusted(1, 1, -2, -2));
    }
    const QPoint cursor = keyboard_->cursor();
    GridKeyboard::PaintCursor(
        painter, QRect(cursor.x() * kS1GridCellPixels, cursor.y() * kS1GridCellPixels, kS1GridCellPixels, kS1GridCellPixels), hasFocus());
}

QPoint S1StageCanvas::CellAt(QPointF position) const
{
    return {static_cast<int>(std::floor(position.x() / kS1GridCellPixels)),
            static_cast<int>(std::floor(position.y() / kS1GridCellPixels))};
}

void S1StageCanvas::mousePressEvent(QMouseEvent* event) { emit pressed(CellAt(event->position()), event->button()); }

void S1StageCanvas::mouseMoveEvent(QMouseEvent* event) { emit moved(CellAt(event->position()), event->buttons()); }

void S1StageCanvas::mouseReleaseEvent(QMouseEvent*) { emit released(); }

} // namespace zorp::ui
