#include "template/PlaylistModel.h"

#include <algorithm>
#include <cstdio>

#include "rom/PubFunctions.h"

namespace zorp {

PlaylistModel::PlaylistModel(PlaylistSetup setup)
    : setup_(std::move(setup)), songs_(setup_.songSlots.size(), 0), clamped_(setup_.songSlots.size(), false)
{
    for (int32_t& song : songs_)
        song = Clamp(song);
}

int32_t PlaylistModel::Clamp(int64_t song) const
{
    // A hand-made setup may have the range upside down; the low end wins.
    return static_cast<int32_t>(std::max<int64_t>(setup_.minSong, std::min<int64_t>(song, setup_.maxSong)));
}

void PlaylistModel::Load(const ByteSource& rom)
{
    Bytes block = rom.Read(static_cast<uint64_t>(std::max(0, setup_.startAddress)),
                           static_cast<size_t>(std::max(0, setup_.blockSize)));
    for (size_t i = 0; i < songs_.size(); ++i) {
        int32_t offset = setup_.songSlots[i].offset;
        int32_t byte = offset >= 0 && static_cast<size_t>(offset) < block.size() ? block[static_cast<size_t>(offset)] : 0;
        int64_t song = int64_t{byte} - setup_.addValue;
        songs_[i] = Clamp(song);
        clamped_[i] = songs_[i] != song;
    }
}

void PlaylistModel::SetSong(int row, int32_t song)
{
    songs_[static_cast<size_t>(row)] = Clamp(song);
    clamped_[static_cast<size_t>(row)] = false;
}

std::optional<Patch> PlaylistModel::PlanWrite(const ByteSource& rom) const
{
    if (setup_.startAddress < 0 || setup_.blockSize < 0 ||
        !FitsInFile(static_cast<uint64_t>(setup_.startAddress), static_cast<uint64_t>(setup_.blockSize), rom.Size()))
        return std::nullopt;
    Patch write{static_cast<uint64_t>(setup_.startAddress),
                    rom.Read(static_cast<uint64_t>(setup_.startAddress), static_cast<size_t>(setup_.blockSize))};
    for (size_t i = 0; i < songs_.size(); ++i) {
        int32_t offset = setup_.songSlots[i].offset;
        if (offset >= 0 && offset < setup_.blockSize)
            write.bytes[static_cast<size_t>(offset)] = static_cast<uint8_t>(int64_t{setup_.addValue} + songs_[i]);
    }
    return write;
}

std::string PlaylistModel::SongText(int32_t song)
{
    char hex[16];
    std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(static_cast<uint32_t>(song)));
    return PadLeftZeros(hex, 2);
}

} // namespace zorp
