#pragma once
// Helpers for the template tests: build a template from lines, pick actions.
#include <string>
#include <vector>

#include "template/TemplateReader.h"

namespace zorp::test {

// Lines joined with CR LF, the way template files are written.
inline std::string Crlf(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& line : lines)
        out += line + "\r\n";
    return out;
}

inline TemplateResult Read(const std::vector<std::string>& lines, bool codecPresent = true)
{
    return ReadTemplate(Crlf(lines), TemplateReadOptions{codecPresent});
}

// The actions of one kind, in order.
template <typename T>
std::vector<T> ActionsOf(const TemplateResult& result)
{
    std::vector<T> out;
    for (const TemplateAction& action : result.actions) {
        if (const T* a = std::get_if<T>(&action))
            out.push_back(*a);
    }
    return out;
}

} // namespace zorp::test
