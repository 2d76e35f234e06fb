#pragma once
// Saving a compressed stream that the game finds through one address
// (RelocatableStream): the stream is re-encoded only when its data changed,
// checked by decoding it again, and placed through the save's one
// FreeSpaceAllocator, which may move it (its address follows) or grow the
// image.
#include <optional>
#include <string>
#include <vector>

#include "rom/FreeSpace.h"
#include "template/RelocatableStream.h"

namespace zorp {

// The stream's bytes as they lie now: what the allocator must not hand out.
inline ByteRange Occupied(const StreamLoad& load) { return {load.address, load.occupied}; }

// What saving one stream comes to.
struct StreamSave {
    std::vector<Patch> patches;          // the stream, and its new address when it moved
    std::optional<Placement> placement;  // none: unchanged, or not placed
    uint64_t length = 0;                 // the new stream's bytes
    bool needsRoom = false;              // no room without growing the image
    std::optional<Message> error;        // the encoder failed, or its stream does not decode back
    bool changed() const { return placement.has_value(); }
};

// Plans the save of a stream loaded as `load` whose data is now `data`:
// nothing when the data did not change (the stream keeps its bytes);
// otherwise the smallest stream, decoded again and compared, placed by the
// allocator (in place, in free space or, with mayGrow, after the image's
// end) and, when it moves, its address rewritten. The caller has Occupy'd
// every stream of the save first.
StreamSave PlanStreamSave(const StreamLoad& load, const RelocatableStream& place, const Bytes& data,
                          const FormatCalls& codec, FreeSpaceAllocator& allocator, bool mayGrow,
                          const std::string& what, const std::string& title);

// "the special stage layouts: moved to 0x100000 (the image grew)", for the
// message after a save.
std::string DescribePlacement(const std::string& what, const StreamSave& save);

} // namespace zorp
