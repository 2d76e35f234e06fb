#include "RomTemplate.h"

#include "Command.h"
#include "RomMessageLine.h"
#include "rom/Bytes.h"
#include "rom/PubFunctions.h"
#include "rom/RomDefinitions.h"
#include "template/DefaultTemplate.h"

int LoadRomTemplate(const std::string& romPath, std::string& templatePath, zorp::TemplateResult& result)
{
    if (!zorp::FileSize(romPath))
        return ZorptoolFail(romPath + ": cannot open the file");
    const zorp::RomKind kind = zorp::RomKindOfPath(romPath);
    if (kind == zorp::RomKind::SpecialStage)
        return ZorptoolFail(romPath + ": a special stage file, not a ROM");
    if (kind == zorp::RomKind::Unsupported)
        return ZorptoolFail(romPath + ": unknown file type (expected .BIN, .GEN, .32X, .GG, .SMS or .GBA)");

    zorp::RomDefinitionsLoad definitions = zorp::LoadRomDefinitions();
    if (!definitions.ok())
        return ZorptoolFail(RomMessageLine(*definitions.error) + " (looked for " +
                            zorp::AppFilePath(zorp::kRomDefinitionsFileName) + ")");
    const zorp::RomIdentification id = zorp::IdentifyRom(definitions.table, romPath);
    if (id.gameId == zorp::kGameIdUnknown)
        return ZorptoolFail(romPath + ": unrecognised ROM, not defined in ROM_DEF.RDEF");

    if (templatePath.empty())
        templatePath = zorp::AppFilePath(zorp::DefaultTemplateName(
            id, [](const std::string& name) { return zorp::FileSize(zorp::AppFilePath(name)).has_value(); }));
    if (!zorp::FileSize(templatePath))
        return ZorptoolFail(templatePath + ": template not found");
    result = zorp::ReadTemplateFile(templatePath, zorp::TemplateReadOptions{true});
    if (result.refusal != zorp::TemplateRefusal::None)
        return ZorptoolFail(templatePath + ": template refused (" + zorp::RefusalStatus(result.refusal) +
                            "): " + RomMessageLine(std::get<zorp::Message>(result.actions.back())));
    return 0;
}
