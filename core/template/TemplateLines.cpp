#include "template/TemplateLines.h"

#include "rom/PubFunctions.h"

namespace zorp {

TemplateLines::TemplateLines(std::string_view bytes) : bytes_(bytes)
{
    if (bytes_.starts_with("\xEF\xBB\xBF"))
        pos_ = 3;
}

std::string TemplateLines::Next()
{
    size_t end = bytes_.find('\n', pos_);
    if (end == std::string_view::npos)
        end = bytes_.size();
    std::string_view line = bytes_.substr(pos_, end - pos_);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    pos_ = end + 1;
    ++lineNumber_;
    return std::string(line);
}

std::string TopLevelText(const std::string& line)
{
    std::string text = TrimSpaces(line);
    if (text.empty() || text.front() == ';')
        return {};
    size_t semicolon = text.find(';');
    if (semicolon != std::string::npos)
        text = TrimSpaces(text.substr(0, semicolon));
    return text;
}

const std::string& BlockLine::Value(size_t index) const
{
    static const std::string empty;
    return index < values.size() ? values[index] : empty;
}

BlockLine ParseBlockLine(const std::string& line)
{
    BlockLine out;
    out.text = TrimSpaces(line.substr(0, line.find(';')));
    size_t start = 0;
    std::vector<std::string> pieces;
    while (true) {
        size_t colon = out.text.find(':', start);
        pieces.push_back(TrimSpaces(out.text.substr(start, colon == std::string::npos ? std::string::npos : colon - start)));
        if (colon == std::string::npos)
            break;
        start = colon + 1;
    }
    out.rawKey = pieces.front();
    out.key = UpperAscii(out.rawKey);
    out.values.assign(pieces.begin() + 1, pieces.end());
    return out;
}

} // namespace zorp
