// MSGBOX: a message box with an OK button, shown when its block ends (also
// when the file ends inside the block). The title and the icon carry over
// from the previous MSGBOX block of the template; the text starts empty.
// TITLE and MSGLINE without a ":" have no effect; "MSGLINE:" adds an empty
// line. An ICON value the language does not name leaves the icon as it was.
#include "rom/PubFunctions.h"
#include "template/TemplateBlocks.h"

namespace zorp {

namespace {

std::optional<MessageIcon> IconOfValue(const std::string& value)
{
    std::string v = UpperAscii(value);
    if (v == "EXCLAMATION" || v == "!")
        return MessageIcon::Exclamation;
    if (v == "CRITICAL" || v == "STOP" || v == "ERROR" || v == "X")
        return MessageIcon::Critical;
    if (v == "INFORMATION" || v == "INFO" || v == "I")
        return MessageIcon::Information;
    if (v == "QUESTION" || v == "Q" || v == "?")
        return MessageIcon::Question;
    return std::nullopt;
}

} // namespace

std::optional<TemplateAction> ReadMsgBoxBlock(BlockReader& reader, TemplateSettings& settings)
{
    auto& state = settings.msgBox;
    std::vector<std::string> lines;

    BlockLine line;
    while (reader.Next(line)) {
        if (line.key == "ICON") {
            if (auto icon = IconOfValue(line.Value(0)))
                state.icon = *icon;
        } else if (line.key == "TITLE") {
            if (line.HasValue(0))
                state.title = line.Value(0);
        } else if (line.key == "MSGLINE") {
            if (line.HasValue(0))
                lines.push_back(line.Value(0));
        }
    }
    return Message{state.icon, state.title, std::move(lines)};
}

} // namespace zorp
