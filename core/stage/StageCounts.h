#pragma once
// How many of each object a stage holds: shown by the editor as it changes
// and printed by `zorptool s3s info`.
#include <string>

#include "stage/SpecialStage.h"

namespace zorp {

struct StageCounts {
    int blue = 0;
    int red = 0;
    int rings = 0;
    int stars = 0;
    int yellow = 0;
    int empty = 0;
    int other = 0; // byte values no tool writes, kept as read
    // A stage is finished by touching every blue sphere: without one it never ends.
    bool finishable() const { return blue > 0; }
};

StageCounts CountStageObjects(const StageGrid& cells);

// "blue 12, red 40, rings 8, stars 0, yellow 2"
std::string DescribeCounts(const StageCounts& counts);

} // namespace zorp
