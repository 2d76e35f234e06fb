// Kosinski decoder. Descriptor fields are 16 bits, low byte first, used from
// bit 0; a new field is read the moment the last bit of the old one is taken,
// before any data byte of the token that bit belongs to.
#include "kosinski/modVorlith_Extract.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace zorp::modVorlith_Extract {

namespace {

class Decoder {
public:
    Decoder(const uint8_t* data, size_t size, size_t start, size_t cap)
        : in_(data + start), end_(data + size), begin_(data + start), cap_(cap)
    {
    }

    DecodeResult Run()
    {
        DecodeResult result;
        result.status = Loop();
        out_.resize(produced_);
        result.output = std::move(out_);
        result.consumed = static_cast<size_t>(in_ - begin_);
        return result;
    }

private:
    // Each step returns false when the input runs out.
    bool LoadField()
    {
        if (end_ - in_ < 2)
            return false;
        field_ = static_cast<uint16_t>(in_[0] | (in_[1] << 8));
        in_ += 2;
        bitsLeft_ = 16;
        return true;
    }

    bool TakeBit(unsigned& bit)
    {
        bit = field_ & 1u;
        field_ >>= 1;
        if (--bitsLeft_ == 0)
            return LoadField();
        return true;
    }

    bool TakeByte(unsigned& byte)
    {
        if (in_ == end_)
            return false;
        byte = *in_++;
        return true;
    }

    // Makes room for `count` more bytes; false when the cap would be passed.
    bool Reserve(size_t count)
    {
        if (count > cap_ - produced_)
            return false;
        if (produced_ + count > out_.size()) {
            // 16 bytes of slack let short copies move whole words.
            size_t grown = std::max<size_t>(out_.size() * 2, 4096);
            out_.resize(std::min(std::max(grown, produced_ + count + 16), cap_));
        }
        return true;
    }

    DecodeStatus Copy(size_t distance, size_t count)
    {
        if (distance > produced_)
            return DecodeStatus::CopyBeforeStart;
        if (!Reserve(count))
            return DecodeStatus::OutputTooLarge;
        uint8_t* dst = out_.data() + produced_;
        const uint8_t* src = dst - distance;
        if (distance >= 8 && count <= 16 && out_.size() - produced_ >= 16) {
            // Short copy in two fixed 8-byte moves; the bytes written past
            // the copy are scratch, overwritten by what comes next.
            uint64_t word;
            std::memcpy(&word, src, 8);
            std::memcpy(dst, &word, 8);
            std::memcpy(&word, src + 8, 8);
            std::memcpy(dst + 8, &word, 8);
        } else if (distance >= count) {
            std::memcpy(dst, src, count);
        } else if (distance == 1) {
            std::memset(dst, *src, count); // a run of one byte
        } else {
            // Overlapping copy: byte by byte, so the copy repeats the last
            // `distance` bytes.
            for (size_t i = 0; i < count; ++i)
                dst[i] = src[i];
        }
        produced_ += count;
        return DecodeStatus::Ok;
    }

    // Literals whose bits are not the last of their field need no reload, so
    // a run of them is copied at once (fewer unpredictable branches). Any
    // shortage of input or room leaves them to the bit-by-bit path.
    void TakeLiteralRun()
    {
        const unsigned run = std::min<unsigned>(static_cast<unsigned>(std::countr_one(field_)), bitsLeft_ - 1);
        if (run == 0 || static_cast<size_t>(end_ - in_) < run || produced_ + run > out_.size())
            return;
        std::memcpy(out_.data() + produced_, in_, run);
        produced_ += run;
        in_ += run;
        field_ = static_cast<uint16_t>(field_ >> run);
        bitsLeft_ -= run;
    }

    DecodeStatus Loop()
    {
        if (!LoadField())
            return DecodeStatus::Truncated;
        for (;;) {
            TakeLiteralRun();
            unsigned bit = 0;
            if (!TakeBit(bit))
                return DecodeStatus::Truncated;
            if (bit) {
                unsigned byte = 0;
                if (!TakeByte(byte))
                    return DecodeStatus::Truncated;
                if (!Reserve(1))
                    return DecodeStatus::OutputTooLarge;
                out_[produced_++] = static_cast<uint8_t>(byte);
                continue;
            }
            if (!TakeBit(bit))
                return DecodeStatus::Truncated;
            size_t distance = 0;
            size_t count = 0;
            if (!bit) {
                unsigned high = 0, low = 0, b = 0;
                if (!TakeBit(high) || !TakeBit(low) || !TakeByte(b))
                    return DecodeStatus::Truncated;
                count = (high << 1 | low) + 2;
                distance = 256 - b;
            } else {
                unsigned lo = 0, hi = 0;
                if (!TakeByte(lo) || !TakeByte(hi))
                    return DecodeStatus::Truncated;
                distance = 8192 - ((hi >> 3) << 8 | lo);
                count = hi & 7;
                if (count != 0) {
                    count += 2;
                } else {
                    unsigned c = 0;
                    if (!TakeByte(c))
                        return DecodeStatus::Truncated;
                    if (c == 0)
                        return DecodeStatus::Ok;
                    if (c == 1)
                        continue; // copies nothing
                    count = c + 1;
                }
            }
            if (DecodeStatus s = Copy(distance, count); s != DecodeStatus::Ok)
                return s;
        }
    }

    const uint8_t* in_;
    const uint8_t* end_;
    const uint8_t* begin_;
    size_t cap_;
    std::vector<uint8_t> out_;
    size_t produced_ = 0;
    uint16_t field_ = 0;
    unsigned bitsLeft_ = 0;
};

} // namespace

DecodeResult Decode(const uint8_t* data, size_t size, size_t start, size_t outputCap)
{
    if (data == nullptr)
        size = 0;
    if (start > size) {
        DecodeResult r;
        r.status = DecodeStatus::StartPastEnd;
        return r;
    }
    return Decoder(data, size, start, outputCap).Run();
}

std::string DescribeStatus(DecodeStatus status)
{
    switch (status) {
    case DecodeStatus::Ok:
        return "The compressed data was decoded.";
    case DecodeStatus::StartPastEnd:
        return "The start position lies beyond the end of the data.";
    case DecodeStatus::Truncated:
        return "The compressed data ends before its end marker.";
    case DecodeStatus::CopyBeforeStart:
        return "The compressed data refers to bytes before the start of its output.";
    case DecodeStatus::OutputTooLarge:
        return "The compressed data expands beyond the size limit.";
    }
    return "Unknown decoding status.";
}

} // namespace zorp::modVorlith_Extract
