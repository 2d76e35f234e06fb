#pragma once
// The Sonic 1 special stages of a ROM, as the template's S1STAGES block
// places them: read through the pointer table (each layout one compressed
// stream, Enigma in the games) and planned back through the free-space
// allocator.
//
// Reading: every pointer is checked (inside the image, even) and its stream
// decoded with the output capped at 4096 bytes; a stream that fails, or gives
// a layout of another size, leaves that stage unreadable with the reason
// (the editor stays disabled for it and it is never written).
//
// Saving: an unchanged stage keeps its bytes. A changed one is encoded with
// the smallest encoder and decoded again before anything is planned; it stays
// where it was when it fits, else moves to free space (its pointer changes),
// else, when the caller allows it, to the end of a grown image. A changed
// start position rewrites its 4 bytes of the start table.
#include <optional>
#include <string>
#include <vector>

#include "codec/CodecCalls.h"
#include "rom/Bytes.h"
#include "rom/FreeSpace.h"
#include "rom/Message.h"
#include "stage/S1StageDocument.h"
#include "template/EditorSetups.h"

namespace zorp {

struct S1StagesLoad {
    std::vector<S1StageData> stages; // one per stage; unreadable ones keep their reason
    std::vector<ByteRange> streams;  // where each readable stage's stream lies (length 0: unreadable)
    bool startsEditable = false;     // the template names the start table
    std::optional<Message> error;    // nothing could be read (a table outside the image, no codec)
    bool ok() const { return !error.has_value(); }
};

S1StagesLoad LoadS1Stages(const S1StagesSetup& setup, const Bytes& image, const CodecCalls& codec);

// Gives the allocator the block's free ranges and occupies the stream of
// every readable stage; call it (for every block sharing the allocator)
// before the first PlanS1StagesSave.
void DeclareS1Streams(const S1StagesSetup& setup, const S1StagesLoad& loaded, FreeSpaceAllocator& allocator);

struct S1StagePlacement {
    int stage = 0;
    uint64_t length = 0; // the new stream's bytes
    Placement placement;
};

struct S1StagesSave {
    std::vector<Patch> patches;              // streams, changed pointers, changed starts
    std::vector<S1StagePlacement> placements; // every re-encoded stage
    // A changed stage found no room and growing was not allowed: nothing is
    // to be written; ask, then plan again with mayGrow on a fresh allocator.
    bool needsGrowth = false;
    std::optional<Message> error; // nothing is to be written
    bool ok() const { return !error && !needsGrowth; }
};

// Plans the write of `now` (the document's stages) over what was loaded.
S1StagesSave PlanS1StagesSave(const S1StagesSetup& setup, const S1StagesLoad& loaded,
                              const std::vector<S1StageData>& now, const CodecCalls& codec,
                              FreeSpaceAllocator& allocator, bool mayGrow);

// After a save that moved stages: where they went, one line each; empty
// when every stage stayed where it was.
std::vector<std::string> DescribeS1Placements(const std::vector<S1StagePlacement>& placements, uint64_t oldSize,
                                              uint64_t newSize);

// File names of `zorptool stages` for Sonic 1 (stage counted from 0):
// "stage1.bin" (the 4096-byte layout), "stage1.eni" (its stream, as a
// disassembly holds it), "start1.bin" (X and Y words).
std::string S1LayoutFileName(int stage);
std::string S1StreamFileName(int stage, CompressionFormat format);
std::string S1StartFileName(int stage);

// The stream bytes of a readable stage as they lie in the image, padded to
// an even length as disassemblies store them (the pad byte is the image's).
Bytes S1StreamBytes(const S1StagesLoad& loaded, const Bytes& image, int stage);

} // namespace zorp
