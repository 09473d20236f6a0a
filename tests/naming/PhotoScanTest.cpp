#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "naming/PhotoScan.h"

namespace {

class PhotoScan : public ::testing::Test {
protected:
    // Makes each entry below the root: "name/" a folder, "name -> target" a symbolic link,
    // anything else a file.
    void make(const std::vector<std::string>& entries) const {
        for (const std::string& entry : entries) {
            const size_t arrow = entry.find(" -> ");
            if (arrow != std::string::npos) {
                std::filesystem::create_symlink(entry.substr(arrow + 4),
                                                m_root + entry.substr(0, arrow));
            } else if (entry.back() == '/') {
                std::filesystem::create_directory(m_root + entry);
            } else {
                std::ofstream(m_root + entry) << "x";
            }
        }
    }
    [[nodiscard]] static std::vector<std::string> paths(std::vector<std::string> names,
                                                        const std::string& base) {
        for (std::string& name : names) {
            name.insert(0, base);
        }
        return names;
    }
    [[nodiscard]] std::vector<std::string> scan(bool recurse) const {
        std::vector<std::string> photos;
        scanPhotoFolder(m_root, photos, recurse);
        return photos;
    }

    QTemporaryDir m_dir;
    const std::string m_root = m_dir.path().toStdString() + "/";
};

TEST_F(PhotoScan, JpgFilesOneLevelDeepInCaseBlindNameOrder) {
    make({"b.jpg", "B.jpg", "a2.JPG", "A1.jpg", "_x.jpg", "Z.jpg", "a.jpeg", "c.jpg.txt", "gjpg",
          "m.jpg/", "m.jpg/x.Jpg", "m.jpg/deeper/", "m.jpg/deeper/c.jpg"});
    EXPECT_EQ(scan(false),
              paths({"_x.jpg", "A1.jpg", "a2.JPG", "B.jpg", "b.jpg", "Z.jpg"}, m_root));
    EXPECT_EQ(
        scan(true),
        paths({"_x.jpg", "A1.jpg", "a2.JPG", "B.jpg", "b.jpg", "m.jpg/x.Jpg", "Z.jpg"}, m_root));
}

TEST_F(PhotoScan, SymbolicLinksAreFollowedWithoutLooping) {
    // a.jpg and b.jpg point at each other, so do d1 and d2.
    make({"p.jpg", "sub/", "sub/b.jpg", "loop -> .", "sub/up -> ..", "again -> " + m_root,
          "alias.jpg -> p.jpg", "dead.jpg -> nowhere.jpg", "other -> " + m_root + "sub",
          "a.jpg -> b.jpg", "b.jpg -> a.jpg", "d1 -> d2", "d2 -> d1"});
    EXPECT_EQ(scan(true), paths({"alias.jpg", "other/b.jpg", "p.jpg", "sub/b.jpg"}, m_root));
    EXPECT_EQ(scan(false), paths({"alias.jpg", "p.jpg"}, m_root));
}

TEST_F(PhotoScan, ResultsInTheDestinationAreNotPhotosToCrop) {
    // out2's name merely starts like the destination's.
    make({"work/", "work/p.jpg", "work/out/", "work/out/R.jpg", "work/out/deeper/", "work/out2/",
          "work/out2/o.jpg", "work/linked-out -> " + m_root + "work/out"});
    const std::vector<std::string> all = {"linked-out/R.jpg", "out/R.jpg", "out2/o.jpg", "p.jpg"};
    const std::vector<std::string> noResults = {"out2/o.jpg", "p.jpg"};
    // clang-format off
    const struct { const char* name; std::string destination; std::vector<std::string> expected; } rows[] = {
        {"a subfolder: its results and a link to it are left out", m_root + "work/out/", noResults},
        {"the same subfolder through a link", m_root + "work/linked-out", noResults},
        {"a folder below a subfolder: only that one", m_root + "work/out/deeper/", all},
        {"the working folder itself: nothing left out", m_root + "work/", all},
        {"a destination that does not exist", m_root + "work/missing/", all},
        {"no destination", "", all},
    };
    // clang-format on
    for (const auto& row : rows) {
        EXPECT_EQ(scanPhotosToCrop(m_root + "work/", row.destination, true),
                  paths(row.expected, m_root + "work/"))
            << row.name;
    }
}

} // namespace
