// param.dat files that are not what the program wrote, and writes that the disk refuses:
// the program never hangs or crashes on them, and no record it did not mean to change is
// lost.

#include "settings/Settings.h"
#include "support/ParamFixture.h"

#include <csignal>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace paramtest;

namespace {

// Runs body in a child process that is killed after a few seconds, so that a hang fails
// the test instead of stopping the run. The child's exit code is body's result (0 = good).
// Children leave with _exit so that the test framework's state is not run twice.
int RunInChild(const std::function<int()>& body, unsigned seconds = 10) {
    const pid_t child = fork();
    if (child == 0) {
        alarm(seconds);
        _exit(body());
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) {
        return -1;
    }
    if (WIFSIGNALED(status)) {
        return 1000 + WTERMSIG(status); // SIGALRM: it hung
    }
    return WEXITSTATUS(status);
}

// A child that writes while the file size limit stands in for a full disk: writes past it
// fail with EFBIG instead of killing the process.
int WithFullDisk(rlim_t limitBytes, const std::function<void()>& writes) {
    return RunInChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{limitBytes, limitBytes};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            return 2;
        }
        writes();
        return 0;
    });
}

Bytes FormatRecords(int index, const std::string& name, const std::string& h, const std::string& w,
                    const std::string& b) {
    const std::string i = std::to_string(index);
    return Concat({StringRecord("RECADNAME" + i, name), StringRecord("RECADH" + i, h),
                   StringRecord("RECADW" + i, w), StringRecord("RECADWHITEB" + i, b)});
}

// A settings file as a user's copy holds it: several settings and two print formats.
Bytes UsersFile() {
    return Concat({StringRecord("DESTINATIONPATH", "/home/anne/Tirages/"),
                   LongRecord("JPEGQUALITY", 90), StringRecord("RESULT_NAME", "Tirage_%f_%i"),
                   LongRecord("NBRECAD", 2), FormatRecords(0, "Photo", "15", "10", "4"),
                   FormatRecords(1, "Carré", "20", "20", "0"), ByteRecord("AUTO_RENAME", 1)});
}

const std::vector<std::string> kUsersFormats = {"Photo", "15", "10", "4", "Carré", "20", "20", "0"};

void ExpectUsersSettings(const std::string& path) {
    CSettings settings(path);
    EXPECT_EQ(settings.GetDestinationFolder(), "/home/anne/Tirages/");
    EXPECT_EQ(settings.GetJpegQuality(), 90);
    EXPECT_EQ(settings.GetResultName(), "Tirage_%f_%i");
    EXPECT_EQ(settings.GetAutoRename(), 1);
}

TEST(FullDisk, EveryWriteFailsAndEveryRecordSurvives) {
    TempFolder folder;
    const Bytes original = UsersFile();
    WriteBytes(folder.File(), original);
    ASSERT_GT(original.size(), 2000u);

    const int result = WithFullDisk(1000, [&] {
        CSettings settings(folder.File());
        settings.SetResultName("Nouveau_%i");
        settings.SetJpegQuality(5);
        settings.SetAutoRename(0);
        settings.SaveFormats({"A", "1", "2", "3"});
        settings.SetCurrentFolder("/ailleurs/");
    });
    ASSERT_EQ(result, 0);

    EXPECT_EQ(ReadBytes(folder.File()), original);
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"param.dat"});
    ExpectUsersSettings(folder.File());
    std::vector<std::string> formats;
    CSettings(folder.File()).LoadFormats(formats);
    EXPECT_EQ(formats, kUsersFormats);
}

TEST(FullDisk, LongerFormatListStopsAtTheLimitKeepingEarlierRecords) {
    // The limit lets records be rewritten in place at their own size but not the file grow:
    // the count is rewritten, the new format's keys do not fit.
    TempFolder folder;
    const Bytes original = UsersFile();
    WriteBytes(folder.File(), original);
    std::vector<std::string> longer = kUsersFormats;
    longer.insert(longer.end(), {"Panorama", "10", "30", "2"});

    const int result =
        WithFullDisk(original.size(), [&] { CSettings(folder.File()).SaveFormats(longer); });
    ASSERT_EQ(result, 0);

    EXPECT_EQ(ReadBytes(folder.File()).size(), original.size());
    ExpectUsersSettings(folder.File());
    std::vector<std::string> formats;
    CSettings(folder.File()).LoadFormats(formats);
    ASSERT_EQ(formats.size(), 12u);
    EXPECT_EQ(std::vector<std::string>(formats.begin(), formats.begin() + 8), kUsersFormats);
    // The third format's keys are missing: they read as the fallback texts.
    EXPECT_EQ(std::vector<std::string>(formats.begin() + 8, formats.end()),
              (std::vector<std::string>{"-", "1", "1", "1"}));

    // Once there is room again, the same save completes.
    CSettings(folder.File()).SaveFormats(longer);
    CSettings(folder.File()).LoadFormats(formats);
    EXPECT_EQ(formats, longer);
}

// What stands where param.dat should be.
struct OddFileRow {
    const char* description;
    std::function<void(const std::string& path)> make;
    std::function<bool(const std::string& path)> stillThere;
};

bool IsKind(const std::string& path, mode_t kind) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == kind;
}

class OddParamFile : public ::testing::TestWithParam<OddFileRow> {};

TEST_P(OddParamFile, DefaultsWithoutHangingAndTheThingIsLeftAlone) {
    const OddFileRow& row = GetParam();
    TempFolder folder;
    const std::string path = folder.File();
    row.make(path);
    const int result = RunInChild([&] {
        CSettings settings(path);
        if (settings.GetJpegQuality() != 100 || settings.GetResultName() != "Photos_%dc_%i") {
            return 3; // not the defaults
        }
        std::vector<std::string> formats{"stale"};
        settings.LoadFormats(formats);
        if (!formats.empty()) {
            return 4;
        }
        settings.SetJpegQuality(80); // fails; the value is kept for this run only
        settings.SaveFormats({"A", "1", "2", "3"});
        return settings.GetJpegQuality() == 80 ? 0 : 5;
    });
    EXPECT_EQ(result, 0) << "1014 means the child hung";
    EXPECT_TRUE(row.stillThere(path));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, OddParamFile,
    ::testing::Values(OddFileRow{"a folder",
                                 [](const std::string& p) { std::filesystem::create_directory(p); },
                                 [](const std::string& p) { return IsKind(p, S_IFDIR); }},
                      OddFileRow{"a named pipe",
                                 [](const std::string& p) { mkfifo(p.c_str(), 0644); },
                                 [](const std::string& p) { return IsKind(p, S_IFIFO); }},
                      OddFileRow{"a symbolic link loop",
                                 [](const std::string& p) {
                                     symlink((p + ".other").c_str(), p.c_str());
                                     symlink(p.c_str(), (p + ".other").c_str());
                                 },
                                 [](const std::string& p) {
                                     return IsKind(p, S_IFLNK) && IsKind(p + ".other", S_IFLNK);
                                 }}),
    [](const auto& info) { return RowName(info.param.description); });

} // namespace
