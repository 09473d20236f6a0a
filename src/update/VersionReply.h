#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// At most this many bytes of the version service's reply are looked at.
inline constexpr std::size_t kVersionReplyMaxBytes = 512;

// The version service's reply "major|minor|address": the announced version as one word
// (major in the high 16 bits, minor in the low 16 bits) and the information page.
struct VersionReply {
    uint32_t version = 0;
    std::string infoAddress;

    friend bool operator==(const VersionReply&, const VersionReply&) = default;
};

// Parses any bytes: only the first kVersionReplyMaxBytes count, and the text stops at a
// NUL byte. Fields are split at '|'; a missing field is empty. Major and minor are read
// as leading decimal integers (blanks and a sign allowed, 0 without digits) and cut to
// their low 16 bits. The address is the third field without surrounding blanks.
[[nodiscard]] VersionReply parseVersionReply(std::string_view bytes);

[[nodiscard]] constexpr uint32_t versionMajor(uint32_t word) {
    return word >> 16;
}
[[nodiscard]] constexpr uint32_t versionMinor(uint32_t word) {
    return word & 0xFFFFu;
}
