#include "rom/RomSave.h"

#include <algorithm>
#include <cstring>

#include "rom/FreeSpace.h"
#include "rom/PubFunctions.h"
#include "rom/RomDefinitions.h"

namespace zorp {

FileStamp StampOf(const Bytes& contents)
{
    // Four independent multiply-mix lanes over 8-byte words, then the tail
    // bytes: a change anywhere changes the hash (it guards against accidents,
    // not against someone forging a collision), and a whole ROM hashes in
    // about a millisecond, which a save pays twice.
    constexpr uint64_t kPrime = 0x9E3779B97F4A7C15ull;
    uint64_t lanes[4] = {0x243F6A8885A308D3ull, 0x13198A2E03707344ull, 0xA4093822299F31D0ull,
                         0x082EFA98EC4E6C89ull};
    const uint8_t* p = contents.data();
    size_t left = contents.size();
    const auto word = [](const uint8_t* at) {
        uint64_t w = 0;
        std::memcpy(&w, at, 8);
        return w;
    };
    for (; left >= 32; p += 32, left -= 32) {
        for (int k = 0; k < 4; ++k) {
            lanes[k] = (lanes[k] ^ word(p + 8 * k)) * kPrime;
            lanes[k] ^= lanes[k] >> 31;
        }
    }
    uint64_t hash = contents.size();
    for (uint64_t lane : lanes)
        hash = (hash ^ lane) * kPrime;
    for (; left > 0; ++p, --left)
        hash = (hash ^ *p) * 1099511628211ull;
    hash ^= hash >> 29;
    return {contents.size(), hash};
}

HeaderChecksum HeaderChecksumOf(const Bytes& image)
{
    HeaderChecksum result;
    if (image.size() < kHeaderChecksumOffset + 2)
        return result;
    result.present = true;
    result.stored = StoredChecksum(image);
    result.actual = GenesisChecksum(image);
    return result;
}

bool ApplyPatches(Bytes& contents, const std::vector<Patch>& patches)
{
    for (const Patch& p : patches) {
        if (p.offset > contents.size() || p.bytes.size() > contents.size() - p.offset)
            return false;
    }
    for (const Patch& p : patches)
        std::copy(p.bytes.begin(), p.bytes.end(), contents.begin() + static_cast<std::ptrdiff_t>(p.offset));
    return true;
}

bool FixHeaderChecksum(Bytes& image)
{
    if (image.size() < kHeaderChecksumOffset + 2)
        return false;
    const uint16_t sum = GenesisChecksum(image);
    image[kHeaderChecksumOffset] = static_cast<uint8_t>(sum >> 8);
    image[kHeaderChecksumOffset + 1] = static_cast<uint8_t>(sum & 0xFF);
    return true;
}

SaveResult SavePatches(const std::string& path, const std::vector<Patch>& patches, const SaveOptions& options)
{
    SaveResult result;
    auto size = FileSize(path);
    if (!size) {
        result.error = "the file does not exist or cannot be read";
        return result;
    }
    // The whole file is rewritten, so it is read whole, whatever its size.
    auto contents = ReadFileBytes(path, *size);
    if (!contents) {
        result.error = "cannot read the file";
        return result;
    }
    if (options.expected) {
        const FileStamp now = StampOf(*contents);
        if (now != *options.expected) {
            result.outcome = SaveOutcome::Changed;
            result.stamp = now;
            return result;
        }
    }
    if (options.growTo > contents->size() && !GrowImage(*contents, options.growTo, options.growFiller)) {
        result.error = "the image cannot grow to " + std::to_string(options.growTo) + " bytes";
        return result;
    }
    if (!ApplyPatches(*contents, patches)) {
        result.error = "the data to write lies past the end of the file";
        return result;
    }
    const bool fixChecksum = options.fixChecksum && RomKindOfPath(path) == RomKind::Genesis;
    if (fixChecksum && !FixHeaderChecksum(*contents)) {
        result.error = "the file is too short to hold a cartridge header";
        return result;
    }
    result.error = WriteFileBytes(path, *contents);
    if (!result.error.empty())
        return result;
    result.outcome = SaveOutcome::Written;
    result.checksumFixed = fixChecksum;
    result.stamp = StampOf(*contents);
    result.checksum = HeaderChecksumOf(*contents);
    return result;
}

} // namespace zorp
