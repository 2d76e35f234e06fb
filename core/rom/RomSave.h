#pragma once
// The one road by which edits reach a ROM file: every editor hands its
// changes over as patches, the new contents are built once in memory
// (optionally with the header checksum made to match them) and written once
// through WriteFileBytes. A save can insist that the file still holds what was
// loaded, so that a change made meanwhile by another window or program is
// never silently overwritten.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rom/Bytes.h"

namespace zorp {

// Where a Genesis header stores its checksum (a big-endian word).
inline constexpr uint64_t kHeaderChecksumOffset = 0x18E;

// What a file held when it was read: its length and a 64-bit hash of its bytes.
struct FileStamp {
    uint64_t size = 0;
    uint64_t hash = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};
FileStamp StampOf(const Bytes& contents);

// The stored and the actual header checksum of an image (0x200 to the end).
struct HeaderChecksum {
    bool present = false; // false when the image is too short to hold a header
    uint16_t stored = 0;
    uint16_t actual = 0;
    bool matches() const { return present && stored == actual; }
};
HeaderChecksum HeaderChecksumOf(const Bytes& image);

// Copies every patch into contents in order (later ones win where they
// overlap). False, with contents unchanged, when a patch lies past the end.
bool ApplyPatches(Bytes& contents, const std::vector<Patch>& patches);

// Stores the actual checksum at 0x18E; false when the image is too short.
bool FixHeaderChecksum(Bytes& image);

struct SaveOptions {
    // Also store the checksum of the new contents at 0x18E, in the same write.
    // Only Genesis images (by the file's extension) have it there: in Master
    // System, Game Gear, Game Boy Advance and special stage files 0x18E is
    // game data, so they keep every byte (SaveResult::checksumFixed false).
    bool fixChecksum = false;
    // Refuse (SaveOutcome::Changed) when the file no longer holds these bytes.
    std::optional<FileStamp> expected;
    // Grow the image to this many bytes first (GrowImage in rom/FreeSpace.h:
    // the new bytes set to growFiller, the header's ROM end updated), so that
    // patches may lie in the new part; 0 or the file's own size: no growth.
    uint64_t growTo = 0;
    uint8_t growFiller = 0xFF;
};

enum class SaveOutcome {
    Written, // the file now holds the new contents
    Changed, // nothing written: the file differs from options.expected
    Failed,  // nothing written: see error
};

struct SaveResult {
    SaveOutcome outcome = SaveOutcome::Failed;
    std::string error;   // Failed: why
    FileStamp stamp;     // Written: the new contents; Changed: what the file holds now
    HeaderChecksum checksum; // Written: of the new contents
    bool checksumFixed = false; // Written: the checksum was stored as asked
    bool ok() const { return outcome == SaveOutcome::Written; }
};

// Reads the file, grows it when asked, applies the patches (and the
// checksum), and replaces the file once. A file that cannot be read, a patch past its end, a changed file
// or a failed write leave the file exactly as it was.
SaveResult SavePatches(const std::string& path, const std::vector<Patch>& patches, const SaveOptions& options = {});

} // namespace zorp
