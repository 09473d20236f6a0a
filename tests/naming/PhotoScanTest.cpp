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

    QTemporaryDir dir;
    std::string root;
};

TEST_F(PhotoScan, JpgFilesOneLevelDeepInCaseBlindNameOrder) {
    for (const char* name :
         {"b.jpg", "B.jpg", "a2.JPG", "A1.jpg", "_x.jpg", "Z.jpg", "a.jpeg", "c.jpg.txt", "gjpg"}) {
        Touch(name);
    }
    Folder("m.jpg");
    Touch("m.jpg/x.Jpg");
    Folder("m.jpg/deeper");
    Touch("m.jpg/deeper/c.jpg");
    EXPECT_EQ(Scan(false), Paths({"_x.jpg", "A1.jpg", "a2.JPG", "B.jpg", "b.jpg", "Z.jpg"}));
    EXPECT_EQ(Scan(true),
              Paths({"_x.jpg", "A1.jpg", "a2.JPG", "B.jpg", "b.jpg", "m.jpg/x.Jpg", "Z.jpg"}))
        << "subfolder photos where the folder's name falls, never deeper";
}

TEST_F(PhotoScan, AppendsAndLeavesTheListAloneWithoutPhotos) {
    std::vector<std::string> photos = {"/kept.jpg"};
    ScanPhotoFolder(root + "missing/", photos, true);
    ScanPhotoFolder(root, photos, true);
    ScanPhotoFolder("", photos, true);
    EXPECT_EQ(photos, (std::vector<std::string>{"/kept.jpg"}));
    Touch("p.jpg");
    ScanPhotoFolder(dir.path().toStdString(), photos, false); // no trailing slash
    EXPECT_EQ(photos, (std::vector<std::string>{"/kept.jpg", root + "p.jpg"}));
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
