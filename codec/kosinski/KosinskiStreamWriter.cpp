// Stream writer shared by both encoders: descriptor bits are collected in a
// 16-bit field, data bytes wait until the field that precedes them is out.
#include <stdexcept>

#include "kosinski/KosinskiToken.h"

namespace zorp {

bool IsWritable(const KosinskiToken& t)
{
    switch (t.kind) {
    case KosinskiTokenKind::Straight:
        return t.length == 1;
    case KosinskiTokenKind::Inline:
        return t.length >= 2 && t.length <= 5 && t.distance >= 1 && t.distance <= kMaxInlineDistance;
    case KosinskiTokenKind::Embedded:
        return t.length >= 3 && t.length <= 9 && t.distance >= 1 && t.distance <= kMaxFullDistance;
    case KosinskiTokenKind::Separate:
        return t.length >= 3 && t.length <= kMaxSeparateLength && t.distance >= 1 &&
               t.distance <= kMaxFullDistance;
    }
    return false;
}

namespace {

class StreamWriter {
public:
    explicit StreamWriter(size_t expectedSize) { out_.reserve(expectedSize); }

    void PutBit(unsigned bit)
    {
        field_ |= static_cast<uint16_t>(bit << bitCount_);
        if (++bitCount_ == 16)
            FlushField();
    }

    void PutData(uint8_t byte) { pending_.push_back(byte); }

    // The last field: its unused high bits stay 0. When the end marker's bits
    // filled the previous field exactly, this is an all-zero field that only
    // leads the marker's data bytes, because the decoder reads a new field as
    // soon as it has taken sixteen bits.
    std::vector<uint8_t> Finish()
    {
        FlushField();
        return std::move(out_);
    }

private:
    void FlushField()
    {
        out_.push_back(static_cast<uint8_t>(field_ & 0xFF));
        out_.push_back(static_cast<uint8_t>(field_ >> 8));
        out_.insert(out_.end(), pending_.begin(), pending_.end());
        pending_.clear();
        field_ = 0;
        bitCount_ = 0;
    }

    std::vector<uint8_t> out_;
    std::vector<uint8_t> pending_;
    uint16_t field_ = 0;
    unsigned bitCount_ = 0;
};

} // namespace

std::vector<uint8_t> WriteKosinskiStream(const std::vector<KosinskiToken>& tokens, KosinskiEndMarker end)
{
    StreamWriter w(tokens.size() * 2 + 8);
    for (const KosinskiToken& t : tokens) {
        if (!IsWritable(t))
            throw std::invalid_argument("Kosinski token does not fit its kind");
        // All bits of a token go out before its data bytes are queued.
        switch (t.kind) {
        case KosinskiTokenKind::Straight:
            w.PutBit(1);
            w.PutData(t.literal);
            break;
        case KosinskiTokenKind::Inline: {
            const unsigned count = t.length - 2u;
            w.PutBit(0);
            w.PutBit(0);
            w.PutBit((count >> 1) & 1);
            w.PutBit(count & 1);
            w.PutData(static_cast<uint8_t>(256 - t.distance));
            break;
        }
        case KosinskiTokenKind::Embedded:
        case KosinskiTokenKind::Separate: {
            const unsigned offset = kMaxFullDistance - t.distance; // 13 bits
            const bool embedded = t.kind == KosinskiTokenKind::Embedded;
            const unsigned count = embedded ? t.length - 2u : 0u;
            w.PutBit(0);
            w.PutBit(1);
            w.PutData(static_cast<uint8_t>(offset & 0xFF));
            w.PutData(static_cast<uint8_t>(((offset >> 8) << 3) | count));
            if (!embedded)
                w.PutData(static_cast<uint8_t>(t.length - 1));
            break;
        }
        }
    }
    // End marker: a full copy with count byte 0.
    w.PutBit(0);
    w.PutBit(1);
    w.PutData(0);
    w.PutData(end == KosinskiEndMarker::Games ? 0xF0 : 0);
    w.PutData(0);
    return w.Finish();
}

} // namespace zorp
