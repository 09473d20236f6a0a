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
    const Texts texts = FormatsToTexts(formats);
    EXPECT_EQ(texts, (Texts{"Défaut 10x15", "15", "10", "4", "Grand 30x45", "45", "30", "0",
                            "Limite", "65535", "0", "65535"}));
    EXPECT_EQ(FormatsFromTexts(texts), formats);
    EXPECT_EQ(FormatsFromTexts({"A", "1", "2", "3", "B", "4"}),
              (std::vector<PrintFormat>{{"A", 1, 2, 3}}))
        << "incomplete trailing group dropped";
}

TEST(FormatTexts, NumbersReadLikeAtoiKeptToSixteenBits) {
    const std::pair<const char*, uint16_t> rows[] = {{"12cm", 12}, {"-1", 65535},   {"-65535", 1},
                                                     {"65536", 0}, {"70000", 4464}, {"", 0}};
    for (const auto& [text, value] : rows) {
        const auto formats = FormatsFromTexts({"F", text, "1", "2"});
        ASSERT_EQ(formats.size(), 1u);
        EXPECT_EQ(formats[0].heightCm, value) << text;
    }
}

Bytes FormatRecords(size_t index, const std::string& name, const std::string& h,
                    const std::string& w, const std::string& b) {
    const std::string i = std::to_string(index);
    return Concat({StringRecord("RECADNAME" + i, name), StringRecord("RECADH" + i, h),
                   StringRecord("RECADW" + i, w), StringRecord("RECADWHITEB" + i, b)});
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

// "NAME=value" for every record of the file.
Texts RecordsIn(const std::filesystem::path& path) {
    Texts out;
    for (const auto& record : DecodeFile(ReadBytes(path)).value_or(std::vector<DecodedRecord>{})) {
        out.push_back(record.name + "=" +
                      (record.type == 4 ? std::to_string(LongOfBlock(record.value))
                                        : TextOfBlock(record.value)));
    }
    return out;
}

TEST(FormatList, DefaultFormatSavedAsCountAndFourTexts) {
    TempFolder folder;
    CSettings settings(folder.File());
    settings.SaveFormats(FormatsToTexts({PrintFormat{}}));
    EXPECT_EQ(
        ReadBytes(folder.File()),
        Concat({LongRecord("NBRECAD", 1), FormatRecords(0, "Défaut 10x15", "15", "10", "4")}));
}

TEST(FormatList, ShorterListRemovesStaleKeysLongerAppends) {
    TempFolder folder;
    Bytes file = LongRecord("NBRECAD", 5);
    for (size_t i = 0; i < 5; ++i) {
        file = Concat({file, FormatRecords(i, "Old" + std::to_string(i), "1", "2", "3")});
    }
    WriteBytes(folder.File(), file);
    CSettings settings(folder.File());
    const Texts three = {"A", "10", "15", "0", "B", "13", "18", "4", "C", "20", "30", "5"};
    settings.SaveFormats(three);
    EXPECT_EQ(RecordsIn(folder.File()),
              (Texts{"NBRECAD=3", "RECADNAME0=A", "RECADH0=10", "RECADW0=15", "RECADWHITEB0=0",
                     "RECADNAME1=B", "RECADH1=13", "RECADW1=18", "RECADWHITEB1=4", "RECADNAME2=C",
                     "RECADH2=20", "RECADW2=30", "RECADWHITEB2=5"}));

    const Texts four = {"A", "10", "15", "0", "B", "13", "18", "4",
                        "C", "20", "30", "5", "D", "1",  "2",  "3"};
    settings.SaveFormats(four);
    const Bytes afterFour = ReadBytes(folder.File());
    EXPECT_EQ(afterFour.size(), 28 + 16 * 1048u);
    settings.SaveFormats(four);
    EXPECT_EQ(ReadBytes(folder.File()), afterFour) << "unchanged list rewrites in place";
    Texts loaded;
    settings.LoadFormats(loaded);
    EXPECT_EQ(loaded, four);

    settings.SaveFormats({});
    EXPECT_EQ(RecordsIn(folder.File()), Texts{"NBRECAD=0"});
    settings.LoadFormats(loaded);
    EXPECT_TRUE(loaded.empty());
}

} // namespace
