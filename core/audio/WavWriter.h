#pragma once
// A plain WAV file (44-byte header, integer PCM) of unsigned 8-bit mono
// samples, as audio editors expect it.
#include <cstdint>

#include "rom/Bytes.h"

namespace zorp {

Bytes BuildPlainWav(const Bytes& samples, uint32_t rate);

} // namespace zorp
