#include "rom/FreeSpace.h"

#include <algorithm>
#include <string>

namespace zorp {

namespace {

// Sorted, with touching and overlapping ranges joined; empty ones dropped.
std::vector<ByteRange> Merged(std::vector<ByteRange> ranges)
{
    std::erase_if(ranges, [](const ByteRange& r) { return r.length == 0; });
    std::sort(ranges.begin(), ranges.end(), [](const ByteRange& a, const ByteRange& b) { return a.offset < b.offset; });
    std::vector<ByteRange> out;
    for (const ByteRange& r : ranges) {
        if (!out.empty() && r.offset <= out.back().end())
            out.back().length = std::max(out.back().end(), r.end()) - out.back().offset;
        else
            out.push_back(r);
    }
    return out;
}

// The parts of `ranges` (merged) that no range of `cut` covers.
std::vector<ByteRange> Subtract(const std::vector<ByteRange>& ranges, const std::vector<ByteRange>& cut)
{
    std::vector<ByteRange> out;
    const std::vector<ByteRange> holes = Merged(cut);
    for (const ByteRange& r : ranges) {
        uint64_t from = r.offset;
        for (const ByteRange& h : holes) {
            if (h.end() <= from || h.offset >= r.end())
                continue;
            if (h.offset > from)
                out.push_back({from, h.offset - from});
            from = std::max(from, h.end());
        }
        if (from < r.end())
            out.push_back({from, r.end() - from});
    }
    return out;
}

} // namespace

uint64_t MappedImageSize(uint64_t size)
{
    if (size > kMaxCartridgeSize)
        return 0;
    uint64_t mapped = 1;
    while (mapped < size)
        mapped <<= 1;
    return mapped;
}

FreeSpaceAllocator::FreeSpaceAllocator(const Bytes& image, uint8_t filler, uint64_t alignment)
    : image_(image),
      originalSize_(image.size()),
      filler_(filler),
      alignment_(alignment == 0 ? 1 : alignment),
      appendEnd_(image.size())
{
}

uint64_t FreeSpaceAllocator::AlignUp(uint64_t value) const
{
    const uint64_t rest = value % alignment_;
    return rest == 0 ? value : value + (alignment_ - rest);
}

void FreeSpaceAllocator::AddFreeRange(ByteRange range)
{
    const uint64_t end = std::min<uint64_t>(range.offset + std::min(range.length, originalSize_), originalSize_);
    for (uint64_t i = std::min(range.offset, originalSize_); i < end;) {
        if (image_[i] != filler_) {
            ++i;
            continue;
        }
        const uint64_t start = i;
        while (i < end && image_[i] == filler_)
            ++i;
        free_.push_back({start, i - start});
    }
    free_ = Merged(free_);
}

void FreeSpaceAllocator::Occupy(ByteRange range)
{
    if (range.length > 0)
        occupied_.push_back(range);
}

bool FreeSpaceAllocator::RemoveOccupied(ByteRange range)
{
    auto it = std::find(occupied_.begin(), occupied_.end(), range);
    if (it == occupied_.end())
        return false;
    occupied_.erase(it);
    return true;
}

void FreeSpaceAllocator::Release(ByteRange range)
{
    // Only bytes inside the image can be handed out again; a released range
    // past the end belongs to an appended stream of this save and is simply
    // left alone.
    if (range.offset >= originalSize_ || range.length == 0)
        return;
    range.length = std::min(range.length, originalSize_ - range.offset);
    free_.push_back(range);
    free_ = Merged(free_);
}

std::vector<ByteRange> FreeSpaceAllocator::FreeRanges() const { return Subtract(Merged(free_), occupied_); }

std::optional<Placement> FreeSpaceAllocator::Place(ByteRange current, uint64_t length, bool mayGrow)
{
    if (length == 0)
        return Placement{PlacementKind::InPlace, current.offset};
    if (current.length > 0 && length <= current.length && current.end() <= std::max(originalSize_, appendEnd_)) {
        if (RemoveOccupied(current)) {
            occupied_.push_back({current.offset, length});
            Release({current.offset + length, current.length - length});
        }
        return Placement{PlacementKind::InPlace, current.offset};
    }

    // Try it with the old bytes given up; put everything back on failure.
    const std::vector<ByteRange> savedFree = free_;
    const std::vector<ByteRange> savedOccupied = occupied_;
    if (current.length > 0 && RemoveOccupied(current))
        Release(current);

    // Best fit: the smallest free run that holds the stream, so the large
    // runs stay for the large streams; the lowest address among equals.
    std::optional<ByteRange> best;
    uint64_t bestStart = 0;
    for (const ByteRange& r : FreeRanges()) {
        const uint64_t start = AlignUp(r.offset);
        if (start >= r.end() || r.end() - start < length)
            continue;
        if (!best || r.length < best->length) {
            best = r;
            bestStart = start;
        }
    }
    if (best) {
        occupied_.push_back({bestStart, length});
        return Placement{bestStart == current.offset ? PlacementKind::InPlace : PlacementKind::FreeSpace, bestStart};
    }

    const uint64_t start = AlignUp(appendEnd_);
    if (mayGrow && start + length <= kMaxCartridgeSize) {
        appendEnd_ = start + length;
        occupied_.push_back({start, length});
        return Placement{PlacementKind::Appended, start};
    }
    free_ = savedFree;
    occupied_ = savedOccupied;
    return std::nullopt;
}

uint64_t FreeSpaceAllocator::ImageSize() const
{
    if (!Grown())
        return originalSize_;
    return MappedImageSize(appendEnd_);
}

bool GrowImage(Bytes& image, uint64_t size, uint8_t filler)
{
    if (size < image.size() || size > kMaxCartridgeSize)
        return false;
    image.resize(static_cast<size_t>(size), filler);
    if (image.size() >= kHeaderRomEndOffset + 4 && size > 0) {
        const uint64_t last = size - 1;
        for (int i = 0; i < 4; ++i)
            image[kHeaderRomEndOffset + static_cast<uint64_t>(i)] = static_cast<uint8_t>(last >> (24 - 8 * i));
    }
    return true;
}

Message GrowImageQuestion(uint64_t imageSize)
{
    return Message{MessageIcon::Question,
                   "Grow the ROM?",
                   {"The changed data are longer than before, and the free space the template names is used up.",
                    "The ROM can grow: the data go after its end (now " + std::to_string(imageSize / 1024) +
                        " KiB), it is padded to the next size the console maps, and its header's ROM end is updated.",
                    "", "Grow the ROM and save?"}};
}

} // namespace zorp
