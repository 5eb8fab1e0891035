#pragma once

#include <cstdint>
#include <string_view>

namespace harpoly {

// An edit field read as a signed 32-bit whole number: leading blanks, at most
// one sign, decimal digits or hexadecimal after "$", "x", "X", "0x" or "0X",
// nothing after the digits. Anything else gives `fallback`.
std::int32_t readNumberField(std::string_view text, std::int32_t fallback);

} // namespace harpoly
