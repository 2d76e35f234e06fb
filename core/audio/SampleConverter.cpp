#include "audio/SampleConverter.h"

#include <samplerate.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace zorp {

std::vector<float> Resample(const std::vector<float>& mono, int fromRate, int toRate)
{
    if (fromRate == toRate || mono.empty())
        return mono;
    const double ratio = static_cast<double>(toRate) / fromRate;
    std::vector<float> out(static_cast<size_t>(std::ceil(mono.size() * ratio)) + 16);
    SRC_DATA data{};
    data.data_in = mono.data();
    data.input_frames = static_cast<long>(mono.size());
    data.data_out = out.data();
    data.output_frames = static_cast<long>(out.size());
    data.src_ratio = ratio;
    if (src_simple(&data, SRC_SINC_BEST_QUALITY, 1) != 0)
        return {};
    out.resize(static_cast<size_t>(data.output_frames_gen));
    return out;
}

Bytes ToUnsigned8(const std::vector<float>& mono)
{
    std::minstd_rand random(0x5E6A);
    std::uniform_real_distribution<float> half(-0.5f, 0.5f);
    Bytes out;
    out.reserve(mono.size());
    for (float x : mono) {
        const float dither = half(random) + half(random); // triangular, one step wide each way
        const float level = 128.0f + std::clamp(x, -1.0f, 1.0f) * 127.0f + dither;
        out.push_back(static_cast<uint8_t>(std::clamp(std::lround(level), 0L, 255L)));
    }
    return out;
}

} // namespace zorp
