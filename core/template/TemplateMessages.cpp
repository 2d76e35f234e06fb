#include "template/TemplateMessages.h"

namespace zorp {

namespace {

std::string EditorOfCommand(const std::string& command)
{
    if (command == "LEVELSELECT")
        return "level select editor";
    if (command == "PALEDIT")
        return "palette editor";
    if (command == "PLAYLIST")
        return "playlist editor";
    if (command == "S3S")
        return "special stage editor";
    if (command == "WAVIMPORTER")
        return "WAV importer";
    return command + " editor";
}

} // namespace

Message NetTemplateMessage()
{
    return {MessageIcon::Critical,
            "ZORP .NET Template Detected",
            {"The default template for this ROM is an ZORP .NET template.",
             "ZORP-II cannot use ZORP .NET templates. Please download",
             std::string("ZORP .NET at out website, ") + kSiblingWebsite + " ."}};
}

Message OutdatedTemplateMessage()
{
    return {MessageIcon::Critical,
            "Outdated Version",
            {"The specified template file is designed for a later version of ZORP-II.", "",
             "Please download the latest version at the official website:", kOfficialWebsite}};
}

Message InvalidCommandMessage(const std::string& line)
{
    return {MessageIcon::Critical,
            "Invalid Command",
            {"Invalid command in template file:", line, "",
             "Please download the latest version of ZORP-II at the official website:", kOfficialWebsite}};
}

Message CodecMissingMessage()
{
    return {MessageIcon::Critical,
            "The Ostrel Not Found",
            {"Error: The Ostrel v0.0.2 (or later) has not been found.",
             "The selected ROM's template requested access to The Ostrel.",
             "The specific function requiring The Ostrel has been disabled.", "",
             "Please download The Ostrel at Tazzle Software's website,", std::string(kCodecWebsite) + " ."}};
}

Message TemplateTooLargeMessage()
{
    return {MessageIcon::Critical,
            "Invalid Template",
            {"The template file is larger than 1 MiB and was not read.", "No editor has been set up."}};
}

Message TemplateUnreadableMessage(const std::string& path)
{
    return {MessageIcon::Critical,
            "Invalid Template",
            {"The template file could not be read:", path, "No editor has been set up."}};
}

Message BlockRefusedMessage(const std::string& command, int lineNumber, const std::string& lineText,
                            const std::string& reason)
{
    return {MessageIcon::Critical,
            "Invalid Template Value",
            {"The " + command + " block of the template file cannot be used.",
             "Line " + std::to_string(lineNumber) + ": " + lineText, reason, "",
             "The " + EditorOfCommand(command) + " has been disabled."}};
}

Message UnfilledSlotsMessage(int commandLine, const std::string& commandText, size_t announced, size_t filled)
{
    return {MessageIcon::Exclamation,
            "Playlist Slots Left Out",
            {"The PLAYLIST block of the template file announces " + std::to_string(announced) +
                 " slots, but only " + std::to_string(filled) + " SONG lines fill them.",
             "Line " + std::to_string(commandLine) + ": " + commandText, "",
             "The " + std::to_string(announced - filled) +
                 " unfilled slots are left out; the filled ones can be edited as usual."}};
}

Message CheckInvalidTemplateMessage()
{
    return {MessageIcon::Critical, "Invalid Template", {"The selected file is not an ZORP-II template."}};
}

Message CheckOutdatedMessage()
{
    return {MessageIcon::Critical,
            "Outdated Version",
            {"The selected template file requires a later version of ZORP-II.", "",
             "Download the latest version of ZORP-II at the official webstie:", std::string(kOfficialWebsite) + " ."}};
}

Message CheckNetTemplateMessage()
{
    return {MessageIcon::Critical,
            "ZORP .NET Template",
            {"The selected file is an ZORP .NET template. This", "template requires ZORP .NET, which can be downloaded",
             std::string("at ") + kSiblingWebsite + " ."}};
}

Message IncorrectGameQuestion(const std::string& templateGameName, const std::string& selectedGameName)
{
    return {MessageIcon::Question,
            "Incorrect Game",
            {"Warning: The selected template is designed for the game",
             templateGameName + ", not " + selectedGameName + ".", "Do you still want to use this template?"}};
}

} // namespace zorp
