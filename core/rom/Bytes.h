#pragma once
// Byte buffers and the bounded file access every reader in the core uses.
// Files come from users and are untrusted: every read is bounded by the file's
// real size and by an explicit limit, never by a length stored in the file.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zorp {

using Bytes = std::vector<uint8_t>;

// Reads the whole file. Fails (nullopt) when it cannot be opened or read, or
// when it is larger than maxSize bytes.
std::optional<Bytes> ReadFileBytes(const std::string& path, uint64_t maxSize = 64ull << 20);

// Reads count bytes at offset. Bytes past the end of the file read as 0, as the
// editors expect. Fails only when the file cannot be opened.
std::optional<Bytes> ReadBytesAt(const std::string& path, uint64_t offset, uint64_t count);

// Size of a file, or nullopt when it does not exist or cannot be queried.
std::optional<uint64_t> FileSize(const std::string& path);

// A run of bytes to put at an offset of an existing file: what every editor
// hands to a save.
struct Patch {
    uint64_t offset = 0;
    Bytes bytes;
    friend bool operator==(const Patch&, const Patch&) = default;
};

// Puts every patch into the file in order (later patches win where they
// overlap) and changes nothing else: the file keeps its length. The new
// contents are built in memory and replace the file in one step, so a failure
// leaves it exactly as it was. When expectedSize is given, a file whose length
// differs (changed since it was loaded) is refused. Returns an empty string on
// success, else the reason.
std::string WritePatches(const std::string& path, const std::vector<Patch>& patches,
                         std::optional<uint64_t> expectedSize = std::nullopt);

// One patch.
std::string WriteBytesAt(const std::string& path, uint64_t offset, const Bytes& data);

// Replaces (or creates) the file with exactly these bytes: they are written to
// a temporary file in the same folder, flushed, and renamed over the target,
// which keeps its permissions. A failure at any point leaves the target as it
// was. Empty string on success, else the reason.
std::string WriteFileBytes(const std::string& path, const Bytes& data);

// Test seam: makes the next file replacements fail at a chosen step, the way a
// full disk or a vanished folder would.
enum class WriteFaultStep { None, Create, Write, Flush, Rename };
struct WriteFault {
    WriteFaultStep step = WriteFaultStep::None;
    uint64_t afterBytes = 0; // Write: bytes that reach the disk before the failure
};
void SetWriteFaultForTesting(WriteFault fault);

// Test seam: how many files WriteFileBytes has replaced (or created) in this
// process, so a test can count the writes one action makes.
uint64_t FileReplacementsForTesting();

} // namespace zorp
