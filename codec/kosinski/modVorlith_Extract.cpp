// Kosinski decoder. Descriptor fields are 16 bits, low byte first, used from
// bit 0; a new field is read the moment the last bit of the old one is taken,
// before any data byte of the token that bit belongs to.
//
// Speed. While at least kFastInput input bytes remain, the cap allows a
// whole token more and the buffer has room for it plus slack, a token is
// decoded without per-byte checks: its (up to 4) descriptor bits are taken
// from the field joined with the next field's two bytes, which are skipped
// over before the token's data bytes exactly when the token took the field's
// last bit; copies move 16 or 8 bytes at a time into the slack. Anywhere
// else the careful path takes one token bit by bit with every check. Both
// give the same output, consumed count and status for every input.
#include "kosinski/modVorlith_Extract.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace zorp::modVorlith_Extract {

namespace {

constexpr size_t kLongestToken = 256;
// One step of the fast path writes a run of up to 15 literals and then a
// token: the room it needs before the cap and the buffer's end.
constexpr size_t kLongestFastStep = 15 + kLongestToken;
constexpr size_t kFarthestCopy = 8192;
constexpr size_t kSlack = 32;
// A fast token reads at most 33 bytes on from where it starts (a literal run
// of 15 moved 16 at a time, a field, three data bytes, a 16-byte literal move).
constexpr ptrdiff_t kFastInput = 40;
constexpr size_t kFirstBuffer = size_t{64} << 10;

class Decoder {
public:
    Decoder(const uint8_t* in, const uint8_t* end, std::vector<uint8_t>& out, size_t cap)
        : in_(in), end_(end), begin_(in), out_(out), base_(out.size()), produced_(out.size()),
          limit_(cap > SIZE_MAX - out.size() ? SIZE_MAX : out.size() + cap)
    {
        const size_t estimate = static_cast<size_t>(end - in) * 4 + kSlack;
        out_.resize(produced_ + std::min({estimate, kFirstBuffer, cap + kSlack}));
    }

    DecodeStatus Run()
    {
        const DecodeStatus status = Loop();
        out_.resize(produced_);
        return status;
    }

    size_t Consumed() const { return static_cast<size_t>(in_ - begin_); }

private:
    // ---- the careful path: one step at a time, each checked ----

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

    // Makes room for `count` more bytes plus slack; false when the cap would
    // be passed.
    bool Reserve(size_t count)
    {
        if (count > limit_ - produced_)
            return false;
        if (produced_ + count + kSlack > out_.size()) {
            const size_t grown = std::max(out_.size() * 2, produced_ + count + kSlack);
            out_.resize(limit_ == SIZE_MAX ? grown : std::min(grown, limit_ + kSlack));
        }
        return true;
    }

    DecodeStatus Copy(size_t distance, size_t count)
    {
        if (distance > produced_ - base_)
            return DecodeStatus::CopyBeforeStart;
        if (!Reserve(count))
            return DecodeStatus::OutputTooLarge;
        CopyUnchecked(distance, count);
        return DecodeStatus::Ok;
    }

    // Copies `count` bytes from `distance` back, as byte-by-byte copying
    // would (a distance below the count repeats the last `distance` bytes).
    // May write up to 16 bytes past the copy: the slack.
    void CopyUnchecked(size_t distance, size_t count)
    {
        uint8_t* dst = out_.data() + produced_;
        const uint8_t* src = dst - distance;
        produced_ += count;
        if (distance >= 16) {
            std::memcpy(dst, src, 16);
            for (size_t k = 16; k < count; k += 16)
                std::memcpy(dst + k, src + k, 16);
        } else if (count <= 8) {
            CopyEight(dst, src, distance);
        } else if (distance >= 8) {
            for (size_t k = 0; k < count; k += 8)
                std::memcpy(dst + k, src + k, 8);
        } else if (distance == 1) {
            std::memset(dst, *src, count);
        } else {
            for (size_t k = 0; k < count; ++k)
                dst[k] = src[k];
        }
    }

    // One token, every step checked. Returns Ok to go on; `ended` is set
    // when the end token was read.
    DecodeStatus CarefulToken(bool& ended)
    {
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
            return DecodeStatus::Ok;
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
                if (c == 0) {
                    ended = true;
                    return DecodeStatus::Ok;
                }
                if (c == 1)
                    return DecodeStatus::Ok; // copies nothing
                count = c + 1;
            }
        }
        return Copy(distance, count);
    }

    // ---- the fast path ----

    // Eight bytes from `distance` (1..15) back, as byte-by-byte copying
    // gives them: below 8 the first four go one by one and the next four
    // come, in one move, from where the pattern repeats them.
    static void CopyEight(uint8_t* dst, const uint8_t* src, size_t distance)
    {
        static constexpr uint8_t kRepeatAt[8] = {0, 1, 2, 1, 0, 4, 4, 4};
        if (distance >= 8) {
            std::memcpy(dst, src, 8);
            return;
        }
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
        dst[3] = src[3];
        std::memcpy(dst + 4, src + kRepeatAt[distance], 4);
    }

    bool FastRoom()
    {
        if (end_ - in_ < kFastInput || limit_ - produced_ < kLongestFastStep)
            return false;
        if (out_.size() - produced_ < kLongestFastStep + kSlack)
            Reserve(kLongestFastStep); // within the cap, checked above
        return true;
    }

    // Tokens while the input, the cap and the buffer leave room for a whole
    // one more; same results as CarefulToken. The state lives in locals so
    // that the output stores do not force it back to memory. The field keeps
    // stray bits above bitsLeft here: every use masks them. Literals and
    // copies from 16 or more bytes back (most tokens) take the same steps:
    // a 16-byte move from the input or from the output.
    // The output's first 8192 bytes are decoded with a check that no copy
    // reaches before them; after that no copy can.
    DecodeStatus FastTokens(bool& ended)
    {
        if (produced_ - base_ < kFarthestCopy)
            return FastTokensChecked<true>(ended);
        return FastTokensChecked<false>(ended);
    }

    template <bool kNearStart>
    DecodeStatus FastTokensChecked(bool& ended)
    {
        const uint8_t* in = in_;
        uint8_t* const begin = out_.data();
        uint8_t* dst = begin + produced_;
        const uint8_t* const first = begin + base_;
        const uint8_t* const inSafe = end_ - kFastInput;
        const uint8_t* dstSafe = begin + std::min(out_.size() - kLongestFastStep - kSlack, limit_ - kLongestFastStep);
        if (kNearStart)
            dstSafe = std::min(dstSafe, first + kFarthestCopy);
        uint32_t field = field_;
        unsigned bitsLeft = bitsLeft_;
        DecodeStatus status = DecodeStatus::Ok;
        while (in <= inSafe && dst <= dstSafe) {
            // Literals whose bits are not the last of their field are copied
            // at once (the run may be empty).
            const uint32_t mask = (1u << bitsLeft) - 1;
            const unsigned run = std::min<unsigned>(static_cast<unsigned>(std::countr_one(field & mask)), bitsLeft - 1);
            std::memcpy(dst, in, 16);
            dst += run;
            in += run;
            bitsLeft -= run;
            const uint32_t joined = ((field >> run) & (mask >> run)) | static_cast<uint32_t>(in[0] | in[1] << 8)
                                                                       << bitsLeft;
            // The token's descriptor bits: 1 for a literal, 4 for an inline
            // copy, 2 for a full one. Taking the field's last bit loads the
            // next field (the two bytes just read) before its data bytes.
            const bool literal = joined & 1;
            const bool full = !literal && (joined & 2);
            const unsigned k = literal ? 1 : full ? 2 : 4;
            const bool reload = k >= bitsLeft;
            field = joined >> k;
            in += reload ? 2 : 0;
            bitsLeft = bitsLeft - k + (reload ? 16 : 0);
            const unsigned b0 = in[0], b1 = in[1];
            const unsigned n = b1 & 7;
            const size_t count = literal ? 1
                                 : full  ? (n != 0 ? n + 2 : in[2] + 1u)
                                         : ((joined >> 1) & 2) + ((joined >> 3) & 1) + 2;
            const size_t distance = full ? 8192 - ((b1 >> 3) << 8 | b0) : 256 - b0;
            in += full ? (n != 0 ? 2 : 3) : 1;
            if (full && count <= 2) {
                if (count == 1) { // count byte 0: the end
                    ended = true;
                    break;
                }
                continue; // count byte 1 copies nothing
            }
            if (kNearStart && !literal && distance > static_cast<size_t>(dst - first)) {
                status = DecodeStatus::CopyBeforeStart;
                break;
            }
            const uint8_t* src = literal ? in - 1 : dst - distance;
            if (literal || distance >= 16) {
                std::memcpy(dst, src, 16);
                for (size_t c = 16; c < count; c += 16)
                    std::memcpy(dst + c, src + c, 16);
            } else if (count <= 8) {
                CopyEight(dst, src, distance);
            } else if (distance == 1) {
                std::memset(dst, *src, count);
            } else {
                for (size_t c = 0; c < count; ++c)
                    dst[c] = src[c];
            }
            dst += count;
        }
        in_ = in;
        field_ = static_cast<uint16_t>(field & ((1u << bitsLeft) - 1));
        bitsLeft_ = bitsLeft;
        produced_ = static_cast<size_t>(dst - begin);
        return status;
    }

    DecodeStatus Loop()
    {
        if (!LoadField())
            return DecodeStatus::Truncated;
        bool ended = false;
        while (!ended) {
            const DecodeStatus s = FastRoom() ? FastTokens(ended) : CarefulToken(ended);
            if (s != DecodeStatus::Ok)
                return s;
        }
        return DecodeStatus::Ok;
    }

    const uint8_t* in_;
    const uint8_t* end_;
    const uint8_t* begin_;
    std::vector<uint8_t>& out_;
    size_t base_;     // where this stream's output starts
    size_t produced_; // end of the output so far
    size_t limit_;    // produced_ may not pass it
    uint16_t field_ = 0;
    unsigned bitsLeft_ = 0;
};

} // namespace

DecodeStatus DecodeAppend(const uint8_t* data, size_t size, size_t start, size_t outputCap,
                          std::vector<uint8_t>& output, size_t& consumed)
{
    consumed = 0;
    if (data == nullptr)
        size = 0;
    if (start > size)
        return DecodeStatus::StartPastEnd;
    Decoder d(data + start, data + size, output, outputCap);
    const DecodeStatus status = d.Run();
    consumed = d.Consumed();
    return status;
}

DecodeResult Decode(const uint8_t* data, size_t size, size_t start, size_t outputCap)
{
    DecodeResult r;
    r.status = DecodeAppend(data, size, start, outputCap, r.output, r.consumed);
    return r;
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
