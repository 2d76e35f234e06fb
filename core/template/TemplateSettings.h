#pragma once
// The settings a template builds up while it is read. A setting keeps its
// value from block to block unless a command word resets it, so a block that
// leaves a key out uses the value an earlier block of the same template gave;
// STARTADDR is one setting shared by all commands.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rom/Message.h"
#include "template/EditorSetups.h"

namespace zorp {

struct TemplateSettings {
    bool codecPresent = false;
    std::optional<int32_t> startAddress;

    struct LevelSelect {
        int32_t levels = 0;
        bool varLength = false;
        int32_t defaultLength = 0;
        int32_t longest = 0; // reset at LEVELSELECT
        std::string decodeTable;
        int32_t defaultSeparator = 0;
        bool varSeparator = false;
        std::vector<int32_t> lengths;
        std::vector<int32_t> separators;
    } levelSelect;

    struct Palette {
        std::vector<PaletteEntry> palettes; // reset at PALEDIT
        int32_t paletteType = 0;
    } palette;

    struct Playlist {
        std::optional<int32_t> minSong;
        std::optional<int32_t> maxSong;
        std::optional<int32_t> addValue;
        std::optional<int32_t> blockSize;
        std::vector<PlaylistSlot> songSlots;
        std::vector<int> slotLines; // line of the SONG that filled each slot (0: none)
    } playlist;

    struct SpecialStages {
        int32_t stages = 1;         // reset at S3S
        bool extraProps = false;    // reset at S3S
        bool yellowSphere = false;
        bool multiStage = false;    // reset at S3S
        bool compressed = false;    // reset at S3S
        std::optional<int32_t> compLength;
    } specialStages;

    struct Wav {
        int32_t frequency = 0; // reset at WAVIMPORTER
        int32_t length = 0;
    } wav;

    struct MsgBox {
        MessageIcon icon = MessageIcon::None;
        std::string title;
    } msgBox;
};

} // namespace zorp
