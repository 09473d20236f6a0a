#pragma once

#include <cstdint>

// No result index assigned yet (the largest signed 32-bit value, not -1 or 0).
inline constexpr int32_t kNoResultIndex = 2147483647;
