#pragma once
// File helpers of the commands that work on compressed streams (kosinski,
// compress, decompress): whole-file reads with a size limit, writes through
// the core's careful writer, and the offset argument.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Larger inputs are refused rather than read: a Genesis ROM is at most a few
// MiB, and the data a stream holds is far smaller.
inline constexpr uint64_t kMaxStreamFile = uint64_t{64} << 20;
inline constexpr uint64_t kMaxPlainFile = uint64_t{16} << 20;

// Through the core's bounded reader; the size is asked first so that the
// messages can tell a missing file from one that is too large.
bool ReadWholeFile(const std::string& path, uint64_t limit, std::vector<uint8_t>& out, std::string& error);

// Through the shared writer: a failed write leaves the file as it was.
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& data, std::string& error);

// A decimal or 0x-prefixed hexadecimal offset; nullopt for anything else.
std::optional<size_t> ParseOffset(const std::string& text);
