#pragma once
// The tokens an encoder hands to the stream writer. Each token covers a run of
// the input: one literal byte, or a copy of `length` bytes that starts
// `distance` bytes back in the output.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zorp {

enum class KosinskiTokenKind : uint8_t {
    Straight, // descriptor 1, one literal byte
    Inline,   // descriptor 0 0 h l, 2..5 bytes within 256
    Embedded, // descriptor 0 1, offset with the count in hi, 3..9 bytes within 8192
    Separate, // descriptor 0 1, offset and a count byte, 3..256 bytes within 8192
};

struct KosinskiToken {
    KosinskiTokenKind kind = KosinskiTokenKind::Straight;
    uint8_t literal = 0;   // Straight only
    uint16_t length = 1;   // bytes the token produces
    uint16_t distance = 0; // copies only: 1..256 (Inline) or 1..8192

    static KosinskiToken Straight(uint8_t byte) { return {KosinskiTokenKind::Straight, byte, 1, 0}; }
    static KosinskiToken Copy(KosinskiTokenKind kind, int length, int distance)
    {
        return {kind, 0, static_cast<uint16_t>(length), static_cast<uint16_t>(distance)};
    }
};

inline constexpr int kMaxInlineDistance = 256;
inline constexpr int kMaxFullDistance = 8192;
inline constexpr int kMaxSeparateLength = 256;
// Largest input the encoders accept (positions are kept in 32 bits); larger
// inputs throw std::length_error. No Kosinski consumer comes near it.
inline constexpr size_t kMaxPackInput = size_t{1} << 30;

// True when the token can be written as it stands (length and distance fit
// its kind).
bool IsWritable(const KosinskiToken& token);

// The end marker: a full copy with count byte 0. modVorlith_Pack writes its
// offset bytes as 00 00; the games' own encoder wrote 00 F0.
enum class KosinskiEndMarker : uint8_t { Zero, Games };

// Writes the tokens, in order from the start of the data, as a complete
// stream ending with the end marker. Descriptor fields are flushed as soon as
// they fill, so a token's data bytes always follow the field holding its last
// bit, as the decoder requires. Tokens that are not writable are a
// programming error and throw std::invalid_argument.
std::vector<uint8_t> WriteKosinskiStream(const std::vector<KosinskiToken>& tokens,
                                         KosinskiEndMarker end = KosinskiEndMarker::Zero);

} // namespace zorp
