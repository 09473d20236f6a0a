// Working folders and names the program did not make: link loops, folders it may not read,
// very many photos, and names with every kind of byte. Scanning and naming never hang or
// crash and list or build what the rules say.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "naming/PhotoScan.h"
#include "naming/ResultIndex.h"
#include "naming/ResultName.h"

namespace {

class HostileFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        root = dir.path().toStdString() + "/";
    }
    void Touch(const std::string& relative) const {
        const int fd = ::open((root + relative).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0) << relative;
        ::close(fd);
    }
    void Folder(const std::string& relative) const {
        ASSERT_EQ(::mkdir((root + relative).c_str(), 0755), 0) << relative;
    }
    void Link(const std::string& target, const std::string& relative) const {
        ASSERT_EQ(::symlink(target.c_str(), (root + relative).c_str()), 0) << relative;
    }
    [[nodiscard]] std::vector<std::string> Scan(bool recurse) const {
        std::vector<std::string> photos;
        ScanPhotoFolder(root, photos, recurse);
        return photos;
    }

    QTemporaryDir dir;
    std::string root;
};

TEST_F(HostileFolder, LinkLoopsAreLeftOut) {
    Touch("p.jpg");
    Link("b.jpg", "a.jpg"); // a.jpg -> b.jpg -> a.jpg
    Link("a.jpg", "b.jpg");
    Link("self.jpg", "self.jpg");
    Link("d2", "d1"); // two folders' names leading to each other
    Link("d1", "d2");
    Folder("sub");
    Touch("sub/s.jpg");
    EXPECT_EQ(Scan(true), (std::vector<std::string>{root + "p.jpg", root + "sub/s.jpg"}));
    EXPECT_EQ(Scan(false), (std::vector<std::string>{root + "p.jpg"}));
}

TEST_F(HostileFolder, SubfolderAnOrdinaryUserMayNotReadIsSkipped) {
    // Permissions do not stop root, so the scan runs in a child that has given up root for
    // the "nobody" account when the tests run as root.
    Touch("p.jpg");
    Folder("locked");
    Touch("locked/l.jpg");
    Folder("open");
    Touch("open/o.jpg");
    ASSERT_EQ(::chmod(root.c_str(), 0755), 0);
    ASSERT_EQ(::chmod((root + "locked").c_str(), 0), 0);

    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipeFds[0]);
        constexpr uid_t kNobody = 65534;
        if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
            _exit(2);
        }
        std::vector<std::string> photos;
        ScanPhotoFolder(root, photos, true);
        std::string listed;
        for (const std::string& photo : photos) {
            listed += photo + '\n';
        }
        const bool sent = ::write(pipeFds[1], listed.data(), listed.size()) ==
                          static_cast<ssize_t>(listed.size());
        _exit(sent ? 0 : 3);
    }
    ::close(pipeFds[1]);
    std::string listed;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
        listed.append(buffer, static_cast<size_t>(n));
    }
    ::close(pipeFds[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ::chmod((root + "locked").c_str(), 0755);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(listed, root + "open/o.jpg\n" + root + "p.jpg\n");
}

TEST_F(HostileFolder, TenThousandPhotosAreListedInNameOrder) {
    constexpr int kPhotos = 10000;
    char name[32];
    for (int i = kPhotos - 1; i >= 0; --i) {
        std::snprintf(name, sizeof name, i % 2 == 0 ? "IMG_%05d.JPG" : "img_%05d.jpg", i);
        Touch(name);
    }
    for (int i = 0; i < 50; ++i) {
        Touch("note" + std::to_string(i) + ".txt");
    }
    const std::vector<std::string> photos = Scan(true);
    ASSERT_EQ(photos.size(), static_cast<size_t>(kPhotos));
    EXPECT_EQ(photos.front(), root + "IMG_00000.JPG");
    EXPECT_EQ(photos.back(), root + "img_09999.jpg");
    EXPECT_TRUE(std::is_sorted(photos.begin(), photos.end(), [](std::string a, std::string b) {
        std::transform(a.begin(), a.end(), a.begin(), ::tolower);
        std::transform(b.begin(), b.end(), b.begin(), ::tolower);
        return a < b;
    }));
}

struct NameRow {
    const char* description;
    std::string photo;
    std::string mask;
    std::string expected;
    int32_t index;
};

TEST(HostileNames, ResultNamesFromAnyBytes) {
    const std::string longMask = "/d/" + std::string(5000, 'x') + "%i";
    const NameRow rows[] = {
        {"a newline in the folder and the file", "/p/a\nb/c\nd.jpg", "/d/%sr_%f",
         "/d/a\nb_c\nd.jpg", NO_RESULT_INDEX},
        {"bytes that are not UTF-8", "/p/\xE9t\xE9/\xFF\xFE.JPG", "/d/%sr%f",
         "/d/\xE9t\xE9\xFF\xFE.jpg", NO_RESULT_INDEX},
        {"a lone percent sign at the end", "/p/q/a.jpg", "/d/%f%", "/d/a%.jpg", NO_RESULT_INDEX},
        {"a percent sign before the index tag", "/p/q/a.jpg", "/d/100%%i", "/d/100%000.jpg", 0},
        {"tags of the wrong case and unknown tags", "/p/q/a.jpg", "/d/%I%D%x%", "/d/%I%D%x%.jpg",
         NO_RESULT_INDEX},
        {"a mask that is only the folder", "/p/q/a.jpg", "/d/", "/d/.jpg", NO_RESULT_INDEX},
        {"an empty mask", "/p/q/a.jpg", "", ".jpg", NO_RESULT_INDEX},
        {"an empty file name", "/p/q/", "/d/%sr_%f", "/d/q_.jpg", NO_RESULT_INDEX},
        {"a path longer than the system takes", "/p/q/a.jpg", longMask,
         "/d/" + std::string(5000, 'x') + "000.jpg", 0},
        {"the .jpg text cut out leaves a new one", "/p/q/a.jpg", "/d/..jpgjpg", "/d/.jpg.jpg",
         NO_RESULT_INDEX},
    };
    for (const NameRow& row : rows) {
        SCOPED_TRACE(row.description);
        int32_t index = -1;
        EXPECT_EQ(BuildResultName(row.photo, row.mask, nullptr, &index), row.expected);
        EXPECT_EQ(index, row.index);
    }
}

} // namespace
