#include "naming/BackgroundScan.h"

#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

TEST(BackgroundScan, HandsOverTheListOfTheFoldersItWasStartedFor) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/";
    for (const char* name : {"b.JPG", "a.jpg", "notes.txt"})
        std::ofstream(folder + name) << 'x';
    const std::string results = folder + "results/";
    const std::vector<std::string> expected = {folder + "a.jpg", folder + "b.JPG"};

    BackgroundScan scan;
    EXPECT_FALSE(scan.take(folder, results, false)) << "nothing started";
    scan.start(folder, results, false);
    EXPECT_EQ(scan.take(folder, results, false), expected);
    EXPECT_FALSE(scan.take(folder, results, false)) << "taken once";

    // clang-format off
    struct Row { const char* description; std::string folder; std::string destination; bool recurse; };
    const Row others[] = {
        {"another working folder", folder + "sub/", results, false},
        {"another destination", folder, folder + "other/", false},
        {"subfolders asked for", folder, results, true},
    };
    // clang-format on
    for (const Row& row : others) {
        scan.start(folder, results, false);
        EXPECT_FALSE(scan.take(row.folder, row.destination, row.recurse)) << row.description;
    }
}
