#pragma once
// The special stage block of a ROM, as the template's S3S block places it:
// reading it into a StageStore and planning how a stage block is written back.
//
//   plain:      N stage records back to back, 1032 * N bytes at STARTADDR;
//   compressed: one Kosinski stream in the COMPLENGTH bytes from STARTADDR,
//               decoding to the 1032 * N bytes above.
//
// The codec is not linked here: the program reaches it through its plug-in,
// zorptool and the tests link it, so both hand it in as callables. Nothing in
// this file asks the user anything or touches a file; the caller shows the
// returned messages and applies the planned write.
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "rom/Bytes.h"
#include "rom/Message.h"
#include "stage/StageStore.h"
#include "template/ByteSource.h"
#include "template/EditorSetups.h"

namespace zorp {

// One codec call: false when it failed. A failed decompression leaves in out
// the bytes it produced before the fault.
using StageCodecCall = std::function<bool(const Bytes& in, Bytes& out)>;

struct StageCodecCalls {
    StageCodecCall decompress;
    StageCodecCall compress;         // the exact encoder (the stream the ROM layouts were sized with)
    StageCodecCall compressSmallest; // the smallest-stream encoder; may be left empty
};

// 1032 * N: the bytes of the uncompressed block.
uint64_t StageBlockSize(const S3SSetup& setup);
// The bytes the block occupies in the ROM: 1032 * N, or COMPLENGTH when compressed.
uint64_t StageBlockRomLength(const S3SSetup& setup);

struct StageBlockLoad {
    StageStore store;              // exactly N records when loaded
    std::vector<Message> warnings; // the block was read, but not all of it could be
    std::optional<Message> error;  // nothing was loaded
    // False when some stages were made up of zeros (a stream that failed or
    // ended short, a block past the end of the file): writing them back would
    // replace the game's stages with empty ones.
    bool complete = true;
    bool ok() const { return !error.has_value(); }
};

// Reads the block at STARTADDR into a store. Plain: 1032 * N bytes.
// Compressed: COMPLENGTH bytes, decompressed. Bytes past the end of the ROM
// read as 0 (with a warning). A decompression that fails or gives too few
// bytes is a warning: the store keeps what was decoded, the rest zero-filled;
// one that gives more keeps the first N records, also with a warning.
StageBlockLoad LoadStageBlock(const S3SSetup& setup, const ByteSource& rom, const StageCodecCalls& codec);

enum class StageEncoder {
    None,     // nothing was compressed (plain block, or the plan failed first)
    Exact,    // the exact encoder's stream was chosen
    Smallest, // the exact stream did not fit; the smallest stream did
};

// What saving the block comes to.
struct StageBlockSave {
    std::optional<Patch> write; // the one write to make; none on failure
    std::optional<Message> error;   // why nothing is to be written
    StageEncoder encoder = StageEncoder::None;
    uint64_t blockSize = 0;    // uncompressed bytes
    uint64_t room = 0;         // COMPLENGTH (compressed blocks)
    uint64_t exactSize = 0;    // length of the exact encoder's stream, 0 when not run
    uint64_t smallestSize = 0; // length of the smallest stream, 0 when not run
    bool ok() const { return write.has_value(); }
};

// Plans the write of a whole block (exactly 1032 * N bytes) into a ROM file of
// fileSize bytes.
//
// Plain: the whole block at STARTADDR. Compressed: the exact encoder's stream
// when it fits COMPLENGTH (equal length fits), else the smallest stream when
// that fits, else OutOfSpaceMessage(). The chosen stream is decompressed again
// and must give back the block exactly, or nothing is written. Only the stream
// is written: the allotted bytes after it keep their old contents. A block
// (plain length or COMPLENGTH) that does not lie wholly inside the file is
// refused before anything is compressed.
//
// It always compresses when the block is compressed: asking first
// (CompressionQuestion) and skipping the save of unedited stages are the
// caller's part.
StageBlockSave PlanStageBlockSave(const S3SSetup& setup, const Bytes& block, uint64_t fileSize,
                                  const StageCodecCalls& codec);

// Messages shown around a compressed save, the same in every front end.
Message CompressionQuestion();     // "Compression Information", question icon, to be shown with Yes and No
Message StagesCompressedMessage(); // "Special Stages Compressed", information
Message OutOfSpaceMessage();       // "Out of Space", critical

} // namespace zorp
