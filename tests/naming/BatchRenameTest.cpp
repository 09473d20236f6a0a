#include "naming/BatchRename.h"

#include "support/ExifJpegFixture.h"
#include "support/PhotoFixtures.h"

#include <QTemporaryDir>
#include <filesystem>
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

} // namespace
