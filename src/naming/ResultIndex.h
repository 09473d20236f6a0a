#pragma once

#include <cstdint>

// No result index assigned yet (the largest signed 32-bit value, not -1 or 0).
inline constexpr int32_t NO_RESULT_INDEX = 2147483647;
