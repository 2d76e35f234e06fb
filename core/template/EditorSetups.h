#pragma once
// What a template sets up: one plain description per editor, holding exactly
// the values that editor needs, and the frame tag texts the workspace keeps
// for it (numbers as decimal text, pieces joined with "|").
#include <cstdint>
#include <string>
#include <vector>

#include "codec/CodecCalls.h"
#include "rom/FreeSpace.h"

namespace zorp {

// LEVELSELECT: names at consecutive positions; name k+1 starts after name k's
// length plus its separator.
struct LevelEntry {
    int32_t length = 0;
    int32_t separator = 0;
    friend bool operator==(const LevelEntry&, const LevelEntry&) = default;
};

struct LevelSelectSetup {
    int32_t startAddress = 0;
    std::string decodeTable;      // "S1", "S3", "S3D" or "C++"
    bool variableLengths = false; // VARLENGTH was exactly "Y"
    int32_t longestLength = 0;    // largest LVLLENGTH / LVLLENGTH_S value read
    std::vector<LevelEntry> levels;
};

// PALEDIT: palettes in file order and the colour format code (0 Genesis,
// 1 RGB_15, 2 RGB_15_SWAP).
struct PaletteEntry {
    std::string description;
    int32_t address = 0;
    int32_t count = 16;
    friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};

struct PaletteSetup {
    std::vector<PaletteEntry> palettes;
    int32_t largestCount = 0;
    int32_t paletteType = 0;
};

// PLAYLIST: one byte per slot inside the block; stored byte = song + addValue.
struct PlaylistSlot {
    std::string caption;
    int32_t offset = 0; // within the block
    friend bool operator==(const PlaylistSlot&, const PlaylistSlot&) = default;
};

struct PlaylistSetup {
    int32_t startAddress = 0;
    int32_t minSong = 0;
    int32_t maxSong = 0;
    int32_t addValue = 0;
    int32_t blockSize = 0;
    std::vector<PlaylistSlot> songSlots;
};

// S3S: special stages stored in the ROM. The editor's EnableS3SFunctions is
// left as it is.
struct S3SSetup {
    int32_t startAddress = 0;
    int32_t stages = 1;
    bool extraProps = false;   // ShowArrows
    bool yellowSphere = false; // EnableYellowSphere
    bool multiStage = false;   // ShowStageNumCombo
    bool compressed = false;
    int32_t compLength = 0;    // bytes allotted to the compressed stream
};

// S3S_FILE: the workspace edits an S3S file itself.
struct S3SFileSetup {
    int32_t stages = 1;
    bool showArrows = true;
    bool enableYellowSphere = true;
    bool enableS3SFunctions = false;
    bool showStageNumCombo = false;
};

// WAVIMPORTER: an unsigned 8-bit PCM sample of fixed length.
struct WavSetup {
    int32_t startAddress = 0;
    int32_t length = 0;
    int32_t frequency = 16000; // already defaulted: never 0
};

// The keys every block of compressed data that can move shares (see
// RelocationKeys.h and docs/templates.md): its compression, the ranges the
// save may move streams into (first and last byte; toEnd: from first to the
// end of the image, so the part a grown image added is used again) and the
// filler byte those ranges hold.
struct FreeRangeSetup {
    int64_t first = 0;
    int64_t last = 0;
    bool toEnd = false;
    friend bool operator==(const FreeRangeSetup&, const FreeRangeSetup&) = default;
};

struct RelocationSetup {
    CompressionFormat format = CompressionFormat::Enigma;
    std::vector<FreeRangeSetup> freeRanges;
    uint8_t filler = 0xFF;
    // The free ranges as byte ranges of an image of imageSize bytes (parts
    // past its end dropped).
    std::vector<ByteRange> FreeRanges(uint64_t imageSize) const;
};

// S1STAGES: Sonic 1 special stages, one compressed layout per stage found
// through a table of 32-bit pointers, and a table of start positions.
struct S1StagesSetup {
    int32_t pointerTable = 0;    // POINTERS: 4 bytes per stage
    int32_t startTable = -1;     // STARTPOS: 4 bytes per stage (X, Y); -1: not edited
    int32_t stages = 6;          // STAGES
    RelocationSetup relocation;
};

// A compressed stream that the game finds through one absolute address.
struct RelocatableStream {
    int32_t offset = 0;  // where it lies in an unchanged image
    int32_t room = 0;    // bytes it may fill there (its own and the slack after it)
    int32_t pointer = 0; // where its address is stored (a big-endian long)
    friend bool operator==(const RelocatableStream&, const RelocatableStream&) = default;
};

// S2SPECIALSTAGES: Sonic 2's seven half-pipe stages.
struct S2SpecialStageSetup {
    RelocatableStream layouts;  // Nemesis
    RelocatableStream objects;  // Kosinski
    int32_t teamRings = 0;      // 28-byte ring requirement tables
    int32_t aloneRings = 0;
    RelocationSetup relocation; // FREESPACE, FILLER (its format is not used)
};

// S2LEVELSELECT: Sonic 2's level select screen.
struct S2LevelSelectSetup {
    RelocatableStream map;      // Enigma, 40 x 28 cells
    int32_t marks = 0;          // highlight table, 22 x 4 bytes
    int32_t order = 0;          // order table, 22 words
    RelocationSetup relocation; // FREESPACE, FILLER (its format is not used)
};

// Frame tags ("Tags after LoadFrames").
std::string FrameTag(const LevelSelectSetup& setup); // start|table|VAR or NOVAR
std::string RowTag(const LevelEntry& level);         // length|separator
std::string FrameTag(const PaletteSetup& setup);     // LOADED
std::string FrameTag(const PlaylistSetup& setup);    // start|add|size
std::string FrameTag(const S3SSetup& setup);         // start
std::string EditorTag(const S3SSetup& setup);        // Y or N|compLength
std::string FrameTag(const S3SFileSetup& setup);     // S3S
std::string EditorTag(const S3SFileSetup& setup);    // N|0
std::string FrameTag(const WavSetup& setup);         // start|length|frequency
std::string FrameTag(const S1StagesSetup& setup);    // pointers|starts|stages

// The WAV importer's requirements label.
std::string WavSpecsLabel(int32_t frequency, int32_t length);

} // namespace zorp
