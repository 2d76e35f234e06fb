// Recognising a file's layout and loading it as a plain image, including the
// joining of an SMD series.
#include <algorithm>
#include <cstring>
#include <string_view>

#include "rom/RomFormat.h"

namespace zorp {

namespace {

constexpr size_t kConsoleNameOffset = 0x100;
constexpr size_t kConsoleNameSize = 16;
// Where an MGD file keeps the halves of the console name: the odd plain bytes
// 0x101.. at 0x80, the even ones 0x100.. at size/2 + 0x80.
constexpr size_t kMgdHalfOffset = 0x80;
constexpr uint8_t kSmdSeriesMorePartsFollow = 0x40;

RomFormatResult Failure(std::string title, std::string line)
{
    RomFormatResult result;
    result.error = Message{MessageIcon::Critical, std::move(title), {std::move(line)}};
    return result;
}

RomFormatResult MissingSeriesPart(int part)
{
    return Failure("Error loading ROM series", "Error loading part " + std::to_string(part) + " of ROM series.");
}

uint8_t ByteAt(const Bytes& data, size_t offset) { return offset < data.size() ? data[offset] : 0; }

Bytes BodyOf(const Bytes& smdFile)
{
    return Bytes(smdFile.begin() + static_cast<std::ptrdiff_t>(kSmdHeaderSize), smdFile.end());
}

// Joins the bodies of parts 1, 2, ... of the series that path belongs to.
RomFormatResult JoinSmdSeries(const std::string& path, const RomFileAccess& files)
{
    const std::string stem = path.substr(0, path.size() - 1);
    RomFormatResult result;
    Bytes& body = result.image; // holds the joined body until de-interleaved
    for (int part = 1;; ++part) {
        if (part > kMaxSmdSeriesParts)
            return Failure("Error loading ROM series", "Error: The ROM series has more than " +
                                                           std::to_string(kMaxSmdSeriesParts) + " parts.");
        const std::string partPath = stem + std::to_string(part);
        auto size = files.size(partPath);
        if (!size)
            return MissingSeriesPart(part);
        if (*size < kSmdHeaderSize || (*size - kSmdHeaderSize) % kSmdBlockSize != 0)
            return Failure("Error loading ROM series", "Error: Part " + std::to_string(part) +
                                                           " of the ROM series is not a valid SMD file.");
        if (body.size() + (*size - kSmdHeaderSize) > kMaxSmdSeriesSize)
            return Failure("Error loading ROM series", "Error: The ROM series is larger than 4 MB.");
        auto bytes = files.read(partPath, kSmdHeaderSize + kMaxSmdSeriesSize);
        if (!bytes || bytes->size() != *size)
            return MissingSeriesPart(part);
        body.insert(body.end(), bytes->begin() + static_cast<std::ptrdiff_t>(kSmdHeaderSize), bytes->end());
        if ((*bytes)[2] == 0)
            break;
    }
    result.layout = kLayoutSmd | kLayoutMultiFile;
    return result;
}

bool MgdConsoleName(const Bytes& file)
{
    const size_t secondHalf = file.size() / 2 + kMgdHalfOffset;
    Bytes name(kConsoleNameSize);
    for (size_t k = 0; k < kConsoleNameSize / 2; ++k) {
        name[2 * k] = ByteAt(file, secondHalf + k);
        name[2 * k + 1] = ByteAt(file, kMgdHalfOffset + k);
    }
    return IsConsoleName(name, 0);
}

} // namespace

bool IsSmdHeader(const Bytes& header)
{
    if (header.size() < kSmdHeaderSize)
        return false;
    if (header[8] != 0xAA || header[9] != 0xBB || header[10] != 0x06)
        return false;
    return std::all_of(header.begin() + 11, header.begin() + static_cast<std::ptrdiff_t>(kSmdHeaderSize),
                       [](uint8_t b) { return b == 0; });
}

bool IsConsoleName(const Bytes& data, size_t offset)
{
    if (offset > data.size() || data.size() - offset < kConsoleNameSize)
        return false;
    std::string_view name(reinterpret_cast<const char*>(data.data() + offset), kConsoleNameSize);
    return name == kConsoleGenesis || name == kConsoleMegaDrive || name == kConsole32X;
}

RomFileAccess RealRomFiles()
{
    return {[](const std::string& path) { return FileSize(path); },
            [](const std::string& path, uint64_t maxSize) { return ReadFileBytes(path, maxSize); }};
}

RomFormatResult DetectRomFormat(const std::string& path) { return DetectRomFormat(path, RealRomFiles()); }

RomFormatResult DetectRomFormat(const std::string& path, const RomFileAccess& files)
{
    auto size = files.size(path);
    if (!size)
        return Failure("Error loading ROM", "Error: The file could not be opened.");
    if (*size > kMaxRomFileSize)
        return Failure("Error loading ROM", "Error: The file is larger than " +
                                                std::to_string(kMaxRomFileSize >> 20) +
                                                " MB, too large for a cartridge image.");
    auto file = files.read(path, kMaxRomFileSize);
    if (!file)
        return Failure("Error loading ROM", "Error: The file could not be read.");

    RomFormatResult result;
    if (IsSmdHeader(*file)) {
        if ((*file)[2] == kSmdSeriesMorePartsFollow) {
            result = JoinSmdSeries(path, files);
            if (!result.ok())
                return result;
        } else {
            result.layout = kLayoutSmd;
            result.image = BodyOf(*file);
        }
        if (result.image.empty())
            return Failure("Invalid SMD ROM", "Error: The SMD file holds no ROM data.");
        if (result.image.size() % kSmdBlockSize != 0)
            return Failure("Invalid SMD ROM", "Error: The SMD file's data is not a whole number of 16 KB blocks.");
        result.image = DeInterleaveSMD(result.image);
    } else if (MgdConsoleName(*file)) {
        result.layout = kLayoutMgd;
        result.image = DeInterleaveMGD(*file);
    } else if (IsConsoleName(*file, kConsoleNameOffset)) {
        result.layout = kLayoutPlain;
        result.image = std::move(*file);
    } else {
        return result;
    }
    result.is32X = result.image.size() >= kConsoleNameOffset + kConsoleNameSize &&
                   std::memcmp(result.image.data() + kConsoleNameOffset, kConsole32X, kConsoleNameSize) == 0;
    return result;
}

} // namespace zorp
