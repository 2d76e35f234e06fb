#include "RomTemplate.h"

#include "Command.h"
#include "RomMessageLine.h"
#include "rom/Bytes.h"
#include "rom/PubFunctions.h"
#include "rom/RomDefinitions.h"
#include "template/OpenGame.h"

int LoadRomTemplate(const std::string& romPath, std::string& templatePath, zorp::TemplateResult& result)
{
    if (!zorp::FileSize(romPath))
        return ZorptoolFail(romPath + ": cannot open the file");
    const zorp::RomKind kind = zorp::OpenedKindOfPath(romPath);
    if (kind == zorp::RomKind::SpecialStage)
        return ZorptoolFail(romPath + ": a special stage file, not a ROM");
    if (kind == zorp::RomKind::Unsupported)
        return ZorptoolFail(romPath + ": unknown file type (expected .BIN, .GEN, .32X, .GG, .SMS or .GBA)");

    zorp::RomDefinitionsLoad definitions = zorp::LoadRomDefinitions();
    if (!definitions.ok())
        return ZorptoolFail(RomMessageLine(*definitions.error) + " (looked for " +
                            zorp::AppFilePath(zorp::kRomDefinitionsFileName) + ")");
    const zorp::OpenedGame game = zorp::OpenGame(definitions.table, romPath);
    if (!game.ok())
        return ZorptoolFail(romPath + ": " + RomMessageLine(*game.error));
    if (game.identity.gameId == zorp::kGameIdUnknown)
        return ZorptoolFail(romPath + ": unrecognised ROM, not defined in ROM_DEF.RDEF");
    // The commands write into the file at plain offsets.
    if (game.interleaved())
        return ZorptoolFail(romPath + ": an interleaved (SMD or MGD) image; convert it to a plain binary first "
                                      "(zorptool convert IN OUT --to bin)");

    if (templatePath.empty())
        templatePath = game.defaultTemplate;
    if (!zorp::FileSize(templatePath))
        return ZorptoolFail(templatePath + ": template not found");
    result = zorp::ReadTemplateFile(templatePath, zorp::TemplateReadOptions{true});
    if (result.refusal != zorp::TemplateRefusal::None)
        return ZorptoolFail(templatePath + ": template refused (" + zorp::RefusalStatus(result.refusal) +
                            "): " + RomMessageLine(std::get<zorp::Message>(result.actions.back())));
    return 0;
}
