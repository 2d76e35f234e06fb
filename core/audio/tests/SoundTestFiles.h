#pragma once
// Sound files made in memory for the tests: integer PCM WAV files of a sine
// (or any samples), and a frequency measure for unsigned 8-bit samples.
#include <cmath>
#include <cstdint>
#include <vector>

#include "rom/Bytes.h"

namespace soundtest {

inline void Put(zorp::Bytes& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A 44-byte-header WAV file; every channel carries the same -1..1 values.
inline zorp::Bytes PcmWav(int rate, int bits, int channels, const std::vector<double>& mono)
{
    const uint32_t bytesPerFrame = static_cast<uint32_t>(bits / 8 * channels);
    const uint32_t dataSize = static_cast<uint32_t>(mono.size()) * bytesPerFrame;
    zorp::Bytes out;
    out.reserve(44 + dataSize);
    auto tag = [&out](const char* t) {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<uint8_t>(t[i]));
    };
    tag("RIFF");
    Put(out, 36 + dataSize, 4);
    tag("WAVE");
    tag("fmt ");
    Put(out, 16, 4);
    Put(out, 1, 2);
    Put(out, static_cast<uint32_t>(channels), 2);
    Put(out, static_cast<uint32_t>(rate), 4);
    Put(out, static_cast<uint32_t>(rate) * bytesPerFrame, 4);
    Put(out, bytesPerFrame, 2);
    Put(out, static_cast<uint32_t>(bits), 2);
    tag("data");
    Put(out, dataSize, 4);
    for (double x : mono) {
        for (int c = 0; c < channels; ++c) {
            if (bits == 8)
                Put(out, static_cast<uint32_t>(std::lround(128 + 127 * x)), 1);
            else
                Put(out, static_cast<uint32_t>(static_cast<int32_t>(std::lround(32767 * x))), 2);
        }
    }
    return out;
}

// A 16-bit stereo WAV file with its own values on each channel.
inline zorp::Bytes StereoWav(int rate, const std::vector<double>& left, const std::vector<double>& right)
{
    std::vector<double> interleaved;
    for (size_t i = 0; i < left.size() && i < right.size(); ++i) {
        interleaved.push_back(left[i]);
        interleaved.push_back(right[i]);
    }
    // Written as mono at twice the frames, then told to be two channels.
    zorp::Bytes out = PcmWav(rate, 16, 1, interleaved);
    out[22] = 2;                                                     // channels
    const uint32_t bytesPerSecond = static_cast<uint32_t>(rate) * 4; // 2 channels x 2 bytes
    for (int i = 0; i < 4; ++i)
        out[28 + i] = static_cast<uint8_t>(bytesPerSecond >> (8 * i));
    out[32] = 4; // block align
    return out;
}

inline std::vector<double> Sine(double hertz, int rate, double seconds, double level = 0.8)
{
    std::vector<double> out(static_cast<size_t>(seconds * rate));
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = level * std::sin(2 * M_PI * hertz * static_cast<double>(i) / rate);
    return out;
}

// Frequency of a sine held as unsigned 8-bit samples at rate, from the
// upward crossings of the midpoint in [from, to).
inline double MeasuredHertz(const zorp::Bytes& samples, int rate, size_t from, size_t to)
{
    int crossings = 0;
    size_t first = 0, last = 0;
    for (size_t i = from + 1; i < to && i < samples.size(); ++i) {
        if (samples[i - 1] < 128 && samples[i] >= 128) {
            if (crossings == 0)
                first = i;
            last = i;
            ++crossings;
        }
    }
    if (crossings < 2)
        return 0;
    return static_cast<double>(crossings - 1) * rate / static_cast<double>(last - first);
}

} // namespace soundtest
