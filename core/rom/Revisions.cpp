#include "rom/Revisions.h"

#include <algorithm>

#include "rom/PubFunctions.h"

namespace zorp {

namespace {

constexpr size_t kMaxRules = 64;
constexpr size_t kMaxExtraBytes = 64;

std::vector<std::string> Split(std::string_view text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.emplace_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

std::optional<uint64_t> ParseHex(const std::string& text, size_t maxDigits)
{
    std::string digits = TrimSpaces(text);
    if (digits.size() > 2 && (digits[1] == 'x' || digits[1] == 'X') && digits[0] == '0')
        digits = digits.substr(2);
    if (digits.empty() || digits.size() > maxDigits)
        return std::nullopt;
    uint64_t value = 0;
    for (char c : digits) {
        int v = (c >= '0' && c <= '9') ? c - '0' : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
        if (v < 0)
            return std::nullopt;
        value = value * 16 + static_cast<uint64_t>(v);
    }
    return value;
}

std::optional<Bytes> ParseHexBytes(const std::string& text)
{
    Bytes bytes;
    for (const std::string& word : Split(TrimSpaces(text), ' ')) {
        if (word.empty())
            continue;
        if (word.size() % 2 != 0)
            return std::nullopt;
        for (size_t i = 0; i < word.size(); i += 2) {
            auto value = ParseHex(word.substr(i, 2), 2);
            if (!value)
                return std::nullopt;
            bytes.push_back(static_cast<uint8_t>(*value));
        }
    }
    if (bytes.empty() || bytes.size() > kMaxExtraBytes)
        return std::nullopt;
    return bytes;
}

std::string TrimRight(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

} // namespace

bool IsRevisionsField(std::string_view field)
{
    const std::string trimmed = TrimSpaces(std::string(field));
    const std::string prefix = kRevisionsPrefix;
    return trimmed.size() >= prefix.size() && UpperAscii(trimmed.substr(0, prefix.size())) == prefix;
}

RevisionRulesParse ParseRevisionRules(std::string_view field)
{
    RevisionRulesParse result;
    std::string text = TrimSpaces(std::string(field));
    if (IsRevisionsField(text))
        text = text.substr(std::string(kRevisionsPrefix).size());
    for (const std::string& rawEntry : Split(text, ';')) {
        const std::string entry = TrimSpaces(rawEntry);
        if (entry.empty())
            continue;
        if (result.rules.size() == kMaxRules) {
            result.error = "a record lists more than 64 revisions.";
            return result;
        }
        const size_t equals = entry.find('=');
        RevisionRule rule;
        rule.name = TrimSpaces(entry.substr(0, equals));
        if (equals == std::string::npos || rule.name.empty()) {
            result.error = "the revision \"" + entry + "\" needs the form NAME=SERIAL.";
            return result;
        }
        std::string serial = entry.substr(equals + 1);
        const size_t at = serial.find('@');
        if (at != std::string::npos) {
            const std::string extra = serial.substr(at + 1);
            serial = serial.substr(0, at);
            const size_t extraEquals = extra.find('=');
            auto offset = extraEquals == std::string::npos ? std::nullopt : ParseHex(extra.substr(0, extraEquals), 8);
            auto bytes = extraEquals == std::string::npos ? std::nullopt : ParseHexBytes(extra.substr(extraEquals + 1));
            if (!offset || !bytes) {
                result.error = "the revision " + rule.name + " needs \"@OFFSET=HEX BYTES\" after its serial.";
                return result;
            }
            rule.offset = offset;
            rule.bytes = std::move(*bytes);
        }
        // Leading spaces belong to the "=" layout; trailing ones are trimmed
        // on both sides of the compare, as the serial match does.
        size_t first = serial.find_first_not_of(' ');
        rule.serial = TrimRight(first == std::string::npos ? std::string() : serial.substr(first));
        if (rule.serial.empty() || rule.serial.size() > kFullSerialLength) {
            result.error = "the serial of revision " + rule.name + " must have 1 to 14 characters.";
            return result;
        }
        result.rules.push_back(std::move(rule));
    }
    return result;
}

std::string MatchRevision(const std::vector<RevisionRule>& rules, const Bytes& image, uint64_t base)
{
    const uint64_t serialAt = base + 0x180;
    if (image.size() < serialAt + kFullSerialLength)
        return {};
    const std::string serial = TrimRight(std::string(image.begin() + static_cast<std::ptrdiff_t>(serialAt),
                                                     image.begin() + static_cast<std::ptrdiff_t>(serialAt + kFullSerialLength)));
    for (const RevisionRule& rule : rules) {
        if (rule.serial != serial)
            continue;
        if (rule.offset) {
            const uint64_t at = base + *rule.offset;
            if (at < base || at > image.size() || rule.bytes.size() > image.size() - at)
                continue;
            if (!std::equal(rule.bytes.begin(), rule.bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(at)))
                continue;
        }
        return rule.name;
    }
    return {};
}

} // namespace zorp
