// The top level of the template language: command words, the header with its
// version check, the refusal of sibling-format templates, invalid commands.
#include "template/TemplateReader.h"

#include "rom/Bytes.h"
#include "rom/PubFunctions.h"
#include "template/TemplateBlocks.h"
#include "template/TemplateLimits.h"
#include "template/TemplateMessages.h"
#include "template/TemplateVersion.h"

namespace zorp {

namespace {

constexpr const char* kNetHeader = "ZORP .NET TEMPLATE FILE";
constexpr const char* kHeader = "ZORP-II FLEXIBLE PROGRAMMING FILE";
constexpr const char* kVersionKey = "ZORP-II VERSION";

// The two lines after the header: the game line and the version line, read as
// block lines whatever they hold. False when the template is refused.
bool ReadHeaderLines(TemplateLines& lines, TemplateResult& result)
{
    result.hasHeader = true;
    if (lines.AtEnd())
        return true;
    result.headerValue = ParseBlockLine(lines.Next()).Value(0);
    if (lines.AtEnd())
        return true;
    BlockLine version = ParseBlockLine(lines.Next());
    if (version.key != kVersionKey)
        return true;
    result.version = version.Value(0);
    if (TemplateNeedsLaterVersion(result.version)) {
        result.actions.push_back(OutdatedTemplateMessage());
        result.refusal = TemplateRefusal::Outdated;
        return false;
    }
    return true;
}

} // namespace

std::string RefusalStatus(TemplateRefusal refusal)
{
    switch (refusal) {
    case TemplateRefusal::Net:
        return "NET";
    case TemplateRefusal::Outdated:
        return "OUTDATED";
    case TemplateRefusal::None:
        break;
    }
    return {};
}

std::vector<Message> TemplateResult::Messages() const
{
    std::vector<Message> messages;
    for (const TemplateAction& action : actions) {
        if (const Message* message = std::get_if<Message>(&action))
            messages.push_back(*message);
    }
    return messages;
}

TemplateResult ReadTemplate(std::string_view bytes, const TemplateReadOptions& options)
{
    TemplateResult result;
    if (bytes.size() > kMaxTemplateSize) {
        result.actions.push_back(TemplateTooLargeMessage());
        return result;
    }

    TemplateLines lines(bytes);
    TemplateSettings settings;
    settings.codecPresent = options.codecPresent;

    while (!lines.AtEnd()) {
        const std::string text = TopLevelText(lines.Next());
        if (text.empty())
            continue;
        const std::string word = UpperAscii(text);

        if (word == kNetHeader) {
            result.actions.push_back(NetTemplateMessage());
            result.refusal = TemplateRefusal::Net;
            return result;
        }
        if (word == kHeader) {
            if (!ReadHeaderLines(lines, result))
                return result;
            continue;
        }

        BlockReader block(lines, word, lines.LineNumber(), text);
        std::optional<TemplateAction> action;
        if (word == "LEVELSELECT")
            action = ReadLevelSelectBlock(block, settings);
        else if (word == "PALEDIT")
            action = ReadPaletteBlock(block, settings);
        else if (word == "PLAYLIST")
            action = ReadPlaylistBlock(block, settings);
        else if (word == "S3S")
            action = ReadSpecialStageBlock(block, settings);
        else if (word == "S3S_FILE")
            action = S3SFileSetup{};
        else if (word == "WAVIMPORTER")
            action = ReadWavImporterBlock(block, settings);
        else if (word == "MSGBOX")
            action = ReadMsgBoxBlock(block, settings);
        else if (word == "S2SPECIALSTAGES")
            action = ReadS2SpecialStagesBlock(block, settings);
        else if (word == "S2LEVELSELECT")
            action = ReadS2LevelSelectBlock(block, settings);
        else if (word == "S1STAGES")
            action = ReadS1StagesBlock(block, settings);
        else if (word == "FITS") {
            if (auto refusal = ReadFitsBlock(block, result.fit))
                action = std::move(*refusal);
        }
        else
            action = InvalidCommandMessage(text);
        for (Message& warning : block.Warnings())
            result.actions.push_back(std::move(warning));
        if (action)
            result.actions.push_back(std::move(*action));
    }
    return result;
}

TemplateResult ReadTemplateFile(const std::string& path, const TemplateReadOptions& options)
{
    auto size = FileSize(path);
    if (size && *size > kMaxTemplateSize) {
        TemplateResult result;
        result.actions.push_back(TemplateTooLargeMessage());
        return result;
    }
    auto bytes = ReadFileBytes(path, kMaxTemplateSize);
    if (!bytes) {
        TemplateResult result;
        result.actions.push_back(TemplateUnreadableMessage(path));
        return result;
    }
    return ReadTemplate(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), options);
}

} // namespace zorp
