#include <gtest/gtest.h>

#include <QDate>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <string>
#include <sys/stat.h>

#include "naming/ResultIndex.h"
#include "naming/ResultName.h"

namespace {

TEST(ResultName, ExpandsTagsWithoutIndex) {
    // clang-format off
    const struct { const char* name; std::string photo, mask, result; } rows[] = {
        {"folder and file name", "/photos/Vacances/IMG_0001.JPG", "/dest/%sr_%f", "/dest/Vacances_IMG_0001.jpg"},
        {"photo at the root has no folder name", "/IMG_0001.JPG", "/dest/%sr_%f", "/dest/_IMG_0001.jpg"},
        {"every occurrence of a tag", "/p/Noel/x.jpg", "/d/%f-%f-%sr-%sr", "/d/x-x-Noel-Noel.jpg"},
        {"extension inside the destination folder taken out", "/p/q/a.jpg", "/out.JPG.d/%f", "/out.d/a.jpg"},
        {"other extensions stay", "/p/q/scan.jpeg", "/dest/%f", "/dest/scan.jpeg.jpg"},
        {"%r and %t stay for the caller", "/p/q/a.jpg", "/dest/%r_%t_%f", "/dest/%r_%t_a.jpg"},
        {"folder name replaced before the file name", "/p/x%f/IMG.JPG", "/d/%sr", "/d/xIMG.jpg"},
        {"a tag's own case only, unknown tags kept", "/p/q/a.jpg", "/d/%F_%SR%I%x%", "/d/%F_%SR%I%x%.jpg"},
        {"bytes that are not UTF-8", "/p/\xE9t\xE9/\xFF\xFE.JPG", "/d/%sr%f", "/d/\xE9t\xE9\xFF\xFE.jpg"},
        {"path without folder returned unchanged", "IMG_0001.JPG", "/dest/%f_%i", "IMG_0001.JPG"},
        {"the .jpg text cut out leaves a new one", "/p/q/a.jpg", "/d/..jpgjpg", "/d/.jpg.jpg"},
    };
    // clang-format on
    for (const auto& row : rows) {
        int32_t index = 5;
        EXPECT_EQ(buildResultName(row.photo, row.mask, nullptr, &index), row.result) << row.name;
        EXPECT_EQ(index, kNoResultIndex) << row.name;
    }
    const std::string before = QDate::currentDate().toString("yyyyMMdd").toStdString();
    const std::string name = buildResultName("/p/q/a.jpg", "/d/%dj_%f", nullptr, nullptr);
    const std::string after = QDate::currentDate().toString("yyyyMMdd").toStdString();
    EXPECT_TRUE(name == "/d/" + before + "_a.jpg" || name == "/d/" + after + "_a.jpg") << name;
}

TEST(ResultName, IndexIsTheFirstFreeOneAfterTheOtherTags) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/";
    for (const char* taken : {"R_000.jpg", "R_003.jpg", "A000_B000.jpg", "q_a_000.jpg"}) {
        std::ofstream(folder + taken) << "x";
    }
    ASSERT_EQ(::mkdir((folder + "R_001.jpg").c_str(), 0755), 0); // a folder takes the name too
    ASSERT_EQ(::symlink("nowhere", (folder + "R_002.jpg").c_str()), 0); // so does a dead link
    // clang-format off
    const struct { const char* name; std::string mask; std::string result; int32_t index; } rows[] = {
        {"gaps filled from zero", "R_%i", "R_004.jpg", 4},
        {"every index tag gets the same number", "A%i_B%i", "A001_B001.jpg", 1},
        {"after the folder and file tags", "%sr_%f_%i", "q_a_001.jpg", 1},
        {"a percent sign before the tag", "100%%i", "100%000.jpg", 0},
        {"a mask without index ignores existing files", "R_000", "R_000.jpg", kNoResultIndex},
    };
    // clang-format on
    for (const auto& row : rows) {
        int32_t index = kNoResultIndex;
        EXPECT_EQ(buildResultName("/p/q/a.JPG", folder + row.mask, nullptr, &index),
                  folder + row.result)
            << row.name;
        EXPECT_EQ(index, row.index) << row.name;
    }
    for (int i = 0; i <= 999; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "R_%.3d.jpg", i);
        std::ofstream(folder + name) << "x";
    }
    int32_t index = kNoResultIndex;
    EXPECT_EQ(buildResultName("/p/q/a.jpg", folder + "R_%i", nullptr, &index), folder + "R_999.jpg")
        << "all taken: the last one";
    EXPECT_EQ(index, 999);
}

} // namespace
