#pragma once
// The pictures of the special stage editor, all drawn here with QPainter: the
// cell pictures (one per cell code), the floor behind them, the start marker,
// the tool bar icons and the arrows of the direction dialog.
#include <QIcon>
#include <QImage>
#include <QString>

class QPainter;

namespace zorp::ui {

// 12 x 12 picture of a cell code with transparent corners; a null image for a
// code that has no picture (0, the empty cell, and anything above 5).
const QImage& CellPicture(int code);

// The floor colour of a cell: a light checkerboard, so cells are easy to
// count and the black start marker stays visible on an empty cell.
QColor CellBackground(int column, int row);

// Floor plus picture of one cell, at its place on the 384 x 384 surface.
// Cells outside the grid are not drawn.
void DrawCell(QPainter& painter, int column, int row, int code);

// The start marker (black one-pixel triangle) over a cell; nothing for a
// direction outside 1..4 or a cell outside the grid.
void DrawStartMarker(QPainter& painter, int column, int row, int direction);

// Tool bar icon of a tool bar key (Empty, Blue, Red, Yellow, Star, Ring,
// Arrow, Clear, Export, Import).
QIcon ToolIcon(const QString& key);

// A bold arrow pointing in a start direction (1..4), for the direction dialog.
QIcon DirectionArrowIcon(int direction);

} // namespace zorp::ui
