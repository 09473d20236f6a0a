#pragma once

#include <cstdint>

// The program's own version, compiled in from the build (1.4.3.0). The two 32-bit words
// are the classic packed form: major.minor in the most significant word, patch.tweak in
// the least significant one, each number in 16 bits.
struct ProgramVersion {
    uint16_t major = 0;
    uint16_t minor = 0;
    uint16_t patch = 0;
    uint16_t tweak = 0;

    [[nodiscard]] constexpr uint32_t mostSignificant() const {
        return (static_cast<uint32_t>(major) << 16) | minor;
    }
    [[nodiscard]] constexpr uint32_t leastSignificant() const {
        return (static_cast<uint32_t>(patch) << 16) | tweak;
    }
};
