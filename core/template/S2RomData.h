#pragma once
// Sonic 2's special stages and level select as a ROM holds them: where the
// template's S2SPECIALSTAGES and S2LEVELSELECT blocks place them, read into
// the core models. The compressed streams are found through their addresses
// (RelocatableStream); the ring, highlight and order tables are plain bytes
// the game reads relative to its code, so they stay where they are.
#include <optional>

#include "codec/CodecCalls.h"
#include "rom/Message.h"
#include "stage/S2StageData.h"
#include "template/ByteSource.h"
#include "template/EditorSetups.h"
#include "template/RelocatableStream.h"
#include "template/S2LevelSelect.h"

namespace zorp {

struct S2SpecialStageLoad {
    S2LayoutBlock layouts;
    S2ObjectLists objects;
    S2RingTable team{};
    S2RingTable alone{};
    StreamLoad layoutStream; // decoded bytes as loaded, address and room
    StreamLoad objectStream;
    std::optional<Message> error; // nothing usable was read: the editor stays disabled
    bool ok() const { return !error.has_value(); }
};

S2SpecialStageLoad LoadS2SpecialStages(const S2SpecialStageSetup& setup, const ByteSource& rom,
                                       const CodecCalls& codec);

struct S2LevelSelectLoad {
    S2LevelSelect model;
    StreamLoad mapStream;
    std::optional<Message> error;
    bool ok() const { return !error.has_value(); }
};

S2LevelSelectLoad LoadS2LevelSelect(const S2LevelSelectSetup& setup, const ByteSource& rom, const CodecCalls& codec);

// Titles of the messages about the two editors' data.
inline constexpr const char* kS2StagesNotLoaded = "Special Stages Not Loaded";
inline constexpr const char* kS2LevelSelectNotLoaded = "Level Select Not Loaded";

} // namespace zorp
