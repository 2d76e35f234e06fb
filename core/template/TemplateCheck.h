#pragma once
// The check the default-templates window makes of a template chosen with
// "Browse...": is it a template of this program, for this program's version
// and for the selected game? Only the first three lines are looked at.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "rom/Message.h"
#include "rom/RomDefinitions.h"

namespace zorp {

enum class TemplateCheckOutcome {
    Accepted,
    Invalid,          // not a template of this program ("Invalid Template")
    Outdated,         // needs a later program ("Outdated Version")
    Net,              // sibling-format template ("ZORP .NET Template")
    AskIncorrectGame, // made for another known game: ask (Yes accepts)
};

struct TemplateCheckResult {
    TemplateCheckOutcome outcome = TemplateCheckOutcome::Invalid;
    // The message or question to show; none when accepted outright.
    std::optional<Message> message;
    // AskIncorrectGame only: the two display names the question names.
    std::string templateGameName;
    std::string selectedGameName;
};

// A record of the definitions table as the check needs it.
struct GameRecordInfo {
    std::string id;
    std::string displayName;
};
// Looks an identifier up without regard to case; nullopt when absent.
using GameLookup = std::function<std::optional<GameRecordInfo>(const std::string& id)>;

GameLookup LookupInDefinitions(const RomDefinitions& table);

// Checks a template's bytes for the game selectedGameId.
TemplateCheckResult CheckTemplateForGame(std::string_view bytes, const std::string& selectedGameId,
                                         const GameLookup& lookup);

// Reads the file (at most 1 MiB) and checks it; an unreadable file is invalid.
TemplateCheckResult CheckTemplateFileForGame(const std::string& path, const std::string& selectedGameId,
                                             const GameLookup& lookup);

} // namespace zorp
