#include "naming/BatchRename.h"

#include "support/ExifJpegFixture.h"

#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string rootOf(const QTemporaryDir& dir) {
    return dir.path().toStdString() + "/";
}

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            names.insert(entry.path().filename().string());
        }
    }
    return names;
}

// Contents of every file under folder (one level of subfolders), counted.
std::map<std::string, int> contentsUnder(const std::string& folder) {
    std::map<std::string, int> contents;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            ++contents[fixture::readAll(entry.path().string())];
        }
    }
    return contents;
}

} // namespace

TEST(FolderPrefixesExist, ChecksEveryFolderBeforeASlash) {
    QTemporaryDir dir;
    const std::string root = rootOf(dir);
    fs::create_directory(root + "photos");
    struct Row {
        const char* description;
        std::string folder;
        bool expected;
    };
    const Row rows[] = {
        {"root", "/", true},
        {"existing folder with slash", root + "photos/", true},
        {"missing last folder, no slash", root + "photos/missing", true},
        {"missing last folder with slash", root + "photos/missing/", false},
        {"missing parent, no slash after last", root + "missing/photos", false},
        {"empty text", "", false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(folderPrefixesExist(row.folder), row.expected) << row.description;
    }
}

TEST(ListPhotosToRename, TellsIncorrectFolderFromEmptyFolder) {
    QTemporaryDir dir;
    const std::string root = rootOf(dir);
    fs::create_directory(root + "empty");
    fs::create_directory(root + "full");
    fs::create_directory(root + "full/sub");
    ASSERT_TRUE(fixture::writeJpeg(root + "full/a.jpg", ""));
    ASSERT_TRUE(fixture::writeJpeg(root + "full/sub/b.JPG", ""));

    std::vector<std::string> photos{"left over"};
    EXPECT_EQ(listPhotosToRename(root + "nope/x/", photos), RenameFolderCheck::IncorrectFolder);
    EXPECT_TRUE(photos.empty());
    EXPECT_EQ(listPhotosToRename(root + "empty/", photos), RenameFolderCheck::NoPhotos);
    EXPECT_EQ(listPhotosToRename(root + "absent", photos), RenameFolderCheck::NoPhotos);
    EXPECT_EQ(listPhotosToRename(root + "full", photos), RenameFolderCheck::Ok);
    EXPECT_EQ(photos.size(), 2u);
}

TEST(MoveFile, NeverReplacesAnExistingTarget) {
    using Move = MoveOutcome (*)(const std::string&, const std::string&);
    const std::pair<const char*, Move> ways[] = {{"renameat2", &moveFileNoReplace},
                                                 {"link and unlink", &moveFileByLink}};
    for (const auto& [way, move] : ways) {
        QTemporaryDir dir;
        const std::string root = rootOf(dir);
        ASSERT_TRUE(fixture::writeJpeg(root + "a.jpg", "", "A"));
        ASSERT_TRUE(fixture::writeJpeg(root + "b.jpg", "", "B"));

        EXPECT_EQ(move(root + "a.jpg", root + "b.jpg"), MoveOutcome::TargetExists) << way;
        EXPECT_TRUE(fixture::readAll(root + "a.jpg").ends_with("A")) << way;
        EXPECT_TRUE(fixture::readAll(root + "b.jpg").ends_with("B")) << way;

        EXPECT_EQ(move(root + "a.jpg", root + "c.jpg"), MoveOutcome::Moved) << way;
        EXPECT_FALSE(fs::exists(root + "a.jpg")) << way;
        EXPECT_TRUE(fixture::readAll(root + "c.jpg").ends_with("A")) << way;

        EXPECT_EQ(move(root + "missing.jpg", root + "d.jpg"), MoveOutcome::Failed) << way;
        EXPECT_EQ(move(root + "c.jpg", root + "no/such/folder.jpg"), MoveOutcome::Failed) << way;
        EXPECT_TRUE(fs::exists(root + "c.jpg")) << way;
    }
}

TEST(RenamePhotos, RenamesEachPhotoInsideItsOwnFolder) {
    QTemporaryDir dir;
    const std::string root = rootOf(dir);
    fs::create_directory(root + "Vacances");
    ASSERT_TRUE(fixture::writeJpeg(root + "IMG_0001.JPG", "2006:07:14 10:20:30"));
    ASSERT_TRUE(fixture::writeJpeg(root + "IMG_0002.jpg", "2006:07:14 11:00:00"));
    ASSERT_TRUE(fixture::writeJpeg(root + "Vacances/IMG_0003.jpg", "2007:01:02 08:00:00"));

    std::vector<std::string> photos;
    ASSERT_EQ(listPhotosToRename(root, photos), RenameFolderCheck::Ok);
    const RenameTally tally = renamePhotos(photos, "Photos_%dc_%i", {});

    EXPECT_EQ(tally.renamed, 3);
    EXPECT_EQ(tally.kept, 0);
    EXPECT_EQ(namesIn(root),
              (std::set<std::string>{"Photos_20060714_000.jpg", "Photos_20060714_001.jpg"}));
    EXPECT_EQ(namesIn(root + "Vacances"), (std::set<std::string>{"Photos_20070102_000.jpg"}));
}

TEST(RenamePhotos, APhotoWhoseTargetExistsKeepsItsName) {
    QTemporaryDir dir;
    const std::string root = rootOf(dir);
    ASSERT_TRUE(fixture::writeJpeg(root + "a.jpg", "2006:07:14 10:20:30", "first"));
    ASSERT_TRUE(fixture::writeJpeg(root + "b.jpg", "2006:07:14 10:20:30", "second"));

    std::vector<std::string> photos{root + "a.jpg", root + "b.jpg"};
    const RenameTally tally = renamePhotos(photos, "Day_%dc", {});

    EXPECT_EQ(tally.renamed, 1);
    EXPECT_EQ(tally.kept, 1);
    EXPECT_TRUE(fixture::readAll(root + "Day_20060714.jpg").ends_with("first"));
    EXPECT_TRUE(fixture::readAll(root + "b.jpg").ends_with("second"));
}

TEST(RenamePhotos, AMaskLeavingTheFolderRenamesNothingAndProgressTruncates) {
    QTemporaryDir dir;
    const std::string root = rootOf(dir);
    fs::create_directory(root + "sub");
    std::vector<std::string> photos;
    for (const char* name : {"a", "b", "c"}) {
        photos.push_back(root + "sub/" + name + ".jpg");
        ASSERT_TRUE(fixture::writeJpeg(photos.back(), ""));
    }
    std::vector<int> positions;
    const RenameTally tally =
        renamePhotos(photos, "../out_%f", [&](int percent) { positions.push_back(percent); });
    EXPECT_EQ(tally.kept, 3);
    EXPECT_TRUE(fs::exists(root + "sub/a.jpg"));
    EXPECT_FALSE(fs::exists(root + "out_a.jpg"));
    EXPECT_EQ(positions, (std::vector<int>{0, 33, 66}));
}

// A thousand photos, some without EXIF, some read-only, some in a folder that cannot be
// written, several named like the targets: nothing is lost, nothing is overwritten.
TEST(RenamePhotos, AThousandTroublesomePhotosAreAllKept) {
    QTemporaryDir dir;
    const std::string root = rootOf(dir);
    fs::create_directory(root + "locked");
    for (int i = 0; i < 1000; ++i) {
        const bool inLocked = i % 50 == 0;
        const std::string name = i % 97 == 0 ? "Photos_20060714_" + std::to_string(100 + i / 97)
                                             : "IMG_" + std::to_string(i);
        const std::string path = root + (inLocked ? "locked/" : "") + name + ".jpg";
        const std::string date = i % 5 == 0 ? "" : "2006:07:14 10:20:30";
        ASSERT_TRUE(fixture::writeJpeg(path, date, "#" + std::to_string(i)));
        if (i % 7 == 0) {
            ::chmod(path.c_str(), 0444);
        }
    }
    const bool lockable = ::geteuid() != 0;
    ::chmod((root + "locked").c_str(), 0555);
    const std::map<std::string, int> before = contentsUnder(root);

    std::vector<std::string> photos;
    ASSERT_EQ(listPhotosToRename(root, photos), RenameFolderCheck::Ok);
    ASSERT_EQ(photos.size(), 1000u);
    int progressCalls = 0;
    RenameTally tally = renamePhotos(photos, "Photos_%dc_%i", [&](int) { ++progressCalls; });
    EXPECT_EQ(progressCalls, 1000);
    EXPECT_EQ(tally.renamed + tally.kept, 1000);
    if (lockable) {
        EXPECT_EQ(tally.kept, 20); // the locked folder's photos
    }
    EXPECT_EQ(contentsUnder(root), before);

    // Again with a mask without index: every second photo of a day collides and stays.
    photos.clear();
    ASSERT_EQ(listPhotosToRename(root, photos), RenameFolderCheck::Ok);
    tally = renamePhotos(photos, "Same_%dc", {});
    EXPECT_EQ(tally.renamed + tally.kept, 1000);
    EXPECT_EQ(contentsUnder(root), before);
    EXPECT_TRUE(fs::exists(root + "Same_20060714.jpg"));

    ::chmod((root + "locked").c_str(), 0755);
}

// The free index is looked for among the names of the moment: a name freed by an earlier
// rename of the run is reused, a folder or a link of that name is taken.
TEST(RenamePhotos, IndexFollowsTheNamesTheRunFreesAndTakes) {
    QTemporaryDir dir;
    const std::string root = rootOf(dir);
    ASSERT_TRUE(fixture::writeJpeg(root + "X_000.jpg", "", "old zero"));
    ASSERT_TRUE(fixture::writeJpeg(root + "Y.jpg", "", "y"));
    fs::create_directory(root + "X_001.jpg");
    fs::create_symlink(root + "nowhere", root + "X_002.jpg");

    const RenameTally tally = renamePhotos({root + "X_000.jpg", root + "Y.jpg"}, "X_%i", {});
    EXPECT_EQ(tally.renamed, 2);
    EXPECT_TRUE(fixture::readAll(root + "X_003.jpg").ends_with("old zero"));
    EXPECT_TRUE(fixture::readAll(root + "X_000.jpg").ends_with("y"));
}

// A name taken behind the run's back after the folder was read is not overwritten: the
// next free index is used.
TEST(RenamePhotos, ANameTakenMeanwhileIsSkipped) {
    QTemporaryDir dir;
    const std::string root = rootOf(dir);
    ASSERT_TRUE(fixture::writeJpeg(root + "a.jpg", "", "a"));
    ASSERT_TRUE(fixture::writeJpeg(root + "b.jpg", "", "b"));
    int calls = 0;
    const RenameTally tally = renamePhotos({root + "a.jpg", root + "b.jpg"}, "P_%i", [&](int) {
        if (calls++ == 0) {
            fixture::writeJpeg(root + "P_001.jpg", "", "intruder");
        }
    });
    EXPECT_EQ(tally.renamed, 2);
    EXPECT_TRUE(fixture::readAll(root + "P_000.jpg").ends_with("a"));
    EXPECT_TRUE(fixture::readAll(root + "P_001.jpg").ends_with("intruder"));
    EXPECT_TRUE(fixture::readAll(root + "P_002.jpg").ends_with("b"));
}

// With every index from 000 to 999 taken the last one is tried, found taken, and the photo
// keeps its name.
TEST(RenamePhotos, AllIndexesTakenKeepsThePhoto) {
    QTemporaryDir dir;
    const std::string root = rootOf(dir);
    for (int i = 0; i < 1000; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "X_%.3d.jpg", i);
        std::ofstream(root + name) << i;
    }
    ASSERT_TRUE(fixture::writeJpeg(root + "p.jpg", ""));
    const RenameTally tally = renamePhotos({root + "p.jpg"}, "X_%i", {});
    EXPECT_EQ(tally.kept, 1);
    EXPECT_TRUE(fs::exists(root + "p.jpg"));
    EXPECT_EQ(namesIn(root).size(), 1001u);
}
