#include "template/StreamSave.h"

#include <cstdio>

namespace zorp {

namespace {

std::string Hex(uint64_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(value));
    return text;
}

} // namespace

StreamSave PlanStreamSave(const StreamLoad& load, const RelocatableStream& place, const Bytes& data,
                          const FormatCalls& codec, FreeSpaceAllocator& allocator, bool mayGrow,
                          const std::string& what, const std::string& title)
{
    StreamSave save;
    if (data == load.data)
        return save;
    auto fail = [&](std::string line) {
        save.error = Message{MessageIcon::Critical, title, {std::move(line), "Nothing was saved."}};
        return save;
    };
    if (!codec.packSmallest || !codec.decode)
        return fail("The codec library that writes " + what + " is not available.");
    EncodedStream encoded = codec.packSmallest(data);
    if (!encoded.ok())
        return fail("Cannot compress " + what + ": " + encoded.error);
    // The stream must give back the data exactly before anything is written.
    DecodedStream check = codec.decode(encoded.stream, 0, data.size());
    if (!check.ok() || check.data != data)
        return fail("The compressed " + what + " did not decode back to the data: nothing was written.");
    save.length = encoded.stream.size();
    std::optional<Placement> placement = allocator.Place(Occupied(load), save.length, mayGrow);
    if (!placement) {
        save.needsRoom = true;
        return save;
    }
    save.placement = placement;
    save.patches.push_back({placement->offset, std::move(encoded.stream)});
    if (placement->offset != load.address)
        save.patches.push_back({static_cast<uint64_t>(place.pointer), LongBytes(static_cast<uint32_t>(placement->offset))});
    return save;
}

std::string DescribePlacement(const std::string& what, const StreamSave& save)
{
    if (!save.placement)
        return {};
    std::string where = Hex(save.placement->offset);
    switch (save.placement->kind) {
    case PlacementKind::InPlace:
        return what + ": " + std::to_string(save.length) + " bytes, in place at " + where;
    case PlacementKind::FreeSpace:
        return what + ": " + std::to_string(save.length) + " bytes, moved to free space at " + where;
    case PlacementKind::Appended:
        return what + ": " + std::to_string(save.length) + " bytes, moved past the old end of the ROM to " + where;
    }
    return {};
}

} // namespace zorp
