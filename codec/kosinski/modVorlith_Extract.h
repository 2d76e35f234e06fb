#pragma once
// modVorlith_Extract: the Kosinski decoder. Streams come from ROMs and files,
// so every read is bounds-checked: a stream that is cut short, refers to data
// before the start of the output or expands past the output cap stops the
// decoder and is reported as a failure, with the bytes produced so far.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zorp::modVorlith_Extract {

inline constexpr size_t kDefaultOutputCap = size_t{16} << 20; // 16 MiB

enum class DecodeStatus {
    Ok,               // the end token was reached
    StartPastEnd,     // the start position lies beyond the input
    Truncated,        // the input ended before the end token
    CopyBeforeStart,  // a copy reached back before the first output byte
    OutputTooLarge,   // the output would have exceeded the cap
};

struct DecodeResult {
    std::vector<uint8_t> output; // everything produced up to the end or the fault
    size_t consumed = 0;         // input bytes read from the start position on
    DecodeStatus status = DecodeStatus::Truncated;

    bool Ok() const { return status == DecodeStatus::Ok; }
};

// Decodes the stream that begins `start` bytes into the input. Bytes after the
// end token are not read.
DecodeResult Decode(const uint8_t* data, size_t size, size_t start = 0, size_t outputCap = kDefaultOutputCap);
inline DecodeResult Decode(const std::vector<uint8_t>& input, size_t start = 0,
                           size_t outputCap = kDefaultOutputCap)
{
    return Decode(input.data(), input.size(), start, outputCap);
}

// Decodes the stream onto the end of `output` (copies may not reach before
// its old end; at most `outputCap` bytes are added). `output` keeps what was
// decoded before a fault; `consumed` counts the input bytes read. For
// formats built of Kosinski streams, such as Kosinski Moduled.
DecodeStatus DecodeAppend(const uint8_t* data, size_t size, size_t start, size_t outputCap,
                          std::vector<uint8_t>& output, size_t& consumed);

// A sentence for the user, e.g. "The compressed data ends before its end marker."
std::string DescribeStatus(DecodeStatus status);

} // namespace zorp::modVorlith_Extract
