// Enigma decoder. The bit stream is read MSB first through a 64-bit buffer
// that is refilled eight bytes at a time while eight remain, byte by byte
// near the end; an entry or inline value that needs more bits than are left
// ends decoding as cut short. Every entry writes at most 16 words, so each
// kind stores a fixed 16 words into buffer slack and advances by its count:
// no loop whose length the branch predictor has to guess.
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string>

#include "enigma/Enigma.h"
#include "enigma/EnigmaFormat.h"

namespace zorp::enigma {

namespace {

constexpr size_t kSlack = 2 * kMaxEntryWords;
constexpr size_t kFirstBuffer = size_t{64} << 10;

inline uint64_t LoadBigEndian64(const uint8_t* p)
{
    uint64_t v;
    std::memcpy(&v, p, 8);
    if constexpr (std::endian::native == std::endian::little)
        v = __builtin_bswap64(v);
    return v;
}

inline void StoreWord(uint8_t* p, unsigned word)
{
    p[0] = static_cast<uint8_t>(word >> 8);
    p[1] = static_cast<uint8_t>(word);
}

inline uint16_t BigEndian16(unsigned word)
{
    const auto w = static_cast<uint16_t>(word);
    if constexpr (std::endian::native == std::endian::little)
        return static_cast<uint16_t>(w << 8 | w >> 8);
    return w;
}

// Sixteen words from `first`, each `step` (0, 1 or -1) on from the one
// before, stored big-endian in one go.
inline void StoreSixteen(uint8_t* p, unsigned first, int step)
{
    uint16_t words[kMaxEntryWords];
    for (int i = 0; i < kMaxEntryWords; ++i)
        words[i] = BigEndian16(first + static_cast<unsigned>(step * i));
    std::memcpy(p, words, sizeof words);
}

// One entry's type and count by its first 7 bits (6-bit entries ignore the last).
struct EntryCode {
    uint8_t type;
    uint8_t count;
    uint8_t bits;
};

constexpr std::array<EntryCode, 128> MakeEntryCodes()
{
    std::array<EntryCode, 128> codes{};
    for (unsigned t = 0; t < 128; ++t) {
        if (t < 0x40)
            codes[t] = {static_cast<uint8_t>(t >> 5), static_cast<uint8_t>((t >> 1) & 15), 6};
        else
            codes[t] = {static_cast<uint8_t>(t >> 4), static_cast<uint8_t>(t & 15), 7};
    }
    return codes;
}
constexpr std::array<EntryCode, 128> kEntryCodes = MakeEntryCodes();

class Decoder {
public:
    Decoder(const uint8_t* bits, const uint8_t* end, const Header& h, uint16_t base, size_t cap)
        : p_(bits), end_(end), begin_(bits), cap_(cap), inlineBits_(h.inlineBits),
          valueMask_(static_cast<uint32_t>((1u << h.inlineBits) - 1)),
          incrementing_(static_cast<uint16_t>(h.incrementing + base)),
          literal_(static_cast<uint16_t>(h.literal + base))
    {
        // Flags are read in the order P, CC high, CC low, V, H; the table
        // maps the flag bits as read (first flag highest) to the base they give.
        unsigned present[5];
        for (int f = 0; f < 5; ++f)
            if (h.flagMask & kFlagMaskBit[f])
                present[flagCount_++] = kFlagMaskBit[f];
        for (unsigned read = 0; read < (1u << flagCount_); ++read) {
            unsigned set = 0;
            for (int k = 0; k < flagCount_; ++k)
                if (read & (1u << (flagCount_ - 1 - k)))
                    set |= present[k];
            flagBase_[read] = FlaggedBase(base, set);
        }
        valueBits_ = flagCount_ + inlineBits_;
        // Maps are mostly 2 to 11 times their stream; the buffer doubles
        // when that is not enough.
        const size_t estimate = static_cast<size_t>(end - bits) * 4 + 256;
        out_.resize(std::min({estimate, kFirstBuffer, cap_ + kSlack}));
    }

    // Returns the error sentence, empty on success.
    std::string Run()
    {
        for (;;) {
            if (out_.size() - produced_ < kSlack)
                Grow();
            Refill();
            const EntryCode code = kEntryCodes[buffer_ >> 57];
            if (code.bits > count_)
                return Truncated();
            Skip(code.bits);
            const unsigned words = code.count + 1u;
            if (code.type == kSeparate && code.count == 15)
                return {};
            if (2 * words > cap_ - produced_)
                return "The Enigma data expands beyond the size limit of " + std::to_string(cap_) + " bytes.";
            uint8_t* o = out_.data() + produced_;
            switch (code.type) {
            case kIncrementing:
                StoreSixteen(o, incrementing_, 1);
                incrementing_ = static_cast<uint16_t>(incrementing_ + words);
                break;
            case kLiteral:
                StoreSixteen(o, literal_, 0);
                break;
            case kRepeat: {
                unsigned v;
                if (!Value(v))
                    return Truncated();
                StoreSixteen(o, v, 0);
                break;
            }
            case kIncreasing: {
                unsigned v;
                if (!Value(v))
                    return Truncated();
                StoreSixteen(o, v, 1);
                break;
            }
            case kDecreasing: {
                unsigned v;
                if (!Value(v))
                    return Truncated();
                StoreSixteen(o, v, -1);
                break;
            }
            default: // kSeparate
                for (unsigned i = 0; i < words; ++i) {
                    unsigned v;
                    if (!Value(v))
                        return Truncated();
                    StoreWord(o + 2 * i, v);
                    produced_ += 2;
                }
                continue;
            }
            produced_ += 2 * words;
        }
    }

    std::vector<uint8_t> TakeOutput()
    {
        out_.resize(produced_);
        return std::move(out_);
    }

    // Bytes of the bit stream used, up to the one holding the last bit taken.
    size_t BytesUsed() const
    {
        const size_t bits = static_cast<size_t>(p_ - begin_) * 8 - static_cast<size_t>(count_);
        return (bits + 7) / 8;
    }

private:
    std::string Truncated() { return "The Enigma data ends before its end marker."; }

    // Keeps at least 57 bits in the buffer while the input lasts. Bits below
    // the count are either 0 or the stream's own next bits.
    void Refill()
    {
        if (end_ - p_ >= 8) {
            buffer_ |= LoadBigEndian64(p_) >> count_;
            p_ += (63 - count_) >> 3;
            count_ |= 56;
        } else {
            while (count_ <= 56 && p_ < end_) {
                buffer_ |= static_cast<uint64_t>(*p_++) << (56 - count_);
                count_ += 8;
            }
        }
    }

    void Skip(int n)
    {
        buffer_ <<= n;
        count_ -= n;
    }

    // An inline value: its flag bits, then its inline bits.
    bool Value(unsigned& v)
    {
        Refill();
        if (valueBits_ > count_)
            return false;
        const uint32_t raw = static_cast<uint32_t>(buffer_ >> (64 - valueBits_));
        Skip(valueBits_);
        v = static_cast<uint16_t>(flagBase_[raw >> inlineBits_] + (raw & valueMask_));
        return true;
    }

    void Grow()
    {
        const size_t grown = std::max(out_.size() * 2, produced_ + kSlack);
        out_.resize(std::min(grown, std::max(cap_, produced_) + kSlack));
    }

    const uint8_t* p_;
    const uint8_t* end_;
    const uint8_t* begin_;
    uint64_t buffer_ = 0;
    int count_ = 0;
    size_t cap_;
    std::vector<uint8_t> out_;
    size_t produced_ = 0;
    int inlineBits_;
    int flagCount_ = 0;
    int valueBits_ = 0;
    uint32_t valueMask_;
    uint16_t flagBase_[32] = {};
    uint16_t incrementing_;
    uint16_t literal_;
};

} // namespace

codec::DecodeResult Decode(const uint8_t* data, size_t size, size_t start, size_t outputCap, uint16_t base)
{
    codec::DecodeResult r;
    if (data == nullptr)
        size = 0;
    if (start > size) {
        r.error = "The start position lies beyond the end of the data.";
        return r;
    }
    const uint8_t* in = data + start;
    const size_t available = size - start;
    if (available < kHeaderSize) {
        r.consumed = available;
        r.error = "The Enigma data ends inside its 6-byte header.";
        return r;
    }
    Header h;
    h.inlineBits = in[0];
    h.flagMask = in[1] & 0x1F;
    h.incrementing = static_cast<uint16_t>(in[2] << 8 | in[3]);
    h.literal = static_cast<uint16_t>(in[4] << 8 | in[5]);
    if (h.inlineBits == 0 || h.inlineBits > kMaxInlineBits) {
        r.consumed = kHeaderSize;
        r.error = "The Enigma header gives inline values " + std::to_string(h.inlineBits) +
                  " bits; the format allows 1 to 16.";
        return r;
    }
    Decoder d(in + kHeaderSize, in + available, h, base, outputCap);
    r.error = d.Run();
    r.output = d.TakeOutput();
    r.consumed = kHeaderSize + d.BytesUsed();
    return r;
}

} // namespace zorp::enigma
