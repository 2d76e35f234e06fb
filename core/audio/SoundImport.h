#pragma once
// A sound file of any common kind made into the game's sample: the one road
// both the WAV importer window and `zorptool wav import` take.
#include <cstdint>
#include <string>

#include "rom/Bytes.h"

namespace zorp {

struct SoundImport {
    std::string error;      // empty on success
    Bytes samples;          // unsigned 8-bit mono at the game's rate, at most room bytes
    bool unchanged = false; // already the game's layout: the file's bytes as they are
    bool tooLong = false;   // the sound was longer than the room and samples holds its start
    double soundSeconds = 0; // the whole sound's length
    size_t room = 0;         // the sample's length in bytes
    double roomSeconds = 0;
    std::string source;     // what the file was, e.g. "44100 Hz 16-bit stereo"
    bool ok() const { return error.empty(); }
};

// rate: the game's playback rate; room: the sample's length in bytes.
SoundImport ImportSound(const Bytes& file, int rate, size_t room);

// One line for the status label, e.g. "converted from 44100 Hz 16-bit stereo,
// 2.10 s, cut to 1.69 s of room".
std::string DescribeImport(const SoundImport& import);

// Seconds with two decimals.
std::string Seconds(double seconds);

} // namespace zorp
