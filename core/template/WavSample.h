#pragma once
// The WAV importer's model: the game's sound sample (unsigned 8-bit mono PCM
// of fixed length at a fixed ROM address) and its preview image, a complete
// WAV file in memory made of a 58-byte header and the sample bytes.
//
// Header (little-endian numbers): "RIFF", sample length + 50, "WAVE",
// "fmt ", 18, PCM 1, mono 1, frequency at 24 and 28 (16-bit values, the high
// words stay 0), block alignment 1, 8 bits, extension size 0, "fact", 4,
// sample length at 46, "data", sample length at 54; samples from 58 on.
#include <array>
#include <cstdint>
#include <optional>

#include "template/ByteSource.h"
#include "template/EditorSetups.h"

namespace zorp {

inline constexpr size_t kWavHeaderSize = 58;
// Unsigned 8-bit silence.
inline constexpr uint8_t kSilence = 0x80;

// The fixed header with frequency 16000 and length fields 0.
const std::array<uint8_t, kWavHeaderSize>& WavHeaderTemplate();

// Header plus samples; the frequency is written as a 16-bit value.
Bytes BuildWavPreview(const Bytes& samples, int32_t frequency);

class WavSample {
public:
    explicit WavSample(WavSetup setup);

    const WavSetup& Setup() const { return setup_; }
    // The requirements label ("This game requires a WAV file ...").
    std::string SpecsLabel() const;

    // The sample from the ROM at the start address (bytes past the end read 0).
    void LoadFromRom(const ByteSource& rom);
    // Imported samples (unsigned 8-bit at the game's rate): a shorter sound is
    // padded with silence (0x80, the unsigned midpoint), a longer one cut.
    void LoadSamples(const Bytes& samples);

    // The whole preview image (empty until loaded).
    const Bytes& Preview() const { return preview_; }
    // The sample bytes of the preview image.
    Bytes Samples() const;

    // The sample bytes to write at the start address; nullopt when nothing is
    // loaded or the sample would reach past the end of a file of fileSize bytes.
    std::optional<Patch> PlanWrite(uint64_t fileSize) const;

private:
    WavSetup setup_;
    Bytes preview_;
};

} // namespace zorp
