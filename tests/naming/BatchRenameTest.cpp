#include "naming/BatchRename.h"

#include "support/ExifJpegFixture.h"
#include "support/PhotoFixtures.h"
#include "support/ReadOnlyFolder.h"

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
    photo("Vacances/IMG_0003.jpg", "3", "2007:01:02 08:00:00");
    std::vector<std::string> photos;
    ASSERT_EQ(listPhotosToRename(m_root, photos), RenameFolderCheck::Ok);
    std::vector<int> progress;
    const RenameTally tally =
        renamePhotos(photos, "Photos_%dc_%i", [&](int percent) { progress.push_back(percent); });
    EXPECT_EQ(tally.renamed, 2);
    EXPECT_EQ(tally.skipped, 0);
    EXPECT_EQ(progress, (std::vector<int>{0, 50}));
    EXPECT_EQ(tailOf("Photos_20060714_000.jpg"), "1");
    EXPECT_EQ(namesIn("Vacances"), (std::vector<std::string>{"Photos_20070102_000.jpg"}));
}

// Every index of "X_%i" is taken: the photos keep their names (skipped), and a move the
// file system refuses is told apart (failed).
TEST_F(BatchRename, TallyTellsSkippedPhotosFromFailedMoves) {
    fs::create_directory(m_root + "locked");
    photo("b.jpg", "b");
    photo("d.jpg", "d");
    photo("locked/c.jpg", "c");
    for (int i = 0; i < 1000; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "X_%.3d.jpg", i);
        std::ofstream(m_root + name) << i;
    }
    const ReadOnlyFolder locked(m_root + "locked");
    if (!locked.works()) {
        GTEST_SKIP() << "no way to make a folder refuse a rename here";
    }
    const RenameTally tally =
        renamePhotos({m_root + "b.jpg", m_root + "locked/c.jpg", m_root + "d.jpg"}, "X_%i", {});
    EXPECT_EQ(tally.renamed, 0);
    EXPECT_EQ(tally.skipped, 2);
    EXPECT_EQ(tally.failed, 1);
    EXPECT_EQ(tailOf("b.jpg"), "b");
    EXPECT_EQ(tailOf("locked/c.jpg"), "c");
    EXPECT_EQ(namesIn("").size(), 1003u);
}

// The preview of the first photos, then the run on the same folder: every photo is where the
// preview said, and the tally counts what the preview announced.
TEST_F(BatchRename, PreviewShowsWhatTheRunThenDoes) {
    // clang-format off
    struct Shown { std::string photo; std::string newName; RenameOutcome outcome; };
    // photos (file, EXIF shot date)
    struct Row { const char* name; std::vector<std::pair<std::string, std::string>> photos; std::string mask;
        std::size_t count; std::vector<Shown> expected; };
    // clang-format on
    constexpr auto kRenamed = RenameOutcome::Renamed;
    constexpr auto kSkipped = RenameOutcome::Skipped;
    constexpr auto kFailed = RenameOutcome::Failed;
    const std::string day = "2006:07:14 10:20:30";
    // clang-format off
    const Row rows[] = {
        {"plain index", {{"a.jpg", ""}, {"b.jpg", ""}}, "P_%i", kRenamePreviewCount,
         {{"a.jpg", "P_000.jpg", kRenamed}, {"b.jpg", "P_001.jpg", kRenamed}}},
        {"shot date from EXIF, one index run per day",
         {{"a.jpg", day}, {"b.jpg", "2007:01:02 08:00:00"}, {"c.jpg", day}}, "D_%dc_%i",
         kRenamePreviewCount,
         {{"a.jpg", "D_20060714_000.jpg", kRenamed}, {"b.jpg", "D_20070102_000.jpg", kRenamed},
          {"c.jpg", "D_20060714_001.jpg", kRenamed}}},
        {"own name kept, upper-case extension lowered", {{"a.jpg", ""}, {"B.JPG", ""}}, "%f",
         kRenamePreviewCount, {{"a.jpg", "a.jpg", kSkipped}, {"B.JPG", "B.jpg", kRenamed}}},
        {"existing names take the next free index, the photo's own included", {{"a.jpg", ""}, {"b.jpg", ""}, {"P_000.jpg", ""}}, "P_%i",
         kRenamePreviewCount, {{"a.jpg", "P_001.jpg", kRenamed}, {"b.jpg", "P_002.jpg", kRenamed}, {"P_000.jpg", "P_003.jpg", kRenamed}}},
        {"no index: a name taken by an earlier photo is skipped", {{"a.jpg", day}, {"b.jpg", day}}, "Day_%dc", kRenamePreviewCount,
         {{"a.jpg", "Day_20060714.jpg", kRenamed}, {"b.jpg", "b.jpg", kSkipped}}},
        {"a name outside the photo's folder fails", {{"a.jpg", ""}}, "../out_%f", kRenamePreviewCount, {{"a.jpg", "a.jpg", kFailed}}},
        {"the first photos only", {{"a.jpg", ""}, {"b.jpg", ""}, {"c.jpg", ""}}, "Q_%i", 2,
         {{"a.jpg", "Q_000.jpg", kRenamed}, {"b.jpg", "Q_001.jpg", kRenamed}}},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string subfolder = std::to_string(&row - rows) + "/";
        const std::string folder = m_root + subfolder;
        fs::create_directory(folder);
        for (const auto& [file, date] : row.photos) {
            ASSERT_TRUE(fixture::writeJpeg(folder + file, date, file));
        }
        std::vector<std::string> photos;
        ASSERT_EQ(listPhotosToRename(folder, photos), RenameFolderCheck::Ok);

        const std::vector<std::string> before = fixtures::folderEntries(folder);
        const std::vector<RenamePreviewRow> preview = previewRenames(photos, row.mask, row.count);
        EXPECT_EQ(fixtures::folderEntries(folder), before) << "the preview moves nothing";
        ASSERT_EQ(preview.size(), row.expected.size());
        RenameTally announced;
        for (std::size_t i = 0; i < preview.size(); ++i) {
            EXPECT_EQ(preview[i].photo, folder + row.expected[i].photo) << i;
            EXPECT_EQ(preview[i].newPath, folder + row.expected[i].newName) << i;
            EXPECT_EQ(preview[i].outcome, row.expected[i].outcome) << i;
            const RenameOutcome outcome = preview[i].outcome;
            ++(outcome == kRenamed   ? announced.renamed
               : outcome == kSkipped ? announced.skipped
                                     : announced.failed);
        }

        const RenameTally tally = renamePhotos(photos, row.mask, {});
        for (const Shown& shown : row.expected) {
            EXPECT_EQ(tailOf(subfolder + shown.newName), shown.photo) << shown.newName;
        }
        if (row.count >= photos.size()) {
            EXPECT_EQ(tally.renamed, announced.renamed);
            EXPECT_EQ(tally.skipped, announced.skipped);
            EXPECT_EQ(tally.failed, announced.failed);
        }
    }
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
