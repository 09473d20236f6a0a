#include <gtest/gtest.h>

#include <QDate>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "naming/ResultIndex.h"
#include "naming/ResultName.h"

namespace {

struct NameRow {
    const char* name;
    std::string photo;
    std::string mask;
    std::string result;
};

TEST(BuildResultName, ExpandsTagsWithoutIndex) {
    const std::vector<NameRow> rows = {
        {"folder and file name", "/photos/Vacances/IMG_0001.JPG", "/dest/%sr_%f",
         "/dest/Vacances_IMG_0001.jpg"},
        {"photo at the root has no folder name", "/IMG_0001.JPG", "/dest/%sr_%f",
         "/dest/_IMG_0001.jpg"},
        {"every occurrence of a tag", "/p/Noel/x.jpg", "/d/%f-%f-%sr-%sr", "/d/x-x-Noel-Noel.jpg"},
        {"mixed-case extension taken out", "/p/q/IMG.JpG", "/dest/%f", "/dest/IMG.jpg"},
        {"extension inside the destination folder taken out", "/p/q/a.jpg", "/out.JPG.d/%f",
         "/out.d/a.jpg"},
        {"other extensions stay", "/p/q/scan.jpeg", "/dest/%f", "/dest/scan.jpeg.jpg"},
        {"%r and %t stay for the caller", "/p/q/a.jpg", "/dest/%r_%t_%f", "/dest/%r_%t_a.jpg"},
        {"folder name replaced before the file name", "/p/x%f/IMG.JPG", "/d/%sr", "/d/xIMG.jpg"},
        {"a tag's own case only", "/p/q/a.jpg", "/d/%F_%SR", "/d/%F_%SR.jpg"},
        {"UTF-8 names pass through", "/p/Été/Noël.JPG", "/d/%sr %f", "/d/Été Noël.jpg"},
        {"path without folder returned unchanged", "IMG_0001.JPG", "/dest/%f_%i", "IMG_0001.JPG"},
        {"a newline in the folder and the file", "/p/a\nb/c\nd.jpg", "/d/%sr_%f",
         "/d/a\nb_c\nd.jpg"},
        {"bytes that are not UTF-8", "/p/\xE9t\xE9/\xFF\xFE.JPG", "/d/%sr%f",
         "/d/\xE9t\xE9\xFF\xFE.jpg"},
        {"a lone percent sign at the end", "/p/q/a.jpg", "/d/%f%", "/d/a%.jpg"},
        {"tags of the wrong case and unknown tags", "/p/q/a.jpg", "/d/%I%D%x%", "/d/%I%D%x%.jpg"},
        {"a mask that is only the folder", "/p/q/a.jpg", "/d/", "/d/.jpg"},
        {"an empty mask", "/p/q/a.jpg", "", ".jpg"},
        {"an empty file name", "/p/q/", "/d/%sr_%f", "/d/q_.jpg"},
        {"the .jpg text cut out leaves a new one", "/p/q/a.jpg", "/d/..jpgjpg", "/d/.jpg.jpg"},
    };
    for (const NameRow& row : rows) {
        int32_t index = 5;
        EXPECT_EQ(buildResultName(row.photo, row.mask, nullptr, &index), row.result) << row.name;
        EXPECT_EQ(index, kNoResultIndex) << row.name;
        EXPECT_EQ(buildResultName(row.photo, row.mask, nullptr, nullptr), row.result) << row.name;
    }
}

TEST(BuildResultName, TodayTag) {
    const std::string before = QDate::currentDate().toString("yyyyMMdd").toStdString();
    const std::string name = buildResultName("/p/q/a.jpg", "/d/%dj_%f", nullptr, nullptr);
    const std::string after = QDate::currentDate().toString("yyyyMMdd").toStdString();
    EXPECT_TRUE(name == "/d/" + before + "_a.jpg" || name == "/d/" + after + "_a.jpg") << name;
}

class IndexedNames : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    [[nodiscard]] std::string folder() const { return m_dir.path().toStdString() + "/"; }
    void touch(const std::string& name) const { std::ofstream(folder() + name) << "x"; }
    [[nodiscard]] std::string indexed(int i, const char* prefix = "R_") const {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%.3d", i);
        return folder() + prefix + digits + ".jpg";
    }

    QTemporaryDir m_dir;
};

TEST_F(IndexedNames, FirstFreeIndexFromZeroFillingGaps) {
    const std::string mask = folder() + "R_%i";
    int32_t index = kNoResultIndex;
    EXPECT_EQ(buildResultName("/p/q/a.jpg", mask, nullptr, &index), indexed(0));
    EXPECT_EQ(index, 0);

    touch("R_000.jpg");
    touch("R_003.jpg");
    ASSERT_EQ(::mkdir(indexed(1).c_str(), 0755), 0); // a folder takes the name too
    EXPECT_EQ(buildResultName("/p/q/c.jpg", mask, nullptr, &index), indexed(2));
    EXPECT_EQ(index, 2);

    touch("A000_B000.jpg");
    EXPECT_EQ(buildResultName("/p/q/a.jpg", folder() + "A%i_B%i", nullptr, &index),
              folder() + "A001_B001.jpg")
        << "every index tag gets the same number";
}

TEST_F(IndexedNames, AllTakenReusesLast) {
    for (int i = 0; i <= 999; ++i) {
        std::ofstream(indexed(i)) << "x";
    }
    int32_t index = kNoResultIndex;
    EXPECT_EQ(buildResultName("/p/q/a.jpg", folder() + "R_%i", nullptr, &index), indexed(999));
    EXPECT_EQ(index, 999);
}

TEST_F(IndexedNames, IndexComesAfterOtherTags) {
    touch("q_a_000.jpg");
    int32_t index = kNoResultIndex;
    EXPECT_EQ(buildResultName("/p/q/a.JPG", folder() + "%sr_%f_%i", nullptr, &index),
              folder() + "q_a_001.jpg");
    EXPECT_EQ(index, 1);
}

TEST_F(IndexedNames, PercentBeforeTheIndexAndPathsLongerThanTheSystemTakes) {
    int32_t index = kNoResultIndex;
    EXPECT_EQ(buildResultName("/p/q/a.jpg", folder() + "100%%i", nullptr, &index),
              folder() + "100%000.jpg");
    const std::string longName(5000, 'x');
    EXPECT_EQ(buildResultName("/p/q/a.jpg", folder() + longName + "%i", nullptr, &index),
              folder() + longName + "000.jpg");
    EXPECT_EQ(index, 0);
}

TEST_F(IndexedNames, MaskWithoutIndexIgnoresExistingFiles) {
    touch("a.jpg");
    int32_t index = 7;
    EXPECT_EQ(buildResultName("/p/q/a.jpg", folder() + "%f", nullptr, &index), folder() + "a.jpg");
    EXPECT_EQ(index, kNoResultIndex);
}

struct ReplaceRow {
    const char* name;
    std::string source, search, replacement, result;
};

TEST(ReplaceNoCase, Table) {
    const std::vector<ReplaceRow> rows = {
        {"empty search changes nothing", "IMG.JPG", "", "x", "IMG.JPG"},
        {"extension in upper case", "IMG.JPG", ".jpg", "", "IMG"},
        {"every occurrence, any case", "a.JPG/b.Jpg/c.jpg", ".jpg", "", "a/b/c"},
        {"rest keeps its case", "Hello WORLD hello", "HELLO", "x", "x WORLD x"},
        {"no overlap, from the left", "aaa", "aa", "b", "ba"},
        {"replacement is not searched again", "ab", "a", "aa", "aab"},
        {"search longer than source", "jp", ".jpg", "", "jp"},
        {"non-ASCII letters compared as bytes", "ÉTÉ", "été", "x", "ÉTÉ"},
    };
    for (const ReplaceRow& row : rows) {
        EXPECT_EQ(replaceNoCase(row.source, row.search, row.replacement), row.result) << row.name;
    }
}

} // namespace
