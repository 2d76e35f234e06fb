#pragma once
// Genesis image layouts: plain binary, Super Magic Drive interleaved (SMD, one
// file or a numbered series) and Multi Game Doctor interleaved (MGD); their
// recognition, the converter's padding and header report, and the bytes of a
// converted file. Everything works in memory.
//
// SMD: a 512-byte header, then 16 KB blocks; in each block the odd plain bytes
// come first (8 KB), then the even ones. MGD: no header; the odd plain bytes of
// the whole image, then the even ones.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "rom/Bytes.h"
#include "rom/Message.h"

namespace zorp {

inline constexpr size_t kSmdHeaderSize = 512;
inline constexpr size_t kSmdBlockSize = 16384;
// The joined body of an SMD series may hold at most 4 MB.
inline constexpr uint64_t kMaxSmdSeriesSize = 0x400000;
// A series of more parts than this is refused (guards against a series whose
// parts never say "last", e.g. empty bodies).
inline constexpr int kMaxSmdSeriesParts = 256;
// No cartridge image is anywhere near this size; larger files are refused.
inline constexpr uint64_t kMaxRomFileSize = 64ull << 20;

// Layout flags of DetectRomFormat.
enum RomLayout : uint32_t {
    kLayoutUnknown = 0,
    kLayoutPlain = 1,
    kLayoutSmd = 2,
    kLayoutMultiFile = 4, // always together with kLayoutSmd
    kLayoutMgd = 8,
};

// Console names at plain offset 0x100 (16 characters each).
inline constexpr const char* kConsoleGenesis = "SEGA GENESIS    ";
inline constexpr const char* kConsoleMegaDrive = "SEGA MEGA DRIVE ";
inline constexpr const char* kConsole32X = "SEGA 32X        ";

// Block-wise SMD conversion; the result has the input's size. Sizes should be
// whole 16 KB blocks (callers pad first): the bytes of an incomplete last
// block are copied unchanged.
Bytes DeInterleaveSMD(const Bytes& body);
Bytes InterleaveSMD(const Bytes& image);

// Whole-file MGD conversion; the result has the input's size. With an odd size
// the last byte has no partner and is carried over unchanged.
Bytes DeInterleaveMGD(const Bytes& file);
Bytes InterleaveMGD(const Bytes& image);

// The 512-byte SMD header for an image of imageSize bytes: byte 0 =
// (size - 1) / 16384 (0 for an empty image, at most 0xFF), byte 1 = 3,
// byte 2 = 0x40 when more parts follow else 0, bytes 8..10 = AA BB 06.
Bytes MakeSmdHeader(size_t imageSize, bool morePartsFollow = false);

// True when the first 512 bytes are an SMD header: AA BB 06 at 8..10 and
// zeros at 11..511.
bool IsSmdHeader(const Bytes& header);

// True when the 16 bytes at offset are one of the three console names.
bool IsConsoleName(const Bytes& data, size_t offset);

struct RomFormatResult {
    uint32_t layout = kLayoutUnknown; // RomLayout flags; 0 = not recognised
    bool is32X = false;               // console name "SEGA 32X        "
    Bytes image;                      // the plain image (empty unless recognised)
    // Set when the file could not be loaded (unreadable, too large, a broken
    // SMD file or series). An unrecognised file is not an error: layout 0.
    std::optional<Message> error;

    bool ok() const { return !error.has_value(); }
    bool recognised() const { return ok() && layout != kLayoutUnknown; }
};

// Recognises the layout of the file at path (SMD, then MGD, then plain) and
// loads it as a plain image. An SMD series (header byte 2 = 0x40) is joined
// from part 1: the path minus its last character, followed by 1, 2, ...
// until a part with header byte 2 = 0. A missing part k gives the critical
// message "Error loading ROM series" / "Error loading part k of ROM series.".
RomFormatResult DetectRomFormat(const std::string& path);

// How DetectRomFormat reaches files: their size, and their bytes up to a
// limit (nullopt when missing, unreadable or over the limit). The plain
// overload uses the file system; tests and fuzzing supply files from memory.
struct RomFileAccess {
    std::function<std::optional<uint64_t>(const std::string& path)> size;
    std::function<std::optional<Bytes>(const std::string& path, uint64_t maxSize)> read;
};
RomFormatResult DetectRomFormat(const std::string& path, const RomFileAccess& files);

// The layout's name as the converter shows it after "Format: ":
// "Multi Game Doctor Interleaved", "Super Magic Drive Interleaved" or
// "Plain Binary ROM Dump", then " (Multi-Load)" and " (32X)" as flagged;
// "Unknown (please check that this is a ROM file)" for no layout.
std::string RomLayoutName(uint32_t layout, bool is32X);

// Size after padding to whole 16 KB blocks (unchanged when already whole).
size_t PaddedRomSize(size_t size);
// Extends the image with zero bytes to PaddedRomSize.
void PadRomImage(Bytes& image);

// The converter's header report of a padded image (fields past the end of a
// short image read as empty / zero):
//   "Domestic name: ...", "Overseas name: ...", "Serial number: ...",
//   "Country code: ...", "Checksum: 0xXXXX, Actual Checksum: 0xXXXX",
//   "Original size: N, Padded size: M"
// Field texts are the header bytes as they are, stripped of leading and
// trailing spaces.
std::vector<std::string> HeaderReportLines(const Bytes& paddedImage, size_t originalSize);

// Writes checksum at 0x18E (high byte) and 0x18F; false (image unchanged) when
// the image is too short to hold the field.
bool WriteHeaderChecksum(Bytes& image, uint16_t checksum);

enum class RomOutputFormat { Binary, Smd, Mgd };

// The bytes of a converted file made from a padded image: the image itself,
// an SMD header plus InterleaveSMD, or InterleaveMGD (an image that is not
// whole 16 KB blocks is padded first). With fixChecksum the
// output carries GenesisChecksum(image) at 0x18E; the image is not changed.
Bytes ConvertedRomBytes(const Bytes& paddedImage, RomOutputFormat format, bool fixChecksum);

} // namespace zorp
