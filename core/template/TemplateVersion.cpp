#include "template/TemplateVersion.h"

#include <vector>

#include "rom/PubFunctions.h"
#include "template/ProgramVersion.h"

namespace zorp {

namespace {

bool AllDigits(const std::string& text)
{
    if (text.empty())
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

std::string WithoutLeadingZeros(const std::string& digits)
{
    size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? std::string() : digits.substr(first);
}

std::string NumberDigits(const std::string& major, const std::string& minor, const std::string& revision)
{
    // The major part is not padded and may be long: the number is compared as
    // a digit string, so no part can overflow.
    return WithoutLeadingZeros(major + PadLeftZeros(minor, 2) + PadLeftZeros(revision, 4));
}

} // namespace

std::optional<std::string> VersionNumberDigits(const std::string& versionText)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (parts.size() < 3) {
        size_t dot = versionText.find('.', start);
        parts.push_back(TrimSpaces(versionText.substr(start, dot == std::string::npos ? std::string::npos : dot - start)));
        if (dot == std::string::npos)
            break;
        start = dot + 1;
    }
    if (parts.size() < 3)
        return std::nullopt;
    for (const std::string& part : parts) {
        if (!AllDigits(part))
            return std::nullopt;
    }
    return NumberDigits(parts[0], parts[1], parts[2]);
}

std::string ProgramVersionDigits()
{
    return NumberDigits(std::to_string(kProgramVersionMajor), std::to_string(kProgramVersionMinor),
                        std::to_string(kProgramVersionRevision));
}

bool TemplateNeedsLaterVersion(const std::string& versionText)
{
    return TemplateNeedsLaterVersion(versionText, ProgramVersionDigits());
}

bool TemplateNeedsLaterVersion(const std::string& versionText, const std::string& program)
{
    auto digits = VersionNumberDigits(versionText);
    if (!digits)
        return false;
    if (digits->size() != program.size())
        return digits->size() > program.size();
    return *digits > program;
}

} // namespace zorp
