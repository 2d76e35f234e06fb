// Game identification: matching header texts against the definitions table,
// the lock-on variants of Sonic & Knuckles and the per-kind header reads.
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
    if (second == kGameIdS1 || second == kGameIdS1J)
        return kGameIdS1K;
    if (second == kGameIdS2)
        return kGameIdS2K;
    if (second == kGameIdS3)
        return kGameIdS3K;
    return kGameIdSKOther;
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
    RomIdentification result;
    result.kind = RomKindOfPath(romPath);
    switch (result.kind) {
    case RomKind::Genesis:
        if (auto identity = ReadHeaderIdentity(romPath, false)) {
            result.serial = identity->serial;
            result.title = identity->title;
            result.gameId = ResolveLockOnId(table, LookupGameId(table, result.serial, result.title), romPath);
        }
        break;
    case RomKind::MasterSystem:
        if (auto code = ReadSmsProductCode(romPath)) {
            result.serial = HexWithoutLeadingZeros(*code);
            result.gameId = LookupGameId(table, result.serial, result.title);
        }
        break;
    case RomKind::GameBoyAdvance:
        if (auto title = ReadGbaIdentity(romPath)) {
            result.title = *title;
            result.gameId = LookupGameId(table, result.serial, result.title);
        }
        break;
    case RomKind::SpecialStage:
        if (auto head = ReadBytesAt(romPath, 0, kS3SSignatureBytes)) {
            // Bytes past the end read as 0, so a short file fails the compare.
            auto size = FileSize(romPath).value_or(0);
            if (head->size() > size)
                head->resize(static_cast<size_t>(size));
            result.s3sKind = S3SFileKind(*head);
            if (result.s3sKind == kS3SKindV1 || result.s3sKind == kS3SKindV2)
                result.gameId = kGameIdS3S;
        }
        break;
    case RomKind::Unsupported:
        break;
    }
    return result;
}

} // namespace zorp
