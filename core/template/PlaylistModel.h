#pragma once
// The sound test playlist editor's model: one song number per slot, each slot
// a byte inside the playlist block. A stored byte is the song number plus the
// added value.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "template/ByteSource.h"
#include "template/EditorSetups.h"

namespace zorp {

class PlaylistModel {
public:
    explicit PlaylistModel(PlaylistSetup setup);

    int RowCount() const { return static_cast<int>(songs_.size()); }
    const std::string& Caption(int row) const { return setup_.songSlots[static_cast<size_t>(row)].caption; }
    int32_t Offset(int row) const { return setup_.songSlots[static_cast<size_t>(row)].offset; }
    int32_t Song(int row) const { return songs_[static_cast<size_t>(row)]; }
    // The byte read for this row gave a song number outside MINSONG..MAXSONG
    // and was clamped into the range; the UI marks such rows. Cleared when
    // the row is set.
    bool WasClamped(int row) const { return clamped_[static_cast<size_t>(row)]; }
    const PlaylistSetup& Setup() const { return setup_; }

    // Reads the block and sets every row: song = byte - added value, clamped
    // into the song range.
    void Load(const ByteSource& rom);

    // Sets a row's song, clamped into the song range.
    void SetSong(int row, int32_t song);

    // The block to write back: read from the file, with every row's byte put
    // at its offset (a later row wins over an earlier one at the same offset);
    // bytes no row names keep their values. nullopt when the block reaches
    // past the end of the file.
    std::optional<Patch> PlanWrite(const ByteSource& rom) const;

    // A song number as the text box shows it: two upper-case hexadecimal
    // digits (the last two of a longer number).
    static std::string SongText(int32_t song);

private:
    int32_t Clamp(int64_t song) const;

    PlaylistSetup setup_;
    std::vector<int32_t> songs_;
    std::vector<bool> clamped_;
};

} // namespace zorp
