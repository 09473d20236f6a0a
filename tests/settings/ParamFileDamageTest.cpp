#include "settings/ParamFile.h"
#include "settings/Settings.h"

#include "support/ParamFixture.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace paramtest;

namespace {

Bytes Garbage(size_t size) {
    Bytes bytes(size);
    uint32_t state = 12345;
    for (uint8_t& byte : bytes) {
        state = state * 1103515245U + 12345U;
        byte = static_cast<uint8_t>(state >> 16);
    }
    return bytes;
}

Bytes Cut(Bytes bytes, size_t removed) {
    bytes.resize(bytes.size() - removed);
    return bytes;
}

Bytes NameWithJunkAfterNul() {
    Bytes record = LongRecord("JPEGQUALITY", 77);
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
    if (row.sparseSize > 0) {
        WriteBytes(folder.File(), {});
        ASSERT_EQ(truncate(folder.File().c_str(), row.sparseSize), 0);
    } else {
        WriteBytes(folder.File(), row.content);
    }
    const auto sizeBefore = std::filesystem::file_size(folder.File());

    CSettings settings(folder.File());
    EXPECT_EQ(settings.GetJpegQuality(), row.jpegQuality);
    EXPECT_EQ(settings.GetResultName(), "Photos_%dc_%i");
    std::vector<std::string> formats{"stale"};
    settings.LoadFormats(formats);
    EXPECT_TRUE(formats.empty());

    settings.SetOpacity(33);
    EXPECT_EQ(settings.GetOpacity(), 33);
    CSettings reloaded(folder.File());
    if (row.acceptsWrites) {
        EXPECT_EQ(reloaded.GetOpacity(), 33);
        EXPECT_EQ(reloaded.GetJpegQuality(), row.jpegQuality);
        const auto records = DecodeFile(ReadBytes(folder.File()));
        ASSERT_TRUE(records.has_value()) << "rewritten file must decode";
        EXPECT_EQ(records->back().name, "OPACITY");
    } else {
        EXPECT_EQ(reloaded.GetOpacity(), 50);
        EXPECT_EQ(std::filesystem::file_size(folder.File()), sizeBefore);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DamagedFile,
    ::testing::Values(
        DamageRow{"empty file", {}, 0, 100, true},
        DamageRow{"ten bytes", Bytes(10, 0x41), 0, 100, true},
        DamageRow{"record cut in its value", Cut(LongRecord("JPEGQUALITY", 77), 2), 0, 100, true},
        DamageRow{"sound record then a cut header",
                  Concat({LongRecord("JPEGQUALITY", 77), Bytes(15, 0x50)}), 0, 77, true},
        DamageRow{"type pointing past the end", Record("JPEGQUALITY", 0xFFFF, {}), 0, 100, true},
        DamageRow{"comment length past the end",
                  Cut(Record("JPEGQUALITY", 4, LongBlock(77), std::string(300, 'c')), 100), 0, 100,
                  true},
        DamageRow{"all bytes 0xFF", Bytes(4096, 0xFF), 0, 100, true},
        DamageRow{"garbage", Garbage(5000), 0, 100, true},
        DamageRow{"junk after the NUL of the name", NameWithJunkAfterNul(), 0, 77, true},
        DamageRow{"sound record with an odd type tag before the key",
                  Concat({Record("ODD", 7, Bytes(7, 1)), LongRecord("JPEGQUALITY", 77)}), 0, 77,
                  true},
        DamageRow{"100 MB of zeros", {}, 100 * 1024 * 1024, 100, false}),
    [](const auto& info) { return RowName(info.param.description); });

TEST(DamagedFile, HugeFormatCountStaysBounded) {
    TempFolder folder;
    WriteBytes(folder.File(), LongRecord("NBRECAD", 0x7FFFFFFF));
    CSettings settings(folder.File());
    std::vector<std::string> texts;
    settings.LoadFormats(texts);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.size() % 4, 0u);
    EXPECT_LE(texts.size(), 4u * 1000u);
    EXPECT_EQ(texts[0], "-");
}

// Children leave with _exit so that the test framework's state is not run twice.
int WaitForChild(pid_t child) {
    int status = 0;
    if (waitpid(child, &status, 0) != child) {
        return -1;
    }
    return status;
}

struct InterruptRow {
    const char* description;
    bool fileExists;
    bool killedBySignal; // by SIGXFSZ mid-write, else the write just fails
};

const std::string kNewComment = "a comment that moves the records after it";

class InterruptedWrite : public ::testing::TestWithParam<InterruptRow> {};

TEST_P(InterruptedWrite, OldRecordsSurvive) {
    const InterruptRow& row = GetParam();
    TempFolder folder;
    const Bytes original =
        Concat({StringRecord("A", "alpha"), StringRecord("B", "beta"), StringRecord("C", "gamma")});
    if (row.fileExists) {
        WriteBytes(folder.File(), original);
    }

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, row.killedBySignal ? SIG_DFL : SIG_IGN);
        const rlimit limit{1000, 1000};
        setrlimit(RLIMIT_FSIZE, &limit);
        // A new comment length moves every record after A.
        CParamFile file(folder.File());
        const bool written = file.WriteString("A", "ALPHA", kNewComment);
        const bool fileError = file.GetLastError().rfind("Exception:", 0) == 0;
        _exit(!written && fileError ? 0 : 1);
    }
    const int status = WaitForChild(child);
    if (row.killedBySignal) {
        ASSERT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
    } else {
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
        // A refused first write also takes back the file it created.
        const std::vector<std::string> expected =
            row.fileExists ? std::vector<std::string>{"param.dat"} : std::vector<std::string>{};
        EXPECT_EQ(FolderEntries(folder.Path()), expected);
    }
    if (row.fileExists) {
        EXPECT_EQ(ReadBytes(folder.File()), original);
    } else if (!row.killedBySignal) {
        EXPECT_FALSE(std::filesystem::exists(folder.File()));
    }

    CParamFile file(folder.File());
    ASSERT_TRUE(file.WriteString("A", "ALPHA", kNewComment));
    const auto records = DecodeFile(ReadBytes(folder.File()));
    ASSERT_TRUE(records.has_value());
    ASSERT_EQ(records->size(), row.fileExists ? 3u : 1u);
    EXPECT_EQ(TextOfBlock(records->front().value), "ALPHA");
    EXPECT_EQ(records->front().comment, kNewComment);
    if (row.fileExists) {
        EXPECT_EQ(TextOfBlock(records->back().value), "gamma");
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, InterruptedWrite,
                         ::testing::Values(InterruptRow{"write refused", true, false},
                                           InterruptRow{"writer killed", true, true},
                                           InterruptRow{"first write refused", false, false},
                                           InterruptRow{"first writer killed", false, true}),
                         [](const auto& info) { return RowName(info.param.description); });

TEST(ContendingWriters, EveryRecordStillDecodes) {
    TempFolder folder;
    const Bytes original = Concat({StringRecord("KEEP", "kept"), LongRecord("COUNT", 1)});
    WriteBytes(folder.File(), original);
    constexpr int kWrites = 1000;

    // Writes finding the file held by the other writer fail at once; the file must stay
    // whole whatever the interleaving. Both writers start when the parent closes the pipe.
    int startGate[2] = {-1, -1};
    ASSERT_EQ(pipe(startGate), 0);
    const auto writer = [&folder, &startGate](const std::string& key) {
        close(startGate[1]);
        char ignored = 0;
        (void)read(startGate[0], &ignored, 1);
        // Only this writer touches its key: a read giving another value is a lost update.
        int32_t lastWritten = -1;
        bool lostUpdate = false;
        for (int i = 0; i < kWrites; ++i) {
            if (CParamFile(folder.File()).WriteLong(key, i, "#")) {
                lastWritten = i;
            }
            int32_t readBack = 0;
            if (CParamFile(folder.File()).ReadLong(key, readBack) && readBack != lastWritten) {
                lostUpdate = true;
            }
        }
        if (lostUpdate) {
            _exit(3);
        }
        for (int tries = 0; tries < 100000; ++tries) {
            if (CParamFile(folder.File()).WriteLong(key, kWrites, "#")) {
                _exit(0);
            }
            usleep(100);
        }
        _exit(1);
    };

    const pid_t first = fork();
    ASSERT_GE(first, 0);
    if (first == 0) {
        writer("FIRST_KEY");
    }
    const pid_t second = fork();
    ASSERT_GE(second, 0);
    if (second == 0) {
        writer("SECOND_KEY");
    }
    close(startGate[0]);
    close(startGate[1]);
    const int firstStatus = WaitForChild(first);
    const int secondStatus = WaitForChild(second);
    ASSERT_TRUE(WIFEXITED(firstStatus));
    EXPECT_EQ(WEXITSTATUS(firstStatus), 0);
    ASSERT_TRUE(WIFEXITED(secondStatus));
    EXPECT_EQ(WEXITSTATUS(secondStatus), 0);

    const auto records = DecodeFile(ReadBytes(folder.File()));
    ASSERT_TRUE(records.has_value()) << "file damaged by concurrent writers";
    ASSERT_EQ(records->size(), 4u);
    EXPECT_EQ((*records)[0].name, "KEEP");
    EXPECT_EQ(TextOfBlock((*records)[0].value), "kept");
    EXPECT_EQ((*records)[1].name, "COUNT");
    for (size_t i = 2; i < 4; ++i) {
        const auto& record = (*records)[i];
        EXPECT_TRUE(record.name == "FIRST_KEY" || record.name == "SECOND_KEY") << record.name;
        EXPECT_EQ(record.type, 4);
        EXPECT_EQ(LongOfBlock(record.value), kWrites) << record.name;
    }
    EXPECT_NE((*records)[2].name, (*records)[3].name);
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"param.dat"});
}

} // namespace
