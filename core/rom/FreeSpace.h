#pragma once
// Where data that can grow goes when a save writes it back: a recompressed
// stage, map or object list that is referenced through a pointer can be
// longer than the bytes it came from. Every editor whose data can grow plans
// its streams through one FreeSpaceAllocator per save, so two streams of one
// save never get the same bytes.
//
// A stream is placed
//   - in place, when it fits the bytes it occupies now;
//   - else in free space: a range the template names as free, and only where
//     that range still holds the filler byte (a hack that put other data there
//     keeps it), or bytes another stream of this save gave up;
//   - else at the end of a grown image, when the caller allows it.
// Ranges that hold data (every stream as it lies now, found through its
// pointer) are never handed out, even inside a declared free range: a stream
// moved there by an earlier save stays where it is.
#include <cstdint>
#include <optional>
#include <vector>

#include "rom/Bytes.h"
#include "rom/Message.h"

namespace zorp {

struct ByteRange {
    uint64_t offset = 0;
    uint64_t length = 0;
    uint64_t end() const { return offset + length; }
    friend bool operator==(const ByteRange&, const ByteRange&) = default;
};

enum class PlacementKind {
    InPlace,   // at the offset it had: its pointer stays
    FreeSpace, // moved into free space: its pointer changes
    Appended,  // moved past the end of the image, which grows
};

struct Placement {
    PlacementKind kind = PlacementKind::InPlace;
    uint64_t offset = 0;
    friend bool operator==(const Placement&, const Placement&) = default;
};

// The cartridge space the console maps without a bank mapper: 4 MiB.
inline constexpr uint64_t kMaxCartridgeSize = 0x400000;

// The size an image of `size` bytes is padded to when it grows: the next
// power of two (the sizes cartridges were built in, which every emulator
// maps), at most kMaxCartridgeSize; 0 when size is larger than that.
uint64_t MappedImageSize(uint64_t size);

class FreeSpaceAllocator {
public:
    // image: the image as it is now; it must outlive the allocator. Free
    // space is where a declared range holds `filler`; every placed stream
    // starts at a multiple of `alignment` (2: the 68000 reads words only at
    // even addresses).
    explicit FreeSpaceAllocator(const Bytes& image, uint8_t filler = 0xFF, uint64_t alignment = 2);

    // A range the template names as free. Parts past the image's end are
    // ignored; the runs of the filler byte in it become free space.
    void AddFreeRange(ByteRange range);
    // A range that holds data now. It is never handed out while occupied;
    // occupying the same range twice (two pointers to one stream) keeps it
    // occupied until both have been placed elsewhere.
    void Occupy(ByteRange range);

    // Places a stream of `length` bytes that occupies `current` now (an
    // Occupy'd range; length 0 for a new stream). When it moves, the bytes of
    // `current` that no other stream occupies become free for the streams
    // placed after it; a shorter stream in place gives up its tail likewise.
    // nullopt when there is no room (mayGrow false), or growing would pass
    // kMaxCartridgeSize; the allocator is then unchanged.
    std::optional<Placement> Place(ByteRange current, uint64_t length, bool mayGrow);

    // The image's size before any growth.
    uint64_t OriginalSize() const { return originalSize_; }
    // The size the image must have after this save: its own, or the padded
    // size when a stream was appended.
    uint64_t ImageSize() const;
    bool Grown() const { return appendEnd_ > originalSize_; }
    uint8_t Filler() const { return filler_; }

    // Free space left (for messages and tests), sorted, merged.
    std::vector<ByteRange> FreeRanges() const;

private:
    uint64_t AlignUp(uint64_t value) const;
    void Release(ByteRange range);
    bool RemoveOccupied(ByteRange range);

    const Bytes& image_;
    uint64_t originalSize_;
    uint8_t filler_;
    uint64_t alignment_;
    uint64_t appendEnd_;
    std::vector<ByteRange> free_;     // filler runs of the declared ranges, and released bytes
    std::vector<ByteRange> occupied_; // may repeat a range
};

// Makes an image `size` bytes long, the new bytes set to filler, and stores
// the new ROM end (size - 1) in the header's big-endian long at 0x1A4 when
// the image holds a header. False (image unchanged) when size is smaller than
// the image or larger than kMaxCartridgeSize.
bool GrowImage(Bytes& image, uint64_t size, uint8_t filler);

// "Grow the ROM?" (question icon, to be shown with Yes and No): changed data
// found no room in the image and the free space the template names.
Message GrowImageQuestion(uint64_t imageSize);

// Where the header keeps the address of the image's last byte.
inline constexpr uint64_t kHeaderRomEndOffset = 0x1A4;

} // namespace zorp
