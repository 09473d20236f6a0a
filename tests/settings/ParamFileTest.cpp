#include "settings/ParamFile.h"

#include "support/ParamFixture.h"
#include "support/ReadOnlyFolder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace paramtest;

namespace {

const std::string kNotFound = "Fonction recherche: le paramètre n'existe pas!";

// A temporary param.dat, optionally pre-filled with hand-built bytes.
struct ParamAt {
    TempFolder folder;
    ParamFile file;
    explicit ParamAt(const std::optional<Bytes>& content = std::nullopt)
        : file(prepared(folder, content)) {}
    static std::string prepared(const TempFolder& folder, const std::optional<Bytes>& content) {
        if (content) {
            writeBytes(folder.file(), *content);
        }
        return folder.file();
    }
    [[nodiscard]] Bytes read() const { return readBytes(folder.file()); }
};

// A string, a long with a comment, a byte.
Bytes threeRecords(int32_t middle = 10, const std::string& middleComment = "note") {
    return concat({stringRecord("FIRST", "one"),
                   record("MIDDLE", 4, longBlock(middle), middleComment), byteRecord("LAST", 3)});
}

TEST(ParamFileBytes, WrittenRecordsMatchHandBuiltBytes) {
    ParamAt p;
    ASSERT_TRUE(p.file.writeLong("JPEGQUALITY", 100, "#"));
    EXPECT_EQ(p.read(), (Bytes{0x4B, 0x51, 0x46, 0x48, 0x52, 0x56, 0x42, 0x4D, 0x4A, 0x55,
                               0x5A, 0,    0,    0,    0,    0,    0,    0,    0,    0,
                               0x04, 0x00, 0x00, 0x00, 0x64, 0x00, 0x00, 0x00}));

    ParamAt abc;
    ASSERT_TRUE(abc.file.writeString("S", "abc", "#"));
    const Bytes bytes = abc.read();
    ASSERT_EQ(bytes.size(), 1048u);
    EXPECT_EQ(bytes[20], 0x00);
    EXPECT_EQ(bytes[21], 0x04);
    EXPECT_EQ(Bytes(bytes.begin() + 24, bytes.begin() + 30),
              (Bytes{0x61, 0x63, 0x65, 0x03, 0x04, 0x05}));
    for (size_t i = 3; i < 1024; ++i) {
        ASSERT_EQ(bytes[24 + i], i % 32) << "block byte " << i;
    }

    ParamAt signs;
    ASSERT_TRUE(signs.file.writeLong("L", -2, "#"));
    ASSERT_TRUE(signs.file.writeByte("B", 0x1FE, "#"));
    ASSERT_TRUE(signs.file.writeString("C", "v", "hello"));
    EXPECT_EQ(signs.read(), concat({record("L", 4, {0xFE, 0xFF, 0xFF, 0xFF}),
                                    record("B", 1, {0xFE}), stringRecord("C", "v", "hello")}));
    int32_t value = 0;
    ASSERT_TRUE(signs.file.readByte("B", value));
    EXPECT_EQ(value, 254);
}

TEST(ParamFileBytes, HandBuiltStringBlocksDecode) {
    const std::vector<std::string> texts = {"", "Photos_%dc_%i", "Défaut 10x15",
                                            std::string(31, '\x01'), std::string(1024, 'z')};
    Bytes content;
    for (size_t i = 0; i < texts.size(); ++i) {
        content = concat({content, stringRecord("S" + std::to_string(i), texts[i])});
    }
    ParamAt p(content);
    for (size_t i = 0; i < texts.size(); ++i) {
        std::string text = "before";
        ASSERT_TRUE(p.file.readString("S" + std::to_string(i), text)) << i;
        EXPECT_EQ(text, texts[i]) << i;
    }
    // A text whose byte 1 is 0 encodes as 1 there, which reads as the end of the text.
    EXPECT_EQ(ParamFile::decodeString(stringBlock(std::string("a\0b", 3))), "a");
}

TEST(ParamFileBytes, LongTextsAreCutTo1024Bytes) {
    ParamAt p;
    std::string text(1030, 'x');
    for (size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char>('A' + i % 26);
    }
    ASSERT_TRUE(p.file.writeString("LONG", text, "#"));
    std::string readBack;
    ASSERT_TRUE(p.file.readString("LONG", readBack));
    EXPECT_EQ(readBack, text.substr(0, 1024));
    EXPECT_EQ(p.read(), stringRecord("LONG", text.substr(0, 1024)));
}

struct NameRow {
    const char* description;
    std::string given;
    std::string stored; // empty: refused
};

class ParamFileNames : public ::testing::TestWithParam<NameRow> {};

TEST_P(ParamFileNames, NormalisedOrRefused) {
    const NameRow& row = GetParam();
    ParamAt p;
    EXPECT_EQ(p.file.writeLong(row.given, 7, "#"), !row.stored.empty());
    if (row.stored.empty()) {
        EXPECT_EQ(p.file.lastError(), "Fonction écriture: taille du nom incorrecte!");
        EXPECT_FALSE(std::filesystem::exists(p.folder.file()));
        return;
    }
    EXPECT_EQ(p.read(), longRecord(row.stored, 7));
    int32_t value = 0;
    ASSERT_TRUE(p.file.readLong(row.stored, value));
    EXPECT_EQ(value, 7);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParamFileNames,
    ::testing::Values(
        NameRow{"blanks around are trimmed", " \t KEY \r\n", "KEY"},
        NameRow{"inner blank becomes underscore", "MY KEY", "MY_KEY"},
        NameRow{"twenty bytes fill the field with no NUL", "ABCDEFGHIJKLMNOPQRST",
                "ABCDEFGHIJKLMNOPQRST"},
        NameRow{"twenty bytes after trimming", "  ABCDEFGHIJKLMNOPQRST  ", "ABCDEFGHIJKLMNOPQRST"},
        NameRow{"twenty-one bytes refused", "ABCDEFGHIJKLMNOPQRSTU", ""},
        NameRow{"UTF-8 counted in bytes", "ÉÉÉÉÉÉÉÉÉÉÉ", ""},
        NameRow{"a 0xFF byte would be stored as the name's end", "JPEGQUALITY\xFF", ""}),
    [](const auto& info) { return rowName(info.param.description); });

class ParamFileCommentChange : public ::testing::TestWithParam<std::string> {};

TEST_P(ParamFileCommentChange, RecordResizedAndTailFollows) {
    ParamAt p(threeRecords());
    ASSERT_TRUE(p.file.writeLong("MIDDLE", 11, GetParam()));
    EXPECT_EQ(p.read(), threeRecords(11, GetParam()));
    int32_t value = 0;
    std::string comment = "before";
    ASSERT_TRUE(p.file.readLong("MIDDLE", value, &comment));
    EXPECT_EQ(value, 11);
    EXPECT_EQ(comment, GetParam());
    ASSERT_TRUE(p.file.readByte("LAST", value, &comment));
    EXPECT_EQ(value, 3);
    EXPECT_EQ(comment, "");
}

INSTANTIATE_TEST_SUITE_P(Rows, ParamFileCommentChange,
                         ::testing::Values("a longer comment", "n", "", "mémo"));

TEST(ParamFileRewrite, InPlaceAppendMismatchAndDelete) {
    ParamAt p(threeRecords());
    ASSERT_TRUE(p.file.writeLong("MIDDLE", 99, "#"));
    EXPECT_EQ(p.read(), threeRecords(99, "note")) << "same length, comment kept";

    EXPECT_FALSE(p.file.writeString("MIDDLE", "text", "#"));
    EXPECT_EQ(p.file.lastError(), "Fonction d'écriture: le paramètre existe et son type est "
                                  "différent de celui souhaité!");
    EXPECT_EQ(p.read(), threeRecords(99, "note")) << "type mismatch leaves the file unchanged";

    ASSERT_TRUE(p.file.writeString("NEW", "x", "#"));
    EXPECT_EQ(p.read(), concat({threeRecords(99, "note"), stringRecord("NEW", "x")}));

    EXPECT_TRUE(p.file.deleteParam("MIDDLE"));
    EXPECT_EQ(p.read(), concat({stringRecord("FIRST", "one"), byteRecord("LAST", 3),
                                stringRecord("NEW", "x")}));
    EXPECT_TRUE(p.file.deleteParam("  FIRST")) << "leading blanks ignored";
    EXPECT_EQ(p.file.findParam("FIRST"), -1);
    EXPECT_EQ(p.file.findParam("LAST"), 0);
}

TEST(ParamFileFind, OffsetsAndFailures) {
    ParamAt missing;
    EXPECT_EQ(missing.file.findParam("FIRST"), -2);
    EXPECT_EQ(missing.file.lastError().rfind("Exception:", 0), 0u);

    ParamAt p(threeRecords());
    EXPECT_EQ(p.file.findParam("MIDDLE"), 1048);
    EXPECT_EQ(p.file.findParam("LAST"), 1048 + 28 + 4);
    EXPECT_EQ(p.file.findParam("LAS"), -1);
    EXPECT_EQ(p.file.lastError(), kNotFound);
    int32_t value = 0;
    ASSERT_TRUE(p.file.writeLong("MY KEY", 5, "#"));
    EXPECT_FALSE(p.file.readLong("MY KEY", value)) << "reads use the name as given";
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
    ParamAt p(row.fileExists ? std::optional<Bytes>(threeRecords()) : std::nullopt);
    int32_t value = 1234;
    std::string comment = "kept";
    bool result = false;
    switch (row.op) {
    case Op::Read:
        result = p.file.readLong(row.name, value, &comment);
        break;
    case Op::Write:
        result = p.file.writeByte(row.name, 1, "#");
        break;
    case Op::Delete:
        result = p.file.deleteParam(row.name);
        break;
    }
    EXPECT_EQ(result, row.result);
    EXPECT_EQ(p.file.lastError(), row.lastError);
    EXPECT_EQ(value, 1234);
    EXPECT_EQ(comment, "kept");
    if (row.fileExists) {
        EXPECT_EQ(p.read(), threeRecords());
    } else {
        EXPECT_TRUE(std::filesystem::is_empty(p.folder.path()));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParamFileFailures,
    ::testing::Values(FailRow{"read from missing file", Op::Read, false, "MIDDLE", false,
                              "Le fichier spécifié n'existe pas!"},
                      FailRow{"read empty name", Op::Read, true, "", false,
                              "Fonction lecture : le nom du paramètre à lire n'est pas spécifié!"},
                      FailRow{"read missing name", Op::Read, true, "NOPE", false, kNotFound},
                      FailRow{"read under another type", Op::Read, true, "FIRST", false,
                              "Fonction lecture: le paramètre ne correspond pas au type spécifié!"},
                      FailRow{"write blank name", Op::Write, false, " \n ", false,
                              "Fonction écriture: le nom du paramètre n'est pas spécifié!"},
                      FailRow{"delete missing name", Op::Delete, true, "NOPE", true,
                              "Fonction suppression : paramètre inexistant!"},
                      FailRow{"delete with trailing blank", Op::Delete, true, "LAST ", true,
                              "Fonction suppression : paramètre inexistant!"},
                      FailRow{"delete blank name", Op::Delete, true, " \t", false,
                              "Fonction suppression: le nom du paramètre n'est pas spécifié!"},
                      FailRow{"delete from missing file", Op::Delete, false, "LAST", false,
                              "Fonction suppression: fichier inexistant!"}),
    [](const auto& info) { return rowName(info.param.description); });

TEST(ParamFileFolders, CreatedOnFirstWriteOrFailQuietly) {
    TempFolder folder;
    ParamFile blank(" ");
    EXPECT_FALSE(blank.writeByte("KEY", 1, "#"));
    EXPECT_EQ(blank.lastError(), "Fonction écriture: le nom du fichier n'est pas spécifié!");

    const std::string path = folder.file("a/b/c/param.dat");
    ParamFile file(path);
    int32_t value = 0;
    EXPECT_FALSE(file.readLong("K", value));
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "a"));
    ASSERT_TRUE(file.writeLong("K", 3, "#"));
    EXPECT_EQ(readBytes(path), longRecord("K", 3));

    writeBytes(folder.file("plain"), {1});
    ParamFile underFile(folder.file("plain/sub/param.dat"));
    EXPECT_FALSE(underFile.writeLong("K", 3, "#"));
    EXPECT_EQ(underFile.lastError(), "");
}

TEST(ParamFileSize, GrowsToSixteenMiBAndNoFurther) {
    // A 36-byte record, then zero bytes that read as 24-byte records of an empty name: a
    // 28-byte record added after them makes the file exactly 16 MiB.
    TempFolder folder;
    writeBytes(folder.file(), record("PAD", 12, Bytes(12)));
    ASSERT_EQ(truncate(folder.file().c_str(), ParamFile::kMaxFileBytes - 28), 0);
    ParamFile file(folder.file());
    ASSERT_TRUE(file.writeLong("K", 7, "#"));
    EXPECT_EQ(std::filesystem::file_size(folder.file()), uint64_t(ParamFile::kMaxFileBytes));
    int32_t value = 0;
    ASSERT_TRUE(file.readLong("K", value));
    EXPECT_EQ(value, 7);
    EXPECT_FALSE(file.writeByte("B", 1, "#"));
    EXPECT_EQ(std::filesystem::file_size(folder.file()), uint64_t(ParamFile::kMaxFileBytes));
}

TEST(ParamFileLocking, FileHeldByAnotherOpenerIsAFileError) {
    ParamAt p(threeRecords());
    // flock belongs to the open file description, so a second open in this process
    // conflicts with the engine exactly as another process would.
    const int holder = open(p.folder.file().c_str(), O_RDONLY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    int32_t value = 5;
    EXPECT_FALSE(p.file.readLong("MIDDLE", value));
    EXPECT_EQ(value, 5);
    EXPECT_EQ(p.file.lastError().rfind("Exception:", 0), 0u) << p.file.lastError();
    EXPECT_FALSE(p.file.writeLong("MIDDLE", 6, "#"));
    EXPECT_EQ(p.file.lastError().rfind("Exception:", 0), 0u) << p.file.lastError();
    EXPECT_TRUE(p.file.deleteParam("MIDDLE"));
    EXPECT_EQ(p.file.findParam("MIDDLE"), -2);
    EXPECT_EQ(p.read(), threeRecords());
    close(holder);
    EXPECT_TRUE(p.file.writeLong("MIDDLE", 6, "#"));
    EXPECT_EQ(p.read(), threeRecords(6));
}

TEST(ParamFileReplace, KeepsRightsAndLinksAndLeavesNoTemporaryFile) {
    TempFolder folder;
    writeBytes(folder.file("real.dat"), threeRecords());
    ASSERT_EQ(chmod(folder.file("real.dat").c_str(), 0600), 0);
    std::filesystem::create_symlink(folder.file("real.dat"), folder.file());
    ParamFile file(folder.file());
    ASSERT_TRUE(file.writeLong("MIDDLE", 8, "#"));
    ASSERT_TRUE(file.deleteParam("LAST"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder.file()));
    EXPECT_EQ(readBytes(folder.file("real.dat")),
              concat({stringRecord("FIRST", "one"), record("MIDDLE", 4, longBlock(8), "note")}));
    struct stat info {};
    ASSERT_EQ(stat(folder.file("real.dat").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(folderEntries(folder.path()), (std::vector<std::string>{"param.dat", "real.dat"}));
}

TEST(ParamFileReplace, KeepsTheOwnerWhenRunAsRoot) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "only root can give a file to another user";
    }
    TempFolder folder;
    writeBytes(folder.file(), threeRecords());
    ASSERT_EQ(chown(folder.file().c_str(), 4242, 4343), 0);
    ParamFile file(folder.file());
    ASSERT_TRUE(file.writeLong("MIDDLE", 8, "#"));
    EXPECT_EQ(readBytes(folder.file()), threeRecords(8));
    struct stat info {};
    ASSERT_EQ(stat(folder.file().c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 4242u);
    EXPECT_EQ(info.st_gid, 4343u);
}

// Where no new file can be put in place of param.dat (a folder that takes no new entry, a
// path whose bytes are not UTF-8), every change still lands and nothing else appears.
struct ReplaceRow {
    const char* description;
    std::string subfolder; // param.dat's folder inside the test folder
    bool readOnly;
};

void PrintTo(const ReplaceRow& row, std::ostream* os) {
    *os << row.description;
}

class ParamFileAwkwardFolder : public ::testing::TestWithParam<ReplaceRow> {};

TEST_P(ParamFileAwkwardFolder, EveryChangeLandsAndNothingElseAppears) {
    const ReplaceRow& row = GetParam();
    // On disk rather than in memory: not every memory file system has the immutable attribute.
    TempFolder base(std::filesystem::temp_directory_path());
    const std::filesystem::path folder = base.path() / row.subfolder;
    ASSERT_TRUE(std::filesystem::create_directories(folder));
    const std::string path = (folder / "param.dat").string();
    writeBytes(path, threeRecords());
    std::optional<ReadOnlyFolder> readOnly;
    if (row.readOnly) {
        readOnly.emplace(folder.string());
        if (!readOnly->works()) {
            GTEST_SKIP() << "cannot make a read-only folder here";
        }
    }

    ParamFile file(path);
    ASSERT_TRUE(file.writeLong("MIDDLE", 8, "#"));      // same size
    ASSERT_TRUE(file.writeString("ADDED", "plus", "")); // longer
    ASSERT_TRUE(file.deleteParam("FIRST"));             // shorter
    EXPECT_EQ(readBytes(path), concat({record("MIDDLE", 4, longBlock(8), "note"),
                                       byteRecord("LAST", 3), stringRecord("ADDED", "plus")}));
    EXPECT_EQ(folderEntries(folder), std::vector<std::string>{"param.dat"});
    EXPECT_EQ(folderEntries(base.path()), std::vector<std::string>{row.subfolder});
}

INSTANTIATE_TEST_SUITE_P(Rows, ParamFileAwkwardFolder,
                         ::testing::Values(ReplaceRow{"folder taking no new entry", "locked", true},
                                           ReplaceRow{"folder named in Latin-1", "\xE9t\xE9",
                                                      false}),
                         [](const auto& info) { return rowName(info.param.description); });

} // namespace
