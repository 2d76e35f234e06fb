#pragma once
// Keyboard use of a stage editor's grid, as a small controller installed on
// the grid widget (the widget keeps only its drawing): a cell cursor moved
// with the arrow keys (Home / End: first and last column), tool keys (digits
// or letters, as the editor assigns them), Space or Enter to place the tool
// at the cursor, Delete or Backspace to clear the cell, Page Up / Page Down
// to switch stages, and Shift with an arrow to stretch a selection from the
// cell where the stretch began. The editor reacts to the signals; the grid
// widget asks cursor() and selection() when it paints (PaintCursor draws the
// cursor the same way in every editor).
#include <QObject>
#include <QPoint>
#include <QRect>
#include <map>

class QPainter;
class QWidget;

namespace zorp::ui {

class GridKeyboard : public QObject {
    Q_OBJECT
public:
    // Installs itself on target (which gets the keyboard focus policy).
    GridKeyboard(QWidget* target, int columns, int rows);

    void setGridSize(int columns, int rows);
    // Key (Qt::Key_1, Qt::Key_B, ...) that chooses a tool; a later call for
    // the same key replaces the earlier one.
    void setToolKey(int key, int tool);
    void clearToolKeys() { toolKeys_.clear(); }

    QPoint cursor() const { return cursor_; }
    // Moves the cursor (clamped to the grid) and drops the selection.
    void setCursor(QPoint cell);
    // The cells between the anchor and the cursor while Shift is held; an
    // empty rectangle otherwise.
    QRect selection() const { return selection_; }
    void setSelection(QRect cells);

    // The cursor drawn over the cell rectangle: a dark frame with a light
    // one inside, so it shows on every block; dashed without the focus.
    static void PaintCursor(QPainter& painter, const QRect& cellPixels, bool focused);

signals:
    void cursorMoved(QPoint cell);
    void selectionChanged(QRect cells);
    void toolChosen(int tool);
    void placeRequested(QPoint cell);
    void clearRequested(QPoint cell);
    void stageStepRequested(int step); // -1 Page Up, +1 Page Down

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void move(int dx, int dy, bool extend);

    QWidget* target_;
    int columns_;
    int rows_;
    QPoint cursor_{0, 0};
    QPoint anchor_{-1, -1};
    QRect selection_;
    std::map<int, int> toolKeys_;
};

} // namespace zorp::ui
