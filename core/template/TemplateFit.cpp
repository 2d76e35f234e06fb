#include "template/TemplateFit.h"

#include <algorithm>
#include <cstdio>

namespace zorp {

namespace {

std::string Hex(uint64_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

std::string Shown(const Bytes& bytes, bool asText)
{
    std::string out;
    if (asText) {
        out = "\"";
        for (uint8_t b : bytes)
            out += (b >= 0x20 && b < 0x7F) ? static_cast<char>(b) : '?';
        return out + "\"";
    }
    for (uint8_t b : bytes) {
        char text[4];
        std::snprintf(text, sizeof text, "%02X", b);
        if (!out.empty())
            out += ' ';
        out += text;
    }
    return out;
}

} // namespace

FitVerdict CheckTemplateFit(const TemplateFit& fit, const Bytes& image)
{
    if (fit.unreadable)
        return {false, "The template's FITS block could not be read, so it is not known which images it fits."};
    for (const FitCheck& check : fit.checks) {
        const bool inside = check.offset <= image.size() && check.expected.size() <= image.size() - check.offset;
        if (inside && std::equal(check.expected.begin(), check.expected.end(),
                                 image.begin() + static_cast<std::ptrdiff_t>(check.offset)))
            continue;
        FitVerdict verdict;
        verdict.fits = false;
        if (!inside) {
            verdict.detail = "The image ends before " + Hex(check.offset + check.expected.size()) +
                             ", where the template expects " + Shown(check.expected, check.text) + " at " +
                             Hex(check.offset) + ".";
        } else {
            const Bytes found(image.begin() + static_cast<std::ptrdiff_t>(check.offset),
                              image.begin() + static_cast<std::ptrdiff_t>(check.offset + check.expected.size()));
            verdict.detail = "At " + Hex(check.offset) + " the image holds " + Shown(found, check.text) +
                             " where the template expects " + Shown(check.expected, check.text) + ".";
        }
        return verdict;
    }
    return {};
}

} // namespace zorp
