#pragma once
// The number reader of template values.
#include <cstdint>
#include <optional>
#include <string_view>

namespace zorp {

// Reads a template number. The text is trimmed; "0x" (lower-case x) or "&H"
// (either case of H) starts a hexadecimal number, anything else is read as a
// decimal number with an optional sign. Text that is not a number, and a
// number that does not fit a signed 32-bit value, give nullopt: the caller
// then leaves its setting as it was.
std::optional<int32_t> Conv0x(std::string_view text);

} // namespace zorp
