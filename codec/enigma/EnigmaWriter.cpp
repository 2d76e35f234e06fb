// The Enigma stream writer and the header facts both encoders derive from
// the data.
#include <bit>
#include <stdexcept>

#include "enigma/EnigmaEncode.h"

namespace zorp::enigma {

std::vector<uint16_t> WordsOf(const uint8_t* data, size_t size)
{
    std::vector<uint16_t> words(size / 2);
    for (size_t i = 0; i < words.size(); ++i)
        words[i] = static_cast<uint16_t>(data[2 * i] << 8 | data[2 * i + 1]);
    return words;
}

uint8_t UsedFlagMask(const std::vector<uint16_t>& words)
{
    unsigned flags = 0;
    for (uint16_t w : words)
        flags |= w >> 11;
    return static_cast<uint8_t>(flags);
}

int NeededInlineBits(const std::vector<uint16_t>& words)
{
    unsigned largest = 0;
    for (uint16_t w : words)
        largest = std::max(largest, w & 0x7FFu);
    return std::max(1, static_cast<int>(std::bit_width(largest)));
}

namespace {

class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}

    void Put(uint32_t value, int bits)
    {
        for (int b = bits - 1; b >= 0; --b) {
            acc_ = static_cast<uint8_t>(acc_ << 1 | ((value >> b) & 1));
            if (++count_ == 8) {
                out_.push_back(acc_);
                count_ = 0;
            }
        }
    }

    void Finish()
    {
        if (count_ != 0)
            out_.push_back(static_cast<uint8_t>(acc_ << (8 - count_)));
        count_ = 0;
    }

private:
    std::vector<uint8_t>& out_;
    uint8_t acc_ = 0;
    int count_ = 0;
};

} // namespace

std::vector<uint8_t> WriteEnigmaStream(const Header& h, const std::vector<uint16_t>& words,
                                       const std::vector<Entry>& entries)
{
    std::vector<uint8_t> out = {h.inlineBits, h.flagMask, static_cast<uint8_t>(h.incrementing >> 8),
                                static_cast<uint8_t>(h.incrementing), static_cast<uint8_t>(h.literal >> 8),
                                static_cast<uint8_t>(h.literal)};
    BitWriter bits(out);
    const uint32_t lowMask = (1u << h.inlineBits) - 1;
    auto value = [&](uint16_t w) {
        if (((w & 0x7FFu) & ~lowMask) != 0 || ((w >> 11) & ~h.flagMask) != 0)
            throw std::logic_error("Enigma word cannot be written inline with this header");
        for (int f = 0; f < 5; ++f)
            if (h.flagMask & kFlagMaskBit[f])
                bits.Put((w & kFlagWordBit[f]) ? 1 : 0, 1);
        bits.Put(w & lowMask, h.inlineBits);
    };
    for (const Entry& e : entries) {
        bits.Put(e.type, EntryTypeBits(e.type));
        bits.Put(e.words - 1u, 4);
        if (e.type == kRepeat || e.type == kIncreasing || e.type == kDecreasing)
            value(words[e.at]);
        else if (e.type == kSeparate)
            for (unsigned k = 0; k < e.words; ++k)
                value(words[e.at + k]);
    }
    bits.Put(kSeparate, 3);
    bits.Put(15, 4);
    bits.Finish();
    return out;
}

} // namespace zorp::enigma
