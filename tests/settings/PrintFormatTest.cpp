#include "settings/PrintFormat.h"
#include "settings/Settings.h"

#include "settings/ParamFixture.h"

#include <gtest/gtest.h>

using namespace paramtest;

namespace {

using Texts = std::vector<std::string>;

struct NumberRow {
    const char* description;
    std::string text;
    uint16_t value;
};

class FormatNumbers : public ::testing::TestWithParam<NumberRow> {};

TEST_P(FormatNumbers, ReadLikeAtoiKeptToSixteenBits) {
    const NumberRow& row = GetParam();
    const auto formats = FormatsFromTexts({"F", row.text, "1", "2"});
    ASSERT_EQ(formats.size(), 1u);
    EXPECT_EQ(formats[0].heightCm, row.value);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FormatNumbers,
    ::testing::Values(NumberRow{"plain", "15", 15}, NumberRow{"leading white space", " \t\n42", 42},
                      NumberRow{"plus sign", "+7", 7}, NumberRow{"trailing letters", "12cm", 12},
                      NumberRow{"no digits", "abc", 0}, NumberRow{"empty", "", 0},
                      NumberRow{"sign alone", "-", 0},
                      NumberRow{"blank between sign and digits", "- 5", 0},
                      NumberRow{"minus one wraps", "-1", 65535},
                      NumberRow{"minus 65535", "-65535", 1},
                      NumberRow{"65536 wraps to 0", "65536", 0}, NumberRow{"70000", "70000", 4464}),
    [](const auto& info) { return RowName(info.param.description); });

TEST(FormatTexts, RecordsToTextsAndBack) {
    const std::vector<PrintFormat> formats = {PrintFormat{}, PrintFormat{"Grand 30x45", 45, 30, 0},
                                              PrintFormat{"Limite", 65535, 0, 65535}};
    const Texts texts = FormatsToTexts(formats);
    EXPECT_EQ(texts, (Texts{"Défaut 10x15", "15", "10", "4", "Grand 30x45", "45", "30", "0",
                            "Limite", "65535", "0", "65535"}));
    EXPECT_EQ(FormatsFromTexts(texts), formats);
}

TEST(FormatTexts, IncompleteTrailingGroupIsDropped) {
    const auto formats = FormatsFromTexts({"A", "1", "2", "3", "B", "4"});
    ASSERT_EQ(formats.size(), 1u);
    EXPECT_EQ(formats[0], (PrintFormat{"A", 1, 2, 3}));
}

Bytes FormatRecords(size_t index, const std::string& name, const std::string& h,
                    const std::string& w, const std::string& b) {
    const std::string i = std::to_string(index);
    return Concat({StringRecord("RECADNAME" + i, name), StringRecord("RECADH" + i, h),
                   StringRecord("RECADW" + i, w), StringRecord("RECADWHITEB" + i, b)});
}

TEST(FormatList, NoFileGivesEmptyList) {
    TempFolder folder;
    CSettings settings(folder.File());
    Texts texts{"left", "over"};
    settings.LoadFormats(texts);
    EXPECT_TRUE(texts.empty());
    EXPECT_FALSE(std::filesystem::exists(folder.File()));
}

struct LoadRow {
    const char* description;
    Bytes file;
    Texts expected;
};

class FormatListLoad : public ::testing::TestWithParam<LoadRow> {};

TEST_P(FormatListLoad, FromHandBuiltFile) {
    TempFolder folder;
    WriteBytes(folder.File(), GetParam().file);
    CSettings settings(folder.File());
    Texts texts{"left over"};
    settings.LoadFormats(texts);
    EXPECT_EQ(texts, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FormatListLoad,
    ::testing::Values(
        LoadRow{"index 1 missing",
                Concat({LongRecord("NBRECAD", 2), FormatRecords(0, "Photo", "15", "10", "4")}),
                {"Photo", "15", "10", "4", "-", "1", "1", "1"}},
        LoadRow{"one key of index 0 missing",
                Concat({LongRecord("NBRECAD", 1), StringRecord("RECADNAME0", "Carré"),
                        StringRecord("RECADW0", "20")}),
                {"Carré", "1", "20", "1"}},
        LoadRow{"numbers stored as texts without digits",
                Concat({LongRecord("NBRECAD", 1), FormatRecords(0, "X", "haut", "", " 7")}),
                {"X", "haut", "", " 7"}},
        LoadRow{"negative count",
                Concat({LongRecord("NBRECAD", -3), FormatRecords(0, "X", "1", "2", "3")}),
                {}},
        LoadRow{"count stored as a string",
                Concat({StringRecord("NBRECAD", "1"), FormatRecords(0, "X", "1", "2", "3")}),
                {}},
        LoadRow{"height stored as a long",
                Concat({LongRecord("NBRECAD", 1), StringRecord("RECADNAME0", "X"),
                        LongRecord("RECADH0", 9), StringRecord("RECADW0", "2"),
                        StringRecord("RECADWHITEB0", "3")}),
                {"X", "1", "2", "3"}}),
    [](const auto& info) { return RowName(info.param.description); });

std::vector<std::string> NamesIn(const std::filesystem::path& path) {
    std::vector<std::string> names;
    const auto records = DecodeFile(ReadBytes(path));
    if (records) {
        for (const auto& record : *records) {
            names.push_back(record.name);
        }
    }
    return names;
}

TEST(FormatList, DefaultFormatSavedAlone) {
    TempFolder folder;
    CSettings settings(folder.File());
    settings.SaveFormats(FormatsToTexts({PrintFormat{}}));
    const auto records = DecodeFile(ReadBytes(folder.File()));
    ASSERT_TRUE(records.has_value());
    ASSERT_EQ(records->size(), 5u);
    EXPECT_EQ((*records)[0].name, "NBRECAD");
    EXPECT_EQ((*records)[0].type, 4);
    EXPECT_EQ(LongOfBlock((*records)[0].value), 1);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"RECADNAME0", "Défaut 10x15"},
        {"RECADH0", "15"},
        {"RECADW0", "10"},
        {"RECADWHITEB0", "4"}};
    for (size_t i = 0; i < expected.size(); ++i) {
        const auto& record = (*records)[i + 1];
        EXPECT_EQ(record.name, expected[i].first);
        EXPECT_EQ(record.type, 1024);
        EXPECT_EQ(TextOfBlock(record.value), expected[i].second);
        EXPECT_EQ(record.comment, "");
    }
}

TEST(FormatList, SavingThreeOverFiveRemovesTheStaleKeys) {
    TempFolder folder;
    Bytes file = LongRecord("NBRECAD", 5);
    for (size_t i = 0; i < 5; ++i) {
        const Bytes group = FormatRecords(i, "Old" + std::to_string(i), "1", "2", "3");
        file.insert(file.end(), group.begin(), group.end());
    }
    WriteBytes(folder.File(), file);
    CSettings settings(folder.File());
    const Texts saved = {"A", "10", "15", "0", "B", "13", "18", "4", "C", "20", "30", "5"};
    settings.SaveFormats(saved);

    const auto names = NamesIn(folder.File());
    const std::vector<std::string> expectedNames = {
        "NBRECAD",    "RECADNAME0", "RECADH0",     "RECADW0",      "RECADWHITEB0",
        "RECADNAME1", "RECADH1",    "RECADW1",     "RECADWHITEB1", "RECADNAME2",
        "RECADH2",    "RECADW2",    "RECADWHITEB2"};
    EXPECT_EQ(names, expectedNames);
    Texts loaded;
    settings.LoadFormats(loaded);
    EXPECT_EQ(loaded, saved);
}

TEST(FormatList, SavingMoreAppendsNewIndicesAndUnchangedListRewritesInPlace) {
    TempFolder folder;
    CSettings settings(folder.File());
    const Texts one = {"A", "1", "2", "3"};
    settings.SaveFormats(one);
    const Bytes afterOne = ReadBytes(folder.File());
    const Texts two = {"A", "1", "2", "3", "B", "4", "5", "6"};
    settings.SaveFormats(two);
    const Bytes afterTwo = ReadBytes(folder.File());
    ASSERT_EQ(afterTwo.size(), afterOne.size() + 4 * 1048);
    settings.SaveFormats(two);
    EXPECT_EQ(ReadBytes(folder.File()), afterTwo);
    Texts loaded;
    settings.LoadFormats(loaded);
    EXPECT_EQ(loaded, two);
}

TEST(FormatList, EmptyListRemovesEverything) {
    TempFolder folder;
    CSettings settings(folder.File());
    settings.SaveFormats({"A", "1", "2", "3", "B", "4", "5", "6"});
    settings.SaveFormats({});
    EXPECT_EQ(NamesIn(folder.File()), std::vector<std::string>{"NBRECAD"});
    Texts loaded{"x"};
    settings.LoadFormats(loaded);
    EXPECT_TRUE(loaded.empty());
}

} // namespace
