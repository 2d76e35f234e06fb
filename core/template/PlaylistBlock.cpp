// PLAYLIST: the sound test playlist slots.
//
// Choices for values the language leaves open (each refuses the block with a
// message naming the line, so no byte outside the block is ever written):
// - PLAYLISTS outside 0..65535, PLAYLISTSIZE outside 1..65536, MINSONG or
//   MAXSONG outside -32768..32767, a negative STARTADDR, a SONG without a
//   caption or whose offset is not a number: refused at that line.
// - At the end: a missing STARTADDR, MINSONG, MAXSONG, ADDVALTOROM or
//   PLAYLISTSIZE; MINSONG > MAXSONG; ADDVALTOROM + song outside 0..255 for
//   some song of the range; a slot offset outside 0..PLAYLISTSIZE-1.
// - A PLAYLISTS count larger than the number of SONG lines: the unfilled
//   slots are left out with one warning (each would be a second row at
//   offset 0 whose byte could undo the real one's); the filled ones stay.
// - A SONG before PLAYLISTS or beyond the last slot has no effect, as the
//   language says.
#include <limits>

#include "template/Conv0x.h"
#include "template/TemplateBlocks.h"
#include "template/TemplateLimits.h"
#include "template/TemplateMessages.h"

namespace zorp {

namespace {

bool FitsInt16(int32_t value)
{
    return value >= std::numeric_limits<int16_t>::min() && value <= std::numeric_limits<int16_t>::max();
}

} // namespace

std::optional<TemplateAction> ReadPlaylistBlock(BlockReader& reader, TemplateSettings& settings)
{
    auto& state = settings.playlist;

    BlockLine line;
    while (reader.Next(line)) {
        const std::string& key = line.key;
        if (key == "STARTADDR") {
            std::string error = TakeStartAddress(line, settings);
            if (!error.empty())
                return reader.Refuse(line, error);
        } else if (key == "MINSONG" || key == "MAXSONG") {
            auto n = Conv0x(line.Value(0));
            if (!n)
                continue;
            if (!FitsInt16(*n))
                return reader.Refuse(line, "A song number must lie between -32768 and 32767.");
            (key == "MINSONG" ? state.minSong : state.maxSong) = *n;
        } else if (key == "ADDVALTOROM") {
            if (auto n = Conv0x(line.Value(0)))
                state.addValue = *n;
        } else if (key == "PLAYLISTSIZE") {
            auto n = Conv0x(line.Value(0));
            if (!n)
                continue;
            if (*n < 1 || *n > kMaxPlaylistBlockSize)
                return reader.Refuse(line, "The playlist block size must lie between 1 and 65536 bytes.");
            state.blockSize = *n;
        } else if (key == "PLAYLISTS") {
            auto n = Conv0x(line.Value(0));
            if (!n)
                continue;
            if (*n < 0 || *n > kMaxPlaylistSlots)
                return reader.Refuse(line, "The number of playlist slots must lie between 0 and 65535.");
            state.songSlots.assign(static_cast<size_t>(*n), PlaylistSlot{});
            state.slotLines.assign(static_cast<size_t>(*n), 0);
        } else if (key == "SONG") {
            if (line.Value(0).empty())
                return reader.Refuse(line, "A SONG line needs a caption.");
            auto offset = Conv0x(line.Value(1));
            if (!offset)
                return reader.Refuse(line, "The slot offset of a SONG line must be a number.");
            for (size_t i = 0; i < state.songSlots.size(); ++i) {
                if (state.songSlots[i].caption.empty()) {
                    state.songSlots[i] = {line.Value(0), *offset};
                    state.slotLines[i] = reader.LineNumber();
                    break;
                }
            }
        }
    }

    const char* missing = !settings.startAddress ? "STARTADDR"
                          : !state.minSong       ? "MINSONG"
                          : !state.maxSong       ? "MAXSONG"
                          : !state.addValue      ? "ADDVALTOROM"
                          : !state.blockSize     ? "PLAYLISTSIZE"
                                                 : nullptr;
    if (missing)
        return reader.RefuseBlock(std::string("The key ") + missing + " is missing.");
    if (*state.minSong > *state.maxSong)
        return reader.RefuseBlock("MINSONG is larger than MAXSONG.");
    int64_t lowestByte = int64_t{*state.addValue} + *state.minSong;
    int64_t highestByte = int64_t{*state.addValue} + *state.maxSong;
    if (lowestByte < 0 || highestByte > 255)
        return reader.RefuseBlock("ADDVALTOROM plus a song number between MINSONG and MAXSONG must lie between 0 "
                                  "and 255.");
    // SONG lines fill the slots in order, so the unfilled ones are the last.
    size_t filled = 0;
    while (filled < state.slotLines.size() && state.slotLines[filled])
        ++filled;
    if (filled < state.songSlots.size()) {
        reader.Warn(UnfilledSlotsMessage(reader.CommandLine(), reader.CommandText(), state.songSlots.size(), filled));
        state.songSlots.resize(filled);
        state.slotLines.resize(filled);
    }
    for (size_t i = 0; i < state.songSlots.size(); ++i) {
        int32_t offset = state.songSlots[i].offset;
        if (offset < 0 || offset >= *state.blockSize) {
            std::string where = "line " + std::to_string(state.slotLines[i]);
            return reader.RefuseBlock("The slot offset " + std::to_string(offset) + " (" + where +
                                      ") lies outside the playlist block of " + std::to_string(*state.blockSize) +
                                      " bytes.");
        }
    }

    PlaylistSetup setup;
    setup.startAddress = *settings.startAddress;
    setup.minSong = *state.minSong;
    setup.maxSong = *state.maxSong;
    setup.addValue = *state.addValue;
    setup.blockSize = *state.blockSize;
    setup.songSlots = state.songSlots;
    return setup;
}

} // namespace zorp
