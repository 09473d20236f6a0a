#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
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
    Link("b.jpg", "a.jpg");      // a.jpg -> b.jpg -> a.jpg
    Link("a.jpg", "b.jpg");
    Link("self.jpg", "self.jpg");
    Link("d2", "d1"); // two folders' names leading to each other
    Link("d1", "d2");
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

TEST_F(PhotoScan, SubfolderAnOrdinaryUserMayNotReadIsSkipped) {
    // Permissions do not stop root, so the scan runs in a child that has given up root for
    // the "nobody" account when the tests run as root; it sends back what it listed.
    Touch("p.jpg");
    Folder("locked");
    Touch("locked/l.jpg");
    Folder("open");
    Touch("open/o.jpg");
    ASSERT_EQ(::chmod(root.c_str(), 0755), 0);
    ASSERT_EQ(::chmod((root + "locked").c_str(), 0), 0);
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
            _exit(2);
        }
        std::string listed;
        for (const std::string& photo : Scan(true)) {
            listed += photo + '\n';
        }
        _exit(::write(fds[1], listed.data(), listed.size()) == ssize_t(listed.size()) ? 0 : 3);
    }
    ::close(fds[1]);
    std::string listed;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) {
        listed.append(buffer, static_cast<size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ::chmod((root + "locked").c_str(), 0755);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(listed, root + "open/o.jpg\n" + root + "p.jpg\n");
}

TEST_F(PhotoScan, ThousandsOfPhotosAreListedInNameOrder) {
    constexpr int kPhotos = 3000;
    char name[32];
    for (int i = kPhotos - 1; i >= 0; --i) {
        std::snprintf(name, sizeof name, i % 2 == 0 ? "IMG_%05d.JPG" : "img_%05d.jpg", i);
        Touch(name);
        Touch(std::to_string(i) + ".txt");
    }
    const std::vector<std::string> photos = Scan(true);
    ASSERT_EQ(photos.size(), static_cast<size_t>(kPhotos));
    for (int i = 0; i < kPhotos; ++i) {
        std::snprintf(name, sizeof name, i % 2 == 0 ? "IMG_%05d.JPG" : "img_%05d.jpg", i);
        ASSERT_EQ(photos[i], root + name);
    }
}

} // namespace
