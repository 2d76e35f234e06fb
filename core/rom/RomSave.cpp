#include "rom/RomSave.h"

#include <algorithm>

#include "rom/PubFunctions.h"
#include "rom/RomDefinitions.h"

namespace zorp {

FileStamp StampOf(const Bytes& contents)
{
    // FNV-1a: a change anywhere changes the hash; it guards against
    // accidents, not against someone forging a collision.
    uint64_t hash = 1469598103934665603ull;
    for (uint8_t byte : contents) {
        hash ^= byte;
        hash *= 1099511628211ull;
    }
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
