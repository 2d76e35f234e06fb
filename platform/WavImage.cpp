#include "WavImage.h"

#include <cstdint>

namespace zorp::ui {

namespace {

uint32_t Le32(const QByteArray& b, qsizetype at)
{
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 |
           uint32_t(uint8_t(b[at + 2])) << 16 | uint32_t(uint8_t(b[at + 3])) << 24;
}

uint16_t Le16(const QByteArray& b, qsizetype at)
{
    return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}

} // namespace

std::optional<WavImage> ParseWavImage(const QByteArray& image)
{
    if (image.size() < 12 || !image.startsWith("RIFF") || image.mid(8, 4) != "WAVE")
        return std::nullopt;

    WavImage wav;
    bool haveFormat = false;
    qsizetype at = 12;
    // Chunk sizes come from the file: every step is checked against the image.
    while (at + 8 <= image.size()) {
        const QByteArray id = image.mid(at, 4);
        const uint64_t size = Le32(image, at + 4);
        const qsizetype body = at + 8;
        const uint64_t left = uint64_t(image.size() - body);
        if (id == "fmt ") {
            if (size < 16 || size > left)
                return std::nullopt;
            if (Le16(image, body) != 1) // PCM only
                return std::nullopt;
            wav.channels = Le16(image, body + 2);
            wav.sampleRate = int(Le32(image, body + 4));
            wav.bitsPerSample = Le16(image, body + 14);
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat)
                return std::nullopt;
            wav.dataOffset = body;
            wav.dataSize = qsizetype(size < left ? size : left);
            break;
        }
        if (size >= left)
            break;
        at = body + qsizetype(size) + qsizetype(size & 1); // chunks are word aligned
    }
    if (!haveFormat || wav.dataOffset == 0)
        return std::nullopt;
    if (wav.channels < 1 || wav.channels > 2)
        return std::nullopt;
    if (wav.bitsPerSample != 8 && wav.bitsPerSample != 16)
        return std::nullopt;
    if (wav.sampleRate < 1 || wav.sampleRate > 192000)
        return std::nullopt;
    return wav;
}

} // namespace zorp::ui
