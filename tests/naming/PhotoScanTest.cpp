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

TEST_F(PhotoScan, ResultsInTheDestinationAreNotPhotosToCrop) {
    Folder("work");
    Touch("work/p.jpg");
    Folder("work/trip");
    Touch("work/trip/t.jpg");
    Folder("work/out");
    Touch("work/out/Photos_20060714_000.jpg");
    Folder("work/out/deeper");
    Folder("work/out2"); // a name that merely starts like the destination's
    Touch("work/out2/o.jpg");
    Link(root + "work/out", "work/linked-out");
    Folder("beside");
    Touch("beside/b.jpg");
    const std::vector<std::string> all = {"linked-out/Photos_20060714_000.jpg",
                                          "out/Photos_20060714_000.jpg", "out2/o.jpg", "p.jpg",
                                          "trip/t.jpg"};
    const std::vector<std::string> noResults = {"out2/o.jpg", "p.jpg", "trip/t.jpg"};
    struct Row {
        const char* name;
        std::string destination;
        std::vector<std::string> expected;
    };
    const std::vector<Row> rows{
        {"a subfolder: its results and a link to it are left out", root + "work/out/", noResults},
        {"the same subfolder spelt another way", root + "work/trip/../out", noResults},
        {"the same subfolder through a link", root + "work/linked-out/", noResults},
        {"a folder below a subfolder: only that one", root + "work/out/deeper/", all},
        {"the working folder itself: nothing left out", root + "work/", all},
        {"the working folder spelt another way", root + "work/trip/..", all},
        {"a folder above the working folder: nothing left out", root, all},
        {"a folder beside: nothing left out", root + "beside/", all},
        {"a destination that does not exist", root + "work/missing/", all},
        {"no destination", "", all},
    };
    const std::string working = root + "work/trip/../"; // another spelling of the same folder
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> expected;
        for (const std::string& relative : row.expected) {
            expected.push_back(working + relative);
        }
        EXPECT_EQ(ScanPhotosToCrop(working, row.destination, true), expected);
    }
    // Without recursion only the working folder's own photos: nothing to leave out there.
    EXPECT_EQ(ScanPhotosToCrop(root + "work/", root + "work/out/", false), Paths({"work/p.jpg"}));
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
