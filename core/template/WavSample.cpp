#include "template/WavSample.h"

#include <algorithm>

namespace zorp {

namespace {

void PutLE16(Bytes& out, size_t at, uint32_t value)
{
    out[at] = static_cast<uint8_t>(value);
    out[at + 1] = static_cast<uint8_t>(value >> 8);
}

void PutLE32(Bytes& out, size_t at, uint32_t value)
{
    PutLE16(out, at, value & 0xFFFF);
    PutLE16(out, at + 2, value >> 16);
}

std::array<uint8_t, kWavHeaderSize> MakeHeaderTemplate()
{
    Bytes h(kWavHeaderSize, 0);
    auto text = [&h](size_t at, const char* four) { std::copy_n(four, 4, h.begin() + static_cast<std::ptrdiff_t>(at)); };
    text(0, "RIFF");
    text(8, "WAVE");
    text(12, "fmt ");
    PutLE32(h, 16, 18);
    PutLE16(h, 20, 1);     // PCM
    PutLE16(h, 22, 1);     // mono
    PutLE32(h, 24, 16000); // samples per second
    PutLE32(h, 28, 16000); // bytes per second
    PutLE16(h, 32, 1);     // block alignment
    PutLE16(h, 34, 8);     // bits per sample
    PutLE16(h, 36, 0);     // format extension size
    text(38, "fact");
    PutLE32(h, 42, 4);
    text(50, "data");
    std::array<uint8_t, kWavHeaderSize> out{};
    std::copy(h.begin(), h.end(), out.begin());
    return out;
}

} // namespace

const std::array<uint8_t, kWavHeaderSize>& WavHeaderTemplate()
{
    static const std::array<uint8_t, kWavHeaderSize> header = MakeHeaderTemplate();
    return header;
}

Bytes BuildWavPreview(const Bytes& samples, int32_t frequency)
{
    const auto& header = WavHeaderTemplate();
    Bytes image(header.begin(), header.end());
    const uint32_t length = static_cast<uint32_t>(samples.size());
    // Only the 16-bit field is written; the high words keep the template's 0.
    PutLE32(image, 4, length + 50);
    PutLE16(image, 24, static_cast<uint32_t>(frequency) & 0xFFFF);
    PutLE16(image, 28, static_cast<uint32_t>(frequency) & 0xFFFF);
    PutLE32(image, 46, length);
    PutLE32(image, 54, length);
    image.insert(image.end(), samples.begin(), samples.end());
    return image;
}

WavSample::WavSample(WavSetup setup) : setup_(setup) {}

std::string WavSample::SpecsLabel() const { return WavSpecsLabel(setup_.frequency, setup_.length); }

void WavSample::LoadFromRom(const ByteSource& rom)
{
    size_t length = static_cast<size_t>(std::max(0, setup_.length));
    preview_ = BuildWavPreview(rom.Read(static_cast<uint64_t>(std::max(0, setup_.startAddress)), length),
                               setup_.frequency);
}

void WavSample::LoadSamples(const Bytes& samples)
{
    Bytes padded = samples;
    padded.resize(static_cast<size_t>(std::max(0, setup_.length)), kSilence);
    preview_ = BuildWavPreview(padded, setup_.frequency);
}

Bytes WavSample::Samples() const
{
    if (preview_.size() <= kWavHeaderSize)
        return {};
    return Bytes(preview_.begin() + kWavHeaderSize, preview_.end());
}

std::optional<Patch> WavSample::PlanWrite(uint64_t fileSize) const
{
    Bytes samples = Samples();
    if (samples.empty() || setup_.startAddress < 0 ||
        !FitsInFile(static_cast<uint64_t>(setup_.startAddress), samples.size(), fileSize))
        return std::nullopt;
    return Patch{static_cast<uint64_t>(setup_.startAddress), std::move(samples)};
}

} // namespace zorp
