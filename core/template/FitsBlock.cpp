// FITS: which images the template fits (see template/TemplateFit.h). A bad
// offset or byte list refuses the block; the template then fits nothing, so a
// typo can never let it write into the wrong image.
#include <cctype>

#include "rom/PubFunctions.h"
#include "template/Conv0x.h"
#include "template/TemplateBlocks.h"

namespace zorp {

namespace {

std::optional<Bytes> HexBytes(const std::string& text)
{
    Bytes bytes;
    std::string digits;
    for (char c : text) {
        if (c == ' ' || c == '\t')
            continue;
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        digits += c;
    }
    if (digits.empty() || digits.size() % 2 != 0 || digits.size() / 2 > kMaxFitBytes)
        return std::nullopt;
    for (size_t i = 0; i < digits.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return bytes;
}

// The values from index first on, joined back where the text held a ":".
std::string JoinedValues(const BlockLine& line, size_t first)
{
    std::string text;
    for (size_t i = first; i < line.values.size(); ++i)
        text += (i > first ? ":" : "") + line.values[i];
    return text;
}

} // namespace

std::optional<Message> ReadFitsBlock(BlockReader& reader, TemplateFit& fit)
{
    // Until the block has been read whole, it fits nothing.
    fit.unreadable = true;
    BlockLine line;
    while (reader.Next(line)) {
        if (line.key == "REVISION") {
            fit.madeFor = JoinedValues(line, 0);
            continue;
        }
        if (line.key != "TEXT" && line.key != "BYTES")
            continue;
        auto offset = Conv0x(line.Value(0));
        if (!offset || *offset < 0)
            return reader.Refuse(line, "The offset must be a number of 0 or more.");
        FitCheck check;
        check.offset = static_cast<uint64_t>(*offset);
        check.text = line.key == "TEXT";
        const std::string rest = JoinedValues(line, 1);
        if (check.text) {
            if (rest.empty() || rest.size() > kMaxFitBytes)
                return reader.Refuse(line, "The expected text must have 1 to 256 characters.");
            check.expected.assign(rest.begin(), rest.end());
        } else {
            auto bytes = HexBytes(rest);
            if (!bytes)
                return reader.Refuse(line, "The expected bytes must be 1 to 256 pairs of hexadecimal digits.");
            check.expected = std::move(*bytes);
        }
        if (fit.checks.size() == kMaxFitChecks)
            return reader.Refuse(line, "A FITS block holds at most 32 checks.");
        fit.checks.push_back(std::move(check));
    }
    fit.unreadable = false;
    return std::nullopt;
}

} // namespace zorp
