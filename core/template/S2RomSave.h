#pragma once
// Saving Sonic 2's special stages and level select into a ROM: the changed
// streams re-encoded and placed (StreamSave), the plain tables written in
// place.
#include "template/S2RomData.h"
#include "template/StreamSave.h"

namespace zorp {

// A save of either editor: the patches and where the streams went. The
// caller Declare()s the loads of every editor of the save in the allocator
// first, then plans each; needsRoom asks for the image to grow.
struct S2Save {
    std::vector<Patch> patches;
    std::vector<std::string> placements; // one line per stream written
    bool moved = false;                  // a stream left its place (free space or a grown image)
    bool needsRoom = false;
    std::optional<Message> error;
};

// Declares the free ranges the block names and the streams as they lie now.
void DeclareS2SpecialStages(const S2SpecialStageSetup& setup, const S2SpecialStageLoad& load,
                            FreeSpaceAllocator& allocator);
S2Save PlanS2SpecialStagesSave(const S2SpecialStageSetup& setup, const S2SpecialStageLoad& load,
                               const Bytes& layouts, const Bytes& objects, const S2RingTable& team,
                               const S2RingTable& alone, const CodecCalls& codec, FreeSpaceAllocator& allocator,
                               bool mayGrow);

void DeclareS2LevelSelect(const S2LevelSelectSetup& setup, const S2LevelSelectLoad& load,
                          FreeSpaceAllocator& allocator);
S2Save PlanS2LevelSelectSave(const S2LevelSelectSetup& setup, const S2LevelSelectLoad& load,
                             const S2LevelSelect& edited, const CodecCalls& codec, FreeSpaceAllocator& allocator,
                             bool mayGrow);

inline constexpr const char* kS2StagesNotSaved = "Special Stages Not Saved";
inline constexpr const char* kS2LevelSelectNotSaved = "Level Select Not Saved";

} // namespace zorp
