// Game identification: matching header texts against the definitions table,
// the lock-on variants of Sonic & Knuckles and the per-kind header reads.
#include <algorithm>
#include <cstdio>

#include "rom/Bytes.h"
#include "rom/PubFunctions.h"
#include "rom/RomDefinitions.h"
#include "stage/S3SFile.h"

namespace zorp {

namespace {

// Longest S3S signature; enough bytes for S3SFileKind.
constexpr uint64_t kS3SSignatureBytes = 19;

std::string HexWithoutLeadingZeros(int32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(value));
    return text;
}

} // namespace

std::string LookupGameId(const RomDefinitions& table, const std::string& serial, const std::string& title)
{
    const std::string wantedSerial = TrimSpaces(serial);
    for (const RomDefinitionRecord& record : table.records()) {
        if (record.titleText() == title && TrimSpaces(record.serialText()) == wantedSerial)
            return record.gameId();
    }
    return kGameIdUnknown;
}

namespace {

// The texts of a Genesis header at base (0x120: 96 title characters, 0x180:
// the first 11 serial characters), or nullopt when the image is too short.
std::optional<HeaderIdentity> HeaderAt(const Bytes& image, uint64_t base)
{
    if (image.size() < base + 0x180 + 11)
        return std::nullopt;
    auto text = [&](uint64_t at, uint64_t count) {
        return std::string(image.begin() + static_cast<std::ptrdiff_t>(base + at),
                           image.begin() + static_cast<std::ptrdiff_t>(base + at + count));
    };
    return HeaderIdentity{text(0x180, 11), text(0x120, 96)};
}

std::string RevisionOf(const RomDefinitions& table, const std::string& id, const Bytes& image, uint64_t base)
{
    const RomDefinitionRecord* record = table.find(id);
    return record ? MatchRevision(record->revisions, image, base) : std::string();
}

// The lock-on variant of a Sonic & Knuckles image holding a second cartridge.
std::string LockOnIdFor(const std::string& secondId)
{
    if (secondId == kGameIdS1 || secondId == kGameIdS1J)
        return kGameIdS1K;
    if (secondId == kGameIdS2)
        return kGameIdS2K;
    if (secondId == kGameIdS3)
        return kGameIdS3K;
    return kGameIdSKOther;
}

} // namespace

std::string ResolveLockOnId(const RomDefinitions& table, const std::string& id, const std::string& romPath)
{
    if (id != kGameIdSK)
        return id;
    auto size = FileSize(romPath);
    if (!size || *size <= kLockOnBase)
        return id;
    // An unreadable second header is as good as an unknown cartridge.
    std::string second = kGameIdUnknown;
    if (auto identity = ReadHeaderIdentity(romPath, true))
        second = LookupGameId(table, identity->serial, identity->title);
    return LockOnIdFor(second);
}

std::string DescribeGame(const RomDefinitions& table, const RomIdentification& identity)
{
    auto named = [&](const std::string& id, const std::string& revision) {
        std::string text = GameDisplayName(table, id);
        return revision.empty() ? text : text + " " + revision;
    };
    if (identity.lockedOnId.empty())
        return named(identity.gameId, identity.revision);
    // A lock-on image: both cartridges, each with its own revision.
    return GameDisplayName(table, identity.gameId) + " (" + named(kGameIdSK, identity.revision) + " + " +
           named(identity.lockedOnId, identity.lockedOnRevision) + ")";
}

std::string GameDisplayName(const RomDefinitions& table, const std::string& id)
{
    const RomDefinitionRecord* record = table.find(id);
    return record ? record->displayName() : std::string("Unknown");
}

RomKind RomKindOfPath(const std::string& romPath)
{
    if (romPath.size() < 3)
        return RomKind::Unsupported;
    const std::string ending = UpperAscii(romPath.substr(romPath.size() - 3));
    if (ending == "BIN" || ending == "GEN" || ending == "32X")
        return RomKind::Genesis;
    if (ending == ".GG" || ending == "SMS")
        return RomKind::MasterSystem;
    if (ending == "GBA")
        return RomKind::GameBoyAdvance;
    if (ending == "S3S")
        return RomKind::SpecialStage;
    return RomKind::Unsupported;
}

RomIdentification IdentifyRom(const RomDefinitions& table, const std::string& romPath)
{
    // The file is read once; every header field comes from these bytes.
    const RomKind kind = RomKindOfPath(romPath);
    if (kind == RomKind::Unsupported) {
        RomIdentification result;
        result.kind = kind;
        return result;
    }
    auto image = ReadFileBytes(romPath, kMaxIdentifiedRomSize);
    if (!image) {
        RomIdentification result;
        result.kind = kind;
        return result;
    }
    return IdentifyRomImage(table, kind, *image);
}

RomIdentification IdentifyRomImage(const RomDefinitions& table, RomKind kind, const Bytes& image)
{
    RomIdentification result;
    result.kind = kind;
    switch (result.kind) {
    case RomKind::Genesis:
        if (auto identity = HeaderAt(image, 0)) {
            result.serial = identity->serial;
            result.title = identity->title;
            result.gameId = LookupGameId(table, result.serial, result.title);
            result.revision = RevisionOf(table, result.gameId, image, 0);
            if (result.gameId == kGameIdSK && image.size() > kLockOnBase) {
                std::string second = kGameIdUnknown;
                if (auto other = HeaderAt(image, kLockOnBase))
                    second = LookupGameId(table, other->serial, other->title);
                result.lockedOnId = second;
                result.lockedOnRevision = RevisionOf(table, second, image, kLockOnBase);
                result.gameId = LockOnIdFor(second);
            }
        }
        break;
    case RomKind::MasterSystem:
        if (image.size() >= 0x7FFE) {
            result.serial = HexWithoutLeadingZeros(image[0x7FFC] + 256 * image[0x7FFD]);
            result.gameId = LookupGameId(table, result.serial, result.title);
        }
        break;
    case RomKind::GameBoyAdvance:
        if (image.size() >= 0xA0 + 16) {
            result.title = std::string(image.begin() + 0xA0, image.begin() + 0xA0 + 16);
            result.gameId = LookupGameId(table, result.serial, result.title);
        }
        break;
    case RomKind::SpecialStage: {
        const size_t count = std::min<size_t>(image.size(), kS3SSignatureBytes);
        result.s3sKind = S3SFileKind(Bytes(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(count)));
        if (result.s3sKind == kS3SKindV1 || result.s3sKind == kS3SKindV2)
            result.gameId = kGameIdS3S;
        break;
    }
    case RomKind::Unsupported:
        break;
    }
    return result;
}

} // namespace zorp
