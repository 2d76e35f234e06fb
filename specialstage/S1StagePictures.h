#pragma once
// The pictures of the Sonic 1 stage editor, all drawn here with QPainter:
// one per block ID (walls in their four colours, bumper, GOAL, UP, DOWN, R,
// glass, ghost block and switch, ring, the six emeralds, 1-UP, the ZONE
// blocks, the animation frames and the invisible solid blocks), Sonic's
// start marker, and a whole stage as one picture for "Export Image..." and
// `zorptool stages png`. QtGui only: no display needed.
#include <QImage>
#include <QRect>
#include <optional>

#include "stage/S1Stage.h"

class QPainter;

namespace zorp::ui {

// Pixels per cell on the editor's grid and in exported pictures.
inline constexpr int kS1GridCellPixels = 10;
inline constexpr int kS1SurfacePixels = zorp::kS1Side * kS1GridCellPixels; // 640

// The picture of a block ID, kS1GridCellPixels square (transparent where the
// floor shows); ID 0 is the empty floor.
const QImage& S1BlockPicture(uint8_t id);
// A larger picture of the same block, for the block list.
QImage S1BlockIcon(uint8_t id, int size);

// The cells of `cells` that touch the pixel rectangle `area`, with the floor,
// drawn at their place (cell (c, r) at c * 10, r * 10).
void PaintS1Cells(QPainter& painter, const zorp::S1Grid& cells, const QRect& area);
// Sonic at his start cell (nothing when it lies off the grid).
void PaintS1Start(QPainter& painter, zorp::S1Start start);

// The whole stage as the editor shows it (640 x 640), with the start when given.
QImage RenderS1StageImage(const zorp::S1Grid& cells, std::optional<zorp::S1Start> start);

} // namespace zorp::ui
