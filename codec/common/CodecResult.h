#pragma once
// The result types every format of the codec library shares (Nemesis, Enigma,
// Kosinski Moduled; the Kosinski decoder keeps its own status enum and
// converts). Plain C++: the codec library links neither Qt nor the core.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zorp::codec {

inline constexpr size_t kDefaultOutputCap = size_t{16} << 20; // 16 MiB

struct DecodeResult {
    std::vector<uint8_t> output; // everything produced up to the end or the fault
    size_t consumed = 0;         // input bytes read from the start position on
    std::string error;           // empty on success, else a sentence for the user
    bool Ok() const { return error.empty(); }
};

struct EncodeResult {
    std::vector<uint8_t> stream;
    std::string error; // empty on success; e.g. data of a size the format cannot hold
    bool Ok() const { return error.empty(); }
};

} // namespace zorp::codec
