#include "specialstage/GridKeyboard.h"

#include <QKeyEvent>
#include <QPainter>
#include <QWidget>
#include <algorithm>

namespace zorp::ui {

GridKeyboard::GridKeyboard(QWidget* target, int columns, int rows)
    : QObject(target), target_(target), columns_(std::max(1, columns)), rows_(std::max(1, rows))
{
    target->setFocusPolicy(Qt::StrongFocus);
    target->installEventFilter(this);
}

void GridKeyboard::setGridSize(int columns, int rows)
{
    columns_ = std::max(1, columns);
    rows_ = std::max(1, rows);
    setCursor(cursor_);
}

void GridKeyboard::setToolKey(int key, int tool) { toolKeys_[key] = tool; }

void GridKeyboard::setCursor(QPoint cell)
{
    const QPoint clamped(std::clamp(cell.x(), 0, columns_ - 1), std::clamp(cell.y(), 0, rows_ - 1));
    anchor_ = QPoint(-1, -1);
    setSelection(QRect());
    if (clamped == cursor_)
        return;
    cursor_ = clamped;
    target_->update();
    emit cursorMoved(cursor_);
}

void GridKeyboard::setSelection(QRect cells)
{
    if (cells == selection_)
        return;
    selection_ = cells;
    target_->update();
    emit selectionChanged(selection_);
}

void GridKeyboard::move(int dx, int dy, bool extend)
{
    const QPoint to(std::clamp(cursor_.x() + dx, 0, columns_ - 1), std::clamp(cursor_.y() + dy, 0, rows_ - 1));
    if (!extend) {
        setCursor(to);
        return;
    }
    if (anchor_.x() < 0)
        anchor_ = cursor_;
    if (to != cursor_) {
        cursor_ = to;
        emit cursorMoved(cursor_);
    }
    setSelection(QRect(anchor_, cursor_).normalized());
    target_->update();
}

bool GridKeyboard::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != target_ || event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool shift = key->modifiers() & Qt::ShiftModifier;
    // Ctrl moves eight cells at a time, for the large grids.
    const int step = key->modifiers() & Qt::ControlModifier ? 8 : 1;
    switch (key->key()) {
    case Qt::Key_Left: move(-step, 0, shift); return true;
    case Qt::Key_Right: move(step, 0, shift); return true;
    case Qt::Key_Up: move(0, -step, shift); return true;
    case Qt::Key_Down: move(0, step, shift); return true;
    case Qt::Key_Home: move(-columns_, 0, shift); return true;
    case Qt::Key_End: move(columns_, 0, shift); return true;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter: emit placeRequested(cursor_); return true;
    case Qt::Key_Delete:
    case Qt::Key_Backspace: emit clearRequested(cursor_); return true;
    case Qt::Key_PageUp: emit stageStepRequested(-1); return true;
    case Qt::Key_PageDown: emit stageStepRequested(1); return true;
    default: break;
    }
    // Tool keys only without Ctrl or Alt, which belong to the window's shortcuts.
    if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const auto tool = toolKeys_.find(key->key());
        if (tool != toolKeys_.end()) {
            emit toolChosen(tool->second);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void GridKeyboard::PaintCursor(QPainter& painter, const QRect& cell, bool focused)
{
    painter.save();
    painter.setBrush(Qt::NoBrush);
    QPen dark(QColor(20, 20, 20), 2, focused ? Qt::SolidLine : Qt::DashLine);
    painter.setPen(dark);
    painter.drawRect(cell.adjusted(1, 1, -1, -1));
    painter.setPen(QPen(QColor(255, 240, 80), 1));
    painter.drawRect(cell.adjusted(2, 2, -3, -3));
    painter.restore();
}

} // namespace zorp::ui
