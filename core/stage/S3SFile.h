#pragma once
// S3S special stage files: version 1.00 (nibble-packed grid), version 2.00
// (3-bit packed grid, optional comment) and S3S/C compilations (read only).
// Readers take the file's bytes and never trust a length stored in the file.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "stage/SpecialStage.h"

namespace zorp {

inline constexpr char kS3SSignatureV1[] = "ZORP_S3SPECIALSTAGE"; // 19 bytes
inline constexpr char kS3SSignatureV2[] = "ZORP_S3S_V2.00  ";    // 16 bytes
inline constexpr char kS3SSignatureC[] = "ZORP_S3S_C      ";     // 16 bytes

inline constexpr int32_t kS3SKindUnknown = 0;
inline constexpr int32_t kS3SKindV1 = 1;
inline constexpr int32_t kS3SKindV2 = 2;
inline constexpr int32_t kS3SKindCompilation = 52428; // 0xCCCC

inline constexpr int kS3SV1Size = 544;
inline constexpr int kS3SV2Size = 416;

// Compares the first bytes with the signatures of version 1.00, 2.00 and S3S/C
// in that order; 1, 2, 52428 or 0. Missing bytes count as a mismatch.
int32_t S3SFileKind(const uint8_t* data, size_t size);
inline int32_t S3SFileKind(const std::vector<uint8_t>& data) { return S3SFileKind(data.data(), data.size()); }

// The start data as a file's trailer stores it (row before column), unchecked.
struct S3STrailer {
    uint8_t direction = 0;
    uint8_t row = 0;
    uint8_t column = 0;
    uint16_t rings = 0;
};

struct S3SStage {
    StageGrid cells{};
    S3STrailer trailer;
    std::optional<std::string> comment; // version 2.00 only, when present
};

// Writers: exactly 544 / 416 bytes. Cell codes that do not fit the format
// (16+ for v1.00, 8+ for v2.00) are written masked to their low bits.
std::vector<uint8_t> SaveV1SS(const StageGrid& cells, const S3STrailer& trailer);
std::vector<uint8_t> SaveV2SS(const StageGrid& cells, const S3STrailer& trailer);

// Readers; bytes missing at the end of a truncated file read as 0.
S3SStage LoadV1SS(const std::vector<uint8_t>& file);
S3SStage LoadV2SS(const std::vector<uint8_t>& file);

// Start data of a loaded v1.00 / v2.00 stage as the editor applies it: the
// direction goes through its angle (outside 1..4 gives Up), rings at most 1024.
void ApplyTrailer(const S3STrailer& trailer, StartData& start);
// Start data -> trailer: a direction outside 1..4 is written as 0 (which loads
// as Up), row and column clamped to 0..255, rings to 0..1024.
S3STrailer TrailerFromStart(const StartData& start);
// Start data of a compilation stage as the editor applies it: the values are
// taken directly (a direction outside 1..4 is kept and draws no marker),
// rings at most 1024.
void ApplyCompilationTrailer(const S3STrailer& trailer, StartData& start);

// S3S/C compilation index.
struct S3SCEntry {
    std::string name;
    std::string description;
};
struct S3SCIndex {
    uint32_t dataOffset = 0; // D: stage data starts at D + 18
    uint8_t format = 0;      // 1 or 2
    std::vector<S3SCEntry> entries;
};

// Reads the index; false with a message when the header or index runs past the
// end of the file or a name length is 0.
bool ReadS3SCIndex(const std::vector<uint8_t>& file, S3SCIndex& index, std::string& error);

// Byte offset of stage k in a compilation: D + 18 + 525k (format 1) or
// D + 18 + 400k (format 2), in 64-bit arithmetic. False for another format or
// a negative k.
bool S3SCStageOffset(const S3SCIndex& index, int k, uint64_t& offset);

// Loads stage k of a compilation (format 1 or 2); false with a message when k
// is out of range, the format is unknown or the stage starts at or past the
// file's end. A stage cut short by the end of the file reads missing bytes as 0.
bool LoadS3SCStage(const std::vector<uint8_t>& file, const S3SCIndex& index, int k, S3SStage& stage,
                   std::string& error);

} // namespace zorp
