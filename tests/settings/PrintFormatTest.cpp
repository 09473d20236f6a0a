#include "settings/PrintFormat.h"
#include "settings/Settings.h"

#include "support/ParamFixture.h"

#include <gtest/gtest.h>

using namespace paramtest;

namespace {

using Texts = std::vector<std::string>;

TEST(FormatTexts, RecordsToTextsAndBack) {
    const std::vector<PrintFormat> formats = {PrintFormat{}, PrintFormat{"Grand 30x45", 45, 30, 0},
                                              PrintFormat{"Limite", 65535, 0, 65535}};
    const Texts texts = formatsToTexts(formats);
    EXPECT_EQ(texts, (Texts{"Défaut 10x15", "15", "10", "4", "Grand 30x45", "45", "30", "0",
                            "Limite", "65535", "0", "65535"}));
    EXPECT_EQ(formatsFromTexts(texts), formats);
    EXPECT_EQ(formatsFromTexts({"A", "1", "2", "3", "B", "4"}),
              (std::vector<PrintFormat>{{"A", 1, 2, 3}}))
        << "incomplete trailing group dropped";
}

TEST(FormatTexts, NumbersReadLikeAtoiKeptToSixteenBits) {
    const std::pair<const char*, uint16_t> rows[] = {{"12cm", 12}, {"-1", 65535},   {"-65535", 1},
                                                     {"65536", 0}, {"70000", 4464}, {"", 0}};
    for (const auto& [text, value] : rows) {
        const auto formats = formatsFromTexts({"F", text, "1", "2"});
        ASSERT_EQ(formats.size(), 1u);
        EXPECT_EQ(formats[0].heightCm, value) << text;
    }
}

Bytes formatRecords(size_t index, const std::string& name, const std::string& h,
                    const std::string& w, const std::string& b) {
    const std::string i = std::to_string(index);
    return concat({stringRecord("RECADNAME" + i, name), stringRecord("RECADH" + i, h),
                   stringRecord("RECADW" + i, w), stringRecord("RECADWHITEB" + i, b)});
}

struct LoadRow {
    const char* description;
    Bytes file;
    Texts expected;
};

class FormatListLoad : public ::testing::TestWithParam<LoadRow> {};

TEST_P(FormatListLoad, FromHandBuiltFile) {
    TempFolder folder;
    writeBytes(folder.file(), GetParam().file);
    Settings settings(folder.file());
    Texts texts{"left over"};
    settings.loadFormats(texts);
    EXPECT_EQ(texts, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FormatListLoad,
    ::testing::Values(
        LoadRow{"index 1 missing",
                concat({longRecord("NBRECAD", 2), formatRecords(0, "Photo", "15", "10", "4")}),
                {"Photo", "15", "10", "4", "-", "1", "1", "1"}},
        LoadRow{"one key of index 0 missing",
                concat({longRecord("NBRECAD", 1), stringRecord("RECADNAME0", "Carré"),
                        stringRecord("RECADW0", "20")}),
                {"Carré", "1", "20", "1"}},
        LoadRow{"numbers stored as texts without digits",
                concat({longRecord("NBRECAD", 1), formatRecords(0, "X", "haut", "", " 7")}),
                {"X", "haut", "", " 7"}},
        LoadRow{"negative count",
                concat({longRecord("NBRECAD", -3), formatRecords(0, "X", "1", "2", "3")}),
                {}},
        LoadRow{"count stored as a string",
                concat({stringRecord("NBRECAD", "1"), formatRecords(0, "X", "1", "2", "3")}),
                {}},
        LoadRow{"height stored as a long",
                concat({longRecord("NBRECAD", 1), stringRecord("RECADNAME0", "X"),
                        longRecord("RECADH0", 9), stringRecord("RECADW0", "2"),
                        stringRecord("RECADWHITEB0", "3")}),
                {"X", "1", "2", "3"}}),
    [](const auto& info) { return rowName(info.param.description); });

// "NAME=value" for every record of the file.
Texts recordsIn(const std::filesystem::path& path) {
    Texts out;
    for (const auto& record : decodeFile(readBytes(path)).value_or(std::vector<DecodedRecord>{})) {
        out.push_back(record.name + "=" +
                      (record.type == 4 ? std::to_string(longOfBlock(record.value))
                                        : textOfBlock(record.value)));
    }
    return out;
}

TEST(FormatList, DefaultFormatSavedAsCountAndFourTexts) {
    TempFolder folder;
    Settings settings(folder.file());
    settings.saveFormats(formatsToTexts({PrintFormat{}}));
    EXPECT_EQ(
        readBytes(folder.file()),
        concat({longRecord("NBRECAD", 1), formatRecords(0, "Défaut 10x15", "15", "10", "4")}));
}

TEST(FormatList, ShorterListRemovesStaleKeysLongerAppends) {
    TempFolder folder;
    Bytes file = longRecord("NBRECAD", 5);
    for (size_t i = 0; i < 5; ++i) {
        file = concat({file, formatRecords(i, "Old" + std::to_string(i), "1", "2", "3")});
    }
    writeBytes(folder.file(), file);
    Settings settings(folder.file());
    const Texts three = {"A", "10", "15", "0", "B", "13", "18", "4", "C", "20", "30", "5"};
    settings.saveFormats(three);
    EXPECT_EQ(recordsIn(folder.file()),
              (Texts{"NBRECAD=3", "RECADNAME0=A", "RECADH0=10", "RECADW0=15", "RECADWHITEB0=0",
                     "RECADNAME1=B", "RECADH1=13", "RECADW1=18", "RECADWHITEB1=4", "RECADNAME2=C",
                     "RECADH2=20", "RECADW2=30", "RECADWHITEB2=5"}));

    const Texts four = {"A", "10", "15", "0", "B", "13", "18", "4",
                        "C", "20", "30", "5", "D", "1",  "2",  "3"};
    settings.saveFormats(four);
    const Bytes afterFour = readBytes(folder.file());
    EXPECT_EQ(afterFour.size(), 28 + 16 * 1048u);
    settings.saveFormats(four);
    EXPECT_EQ(readBytes(folder.file()), afterFour) << "unchanged list rewrites in place";
    Texts loaded;
    settings.loadFormats(loaded);
    EXPECT_EQ(loaded, four);

    settings.saveFormats({});
    EXPECT_EQ(recordsIn(folder.file()), Texts{"NBRECAD=0"});
    settings.loadFormats(loaded);
    EXPECT_TRUE(loaded.empty());
}

} // namespace
