#include "template/TemplateCheck.h"

#include <vector>

#include "rom/Bytes.h"
#include "rom/PubFunctions.h"
#include "template/TemplateLimits.h"
#include "template/TemplateLines.h"
#include "template/TemplateMessages.h"
#include "template/TemplateVersion.h"

namespace zorp {

namespace {

// Of each line only the text before its first ";" counts, trimmed and
// upper-cased.
std::string CheckLine(TemplateLines& lines)
{
    if (lines.AtEnd())
        return {};
    std::string line = lines.Next();
    return UpperAscii(TrimSpaces(line.substr(0, line.find(';'))));
}

// Split at ":" without trimming the pieces: "GAME :S1" does not name the key
// "GAME".
std::vector<std::string> UntrimmedPieces(const std::string& line)
{
    std::vector<std::string> pieces;
    size_t start = 0;
    while (true) {
        size_t colon = line.find(':', start);
        pieces.push_back(line.substr(start, colon == std::string::npos ? std::string::npos : colon - start));
        if (colon == std::string::npos)
            return pieces;
        start = colon + 1;
    }
}

std::string Piece(const std::vector<std::string>& pieces, size_t index)
{
    return index < pieces.size() ? pieces[index] : std::string();
}

TemplateCheckResult WithMessage(TemplateCheckOutcome outcome, Message message)
{
    TemplateCheckResult result;
    result.outcome = outcome;
    result.message = std::move(message);
    return result;
}

TemplateCheckResult Accepted()
{
    TemplateCheckResult result;
    result.outcome = TemplateCheckOutcome::Accepted;
    return result;
}

} // namespace

GameLookup LookupInDefinitions(const RomDefinitions& table)
{
    return [&table](const std::string& id) -> std::optional<GameRecordInfo> {
        const RomDefinitionRecord* record = table.find(id);
        if (!record)
            return std::nullopt;
        return GameRecordInfo{record->gameId(), record->displayName()};
    };
}

TemplateCheckResult CheckTemplateForGame(std::string_view bytes, const std::string& selectedGameId,
                                         const GameLookup& lookup)
{
    TemplateLines lines(bytes);
    const std::string first = CheckLine(lines);
    if (first == "ZORP .NET TEMPLATE FILE")
        return WithMessage(TemplateCheckOutcome::Net, CheckNetTemplateMessage());
    if (first != "ZORP-II FLEXIBLE PROGRAMMING FILE")
        return WithMessage(TemplateCheckOutcome::Invalid, CheckInvalidTemplateMessage());

    const std::vector<std::string> gameLine = UntrimmedPieces(CheckLine(lines));
    const std::vector<std::string> versionLine = UntrimmedPieces(CheckLine(lines));
    if (Piece(versionLine, 0) != "ZORP-II VERSION")
        return WithMessage(TemplateCheckOutcome::Invalid, CheckInvalidTemplateMessage());
    if (TemplateNeedsLaterVersion(TrimSpaces(Piece(versionLine, 1))))
        return WithMessage(TemplateCheckOutcome::Outdated, CheckOutdatedMessage());
    if (Piece(gameLine, 0) != "GAME")
        return WithMessage(TemplateCheckOutcome::Invalid, CheckInvalidTemplateMessage());

    auto templateGame = lookup(TrimSpaces(Piece(gameLine, 1)));
    if (!templateGame)
        return Accepted();
    if (UpperAscii(templateGame->id) == UpperAscii(selectedGameId))
        return Accepted();

    auto selectedGame = lookup(selectedGameId);
    TemplateCheckResult result;
    result.outcome = TemplateCheckOutcome::AskIncorrectGame;
    result.templateGameName = templateGame->displayName;
    result.selectedGameName = selectedGame ? selectedGame->displayName : std::string("Unknown");
    result.message = IncorrectGameQuestion(result.templateGameName, result.selectedGameName);
    return result;
}

TemplateCheckResult CheckTemplateFileForGame(const std::string& path, const std::string& selectedGameId,
                                             const GameLookup& lookup)
{
    auto bytes = ReadFileBytes(path, kMaxTemplateSize);
    if (!bytes)
        return WithMessage(TemplateCheckOutcome::Invalid, CheckInvalidTemplateMessage());
    return CheckTemplateForGame(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()),
                                selectedGameId, lookup);
}

} // namespace zorp
