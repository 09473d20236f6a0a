#include "settings/PrintFormat.h"
#include "settings/DecimalText.h"
#include "settings/Settings.h"

#include "support/ParamFixture.h"

#include <gtest/gtest.h>

using namespace paramtest;

namespace {

using Texts = std::vector<std::string>;

TEST(LeadingNumber, ReadsLikeAtoiAndWraps) {
    const std::pair<const char*, uint32_t> rows[] = {
        {"42abc", 42u}, {"\n\v\f\r \t+12", 12u}, {"\a12", 0u}, {"-", 0u}, {"-2", 0xFFFFFFFEu},
        {"- 5", 0u},    {"4294967297", 1u},
    };
    for (const auto& [text, value] : rows) {
        EXPECT_EQ(leadingNumber(text), value) << text;
    }
}

TEST(FormatTexts, FourTextsAFormatNumbersKeptToSixteenBits) {
    const std::vector<PrintFormat> formats = {PrintFormat{}, PrintFormat{"Limite", 65535, 0, 1}};
    const Texts texts = {"Défaut 10x15", "15", "10", "4", "Limite", "65535", "0", "1"};
    EXPECT_EQ(formatsToTexts(formats), texts);
    EXPECT_EQ(formatsFromTexts(texts), formats);
    EXPECT_EQ(formatsFromTexts({"A", "70000", "-1", "3", "B", "4"}),
              (std::vector<PrintFormat>{{"A", 4464, 65535, 3}}))
        << "incomplete trailing group dropped";
}

Bytes formatRecords(size_t index, const std::string& name, const std::string& h,
                    const std::string& w, const std::string& b) {
    const std::string i = std::to_string(index);
    return concat({stringRecord("RECADNAME" + i, name), stringRecord("RECADH" + i, h),
                   stringRecord("RECADW" + i, w), stringRecord("RECADWHITEB" + i, b)});
}

TEST(FormatList, LoadedFromAHandBuiltFileMissingPartsGivenFallbacks) {
    Texts thousandMissing; // a missing format's fallback texts, a thousand times
    for (int i = 0; i < 1000; ++i) {
        thousandMissing.insert(thousandMissing.end(), {"-", "1", "1", "1"});
    }
    // clang-format off
    const struct { const char* description; Bytes file; Texts expected; } rows[] = {
        {"index 1 missing", concat({longRecord("NBRECAD", 2), formatRecords(0, "Photo", "15", "10", "4")}),
         {"Photo", "15", "10", "4", "-", "1", "1", "1"}},
        {"height stored as a long, texts without digits",
         concat({longRecord("NBRECAD", 1), stringRecord("RECADNAME0", "X"),
                 longRecord("RECADH0", 9), stringRecord("RECADW0", "haut"),
                 stringRecord("RECADWHITEB0", " 7")}),
         {"X", "1", "haut", " 7"}},
        {"negative count", concat({longRecord("NBRECAD", -3), formatRecords(0, "X", "1", "2", "3")}), {}},
        {"a damaged file's huge count stops at a thousand", longRecord("NBRECAD", 0x7FFFFFFF), thousandMissing},
    };
    // clang-format on
    for (const auto& row : rows) {
        TempFolder folder;
        writeBytes(folder.file(), row.file);
        Texts texts{"left over"};
        Settings(folder.file()).loadFormats(texts);
        EXPECT_EQ(texts, row.expected) << row.description;
    }
}

TEST(FormatList, SavedAsCountAndTextsStaleKeysRemoved) {
    TempFolder folder;
    Bytes file = longRecord("NBRECAD", 3);
    for (size_t i = 0; i < 3; ++i) {
        file = concat({file, formatRecords(i, "Old", "1", "2", "3")});
    }
    writeBytes(folder.file(), file);
    Settings(folder.file()).saveFormats(formatsToTexts({PrintFormat{}}));
    EXPECT_EQ(
        readBytes(folder.file()),
        concat({longRecord("NBRECAD", 1), formatRecords(0, "Défaut 10x15", "15", "10", "4")}));
}

} // namespace
