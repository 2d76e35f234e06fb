#pragma once
// The shared helpers of the core module (modPubFunctions): text padding, bit
// strings, paths, cartridge header reads, the header
// checksum, S3S file kinds and the level select text conversions.
//
// Texts that carry bytes (header fields, level names, decode tables) are byte
// strings: one char per byte, 8-bit values kept as they are, never re-encoded.
#include <cstdint>
#include <optional>
#include <string>

#include "rom/Bytes.h"
#include "rom/Locations.h" // program files: AppFilePath, the "*ZORP*" token
#include "stage/S3SFile.h" // S3SFileKind and the S3S signatures

namespace zorp {

// Right-aligns text in a field of width '0' characters; longer text keeps only
// its rightmost width characters.
std::string PadLeftZeros(const std::string& text, int width);

// Binary digits of a byte, most significant first ("00000101" for 5).
std::string ByteToBits(uint8_t value);

// Reads a bit string from its last character backwards with weights 1, 2, 4...;
// each '1' adds its weight, any other character adds nothing. Only the last
// eight characters count.
uint8_t BitsToByte(const std::string& bits);

std::string JoinPath(const std::string& dir, const std::string& fileName); // one '/' between
std::string FileNameOfPath(const std::string& path);                    // after the last '/' or '\'

// The platform's temporary folder, ending with '/'.
std::string TempDirectory();

// Serial (11 characters at 0x180) and title field (96 characters at 0x120) of
// a Genesis image; at 0x200180 / 0x200120 with lockOn. Fails when the file
// cannot be read or is too short to hold the fields.
struct HeaderIdentity {
    std::string serial;
    std::string title;
};
std::optional<HeaderIdentity> ReadHeaderIdentity(const std::string& romPath, bool lockOn);

// Master System / Game Gear product code: the little-endian word at 0x7FFC.
std::optional<int32_t> ReadSmsProductCode(const std::string& romPath);

// Game Boy Advance identity: the 16 characters at 0xA0.
std::optional<std::string> ReadGbaIdentity(const std::string& romPath);

// Sum of the big-endian words from 0x200 to the end, modulo 0x10000. An odd
// last byte counts as the high byte of a word whose low byte is 0.
uint16_t GenesisChecksum(const Bytes& image);

// The big-endian word stored at 0x18E (0 when the image is too short).
uint16_t StoredChecksum(const Bytes& image);

// One character per code: code c gives table[c], codes past the table a space.
std::string DecodeLevelText(const std::string& table, const Bytes& codes);

// One code per character: the last position of the character in the table, or
// the fallback byte. Upper-cases first unless keepCase. Empty text, no bytes.
Bytes EncodeLevelText(const std::string& text, const std::string& table, uint8_t fallback, bool keepCase);

// ASCII-only case mapping for byte strings (bytes >= 0x80 are left alone).
std::string UpperAscii(std::string text);
std::string TrimSpaces(const std::string& text); // spaces, tabs, CR, LF

} // namespace zorp
