#pragma once
// A stage drawn as one picture, exactly as the editor shows it (384 x 384:
// the floor, the cell pictures and the start marker), and its PNG bytes. The
// editor's "Export Image..." and `zorptool stages png` both use it. Needs
// only QtGui, no display.
#include <QImage>

#include "rom/Bytes.h"
#include "stage/SpecialStage.h"

namespace zorp::ui {

QImage RenderStageImage(const zorp::StageGrid& cells, const zorp::StartData& start);

// Empty when Qt cannot encode the image.
zorp::Bytes EncodePng(const QImage& image);

} // namespace zorp::ui
