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
        ASSERT_TRUE(m_dir.isValid());
        m_root = m_dir.path().toStdString() + "/";
    }

    void touch(const std::string& relative) const { std::ofstream(m_root + relative) << "x"; }
    void folder(const std::string& relative) const {
        ASSERT_EQ(::mkdir((m_root + relative).c_str(), 0755), 0) << relative;
    }
    void link(const std::string& target, const std::string& relative) const {
        ASSERT_EQ(::symlink(target.c_str(), (m_root + relative).c_str()), 0) << relative;
    }
    [[nodiscard]] std::vector<std::string> paths(const std::vector<std::string>& relative) const {
        std::vector<std::string> full;
        for (const std::string& r : relative) {
            full.push_back(m_root + r);
        }
        return full;
    }
    [[nodiscard]] std::vector<std::string> scan(bool recurse) const {
        std::vector<std::string> photos;
        scanPhotoFolder(m_root, photos, recurse);
        return photos;
    }

    QTemporaryDir m_dir;
    std::string m_root;
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
              paths({"_x.jpg", "A1.jpg", "a2.JPG", "B.jpg", "b.jpg", "m.jpg/x.Jpg", "Z.jpg"}))
        << "subfolder photos where the folder's name falls, never deeper";
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

TEST_F(PhotoScan, SymbolicLinks) {
    touch("p.jpg");
    folder("sub");
    touch("sub/b.jpg");
    link(".", "loop");          // the folder itself
    link("..", "sub/up");       // back up from a subfolder
    link(m_root, "again");      // the folder again, by full path
    link("p.jpg", "alias.jpg"); // a file by another name
    link("nowhere.jpg", "dead.jpg");
    link(m_root + "sub", "other"); // a folder elsewhere
    link("b.jpg", "a.jpg");        // a.jpg -> b.jpg -> a.jpg
    link("a.jpg", "b.jpg");
    link("self.jpg", "self.jpg");
    link("d2", "d1"); // two folders' names leading to each other
    link("d1", "d2");
    EXPECT_EQ(scan(true), paths({"alias.jpg", "other/b.jpg", "p.jpg", "sub/b.jpg"}));
    EXPECT_EQ(scan(false), paths({"alias.jpg", "p.jpg"}));
}

TEST_F(PhotoScan, ResultsInTheDestinationAreNotPhotosToCrop) {
    folder("work");
    touch("work/p.jpg");
    folder("work/trip");
    touch("work/trip/t.jpg");
    folder("work/out");
    touch("work/out/Photos_20060714_000.jpg");
    folder("work/out/deeper");
    folder("work/out2"); // a name that merely starts like the destination's
    touch("work/out2/o.jpg");
    link(m_root + "work/out", "work/linked-out");
    folder("beside");
    touch("beside/b.jpg");
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
        {"a subfolder: its results and a link to it are left out", m_root + "work/out/", noResults},
        {"the same subfolder spelt another way", m_root + "work/trip/../out", noResults},
        {"the same subfolder through a link", m_root + "work/linked-out/", noResults},
        {"a folder below a subfolder: only that one", m_root + "work/out/deeper/", all},
        {"the working folder itself: nothing left out", m_root + "work/", all},
        {"the working folder spelt another way", m_root + "work/trip/..", all},
        {"a folder above the working folder: nothing left out", m_root, all},
        {"a folder beside: nothing left out", m_root + "beside/", all},
        {"a destination that does not exist", m_root + "work/missing/", all},
        {"no destination", "", all},
    };
    const std::string working = m_root + "work/trip/../"; // another spelling of the same folder
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> expected;
        for (const std::string& relative : row.expected) {
            expected.push_back(working + relative);
        }
        EXPECT_EQ(scanPhotosToCrop(working, row.destination, true), expected);
    }
    // Without recursion only the working folder's own photos: nothing to leave out there.
    EXPECT_EQ(scanPhotosToCrop(m_root + "work/", m_root + "work/out/", false),
              paths({"work/p.jpg"}));
}

TEST_F(PhotoScan, SubfolderAnOrdinaryUserMayNotReadIsSkipped) {
    // Permissions do not stop root, so the scan runs in a child that has given up root for
    // the "nobody" account when the tests run as root; it sends back what it listed.
    touch("p.jpg");
    folder("locked");
    touch("locked/l.jpg");
    folder("open");
    touch("open/o.jpg");
    ASSERT_EQ(::chmod(m_root.c_str(), 0755), 0);
    ASSERT_EQ(::chmod((m_root + "locked").c_str(), 0), 0);
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
        for (const std::string& photo : scan(true)) {
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
    ::chmod((m_root + "locked").c_str(), 0755);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(listed, m_root + "open/o.jpg\n" + m_root + "p.jpg\n");
}

TEST_F(PhotoScan, ThousandsOfPhotosAreListedInNameOrder) {
    constexpr int kPhotos = 3000;
    char name[32];
    for (int i = kPhotos - 1; i >= 0; --i) {
        std::snprintf(name, sizeof name, i % 2 == 0 ? "IMG_%05d.JPG" : "img_%05d.jpg", i);
        touch(name);
        touch(std::to_string(i) + ".txt");
    }
    const std::vector<std::string> photos = scan(true);
    ASSERT_EQ(photos.size(), static_cast<size_t>(kPhotos));
    for (int i = 0; i < kPhotos; ++i) {
        std::snprintf(name, sizeof name, i % 2 == 0 ? "IMG_%05d.JPG" : "img_%05d.jpg", i);
        ASSERT_EQ(photos[i], m_root + name);
    }
}

} // namespace
