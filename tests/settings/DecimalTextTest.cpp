#include <gtest/gtest.h>

#include "settings/DecimalText.h"

namespace {

TEST(LeadingNumber, ReadsLikeAtoiAndWraps) {
    struct Row {
        const char* name;
        const char* text;
        uint32_t expected;
    };
    const Row rows[] = {
        {"digits then letters", "42abc", 42u},
        {"blanks and plus sign", " \t+7", 7u},
        {"every blank before the digits", "\n\v\f\r \t12", 12u},
        {"other control byte is no blank", "\a12", 0u},
        {"no digits", "abc", 0u},
        {"sign alone", "-", 0u},
        {"negative wraps", "-2", 0xFFFFFFFEu},
        {"blank between sign and digits stops", "- 5", 0u},
        {"past 32 bits wraps", "4294967297", 1u},
    };
    for (const Row& row : rows)
        EXPECT_EQ(leadingNumber(row.text), row.expected) << row.name;
}

} // namespace
