#include "naming/BatchRename.h"

#include "support/ExifJpegFixture.h"
#include "support/PhotoFixtures.h"

#include <QTemporaryDir>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class BatchRename : public ::testing::Test {
protected:
    // A photo at root + name whose bytes end with tail; date as EXIF writes it, or none.
    void photo(const std::string& name, const std::string& tail, const std::string& date = "") {
        EXPECT_TRUE(fixture::writeJpeg(m_root + name, date, tail));
    }
    // The tail of the file at root + name, "" when there is none.
    std::string tailOf(const std::string& name) const {
        const std::string bytes = fixture::readAll(m_root + name);
        return bytes.substr(std::min(bytes.size(), bytes.rfind('\xD9') + 1));
    }
    [[nodiscard]] std::vector<std::string> namesIn(const std::string& folder) const {
        return fixtures::folderEntries(m_root + folder);
    }

    QTemporaryDir m_dir;
    const std::string m_root = m_dir.path().toStdString() + "/";
};

TEST_F(BatchRename, FolderPrefixesMustExistUpToTheLastSlash) {
    fs::create_directory(m_root + "photos");
    const std::pair<std::string, bool> rows[] = {
        {"/", true},
        {m_root + "photos/missing", true},
        {m_root + "photos/missing/", false},
        {m_root + "missing/photos", false},
        {"", false},
    };
    for (const auto& [folder, expected] : rows) {
        EXPECT_EQ(folderPrefixesExist(folder), expected) << folder;
    }
    std::vector<std::string> photos{"left over"};
    EXPECT_EQ(listPhotosToRename(m_root + "nope/x/", photos), RenameFolderCheck::IncorrectFolder);
    EXPECT_TRUE(photos.empty());
    EXPECT_EQ(listPhotosToRename(m_root + "photos", photos), RenameFolderCheck::NoPhotos);
}

TEST_F(BatchRename, MovesNeverReplaceAnExistingTarget) {
    for (const auto move : {&moveFileNoReplace, &moveFileByLink}) {
        photo("a.jpg", "A");
        photo("b.jpg", "B");
        EXPECT_EQ(move(m_root + "a.jpg", m_root + "b.jpg"), MoveOutcome::TargetExists);
        EXPECT_EQ(tailOf("b.jpg"), "B");
        EXPECT_EQ(move(m_root + "a.jpg", m_root + "c.jpg"), MoveOutcome::Moved);
        EXPECT_EQ(tailOf("c.jpg"), "A");
        EXPECT_EQ(move(m_root + "missing.jpg", m_root + "d.jpg"), MoveOutcome::Failed);
        EXPECT_EQ(namesIn(""), (std::vector<std::string>{"b.jpg", "c.jpg"}));
        fs::remove(m_root + "b.jpg");
        fs::remove(m_root + "c.jpg");
    }
}

TEST_F(BatchRename, RenamesEachPhotoInsideItsOwnFolderByShotDate) {
    fs::create_directory(m_root + "Vacances");
    photo("IMG_0001.JPG", "1", "2006:07:14 10:20:30");
    photo("IMG_0002.jpg", "2", "2006:07:14 11:00:00");
    photo("Vacances/IMG_0003.jpg", "3", "2007:01:02 08:00:00");
    std::vector<std::string> photos;
    ASSERT_EQ(listPhotosToRename(m_root, photos), RenameFolderCheck::Ok);
    std::vector<int> progress;
    const RenameTally tally =
        renamePhotos(photos, "Photos_%dc_%i", [&](int percent) { progress.push_back(percent); });
    EXPECT_EQ(tally.renamed, 3);
    EXPECT_EQ(tally.kept, 0);
    EXPECT_EQ(progress, (std::vector<int>{0, 33, 66}));
    EXPECT_EQ(tailOf("Photos_20060714_000.jpg"), "1");
    EXPECT_EQ(tailOf("Photos_20060714_001.jpg"), "2");
    EXPECT_EQ(namesIn("Vacances"), (std::vector<std::string>{"Photos_20070102_000.jpg"}));
}

TEST_F(BatchRename, PhotoWithoutAFreeTargetInItsFolderKeepsItsName) {
    photo("a.jpg", "first", "2006:07:14 10:20:30");
    photo("b.jpg", "second", "2006:07:14 10:20:30");
    RenameTally tally = renamePhotos({m_root + "a.jpg", m_root + "b.jpg"}, "Day_%dc", {});
    EXPECT_EQ(tally.renamed, 1);
    EXPECT_EQ(tally.kept, 1);
    EXPECT_EQ(tailOf("Day_20060714.jpg"), "first");
    EXPECT_EQ(renamePhotos({m_root + "b.jpg"}, "../out_%f", {}).kept, 1);
    for (int i = 0; i < 1000; ++i) { // every index of "X_%i" taken
        char name[16];
        std::snprintf(name, sizeof name, "X_%.3d.jpg", i);
        std::ofstream(m_root + name) << i;
    }
    EXPECT_EQ(renamePhotos({m_root + "b.jpg"}, "X_%i", {}).kept, 1);
    EXPECT_EQ(tailOf("b.jpg"), "second");
    EXPECT_EQ(namesIn("").size(), 1002u);
}

// The free index is looked for among the names of the moment: a name freed by an earlier
// rename of the run is reused; a folder, a link or a file made behind the run's back is taken.
TEST_F(BatchRename, IndexFollowsTheNamesOfTheMoment) {
    photo("X_000.jpg", "old zero");
    photo("Y.jpg", "y");
    photo("Z.jpg", "z");
    fs::create_directory(m_root + "X_001.jpg");
    fs::create_symlink(m_root + "nowhere", m_root + "X_002.jpg");
    int calls = 0;
    const RenameTally tally =
        renamePhotos({m_root + "X_000.jpg", m_root + "Y.jpg", m_root + "Z.jpg"}, "X_%i", [&](int) {
            if (calls++ == 1) {
                photo("X_004.jpg", "intruder");
            }
        });
    EXPECT_EQ(tally.renamed, 3);
    EXPECT_EQ(tailOf("X_003.jpg"), "old zero");
    EXPECT_EQ(tailOf("X_000.jpg"), "y");
    EXPECT_EQ(tailOf("X_004.jpg"), "intruder");
    EXPECT_EQ(tailOf("X_005.jpg"), "z");
}

} // namespace
