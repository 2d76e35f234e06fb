#include "audio/SoundImport.h"

#include <algorithm>
#include <cstdio>

#include "audio/AudioDecoder.h"
#include "audio/RiffChunks.h"
#include "audio/SampleConverter.h"

namespace zorp {

namespace {

std::string ChannelName(int channels)
{
    return channels == 1 ? "mono" : channels == 2 ? "stereo" : std::to_string(channels) + " channels";
}

} // namespace

std::string Seconds(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", seconds);
    return text;
}

SoundImport ImportSound(const Bytes& file, int rate, size_t room)
{
    SoundImport import;
    if (rate <= 0 || room == 0) {
        import.error = "The game's sample has no room.";
        return import;
    }
    import.room = room;
    import.roomSeconds = static_cast<double>(room) / rate;

    // The game's own layout is taken over byte for byte: converting it would
    // only add dither noise.
    if (auto layout = FindWavChunks(file); layout && IsGameSampleLayout(*layout, rate)) {
        if (layout->dataSize == 0) {
            import.error = "The file holds no sound.";
            return import;
        }
        import.unchanged = true;
        import.source = std::to_string(rate) + " Hz 8-bit mono";
        import.soundSeconds = static_cast<double>(layout->dataSize) / rate;
        import.tooLong = layout->dataSize > room;
        const size_t take = std::min(layout->dataSize, room);
        import.samples.assign(file.begin() + static_cast<std::ptrdiff_t>(layout->dataOffset),
                              file.begin() + static_cast<std::ptrdiff_t>(layout->dataOffset + take));
        return import;
    }

    // Keep only what can fill the room, plus a little for the filter's tail.
    DecodeResult decoded = DecodeSound(file, import.roomSeconds + 0.05);
    if (!decoded.ok()) {
        import.error = decoded.error;
        return import;
    }
    const DecodedSound& sound = decoded.sound;
    import.source = std::to_string(sound.rate) + " Hz " + sound.encoding + " " + ChannelName(sound.channels);
    import.soundSeconds = static_cast<double>(sound.frames) / sound.rate;
    const std::vector<float> resampled = Resample(sound.mono, sound.rate, rate);
    if (resampled.empty()) {
        import.error = "The sound could not be converted to " + std::to_string(rate) + " Hz.";
        return import;
    }
    import.samples = ToUnsigned8(resampled);
    // The whole sound's length at the game's rate decides whether it is cut.
    const double wanted = import.soundSeconds * rate;
    import.tooLong = wanted > static_cast<double>(room) + 0.5;
    const size_t length = import.tooLong ? room : std::min(room, static_cast<size_t>(wanted + 0.5));
    import.samples.resize(std::min(import.samples.size(), length));
    return import;
}

std::string DescribeImport(const SoundImport& import)
{
    std::string text = import.unchanged ? "taken unchanged (" + import.source + ")" : "converted from " + import.source;
    text += ", " + Seconds(import.soundSeconds);
    if (import.tooLong)
        text += ", cut to " + Seconds(import.roomSeconds) + " of room";
    else if (import.samples.size() < import.room)
        text += ", padded with silence to " + Seconds(import.roomSeconds);
    return text;
}

} // namespace zorp
