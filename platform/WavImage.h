#pragma once
// Just enough of the RIFF WAVE layout to hand a sound held in memory to the
// audio output: the PCM format fields and where the samples are.
#include <QByteArray>
#include <optional>

namespace zorp::ui {

struct WavImage {
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    qsizetype dataOffset = 0; // start of the samples in the image
    qsizetype dataSize = 0;   // bytes of samples, clipped to the image
};

// Reads the "fmt " and "data" chunks of a WAV image. Only uncompressed PCM
// with 1 or 2 channels, 8 or 16 bits and a rate of 1 Hz to 192 kHz is
// accepted; anything else (or a truncated header) gives nullopt. A data chunk
// that claims more bytes than the image holds is clipped to what is there.
std::optional<WavImage> ParseWavImage(const QByteArray& image);

} // namespace zorp::ui
