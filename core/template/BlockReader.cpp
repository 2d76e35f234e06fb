#include "template/TemplateBlocks.h"

#include "template/Conv0x.h"
#include "template/TemplateMessages.h"

namespace zorp {

BlockReader::BlockReader(TemplateLines& lines, std::string command, int commandLine, std::string commandText)
    : lines_(lines), command_(std::move(command)), commandLine_(commandLine), commandText_(std::move(commandText))
{
}

bool BlockReader::Next(BlockLine& line)
{
    if (ended_)
        return false;
    if (lines_.AtEnd()) {
        // The end of the file ends the block as if ENDFRAME had been read.
        ended_ = true;
        endOfFile_ = true;
        return false;
    }
    line = ParseBlockLine(lines_.Next());
    if (line.key == "ENDFRAME") {
        ended_ = true;
        return false;
    }
    return true;
}

void BlockReader::SkipRest()
{
    BlockLine ignored;
    while (Next(ignored)) {
    }
}

Message BlockReader::Refuse(const BlockLine& line, const std::string& reason)
{
    int lineNumber = LineNumber();
    SkipRest();
    return BlockRefusedMessage(command_, lineNumber, line.text, reason);
}

Message BlockReader::RefuseBlock(const std::string& reason)
{
    SkipRest();
    return BlockRefusedMessage(command_, commandLine_, commandText_, reason);
}

std::string TakeStartAddress(const BlockLine& line, TemplateSettings& settings)
{
    auto value = Conv0x(line.Value(0));
    if (!value)
        return {};
    if (*value < 0)
        return "A ROM address cannot be negative.";
    settings.startAddress = *value;
    return {};
}

} // namespace zorp
