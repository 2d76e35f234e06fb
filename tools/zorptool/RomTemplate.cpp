#include "RomTemplate.h"

#include "Command.h"
#include "RomMessageLine.h"
#include "rom/Bytes.h"
#include "rom/Locations.h"
#include "rom/PubFunctions.h"

int LoadRomAndTemplate(const std::string& romPath, std::string& templatePath, RomUse use, RomAndTemplate& rom)
{
    if (!zorp::FileSize(romPath))
        return ZorptoolFail(romPath + ": cannot open the file");
    const zorp::RomKind kind = zorp::OpenedKindOfPath(romPath);
    if (kind == zorp::RomKind::SpecialStage && use == RomUse::Write)
        return ZorptoolFail(romPath + ": a special stage file, not a ROM (zorptool s3s reads those)");
    if (kind == zorp::RomKind::Unsupported)
        return ZorptoolFail(romPath + ": unknown file type (expected .BIN, .GEN, .32X, .SMD, .MGD, .GG, .SMS, .GBA" +
                            (use == RomUse::Read ? " or .S3S)" : ")"));

    zorp::RomDefinitionsLoad definitions = zorp::LoadRomDefinitions();
    if (!definitions.ok())
        return ZorptoolFail(RomMessageLine(*definitions.error) + " (looked for " +
                            zorp::AppFilePath(zorp::kRomDefinitionsFileName) + ")");
    rom.definitions = std::move(definitions.table);
    rom.game = zorp::OpenGame(rom.definitions, romPath);
    if (!rom.game.ok())
        return ZorptoolFail(romPath + ": " + RomMessageLine(*rom.game.error));
    if (rom.game.identity.gameId == zorp::kGameIdUnknown)
        return ZorptoolFail(romPath + ": unrecognised ROM, not defined in ROM_DEF.RDEF");
    // Writing commands write into the file at plain offsets.
    if (use == RomUse::Write && rom.game.interleaved())
        return ZorptoolFail(romPath + ": an interleaved (SMD or MGD) image; convert it to a plain binary first "
                                      "(zorptool convert IN OUT --to bin)");

    if (templatePath.empty())
        templatePath = rom.game.defaultTemplate;
    if (!zorp::FileSize(templatePath))
        return ZorptoolFail(templatePath + ": template not found");
    // zorptool carries the codec, so compressed special stages are offered.
    rom.result = zorp::ReadTemplateFile(templatePath, zorp::TemplateReadOptions{true});
    if (rom.result.refusal != zorp::TemplateRefusal::None)
        return ZorptoolFail(templatePath + ": template refused (" + zorp::RefusalStatus(rom.result.refusal) +
                            "): " + RomMessageLine(std::get<zorp::Message>(rom.result.actions.back())));
    return 0;
}
