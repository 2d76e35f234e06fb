#pragma once
// Bounds on what a template may ask for. Templates come from users, so every
// count and length is checked against these before anything is allocated or
// read; the real games stay far below each of them.
#include <cstddef>
#include <cstdint>

#include "palette/PaletteModel.h"
#include "stage/SpecialStage.h"

namespace zorp {

// A template file larger than this is not read (the shipped ones are a few KiB).
inline constexpr size_t kMaxTemplateSize = 1u << 20;

// LEVELSELECT: level count, one name's length, all names together.
inline constexpr int32_t kMaxLevels = 65535;
inline constexpr int32_t kMaxLevelNameLength = 4096;
inline constexpr int64_t kMaxLevelSelectBytes = 1 << 20;

// PALEDIT: colours of one palette.
inline constexpr int32_t kMaxPaletteColors = static_cast<int32_t>(kMaxPaletteEntries);

// PLAYLIST: slot count and block size (one byte per slot at most 65536 apart).
inline constexpr int32_t kMaxPlaylistSlots = 65535;
inline constexpr int32_t kMaxPlaylistBlockSize = 65536;

// S3S: stage count (the stage store's own bound) and the compressed length,
// which can never exceed the largest cartridge image, a 4 MiB lock-on ROM.
inline constexpr int32_t kMaxTemplateStages = kMaxStageRecords;
inline constexpr int32_t kMaxCompressedLength = 4 << 20;

// WAVIMPORTER: the sample length (4 MiB, the largest image) and the
// frequency, which the WAV header holds in a 16-bit field.
inline constexpr int32_t kMaxWavLength = 4 << 20;
inline constexpr int32_t kMaxWavFrequency = 65535;
inline constexpr int32_t kDefaultWavFrequency = 16000;

} // namespace zorp
