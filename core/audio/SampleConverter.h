#pragma once
// Mono floats at one rate -> the games' unsigned 8-bit samples at another.
#include <vector>

#include "rom/Bytes.h"

namespace zorp {

// libsamplerate's best converter; the input is returned unchanged when the
// rates are equal. Empty on a converter failure.
std::vector<float> Resample(const std::vector<float>& mono, int fromRate, int toRate);

// -1..1 floats to unsigned 8-bit (0x80 = silence) with triangular dither, so
// quiet passages turn into soft noise instead of steps. The dither is seeded
// the same way every time: one file always converts to the same bytes.
Bytes ToUnsigned8(const std::vector<float>& mono);

} // namespace zorp
