#pragma once
// The Sonic & Knuckles lock-on combination: a Sonic & Knuckles image in the
// lower 2 MiB, the locked-on game's image from 2 MiB on, plus what that game
// needs (the 256 KiB extra image for Sonic 2, SRAM information for Sonic 3).
// Shared by the combiner window and `zorptool lockon`.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rom/Bytes.h"
#include "rom/Message.h"
#include "rom/RomDefinitions.h"

namespace zorp {

inline constexpr size_t kSKImageSize = 0x200000;        // the S&K part of the output
inline constexpr size_t kLockOnImageOffset = 0x200000;  // where the second cartridge starts
inline constexpr size_t kS2ExtraOffset = 0x300000;      // where S&K maps the Sonic 2 extra image
inline constexpr size_t kS2ExtraSize = 0x40000;         // 262,144 bytes
inline constexpr size_t kSramInfoOffset = 0x1B0;
inline constexpr uint64_t kLockOnNoteS2Size = 0x100000; // Sonic 2 images past 1 MiB get a warning

// The Sonic 2 extra image is the game maker's code and cannot ship with the
// program: the user puts it in their data folder (rom/Locations.h) under this name.
inline constexpr const char* kS2ExtraFileName = "S2K_EXTRA.BIN";

// Bytes changed in the S&K image when it is loaded.
struct LockOnBytePatch {
    size_t offset;
    uint8_t value;
};
inline constexpr std::array<LockOnBytePatch, 2> kSKPatches{{{0x3B5, 0x02}, {0x433, 0x2C}}};

// SRAM fields of the header written for a Sonic 3 combination (begins "RA").
inline constexpr std::array<uint8_t, 32> kLockOnSramInfo{
    0x52, 0x41, 0xF8, 0x20, 0x20, 0x20, 0x00, 0x01, 0x20, 0x20, 0x03, 0xFF, 0x20, 0x20, 0x20, 0x20,
    0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x00, 0x01, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20};

// The S&K part: the first 2 MiB of the file's bytes (zero-filled when
// shorter) with kSKPatches applied.
Bytes MakeSKImage(const Bytes& fileBytes);

// The notes for a lock-on game in display order, one paragraph each.
std::vector<std::string> LockOnNotes(const std::string& lockOnId, uint64_t lockOnFileSize);
// The notes as the notes box shows them: each paragraph followed by CR LF CR LF.
std::string LockOnNotesText(const std::string& lockOnId, uint64_t lockOnFileSize);

// Whether this combination needs the Sonic 2 extra image.
bool NeedsS2Extra(const std::string& lockOnId);

// The bytes of the combined image: S&K at 0 (cut or zero-filled to 2 MiB),
// the lock-on image at 0x200000; for "S2" the extra image at 0x300000 (zero
// gap before it when the lock-on image is shorter); for "S3" the SRAM block
// at 0x1B0. The header checksum is left as it is. Nullopt when "S2" is asked
// for and s2Extra is not exactly kS2ExtraSize bytes.
std::optional<Bytes> CombineROMs(const Bytes& skImage, const Bytes& lockOnImage,
                                 const std::string& lockOnId, const Bytes& s2Extra);

// ---- loading the inputs from files (untrusted: every failure is a message)

struct SKImageLoad {
    Bytes image; // kSKImageSize bytes, patched
    std::optional<Message> error;
    bool ok() const { return !error.has_value(); }
};

// Identifies the file by its header at offset 0; anything but "S&K" gives the
// "Not S&K ROM" message. A missing or empty file gives a read error.
SKImageLoad LoadSKImage(const RomDefinitions& table, const std::string& path);

struct LockOnImageLoad {
    Bytes image;                          // the whole file
    std::string gameId = kGameIdUnknown; // by the header at offset 0
    std::optional<Message> error;
    bool ok() const { return !error.has_value(); }
};

// Reads the whole file (at most kMaxLockOnFileSize) and identifies it.
LockOnImageLoad LoadLockOnImage(const RomDefinitions& table, const std::string& path);
inline constexpr uint64_t kMaxLockOnFileSize = 64ull << 20;

struct S2ExtraLoad {
    Bytes image;
    std::optional<Message> error;
    bool ok() const { return !error.has_value(); }
};

// Reads AppFilePath(kS2ExtraFileName), or the file at path; a missing file
// (named in the user's folder) or one of any size but kS2ExtraSize gives a
// message saying what to put where.
S2ExtraLoad LoadS2ExtraImage();
S2ExtraLoad LoadS2ExtraImage(const std::string& path);

// The message for a combined image that could not be written.
Message LockOnWriteFailedMessage(const std::string& path, const std::string& reason);

// The confirmation shown after the combined image was written.
Message LockedOnMessage();

} // namespace zorp
