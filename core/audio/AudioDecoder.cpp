#include "audio/AudioDecoder.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace zorp {

namespace {

// libsndfile reads through these callbacks from a buffer we own.
struct MemoryFile {
    const Bytes* bytes;
    sf_count_t at = 0;
};

sf_count_t Length(void* user) { return static_cast<sf_count_t>(static_cast<MemoryFile*>(user)->bytes->size()); }

sf_count_t Seek(sf_count_t offset, int whence, void* user)
{
    auto* f = static_cast<MemoryFile*>(user);
    const sf_count_t size = static_cast<sf_count_t>(f->bytes->size());
    sf_count_t base = whence == SEEK_CUR ? f->at : whence == SEEK_END ? size : 0;
    if (offset > 0 && base > INT64_MAX - offset)
        return -1;
    const sf_count_t target = base + offset;
    if (target < 0)
        return -1;
    f->at = target; // reads past the end return nothing
    return f->at;
}

sf_count_t Read(void* ptr, sf_count_t count, void* user)
{
    auto* f = static_cast<MemoryFile*>(user);
    const sf_count_t size = static_cast<sf_count_t>(f->bytes->size());
    if (count <= 0 || f->at >= size)
        return 0;
    const sf_count_t n = std::min(count, size - f->at);
    std::memcpy(ptr, f->bytes->data() + f->at, static_cast<size_t>(n));
    f->at += n;
    return n;
}

sf_count_t Write(const void*, sf_count_t, void*) { return 0; }

sf_count_t Tell(void* user) { return static_cast<MemoryFile*>(user)->at; }

std::string EncodingName(int format)
{
    const int major = format & SF_FORMAT_TYPEMASK;
    std::string prefix = major == SF_FORMAT_FLAC ? "FLAC " : major == SF_FORMAT_AIFF ? "AIFF " : "";
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8: return prefix + "8-bit";
    case SF_FORMAT_PCM_16: return prefix + "16-bit";
    case SF_FORMAT_PCM_24: return prefix + "24-bit";
    case SF_FORMAT_PCM_32: return prefix + "32-bit";
    case SF_FORMAT_FLOAT: return prefix + "32-bit float";
    case SF_FORMAT_DOUBLE: return prefix + "64-bit float";
    case SF_FORMAT_VORBIS: return "Ogg Vorbis";
    default: return prefix + "compressed";
    }
}

} // namespace

DecodeResult DecodeSound(const Bytes& file, double keepSeconds)
{
    DecodeResult result;
    if (file.empty()) {
        result.error = "The file is empty.";
        return result;
    }
    if (file.size() > kMaxSoundFileSize) {
        result.error = "The file is larger than 64 MiB.";
        return result;
    }
    MemoryFile memory{&file};
    SF_VIRTUAL_IO io{Length, Seek, Read, Write, Tell};
    SF_INFO info{};
    SNDFILE* sf = sf_open_virtual(&io, SFM_READ, &info, &memory);
    if (!sf) {
        result.error = std::string("The file is not a sound file that can be read (") + sf_strerror(nullptr) + ").";
        return result;
    }
    if (info.channels < 1 || info.channels > kMaxChannels || info.samplerate < 1 || info.samplerate > kMaxSourceRate) {
        sf_close(sf);
        result.error = "The file declares " + std::to_string(info.channels) + " channels at " +
                       std::to_string(info.samplerate) + " Hz, which cannot be right.";
        return result;
    }
    DecodedSound& sound = result.sound;
    sound.rate = info.samplerate;
    sound.channels = info.channels;
    sound.encoding = EncodingName(info.format);
    // Frames are read in blocks and mixed at once, so memory follows what is
    // kept, not what the header claims.
    constexpr sf_count_t kBlockFrames = 4096;
    std::vector<float> block(static_cast<size_t>(kBlockFrames * info.channels));
    const int64_t keepFrames = static_cast<int64_t>(
        std::clamp(std::ceil(keepSeconds * info.samplerate), 0.0, static_cast<double>(kMaxKeptFrames)));
    sound.mono.reserve(static_cast<size_t>(std::min<int64_t>(keepFrames, int64_t{1} << 20)));
    while (sound.frames < kMaxCountedFrames) {
        const sf_count_t got = sf_readf_float(sf, block.data(), kBlockFrames);
        if (got <= 0)
            break;
        for (sf_count_t i = 0; i < got && sound.frames + i < keepFrames; ++i) {
            float sum = 0;
            for (int c = 0; c < info.channels; ++c)
                sum += block[static_cast<size_t>(i * info.channels + c)];
            const float mixed = sum / static_cast<float>(info.channels);
            // Damaged float files can hold NaN or huge values.
            sound.mono.push_back(std::isfinite(mixed) ? std::clamp(mixed, -1.0f, 1.0f) : 0.0f);
        }
        sound.frames += got;
    }
    const int readError = sf_error(sf);
    sf_close(sf);
    if (sound.frames == 0) {
        result.error = readError ? "The file's sound data is damaged." : "The file holds no sound.";
        return result;
    }
    return result;
}

} // namespace zorp
