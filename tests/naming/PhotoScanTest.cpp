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
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    void touch(const std::string& relative) const { std::ofstream(m_root + relative) << "x"; }
    void folder(const std::string& relative) const {
        ASSERT_EQ(::mkdir((m_root + relative).c_str(), 0755), 0) << relative;
    }
    void link(const std::string& target, const std::string& relative) const {
        ASSERT_EQ(::symlink(target.c_str(), (m_root + relative).c_str()), 0) << relative;
    }
    [[nodiscard]] std::vector<std::string> paths(const std::vector<std::string>& relative,
                                                 const std::string& base = {}) const {
        std::vector<std::string> full;
        for (const std::string& r : relative) {
            full.push_back((base.empty() ? m_root : base) + r);
        }
        return full;
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
    for (const char* name :
         {"b.jpg", "B.jpg", "a2.JPG", "A1.jpg", "_x.jpg", "Z.jpg", "a.jpeg", "c.jpg.txt", "gjpg"}) {
        touch(name);
    }
    folder("m.jpg");
    touch("m.jpg/x.Jpg");
    folder("m.jpg/deeper");
    touch("m.jpg/deeper/c.jpg");
    EXPECT_EQ(scan(false), paths({"_x.jpg", "A1.jpg", "a2.JPG", "B.jpg", "b.jpg", "Z.jpg"}));
    EXPECT_EQ(scan(true),
              paths({"_x.jpg", "A1.jpg", "a2.JPG", "B.jpg", "b.jpg", "m.jpg/x.Jpg", "Z.jpg"}));
}

TEST_F(PhotoScan, AppendsAndLeavesTheListAloneWithoutPhotos) {
    std::vector<std::string> photos = {"/kept.jpg"};
    scanPhotoFolder(m_root + "missing/", photos, true);
    scanPhotoFolder(m_root, photos, true);
    scanPhotoFolder("", photos, true);
    EXPECT_EQ(photos, (std::vector<std::string>{"/kept.jpg"}));
    touch("p.jpg");
    scanPhotoFolder(m_dir.path().toStdString(), photos, false); // no trailing slash
    EXPECT_EQ(photos, (std::vector<std::string>{"/kept.jpg", m_root + "p.jpg"}));
}

TEST_F(PhotoScan, SymbolicLinksAreFollowedWithoutLooping) {
    touch("p.jpg");
    folder("sub");
    touch("sub/b.jpg");
    link(".", "loop");
    link("..", "sub/up");
    link(m_root, "again");
    link("p.jpg", "alias.jpg");
    link("nowhere.jpg", "dead.jpg");
    link(m_root + "sub", "other");
    link("b.jpg", "a.jpg"); // a.jpg -> b.jpg -> a.jpg
    link("a.jpg", "b.jpg");
    link("d2", "d1");
    link("d1", "d2");
    EXPECT_EQ(scan(true), paths({"alias.jpg", "other/b.jpg", "p.jpg", "sub/b.jpg"}));
    EXPECT_EQ(scan(false), paths({"alias.jpg", "p.jpg"}));
}

TEST_F(PhotoScan, ResultsInTheDestinationAreNotPhotosToCrop) {
    folder("work");
    touch("work/p.jpg");
    folder("work/out");
    touch("work/out/R.jpg");
    folder("work/out/deeper");
    folder("work/out2"); // a name that merely starts like the destination's
    touch("work/out2/o.jpg");
    link(m_root + "work/out", "work/linked-out");
    const std::vector<std::string> all = {"linked-out/R.jpg", "out/R.jpg", "out2/o.jpg", "p.jpg"};
    const std::vector<std::string> noResults = {"out2/o.jpg", "p.jpg"};
    const struct {
        const char* name;
        std::string destination;
        std::vector<std::string> expected;
    } rows[] = {
        {"a subfolder: its results and a link to it are left out", m_root + "work/out/", noResults},
        {"the same subfolder through a link", m_root + "work/linked-out", noResults},
        {"a folder below a subfolder: only that one", m_root + "work/out/deeper/", all},
        {"the working folder itself: nothing left out", m_root + "work/", all},
        {"a destination that does not exist", m_root + "work/missing/", all},
        {"no destination", "", all},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(scanPhotosToCrop(m_root + "work/", row.destination, true),
                  paths(row.expected, m_root + "work/"))
            << row.name;
    }
}

} // namespace
