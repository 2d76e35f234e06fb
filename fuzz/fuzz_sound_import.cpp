// Sound files for the WAV importer: the RIFF chunk walk, every reader of
// libsndfile behind the in-memory callbacks, the rate change and the dither.
// Whatever the file, the result is a message or at most the room's samples.
#include <cstddef>
#include <cstdint>

#include "audio/SoundImport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A small room at a low rate keeps the best-quality converter quick
    // enough for many runs a second; the seeds are 8 kHz files.
    constexpr int kRate = 8000;
    constexpr size_t kRoom = 2000;
    const zorp::Bytes file(data, data + size);
    const zorp::SoundImport import = zorp::ImportSound(file, kRate, kRoom);
    if (import.ok() ? import.samples.size() > kRoom : (!import.samples.empty() || import.error.empty()))
        __builtin_trap();
    // A sound longer than the room fills it completely.
    if (import.ok() && import.tooLong && import.samples.size() != kRoom)
        __builtin_trap();
    return 0;
}
