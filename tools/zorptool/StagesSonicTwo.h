#pragma once
// zorptool stages for Sonic 2 (a template with an S2SPECIALSTAGES block):
//
//   export: DIR/s2_layouts.bin (the decoded layout block), DIR/s2_objects.bin
//           (the decoded object lists) and DIR/s2_rings.bin (56 bytes: the
//           ring requirements of Sonic and Tails, then of either alone);
//   import: each of those files present replaces its part; changed streams
//           are re-encoded and placed in place, in free space, or (with
//           --grow) after the end of a grown image; unchanged ones are not
//           written;
//   png:    DIR/stage1.png ... stage7.png, every segment of a stage.
#include <string>

#include "RomTemplate.h"

struct SonicTwoStagesRun {
    enum class Mode { Export, Import, Pictures } mode = Mode::Export;
    std::string romPath;
    std::string templatePath;
    std::string dir;
    bool fixChecksum = false;
    bool grow = false;
};

int RunSonicTwoStages(const SonicTwoStagesRun& run, RomAndTemplate& opened);
