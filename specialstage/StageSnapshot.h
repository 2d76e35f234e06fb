#pragma once
// Everything the special stage editor shows about one stage: the grid, the
// start data and whether the ring box is offered. Undo commands that replace
// the whole stage (clear, import) keep one from before and one from after.
#include "stage/SpecialStage.h"

namespace zorp::ui {

struct StageSnapshot {
    zorp::StageGrid cells{};
    zorp::StartData start; // Rings is the value of the ring box
    bool ringsShown = true;
};

// One cell of a paint stroke.
struct CellChange {
    int index = 0;
    uint8_t before = 0;
    uint8_t after = 0;
};

} // namespace zorp::ui
