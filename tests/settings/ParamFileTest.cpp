// param.dat records byte by byte, and files or disks that are not what the program expects:
// it loads what is sound, never hangs, and loses no record it did not mean to change.

#include "settings/ParamFile.h"

#include "support/ParamFixture.h"
#include "support/ReadOnlyFolder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace paramtest;

namespace {

const std::string kNotFound = "Fonction recherche: le paramètre n'existe pas!";

// A string, a long with a comment, a byte.
Bytes threeRecords(int32_t middle = 10, const std::string& middleComment = "note") {
    return concat({stringRecord("FIRST", "one"),
                   record("MIDDLE", 4, longBlock(middle), middleComment), byteRecord("LAST", 3)});
}

TEST(ParamFile, WritesRecordsAsBuiltByHand) {
    TempFolder folder;
    ParamFile file(folder.file());
    ASSERT_TRUE(file.writeLong("JPEGQUALITY", 100, "#"));
    EXPECT_EQ(
        readBytes(folder.file()),
        (Bytes{0x4B, 0x51, 0x46, 0x48, 0x52, 0x56, 0x42, 0x4D, 0x4A, 0x55, 0x5A, 0,    0,   0, 0,
               0,    0,    0,    0,    0,    0x04, 0x00, 0x00, 0x00, 0x64, 0x00, 0x00, 0x00}));
    ASSERT_TRUE(file.writeLong("L", -2, "#"));
    ASSERT_TRUE(file.writeByte("B", 0x1FE, "#"));
    ASSERT_TRUE(file.writeString(" MY KEY\t", std::string(1030, 'x'), "hello"));
    EXPECT_EQ(
        readBytes(folder.file()),
        concat({longRecord("JPEGQUALITY", 100), record("L", 4, {0xFE, 0xFF, 0xFF, 0xFF}),
                record("B", 1, {0xFE}), stringRecord("MY_KEY", std::string(1024, 'x'), "hello")}));
    int32_t value = 0;
    ASSERT_TRUE(file.readByte("B", value));
    EXPECT_EQ(value, 254);
}

TEST(ParamFile, ReadsHandBuiltRecordsWhereverTheyStand) {
    // A text filling its whole block is followed by another record: its end is the block's.
    const std::vector<std::string> texts = {"", "Défaut 10x15", std::string(1024, 'z')};
    TempFolder folder;
    writeBytes(folder.file(), concat({stringRecord("S0", texts[0]), stringRecord("S1", texts[1]),
                                      stringRecord("S2", texts[2], "c"), longRecord("N", 7)}));
    ParamFile file(folder.file());
    for (size_t i = 0; i < texts.size(); ++i) {
        std::string text = "before";
        ASSERT_TRUE(file.readString("S" + std::to_string(i), text)) << i;
        EXPECT_EQ(text, texts[i]) << i;
    }
    int32_t value = 0;
    std::string comment = "before";
    ASSERT_TRUE(file.readLong("N", value, &comment));
    EXPECT_EQ(value, 7);
    EXPECT_EQ(comment, "");
    std::string text;
    ASSERT_TRUE(file.readString("S2", text, &comment));
    EXPECT_EQ(comment, "c");
    EXPECT_EQ(file.findParam("N"), 3 * 1048 + 1);
    EXPECT_EQ(file.findParam("S"), -1);
    EXPECT_EQ(file.lastError(), kNotFound);
}

struct NameRow {
    const char* description;
    std::string given;
    std::string stored; // empty: refused
};

class ParamFileNames : public ::testing::TestWithParam<NameRow> {};

TEST_P(ParamFileNames, NormalisedOrRefused) {
    const NameRow& row = GetParam();
    TempFolder folder;
    ParamFile file(folder.file());
    EXPECT_EQ(file.writeLong(row.given, 7, "#"), !row.stored.empty());
    if (row.stored.empty()) {
        EXPECT_EQ(file.lastError(), "Fonction écriture: taille du nom incorrecte!");
        EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
    } else {
        EXPECT_EQ(readBytes(folder.file()), longRecord(row.stored, 7));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParamFileNames,
    ::testing::Values(
        NameRow{"twenty bytes after trimming", "  ABCDEFGHIJKLMNOPQRST  ", "ABCDEFGHIJKLMNOPQRST"},
        NameRow{"twenty-one bytes refused", "ABCDEFGHIJKLMNOPQRSTU", ""},
        NameRow{"a 0xFF byte would be stored as the name's end", "JPEGQUALITY\xFF", ""}),
    [](const auto& info) { return rowName(info.param.description); });

TEST(ParamFile, RewritesInPlaceResizesAppendsAndDeletes) {
    TempFolder folder;
    writeBytes(folder.file(), threeRecords());
    ParamFile file(folder.file());
    ASSERT_TRUE(file.writeLong("MIDDLE", 99, "#"));
    EXPECT_EQ(readBytes(folder.file()), threeRecords(99, "note")) << "comment kept";
    ASSERT_TRUE(file.writeLong("MIDDLE", 11, "a longer comment"));
    EXPECT_EQ(readBytes(folder.file()), threeRecords(11, "a longer comment"));
    EXPECT_FALSE(file.writeString("MIDDLE", "text", "#"));
    EXPECT_EQ(file.lastError(), "Fonction d'écriture: le paramètre existe et son type est "
                                "différent de celui souhaité!");
    ASSERT_TRUE(file.writeString("NEW", "x", "#"));
    EXPECT_TRUE(file.deleteParam("  MIDDLE"));
    EXPECT_EQ(readBytes(folder.file()), concat({stringRecord("FIRST", "one"), byteRecord("LAST", 3),
                                                stringRecord("NEW", "x")}));
}

enum class Op { Read, Write, Delete };

struct FailRow {
    const char* description;
    Op op;
    bool fileExists;
    std::string name;
    bool result;
    std::string lastError;
};

class ParamFileFailures : public ::testing::TestWithParam<FailRow> {};

TEST_P(ParamFileFailures, NothingChangesAndTheErrorTells) {
    const FailRow& row = GetParam();
    TempFolder folder;
    if (row.fileExists) {
        writeBytes(folder.file(), threeRecords());
    }
    ParamFile file(folder.file());
    int32_t value = 1234;
    bool result = false;
    switch (row.op) {
    case Op::Read:
        result = file.readLong(row.name, value);
        break;
    case Op::Write:
        result = file.writeByte(row.name, 1, "#");
        break;
    case Op::Delete:
        result = file.deleteParam(row.name);
        break;
    }
    EXPECT_EQ(result, row.result);
    EXPECT_EQ(file.lastError(), row.lastError);
    EXPECT_EQ(value, 1234);
    EXPECT_EQ(readBytes(folder.file()), row.fileExists ? threeRecords() : Bytes{});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParamFileFailures,
    ::testing::Values(FailRow{"read from missing file", Op::Read, false, "MIDDLE", false,
                              "Le fichier spécifié n'existe pas!"},
                      FailRow{"read under another type", Op::Read, true, "FIRST", false,
                              "Fonction lecture: le paramètre ne correspond pas au type spécifié!"},
                      FailRow{"write blank name", Op::Write, false, " \n ", false,
                              "Fonction écriture: le nom du paramètre n'est pas spécifié!"},
                      FailRow{"delete missing name", Op::Delete, true, "NOPE", true,
                              "Fonction suppression : paramètre inexistant!"},
                      FailRow{"delete from missing file", Op::Delete, false, "LAST", false,
                              "Fonction suppression: fichier inexistant!"}),
    [](const auto& info) { return rowName(info.param.description); });

TEST(ParamFile, FoldersCreatedOnFirstWrite) {
    TempFolder folder;
    const std::string path = folder.file("a/b/param.dat");
    ParamFile file(path);
    int32_t value = 0;
    EXPECT_FALSE(file.readLong("K", value));
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "a"));
    ASSERT_TRUE(file.writeLong("K", 3, "#"));
    EXPECT_EQ(readBytes(path), longRecord("K", 3));
}

TEST(ParamFile, GrowsToSixteenMiBAndNoFurther) {
    // Zero bytes read as 24-byte records of an empty name: a 28-byte record added after them
    // makes the file exactly 16 MiB.
    TempFolder folder;
    writeBytes(folder.file(), record("PAD", 12, Bytes(12)));
    ASSERT_EQ(truncate(folder.file().c_str(), ParamFile::kMaxFileBytes - 28), 0);
    ParamFile file(folder.file());
    ASSERT_TRUE(file.writeLong("K", 7, "#"));
    EXPECT_EQ(std::filesystem::file_size(folder.file()), uint64_t(ParamFile::kMaxFileBytes));
    EXPECT_FALSE(file.writeByte("B", 1, "#"));
    EXPECT_EQ(std::filesystem::file_size(folder.file()), uint64_t(ParamFile::kMaxFileBytes));
}

TEST(ParamFile, FileHeldByAnotherOpenerIsAFileError) {
    TempFolder folder;
    writeBytes(folder.file(), threeRecords());
    ParamFile file(folder.file());
    // flock belongs to the open file description: a second open conflicts as a process would.
    const int holder = open(folder.file().c_str(), O_RDONLY);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    int32_t value = 5;
    EXPECT_FALSE(file.readLong("MIDDLE", value));
    EXPECT_EQ(file.lastError().rfind("Exception:", 0), 0u) << file.lastError();
    EXPECT_FALSE(file.writeLong("MIDDLE", 6, "#"));
    EXPECT_EQ(file.findParam("MIDDLE"), -2);
    close(holder);
    EXPECT_TRUE(file.writeLong("MIDDLE", 6, "#"));
    EXPECT_EQ(readBytes(folder.file()), threeRecords(6));
}

TEST(ParamFile, ReplacingKeepsRightsAndLinksAndLeavesNoTemporaryFile) {
    TempFolder folder;
    writeBytes(folder.file("real.dat"), threeRecords());
    ASSERT_EQ(chmod(folder.file("real.dat").c_str(), 0600), 0);
    std::filesystem::create_symlink(folder.file("real.dat"), folder.file());
    ParamFile file(folder.file());
    ASSERT_TRUE(file.deleteParam("LAST"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder.file()));
    EXPECT_EQ(readBytes(folder.file("real.dat")),
              concat({stringRecord("FIRST", "one"), record("MIDDLE", 4, longBlock(10), "note")}));
    struct stat info {};
    ASSERT_EQ(stat(folder.file("real.dat").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(folderEntries(folder.path()), (std::vector<std::string>{"param.dat", "real.dat"}));
}

TEST(ParamFile, FolderTakingNoNewEntryStillTakesEveryChange) {
    // On disk: not every memory file system has the immutable attribute.
    TempFolder folder(std::filesystem::temp_directory_path());
    writeBytes(folder.file(), threeRecords());
    ReadOnlyFolder readOnly(folder.path().string());
    if (!readOnly.works()) {
        GTEST_SKIP() << "cannot make a read-only folder here";
    }
    ParamFile file(folder.file());
    ASSERT_TRUE(file.writeString("ADDED", "plus", "")); // longer
    ASSERT_TRUE(file.deleteParam("FIRST"));             // shorter
    EXPECT_EQ(readBytes(folder.file()),
              concat({record("MIDDLE", 4, longBlock(10), "note"), byteRecord("LAST", 3),
                      stringRecord("ADDED", "plus")}));
    EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"param.dat"});
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
    const Bytes original = concat({stringRecord("A", "alpha"), stringRecord("B", "beta")});
    if (row.fileExists) {
        writeBytes(folder.file(), original);
    }
    const auto write = [&] { // a new comment moves every record after A
        ParamFile file(folder.file());
        return !file.writeString("A", "ALPHA", "moved") &&
                       file.lastError().rfind("Exception:", 0) == 0
                   ? 0
                   : 1;
    };
    EXPECT_EQ(runInChild(write, 1000, row.killedBySignal), row.killedBySignal ? 1000 + SIGXFSZ : 0);
    if (row.fileExists) {
        EXPECT_EQ(readBytes(folder.file()), original);
    } else if (!row.killedBySignal) {
        EXPECT_TRUE(std::filesystem::is_empty(folder.path())) << "the file made is taken back";
    }
    ASSERT_TRUE(ParamFile(folder.file()).writeString("A", "ALPHA", "moved"));
    const Bytes rest = row.fileExists ? stringRecord("B", "beta") : Bytes{};
    EXPECT_EQ(readBytes(folder.file()), concat({stringRecord("A", "ALPHA", "moved"), rest}));
}

INSTANTIATE_TEST_SUITE_P(Rows, InterruptedWrite,
                         ::testing::Values(InterruptRow{"write refused", true, false},
                                           InterruptRow{"writer killed", true, true},
                                           InterruptRow{"first write refused", false, false}),
                         [](const auto& info) { return rowName(info.param.description); });

} // namespace
