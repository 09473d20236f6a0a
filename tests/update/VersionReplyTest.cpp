#include "update/VersionReply.h"

#include <gtest/gtest.h>
#include <string>

TEST(ParseVersionReply, ReadsTheThreeFieldsOfTheFirst512Bytes) {
    // clang-format off
    struct Row { const char* description; std::string bytes; uint32_t version; std::string address; };
    const Row rows[] = {
        {"plain reply", "1|5|http://x/", 0x00010005u, "http://x/"},
        {"major alone", "2", 0x00020000u, ""},
        {"extra fields ignored", "3|1|http://a|more|fields", 0x00030001u, "http://a"},
        {"minor cut to 16 bits", "1|131077|u", 0x00010005u, "u"},
        {"major cut to 16 bits", "65537|0|u", 0x00010000u, "u"},
        {"address trimmed", "1|4| http://x/\r\n", 0x00010004u, "http://x/"},
        {"stops at a NUL byte", std::string("1|4|ab\0cd", 9), 0x00010004u, "ab"},
        {"address cut at byte 512", "1|5|http://x/" + std::string(1000, 'a'), 0x00010005u, "http://x/" + std::string(499, 'a')},
    };
    // clang-format on
    for (const Row& row : rows) {
        const VersionReply reply = parseVersionReply(row.bytes);
        EXPECT_EQ(reply.version, row.version) << row.description;
        EXPECT_EQ(reply.infoAddress, row.address) << row.description;
    }
}
