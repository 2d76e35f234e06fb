#pragma once
// The Kosinski decoder taken straight from the format, one bit and one byte
// at a time with every check: the fast decoder must give the same output,
// consumed count and status for every input.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "kosinski/modVorlith_Extract.h"

namespace zorp::reference {

inline modVorlith_Extract::DecodeResult Extract(const uint8_t* data, size_t size, size_t cap)
{
    using modVorlith_Extract::DecodeStatus;
    modVorlith_Extract::DecodeResult r;
    size_t in = 0;
    unsigned field = 0, left = 0;
    auto load = [&] {
        if (size - in < 2)
            return false;
        field = static_cast<unsigned>(data[in] | data[in + 1] << 8);
        in += 2;
        left = 16;
        return true;
    };
    auto bit = [&](unsigned& b) {
        b = field & 1;
        field >>= 1;
        return --left != 0 || load();
    };
    auto byte = [&](unsigned& b) {
        if (in == size)
            return false;
        b = data[in++];
        return true;
    };
    auto run = [&]() -> DecodeStatus {
        if (!load())
            return DecodeStatus::Truncated;
        for (;;) {
            unsigned b = 0, x = 0;
            if (!bit(b))
                return DecodeStatus::Truncated;
            if (b) {
                if (!byte(x))
                    return DecodeStatus::Truncated;
                if (r.output.size() == cap)
                    return DecodeStatus::OutputTooLarge;
                r.output.push_back(static_cast<uint8_t>(x));
                continue;
            }
            if (!bit(b))
                return DecodeStatus::Truncated;
            size_t distance, count;
            if (!b) {
                unsigned h = 0, l = 0;
                if (!bit(h) || !bit(l) || !byte(x))
                    return DecodeStatus::Truncated;
                count = (h << 1 | l) + 2;
                distance = 256 - x;
            } else {
                unsigned lo = 0, hi = 0;
                if (!byte(lo) || !byte(hi))
                    return DecodeStatus::Truncated;
                distance = 8192 - ((hi >> 3) << 8 | lo);
                count = hi & 7;
                if (count != 0) {
                    count += 2;
                } else {
                    if (!byte(x))
                        return DecodeStatus::Truncated;
                    if (x == 0)
                        return DecodeStatus::Ok;
                    if (x == 1)
                        continue;
                    count = x + 1;
                }
            }
            if (distance > r.output.size())
                return DecodeStatus::CopyBeforeStart;
            if (count > cap - r.output.size())
                return DecodeStatus::OutputTooLarge;
            for (size_t k = 0; k < count; ++k)
                r.output.push_back(r.output[r.output.size() - distance]);
        }
    };
    r.status = run();
    r.consumed = in;
    return r;
}

} // namespace zorp::reference
