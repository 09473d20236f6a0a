#pragma once

#include <cstdint>
#include <string_view>

// A decimal number read as C's atoi reads it: leading white space, an optional sign, then
// digits; 0 when there are none. The value wraps modulo 2^32, so masking the result keeps
// the low bits exactly as a narrowing conversion would ("-1" & 0xFFFF gives 65535).
[[nodiscard]] uint32_t leadingNumber(std::string_view text);
