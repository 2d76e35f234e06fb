#include "template/OpenGame.h"

#include "rom/Locations.h"
#include "rom/PubFunctions.h"
#include "template/DefaultTemplate.h"

namespace zorp {

namespace {

Message CannotReadMessage(const std::string& path)
{
    // A file past the read cap can be read; it is simply no cartridge image.
    if (auto size = FileSize(path); size && *size > kMaxRomFileSize)
        return Message{MessageIcon::Critical,
                       "Cannot Open ROM",
                       {"The file is larger than " + std::to_string(kMaxRomFileSize >> 20) +
                            " MB, too large to be a cartridge image:",
                        path}};
    return Message{MessageIcon::Critical, "Cannot Open ROM", {"The ROM file could not be read:", path}};
}

} // namespace

RomKind OpenedKindOfPath(const std::string& path)
{
    const RomKind kind = RomKindOfPath(path);
    if (kind != RomKind::Unsupported || path.size() < 3)
        return kind;
    const std::string ending = UpperAscii(path.substr(path.size() - 3));
    return ending == "SMD" || ending == "MGD" ? RomKind::Genesis : RomKind::Unsupported;
}

OpenedGame OpenGame(const RomDefinitions& table, const std::string& path)
{
    OpenedGame game;
    game.kind = OpenedKindOfPath(path);
    if (game.kind == RomKind::Unsupported) {
        game.error = Message{MessageIcon::Critical, "Unrecognized ROM",
                             {"The file type is not one ZORP-II opens:", path}};
        return game;
    }
    if (game.kind == RomKind::Genesis) {
        // SMD (also a numbered series) and MGD files are read as the plain
        // image they hold; the header is only meaningful there.
        RomFormatResult format = DetectRomFormat(path);
        if (!format.ok()) {
            game.error = format.error;
            return game;
        }
        game.layout = format.recognised() ? format.layout : kLayoutPlain;
        if (format.recognised()) {
            game.image = std::move(format.image);
        } else if (auto bytes = ReadFileBytes(path, kMaxRomFileSize)) {
            game.image = std::move(*bytes);
        } else {
            game.error = CannotReadMessage(path);
            return game;
        }
    } else if (auto bytes = ReadFileBytes(path, kMaxRomFileSize)) {
        game.image = std::move(*bytes);
    } else {
        game.error = CannotReadMessage(path);
        return game;
    }
    game.identity = IdentifyRomImage(table, game.kind, game.image);
    if (game.identity.gameId != kGameIdUnknown) {
        const auto shipped = [](const std::string& name) { return FileSize(AppFilePath(name)).has_value(); };
        game.templateKey = TemplateKey(game.identity, shipped);
        game.defaultTemplate = AppFilePath(game.templateKey + ".ZORP");
    }
    return game;
}

} // namespace zorp
