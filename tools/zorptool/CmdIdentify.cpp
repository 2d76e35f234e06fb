// zorptool identify: names the game of a ROM file the way the main menu does
// (file name ending, header, ROM_DEF.RDEF from the data folder, lock-on
// variants), or the kind of an S3S file.
#include <iostream>

#include "Command.h"
#include "RomMessageLine.h"
#include "rom/Bytes.h"
#include "rom/PubFunctions.h"
#include "rom/RomDefinitions.h"
#include "template/OpenGame.h"
#include "stage/S3SFile.h"

namespace {

int RunIdentify(const std::vector<std::string>& args);

const ZorptoolCommand kIdentify{"identify", "identify ROM",
                                "Prints the game identifier, name and revision of a ROM (.BIN .GEN .32X .GG .SMS .GBA) "
                                "or the kind of an S3S file, using ROM_DEF.RDEF from the data folder.",
                                RunIdentify};

// Header bytes may be anything; keep the terminal safe.
std::string Printable(const std::string& bytes)
{
    std::string text;
    for (unsigned char c : bytes)
        text += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '.';
    return text;
}

int ReportSpecialStage(const zorp::RomDefinitions& table, const std::string& path, int32_t kind)
{
    const std::string name = zorp::GameDisplayName(table, zorp::kGameIdS3S);
    switch (kind) {
    case zorp::kS3SKindV1:
        std::cout << zorp::kGameIdS3S << '\t' << name << " (S3S version 1.00)\n";
        return 0;
    case zorp::kS3SKindV2:
        std::cout << zorp::kGameIdS3S << '\t' << name << " (S3S version 2.00)\n";
        return 0;
    case zorp::kS3SKindCompilation:
        std::cout << zorp::kGameIdS3S << '\t' << name << " (S3S/C compilation, cannot be edited)\n";
        return 0;
    default:
        return ZorptoolFail(path + ": not a valid S3S file");
    }
}

int RunIdentify(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return ZorptoolUsage(kIdentify);
    const std::string& path = args[0];
    if (!zorp::FileSize(path))
        return ZorptoolFail(path + ": cannot open the file");
    const zorp::RomKind kind = zorp::OpenedKindOfPath(path);
    if (kind == zorp::RomKind::Unsupported)
        return ZorptoolFail(path +
                            ": unknown file type (expected .BIN, .GEN, .32X, .SMD, .MGD, .GG, .SMS, .GBA or .S3S)");

    zorp::RomDefinitionsLoad definitions = zorp::LoadRomDefinitions();
    if (!definitions.ok())
        return ZorptoolFail(RomMessageLine(*definitions.error) + " (looked for " +
                            zorp::AppFilePath(zorp::kRomDefinitionsFileName) + ")");

    const zorp::OpenedGame game = zorp::OpenGame(definitions.table, path);
    if (!game.ok())
        return ZorptoolFail(path + ": " + RomMessageLine(*game.error));
    const zorp::RomIdentification& id = game.identity;
    if (kind == zorp::RomKind::SpecialStage)
        return ReportSpecialStage(definitions.table, path, id.s3sKind);
    if (id.gameId == zorp::kGameIdUnknown)
        return ZorptoolFail(path + ": unrecognised ROM, not defined in ROM_DEF.RDEF (serial \"" +
                            Printable(zorp::TrimSpaces(id.serial)) + "\", title \"" +
                            Printable(zorp::TrimSpaces(id.title)) + "\")");
    std::cout << id.gameId << '\t' << zorp::GameDisplayName(definitions.table, id.gameId);
    // The revision, where the definitions tell revisions apart; a lock-on
    // image names the locked-on cartridge and its revision too.
    if (!id.revision.empty() || !id.lockedOnId.empty()) {
        std::cout << '\t' << (id.revision.empty() ? "unknown revision" : id.revision);
        if (id.lockedOnId == zorp::kGameIdUnknown)
            std::cout << " + unknown cartridge";
        else if (!id.lockedOnId.empty())
            std::cout << " + " << id.lockedOnId << ' '
                      << (id.lockedOnRevision.empty() ? "unknown revision" : id.lockedOnRevision);
    }
    std::cout << '\n';
    return 0;
}

} // namespace
