// Readers and writers of the S3S special stage files.
#include "stage/S3SFile.h"

#include <algorithm>
#include <cstring>

namespace zorp {

namespace {

constexpr size_t kV1SignatureSize = sizeof(kS3SSignatureV1) - 1; // 19
constexpr size_t kV2SignatureSize = sizeof(kS3SSignatureV2) - 1; // 16
constexpr size_t kCSignatureSize = sizeof(kS3SSignatureC) - 1;   // 16

constexpr size_t kV1GridOffset = kV1SignatureSize; // 19
constexpr size_t kV1PackedSize = kStageCells / 2;  // 512
constexpr size_t kV1TrailerOffset = kV1GridOffset + kV1PackedSize; // 531
constexpr size_t kV1TrailerSize = 13;

constexpr size_t kV2GridOffset = kV2SignatureSize;     // 16
constexpr size_t kV2Groups = kStageCells / 8;          // 128
constexpr size_t kV2PackedSize = kV2Groups * 3;        // 384
constexpr size_t kV2TrailerOffset = kV2GridOffset + kV2PackedSize; // 400
constexpr size_t kV2TrailerSize = 16;
constexpr size_t kV2CommentOffset = kV2TrailerOffset + kV2TrailerSize; // 416

constexpr uint8_t kCommentEnd = 0xFF;

// Compilation stage strides: packed grid plus the trailer of its format.
constexpr uint64_t kCStrideV1 = kV1PackedSize + kV1TrailerSize; // 525
constexpr uint64_t kCStrideV2 = kV2PackedSize + kV2TrailerSize; // 400
constexpr uint64_t kCDataBias = 18;

static_assert(kV1TrailerOffset + kV1TrailerSize == static_cast<size_t>(kS3SV1Size));
static_assert(kV2CommentOffset == static_cast<size_t>(kS3SV2Size));

bool StartsWith(const uint8_t* data, size_t size, const char* signature, size_t length)
{
    return size >= length && std::memcmp(data, signature, length) == 0;
}

// Byte at a 64-bit offset; past the end of the file it reads as 0, as the
// formats' readers have always treated truncated files.
uint8_t ByteAt(const std::vector<uint8_t>& file, uint64_t offset)
{
    return offset < file.size() ? file[offset] : 0;
}

void WriteTrailer(std::vector<uint8_t>& out, size_t offset, const S3STrailer& trailer)
{
    out[offset + 0] = trailer.direction;
    out[offset + 1] = trailer.row;
    out[offset + 2] = trailer.column;
    out[offset + 3] = static_cast<uint8_t>(trailer.rings >> 8);
    out[offset + 4] = static_cast<uint8_t>(trailer.rings & 0xFF);
    // The remaining trailer bytes stay 0.
}

S3STrailer ReadTrailer(const std::vector<uint8_t>& file, uint64_t offset)
{
    S3STrailer trailer;
    trailer.direction = ByteAt(file, offset + 0);
    trailer.row = ByteAt(file, offset + 1);
    trailer.column = ByteAt(file, offset + 2);
    trailer.rings = static_cast<uint16_t>((ByteAt(file, offset + 3) << 8) | ByteAt(file, offset + 4));
    return trailer;
}

void UnpackNibbles(const std::vector<uint8_t>& file, uint64_t offset, StageGrid& cells)
{
    for (size_t k = 0; k < kV1PackedSize; ++k) {
        const uint8_t byte = ByteAt(file, offset + k);
        cells[2 * k] = byte >> 4;
        cells[2 * k + 1] = byte & 0x0F;
    }
}

// Eight 3-bit cells per 24-bit big-endian group, first cell in the top bits.
void UnpackTriples(const std::vector<uint8_t>& file, uint64_t offset, StageGrid& cells)
{
    for (size_t g = 0; g < kV2Groups; ++g) {
        const uint64_t at = offset + 3 * g;
        const uint32_t bits = (static_cast<uint32_t>(ByteAt(file, at)) << 16) |
                              (static_cast<uint32_t>(ByteAt(file, at + 1)) << 8) | ByteAt(file, at + 2);
        for (size_t j = 0; j < 8; ++j)
            cells[8 * g + j] = static_cast<uint8_t>((bits >> (21 - 3 * j)) & 0x7);
    }
}

// A bounded reader over the compilation header: every read checks that the
// bytes are really there, so no length from the file is trusted.
class Cursor {
public:
    explicit Cursor(const std::vector<uint8_t>& file, size_t position) : file_(file), pos_(position) {}

    bool Has(uint64_t count) const { return count <= file_.size() - pos_; }
    size_t Position() const { return pos_; }

    bool U8(uint8_t& value)
    {
        if (!Has(1))
            return false;
        value = file_[pos_++];
        return true;
    }
    bool U16(uint16_t& value)
    {
        if (!Has(2))
            return false;
        value = static_cast<uint16_t>((file_[pos_] << 8) | file_[pos_ + 1]);
        pos_ += 2;
        return true;
    }
    bool U32(uint32_t& value)
    {
        if (!Has(4))
            return false;
        value = (static_cast<uint32_t>(file_[pos_]) << 24) | (static_cast<uint32_t>(file_[pos_ + 1]) << 16) |
                (static_cast<uint32_t>(file_[pos_ + 2]) << 8) | file_[pos_ + 3];
        pos_ += 4;
        return true;
    }
    bool Text(uint64_t length, std::string* text)
    {
        if (!Has(length))
            return false;
        if (text)
            text->assign(file_.begin() + static_cast<std::ptrdiff_t>(pos_),
                         file_.begin() + static_cast<std::ptrdiff_t>(pos_ + length));
        pos_ += static_cast<size_t>(length);
        return true;
    }

private:
    const std::vector<uint8_t>& file_;
    size_t pos_;
};

} // namespace

int32_t S3SFileKind(const uint8_t* data, size_t size)
{
    if (data == nullptr)
        return kS3SKindUnknown;
    if (StartsWith(data, size, kS3SSignatureV1, kV1SignatureSize))
        return kS3SKindV1;
    if (StartsWith(data, size, kS3SSignatureV2, kV2SignatureSize))
        return kS3SKindV2;
    if (StartsWith(data, size, kS3SSignatureC, kCSignatureSize))
        return kS3SKindCompilation;
    return kS3SKindUnknown;
}

std::vector<uint8_t> SaveV1SS(const StageGrid& cells, const S3STrailer& trailer)
{
    std::vector<uint8_t> out(kS3SV1Size, 0);
    std::memcpy(out.data(), kS3SSignatureV1, kV1SignatureSize);
    for (size_t k = 0; k < kV1PackedSize; ++k)
        out[kV1GridOffset + k] = static_cast<uint8_t>(((cells[2 * k] & 0x0F) << 4) | (cells[2 * k + 1] & 0x0F));
    WriteTrailer(out, kV1TrailerOffset, trailer);
    return out;
}

std::vector<uint8_t> SaveV2SS(const StageGrid& cells, const S3STrailer& trailer)
{
    std::vector<uint8_t> out(kS3SV2Size, 0);
    std::memcpy(out.data(), kS3SSignatureV2, kV2SignatureSize);
    for (size_t g = 0; g < kV2Groups; ++g) {
        uint32_t bits = 0;
        for (size_t j = 0; j < 8; ++j)
            bits = (bits << 3) | (cells[8 * g + j] & 0x7u);
        const size_t at = kV2GridOffset + 3 * g;
        out[at] = static_cast<uint8_t>(bits >> 16);
        out[at + 1] = static_cast<uint8_t>(bits >> 8);
        out[at + 2] = static_cast<uint8_t>(bits);
    }
    WriteTrailer(out, kV2TrailerOffset, trailer);
    return out;
}

S3SStage LoadV1SS(const std::vector<uint8_t>& file)
{
    S3SStage stage;
    UnpackNibbles(file, kV1GridOffset, stage.cells);
    stage.trailer = ReadTrailer(file, kV1TrailerOffset);
    return stage;
}

S3SStage LoadV2SS(const std::vector<uint8_t>& file)
{
    S3SStage stage;
    UnpackTriples(file, kV2GridOffset, stage.cells);
    stage.trailer = ReadTrailer(file, kV2TrailerOffset);
    if (file.size() > kV2CommentOffset) {
        const auto begin = file.begin() + kV2CommentOffset;
        const auto end = std::find(begin, file.end(), kCommentEnd);
        if (end != begin)
            stage.comment = std::string(begin, end);
    }
    return stage;
}

void ApplyTrailer(const S3STrailer& trailer, StartData& start)
{
    PropertiesSection section{};
    section[0] = DirectionAngle(trailer.direction);
    section[2] = trailer.column;
    section[4] = trailer.row;
    ApplyProperties(section, start);
    start.Rings = ClampRings(trailer.rings);
}

void ApplyCompilationTrailer(const S3STrailer& trailer, StartData& start)
{
    start.Direction = trailer.direction;
    start.Row = trailer.row;
    start.Column = trailer.column;
    start.Rings = ClampRings(trailer.rings);
}

S3STrailer TrailerFromStart(const StartData& start)
{
    S3STrailer trailer;
    trailer.direction = (start.Direction >= S3S_Up && start.Direction <= S3S_Right)
                            ? static_cast<uint8_t>(start.Direction)
                            : 0;
    trailer.row = static_cast<uint8_t>(std::clamp<int32_t>(start.Row, 0, 0xFF));
    trailer.column = static_cast<uint8_t>(std::clamp<int32_t>(start.Column, 0, 0xFF));
    trailer.rings = static_cast<uint16_t>(ClampRings(start.Rings));
    return trailer;
}

bool ReadS3SCIndex(const std::vector<uint8_t>& file, S3SCIndex& index, std::string& error)
{
    if (S3SFileKind(file) != kS3SKindCompilation) {
        error = "The file is not an S3S/C compilation.";
        return false;
    }
    const std::string truncated = "The S3S/C file is damaged: its header runs past the end of the file.";
    Cursor in(file, kCSignatureSize);
    S3SCIndex result;
    uint8_t firstLength = 0;
    uint16_t secondLength = 0;
    uint16_t count = 0;
    if (!in.U32(result.dataOffset) || !in.U8(firstLength) || !in.Text(firstLength, nullptr) ||
        !in.U16(secondLength) || !in.Text(secondLength, nullptr) || !in.U8(result.format) || !in.U16(count)) {
        error = truncated;
        return false;
    }
    // Entries are added only once they have been read in full, so a count the
    // file cannot back never causes a large allocation.
    for (uint32_t k = 0; k < count; ++k) {
        uint8_t nameLength = 0;
        uint16_t descriptionLength = 0;
        S3SCEntry entry;
        if (!in.U8(nameLength)) {
            error = "The S3S/C file is damaged: its stage list runs past the end of the file (stage " +
                    std::to_string(k) + " of " + std::to_string(count) + ").";
            return false;
        }
        if (nameLength == 0) {
            error = "The S3S/C file is damaged: stage " + std::to_string(k) + " has an empty name.";
            return false;
        }
        if (!in.Text(nameLength, &entry.name) || !in.U16(descriptionLength) ||
            !in.Text(descriptionLength, &entry.description)) {
            error = "The S3S/C file is damaged: its stage list runs past the end of the file (stage " +
                    std::to_string(k) + " of " + std::to_string(count) + ").";
            return false;
        }
        result.entries.push_back(std::move(entry));
    }
    index = std::move(result);
    return true;
}

bool S3SCStageOffset(const S3SCIndex& index, int k, uint64_t& offset)
{
    uint64_t stride = 0;
    if (index.format == 1)
        stride = kCStrideV1;
    else if (index.format == 2)
        stride = kCStrideV2;
    else
        return false;
    if (k < 0)
        return false;
    // 64-bit: D (up to 2^32 - 1) plus 65535 strides cannot wrap around.
    offset = static_cast<uint64_t>(index.dataOffset) + kCDataBias + stride * static_cast<uint64_t>(k);
    return true;
}

bool LoadS3SCStage(const std::vector<uint8_t>& file, const S3SCIndex& index, int k, S3SStage& stage,
                   std::string& error)
{
    if (index.format != 1 && index.format != 2) {
        error = "The S3S/C file uses stage format " + std::to_string(index.format) +
                ", which is not supported (only 1 and 2 are).";
        return false;
    }
    if (k < 0 || static_cast<size_t>(k) >= index.entries.size()) {
        error = "The S3S/C file has no stage " + std::to_string(k) + " (it holds " +
                std::to_string(index.entries.size()) + ").";
        return false;
    }
    uint64_t offset = 0;
    S3SCStageOffset(index, k, offset);
    if (offset >= file.size()) {
        error = "The S3S/C file is damaged: stage " + std::to_string(k) + " lies past the end of the file.";
        return false;
    }
    // A stage cut short by the end of the file reads its missing bytes as 0,
    // like the single-stage files.
    S3SStage result;
    if (index.format == 1) {
        UnpackNibbles(file, offset, result.cells);
        result.trailer = ReadTrailer(file, offset + kV1PackedSize);
    } else {
        UnpackTriples(file, offset, result.cells);
        result.trailer = ReadTrailer(file, offset + kV2PackedSize);
    }
    stage = result;
    return true;
}

} // namespace zorp
