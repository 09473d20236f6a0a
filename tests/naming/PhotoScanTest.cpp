#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "naming/PhotoScan.h"

namespace {

class PhotoScan : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        root = dir.path().toStdString() + "/";
    }

    void Touch(const std::string& relative) const { std::ofstream(root + relative) << "x"; }
    void Folder(const std::string& relative) const {
        ASSERT_EQ(::mkdir((root + relative).c_str(), 0755), 0) << relative;
    }
    void Link(const std::string& target, const std::string& relative) const {
        ASSERT_EQ(::symlink(target.c_str(), (root + relative).c_str()), 0) << relative;
    }
    [[nodiscard]] std::vector<std::string> Paths(const std::vector<std::string>& relative) const {
        std::vector<std::string> full;
        for (const std::string& r : relative) {
            full.push_back(root + r);
        }
        return full;
    }
    [[nodiscard]] std::vector<std::string> Scan(bool recurse) const {
        std::vector<std::string> photos;
        ScanPhotoFolder(root, photos, recurse);
        return photos;
    }

    // p.jpg, IMG.JPG, a.jpeg, sub/b.jpg, sub/deeper/c.jpg, and a folder "m" sorting
    // between them.
    void MakeTree() const {
        Touch("p.jpg");
        Touch("IMG.JPG");
        Touch("a.jpeg");
        Folder("sub");
        Touch("sub/b.jpg");
        Folder("sub/deeper");
        Touch("sub/deeper/c.jpg");
        Folder("m");
        Touch("m/x.Jpg");
    }

    QTemporaryDir dir;
    std::string root;
};

TEST_F(PhotoScan, ListsJpgFilesOneLevelDeepInNameOrder) {
    MakeTree();
    struct Row {
        const char* name;
        bool recurse;
        std::vector<std::string> expected;
    };
    const std::vector<Row> rows = {
        {"without recursion, only the folder's own photos", false, {"IMG.JPG", "p.jpg"}},
        {"with recursion, subfolder photos where the folder's name falls, never deeper",
         true,
         {"IMG.JPG", "m/x.Jpg", "p.jpg", "sub/b.jpg"}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Scan(row.recurse), Paths(row.expected)) << row.name;
    }
}

TEST_F(PhotoScan, OrderIgnoresCaseThenUsesBytes) {
    for (const char* name : {"b.jpg", "B.jpg", "a2.JPG", "A1.jpg", "_x.jpg", "Z.jpg"}) {
        Touch(name);
    }
    EXPECT_EQ(Scan(false), Paths({"_x.jpg", "A1.jpg", "a2.JPG", "B.jpg", "b.jpg", "Z.jpg"}));
}

TEST_F(PhotoScan, OnlyTheJpgExtensionCounts) {
    for (const char* name : {"a.jpeg", "b.png", "c.jpg.txt", "d", "e.JPG", "f.jpG", "gjpg"}) {
        Touch(name);
    }
    Folder("folder.jpg");
    Touch("folder.jpg/inner.jpg");
    EXPECT_EQ(Scan(false), Paths({"e.JPG", "f.jpG"}));
    EXPECT_EQ(Scan(true), Paths({"e.JPG", "f.jpG", "folder.jpg/inner.jpg"}));
}

TEST_F(PhotoScan, AppendsToTheList) {
    Touch("p.jpg");
    std::vector<std::string> photos = {"/earlier.jpg"};
    ScanPhotoFolder(root, photos, false);
    EXPECT_EQ(photos, (std::vector<std::string>{"/earlier.jpg", root + "p.jpg"}));
}

TEST_F(PhotoScan, MissingOrEmptyFolderLeavesListUnchanged) {
    std::vector<std::string> photos = {"/kept.jpg"};
    ScanPhotoFolder(root + "missing/", photos, true);
    ScanPhotoFolder(root, photos, true);
    ScanPhotoFolder("", photos, true);
    EXPECT_EQ(photos, (std::vector<std::string>{"/kept.jpg"}));
}

TEST_F(PhotoScan, FolderWithoutTrailingSlash) {
    Touch("p.jpg");
    std::vector<std::string> photos;
    ScanPhotoFolder(dir.path().toStdString(), photos, false);
    EXPECT_EQ(photos, Paths({"p.jpg"}));
}

TEST_F(PhotoScan, SymbolicLinks) {
    Touch("p.jpg");
    Folder("sub");
    Touch("sub/b.jpg");
    Link(".", "loop");          // the folder itself
    Link("..", "sub/up");       // back up from a subfolder
    Link(root, "again");        // the folder again, by full path
    Link("p.jpg", "alias.jpg"); // a file by another name
    Link("nowhere.jpg", "dead.jpg");
    Link(root + "sub", "other"); // a folder elsewhere
    EXPECT_EQ(Scan(true), Paths({"alias.jpg", "other/b.jpg", "p.jpg", "sub/b.jpg"}));
    EXPECT_EQ(Scan(false), Paths({"alias.jpg", "p.jpg"}));
}

TEST_F(PhotoScan, UnreadableSubfolderIsSkipped) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop root";
    }
    Touch("p.jpg");
    Folder("locked");
    Touch("locked/l.jpg");
    ASSERT_EQ(::chmod((root + "locked").c_str(), 0), 0);
    EXPECT_EQ(Scan(true), Paths({"p.jpg"}));
    ::chmod((root + "locked").c_str(), 0755);
}

} // namespace
