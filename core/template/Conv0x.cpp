#include "template/Conv0x.h"

#include <limits>

namespace zorp {

namespace {

std::string_view Trimmed(std::string_view text)
{
    constexpr std::string_view blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

int DigitValue(char c, int base)
{
    int v = -1;
    if (c >= '0' && c <= '9')
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    return v < base ? v : -1;
}

// Digits only, no sign; a value above limit is an overflow.
std::optional<int64_t> ReadDigits(std::string_view digits, int base, int64_t limit)
{
    if (digits.empty())
        return std::nullopt;
    int64_t value = 0;
    for (char c : digits) {
        int d = DigitValue(c, base);
        if (d < 0)
            return std::nullopt;
        value = value * base + d;
        if (value > limit)
            return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<int32_t> Conv0x(std::string_view text)
{
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    std::string_view t = Trimmed(text);

    // Hexadecimal numbers have no sign; 0x80000000 and above do not fit.
    if (t.starts_with("0x") || t.starts_with("&H") || t.starts_with("&h")) {
        auto v = ReadDigits(t.substr(2), 16, kMax);
        if (!v)
            return std::nullopt;
        return static_cast<int32_t>(*v);
    }

    bool negative = false;
    if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
        negative = t.front() == '-';
        t.remove_prefix(1);
    }
    auto v = ReadDigits(t, 10, kMax + 1);
    if (!v || (!negative && *v > kMax))
        return std::nullopt;
    return static_cast<int32_t>(negative ? -*v : *v);
}

} // namespace zorp
