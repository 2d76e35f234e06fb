#include <gtest/gtest.h>

#include <limits>

#include "template/Conv0x.h"

namespace zorp {
namespace {

struct Conv0xCase {
    const char* text;
    std::optional<int32_t> expected;
};

TEST(Conv0x, ReadsNumbersAsTheTemplateLanguageDefines)
{
    const Conv0xCase cases[] = {
        {"0x1F", 31},        {"&H1F", 31},          {"&h1f", 31},         {"31", 31},
        {"  0x1000  ", 4096}, {"0x7FFFFFFF", 2147483647},                  {"-5", -5},
        {"+7", 7},           {"0", 0},              {"2147483647", 2147483647},
        {"-2147483648", std::numeric_limits<int32_t>::min()},
        // Upper-case X is not a hexadecimal prefix and not a number either.
        {"0X1000", std::nullopt},
        {"", std::nullopt},  {"   ", std::nullopt}, {"0x", std::nullopt}, {"&H", std::nullopt},
        {"abc", std::nullopt}, {"12a", std::nullopt}, {"0x12G", std::nullopt}, {"1 2", std::nullopt},
        {"-", std::nullopt}, {"0x-5", std::nullopt}, {"1.5", std::nullopt},
        // Values that do not fit a signed 32-bit number.
        {"0x80000000", std::nullopt}, {"0xFFFFFFFF", std::nullopt}, {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt}, {"99999999999999999999", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Conv0x(c.text), c.expected) << '"' << c.text << '"';
}

} // namespace
} // namespace zorp
