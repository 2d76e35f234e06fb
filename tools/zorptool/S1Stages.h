#pragma once
// zorptool stages for Sonic 1 ROMs (templates with an S1STAGES block): the
// six layouts through the same core as the workspace's editor.
//
//   export: DIR/stage1.bin ... stage6.bin (the decoded 4096-byte layouts),
//           stage1.eni ... (each stream as the ROM holds it, even-padded as
//           a disassembly stores it) and start1.bin ... (X and Y words)
//   import: reads stageN.bin and startN.bin back (missing files leave their
//           stage as it is); unchanged stages keep their bytes, changed ones
//           are encoded with the smallest encoder, checked, and placed in
//           place, in the template's free space, or (--grow only) after the
//           end of a grown image
//   png:    DIR/stage1.png ... (640 x 640, as the editor draws them)
#include <string>

#include "rom/Bytes.h"
#include "template/EditorSetups.h"
#include "template/TemplateFit.h"

struct S1StagesCommand {
    std::string romPath;
    std::string templatePath;
    std::string dir;
    bool fixChecksum = false;
    bool grow = false;
};

int ExportS1Stages(const S1StagesCommand& command, const zorp::S1StagesSetup& setup, const zorp::Bytes& image);
int ImportS1Stages(const S1StagesCommand& command, const zorp::S1StagesSetup& setup, const zorp::Bytes& image,
                   const zorp::FitVerdict& fits);
int DrawS1Stages(const S1StagesCommand& command, const zorp::S1StagesSetup& setup, const zorp::Bytes& image);
