// param.dat files that are not what the program wrote, writes the disk refuses and writers
// that race: the program never hangs or crashes, loads what is sound, and loses no record it
// did not mean to change.

#include "settings/ParamFile.h"
#include "settings/Settings.h"

#include "support/ParamFixture.h"

#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace paramtest;

namespace {

using Texts = std::vector<std::string>;

// Runs body in a child killed after a few seconds, so that a hang fails the test instead of
// stopping the run. The child's exit code is body's result (0 = good); 1000 + signal when it
// was killed. The file size limit stands in for a full disk: writes past it fail with EFBIG,
// or kill the process with SIGXFSZ (a writer killed mid-write). Children leave with _exit so
// that the test framework's state is not run twice.
int runInChild(const std::function<int()>& body, rlim_t fileSizeLimit = RLIM_INFINITY,
               bool killedBySizeLimit = false) {
    const pid_t child = fork();
    if (child == 0) {
        alarm(10);
        signal(SIGXFSZ, killedBySizeLimit ? SIG_DFL : SIG_IGN);
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(body());
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) {
        return -1;
    }
    return WIFSIGNALED(status) ? 1000 + WTERMSIG(status) : WEXITSTATUS(status);
}

Bytes garbage(size_t size) {
    Bytes bytes(size);
    uint32_t state = 12345;
    for (uint8_t& byte : bytes) {
        state = state * 1103515245U + 12345U;
        byte = static_cast<uint8_t>(state >> 16);
    }
    return bytes;
}

Bytes cut(Bytes bytes, size_t removed) {
    bytes.resize(bytes.size() - removed);
    return bytes;
}

Bytes nameWithJunkAfterNul() {
    Bytes record = longRecord("JPEGQUALITY", 77);
    std::fill(record.begin() + 12, record.begin() + 20, 0xA5);
    return record;
}

struct DamageRow {
    const char* description;
    Bytes content;
    off_t sparseSize;    // when non-zero, the file is this many zero bytes instead
    int32_t jpegQuality; // as loaded
    bool acceptsWrites;  // a setter reaches the file
};

class DamagedFile : public ::testing::TestWithParam<DamageRow> {};

TEST_P(DamagedFile, LoadsWhatIsSoundAndFallsBackForTheRest) {
    const DamageRow& row = GetParam();
    TempFolder folder;
    writeBytes(folder.file(), row.content);
    if (row.sparseSize > 0) {
        ASSERT_EQ(truncate(folder.file().c_str(), row.sparseSize), 0);
    }
    const auto sizeBefore = std::filesystem::file_size(folder.file());

    Settings settings(folder.file());
    EXPECT_EQ(settings.jpegQuality(), row.jpegQuality);
    EXPECT_EQ(settings.resultName(), "Photos_%dc_%i");
    Texts formats{"stale"};
    settings.loadFormats(formats);
    EXPECT_TRUE(formats.empty());

    settings.setOpacity(33);
    Settings reloaded(folder.file());
    EXPECT_EQ(reloaded.opacity(), row.acceptsWrites ? 33 : 50);
    if (row.acceptsWrites) {
        EXPECT_EQ(reloaded.jpegQuality(), row.jpegQuality);
        const auto records = decodeFile(readBytes(folder.file()));
        ASSERT_TRUE(records.has_value()) << "rewritten file must decode";
        EXPECT_EQ(records->back().name, "OPACITY");
    } else {
        EXPECT_EQ(std::filesystem::file_size(folder.file()), sizeBefore);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DamagedFile,
    ::testing::Values(
        DamageRow{"empty file", {}, 0, 100, true},
        DamageRow{"ten bytes", Bytes(10, 0x41), 0, 100, true},
        DamageRow{"record cut in its value", cut(longRecord("JPEGQUALITY", 77), 2), 0, 100, true},
        DamageRow{"sound record then a cut header",
                  concat({longRecord("JPEGQUALITY", 77), Bytes(15, 0x50)}), 0, 77, true},
        DamageRow{"type pointing past the end", record("JPEGQUALITY", 0xFFFF, {}), 0, 100, true},
        DamageRow{"comment length past the end",
                  cut(record("JPEGQUALITY", 4, longBlock(77), std::string(300, 'c')), 100), 0, 100,
                  true},
        DamageRow{"all bytes 0xFF", Bytes(4096, 0xFF), 0, 100, true},
        DamageRow{"garbage", garbage(5000), 0, 100, true},
        DamageRow{"junk after the NUL of the name", nameWithJunkAfterNul(), 0, 77, true},
        DamageRow{"sound record with an odd type tag before the key",
                  concat({record("ODD", 7, Bytes(7, 1)), longRecord("JPEGQUALITY", 77)}), 0, 77,
                  true},
        DamageRow{"100 MB of zeros", {}, 100 * 1024 * 1024, 100, false}),
    [](const auto& info) { return rowName(info.param.description); });

TEST(DamagedFile, HugeFormatCountStaysBounded) {
    TempFolder folder;
    writeBytes(folder.file(), longRecord("NBRECAD", 0x7FFFFFFF));
    Texts texts;
    Settings(folder.file()).loadFormats(texts);
    ASSERT_EQ(texts.size(), 4u * 1000u);
    EXPECT_EQ(texts[0], "-");
}

// What stands where param.dat should be.
struct OddFileRow {
    const char* description;
    std::function<void(const std::string& path)> make;
    mode_t kind; // of what must still be at the path
};

class OddParamFile : public ::testing::TestWithParam<OddFileRow> {};

TEST_P(OddParamFile, DefaultsWithoutHangingAndTheThingIsLeftAlone) {
    const OddFileRow& row = GetParam();
    TempFolder folder;
    const std::string path = folder.file();
    row.make(path);
    const int result = runInChild([&] {
        Settings settings(path);
        Texts formats{"stale"};
        settings.loadFormats(formats);
        if (settings.jpegQuality() != 100 || !formats.empty()) {
            return 3;
        }
        settings.setJpegQuality(80); // fails; the value is kept for this run only
        settings.saveFormats({"A", "1", "2", "3"});
        return settings.jpegQuality() == 80 ? 0 : 5;
    });
    EXPECT_EQ(result, 0) << "1014 means the child hung";
    struct stat info {};
    ASSERT_EQ(lstat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & S_IFMT, row.kind);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, OddParamFile,
    ::testing::Values(
        OddFileRow{"a folder", [](const std::string& p) { std::filesystem::create_directory(p); },
                   S_IFDIR},
        OddFileRow{"a named pipe", [](const std::string& p) { mkfifo(p.c_str(), 0644); }, S_IFIFO},
        OddFileRow{"a symbolic link loop",
                   [](const std::string& p) {
                       symlink((p + ".other").c_str(), p.c_str());
                       symlink(p.c_str(), (p + ".other").c_str());
                   },
                   S_IFLNK}),
    [](const auto& info) { return rowName(info.param.description); });

Bytes formatRecords(int index, const std::string& name, const std::string& h, const std::string& w,
                    const std::string& b) {
    const std::string i = std::to_string(index);
    return concat({stringRecord("RECADNAME" + i, name), stringRecord("RECADH" + i, h),
                   stringRecord("RECADW" + i, w), stringRecord("RECADWHITEB" + i, b)});
}

TEST(FullDisk, WritesFailAndEveryRecordSurvivesThenALongerListStopsAtTheLimit) {
    TempFolder folder;
    const Bytes original =
        concat({stringRecord("DESTINATIONPATH", "/home/anne/Tirages/"), longRecord("NBRECAD", 2),
                formatRecords(0, "Photo", "15", "10", "4"),
                formatRecords(1, "Carré", "20", "20", "0"), byteRecord("AUTO_RENAME", 1)});
    const Texts formats = {"Photo", "15", "10", "4", "Carré", "20", "20", "0"};
    writeBytes(folder.file(), original);
    const auto changeAll = [&] {
        Settings settings(folder.file());
        settings.setAutoRename(0);
        settings.saveFormats({"A", "1", "2", "3"});
        settings.setCurrentFolder("/ailleurs/");
        return 0;
    };
    ASSERT_EQ(runInChild(changeAll, 1000), 0);
    EXPECT_EQ(readBytes(folder.file()), original);
    EXPECT_EQ(folderEntries(folder.path()), Texts{"param.dat"});

    // Records may be rewritten in place at their own size but the file may not grow: the
    // count is rewritten, the third format's keys do not fit and read as the fallback texts.
    Texts longer = formats;
    longer.insert(longer.end(), {"Panorama", "10", "30", "2"});
    const auto saveLonger = [&] { return Settings(folder.file()).saveFormats(longer), 0; };
    ASSERT_EQ(runInChild(saveLonger, original.size()), 0);
    EXPECT_EQ(readBytes(folder.file()).size(), original.size());
    Texts loaded;
    Settings(folder.file()).loadFormats(loaded);
    Texts expected = formats;
    expected.insert(expected.end(), {"-", "1", "1", "1"});
    EXPECT_EQ(loaded, expected);
    EXPECT_EQ(Settings(folder.file()).autoRename(), 1);
}

struct InterruptRow {
    const char* description;
    bool fileExists;
    bool killedBySignal; // by SIGXFSZ mid-write, else the write just fails
};

class InterruptedWrite : public ::testing::TestWithParam<InterruptRow> {};

TEST_P(InterruptedWrite, OldRecordsSurviveAndTheNextWriteLands) {
    const InterruptRow& row = GetParam();
    TempFolder folder;
    const Bytes original =
        concat({stringRecord("A", "alpha"), stringRecord("B", "beta"), stringRecord("C", "gamma")});
    if (row.fileExists) {
        writeBytes(folder.file(), original);
    }
    // A new comment length moves every record after A.
    const std::string comment = "a comment that moves the records after it";
    const auto write = [&] {
        ParamFile file(folder.file());
        const bool written = file.writeString("A", "ALPHA", comment);
        return !written && file.lastError().rfind("Exception:", 0) == 0 ? 0 : 1;
    };
    EXPECT_EQ(runInChild(write, 1000, row.killedBySignal), row.killedBySignal ? 1000 + SIGXFSZ : 0);
    if (row.fileExists) {
        EXPECT_EQ(readBytes(folder.file()), original);
    } else if (!row.killedBySignal) {
        // A refused first write also takes back the file it created.
        EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
    }

    ASSERT_TRUE(ParamFile(folder.file()).writeString("A", "ALPHA", comment));
    const auto records = decodeFile(readBytes(folder.file()));
    ASSERT_TRUE(records.has_value());
    ASSERT_EQ(records->size(), row.fileExists ? 3u : 1u);
    EXPECT_EQ(textOfBlock(records->front().value), "ALPHA");
    EXPECT_EQ(records->front().comment, comment);
}

INSTANTIATE_TEST_SUITE_P(Rows, InterruptedWrite,
                         ::testing::Values(InterruptRow{"write refused", true, false},
                                           InterruptRow{"writer killed", true, true},
                                           InterruptRow{"first write refused", false, false},
                                           InterruptRow{"first writer killed", false, true}),
                         [](const auto& info) { return rowName(info.param.description); });

TEST(ContendingWriters, NoUpdateLostAndEveryRecordStillDecodes) {
    TempFolder folder;
    writeBytes(folder.file(), concat({stringRecord("KEEP", "kept"), longRecord("COUNT", 1)}));
    constexpr int kWrites = 300;
    // Only one writer touches each key: a read giving another value than its last successful
    // write is a lost update. Writes finding the file held by the other writer fail at once.
    const auto writes = [&folder](const std::string& key) {
        int32_t lastWritten = -1;
        for (int i = 0; i < kWrites; ++i) {
            int32_t readBack = 0;
            if (ParamFile(folder.file()).writeLong(key, i, "#")) {
                lastWritten = i;
            }
            if (ParamFile(folder.file()).readLong(key, readBack) && readBack != lastWritten) {
                return 3;
            }
        }
        for (int tries = 0; tries < 100000; ++tries, usleep(100)) {
            if (ParamFile(folder.file()).writeLong(key, kWrites, "#")) {
                return 0;
            }
        }
        return 1;
    };
    // Both writers start when the parent closes the pipe.
    int gate[2] = {-1, -1};
    ASSERT_EQ(pipe(gate), 0);
    pid_t writers[2] = {-1, -1};
    for (int w = 0; w < 2; ++w) {
        writers[w] = fork();
        ASSERT_GE(writers[w], 0);
        if (writers[w] == 0) {
            close(gate[1]);
            char ignored = 0;
            (void)read(gate[0], &ignored, 1);
            _exit(writes(w == 0 ? "FIRST_KEY" : "SECOND_KEY"));
        }
    }
    close(gate[0]);
    close(gate[1]);
    for (const pid_t writer : writers) {
        int status = 0;
        ASSERT_EQ(waitpid(writer, &status, 0), writer);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }

    const auto records = decodeFile(readBytes(folder.file()));
    ASSERT_TRUE(records.has_value()) << "file damaged by concurrent writers";
    ASSERT_EQ(records->size(), 4u);
    EXPECT_EQ(textOfBlock((*records)[0].value), "kept");
    EXPECT_NE((*records)[2].name, (*records)[3].name);
    for (size_t i = 2; i < 4; ++i) {
        EXPECT_EQ(longOfBlock((*records)[i].value), kWrites) << (*records)[i].name;
    }
    EXPECT_EQ(folderEntries(folder.path()), Texts{"param.dat"});
}

} // namespace
