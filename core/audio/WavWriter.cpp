#include "audio/WavWriter.h"

#include <cstring>

namespace zorp {

namespace {

void Put32(Bytes& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void Put16(Bytes& out, uint16_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutTag(Bytes& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

} // namespace

Bytes BuildPlainWav(const Bytes& samples, uint32_t rate)
{
    const uint32_t size = static_cast<uint32_t>(samples.size());
    Bytes out;
    out.reserve(44 + samples.size() + 1);
    PutTag(out, "RIFF");
    Put32(out, 36 + size + (size & 1));
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1); // integer PCM
    Put16(out, 1); // mono
    Put32(out, rate);
    Put32(out, rate); // bytes per second: one byte per sample
    Put16(out, 1);
    Put16(out, 8);
    PutTag(out, "data");
    Put32(out, size);
    out.insert(out.end(), samples.begin(), samples.end());
    if (size & 1)
        out.push_back(0); // chunks end on an even offset
    return out;
}

} // namespace zorp
