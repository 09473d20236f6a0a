#include "settings/ParamFile.h"

#include "settings/ParamFixture.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace paramtest;

namespace {

const std::string kNotFound = "Fonction recherche: le paramètre n'existe pas!";

TEST(ParamFileBytes, JpegQualityIntoMissingFileIs28ByteRecord) {
    TempFolder folder;
    CParamFile file(folder.File());
    ASSERT_TRUE(file.WriteLong("JPEGQUALITY", 100, "#"));
    const Bytes expected = {0x4B, 0x51, 0x46, 0x48, 0x52, 0x56, 0x42, 0x4D, 0x4A, 0x55,
                            0x5A, 0,    0,    0,    0,    0,    0,    0,    0,    0,
                            0x04, 0x00, 0x00, 0x00, 0x64, 0x00, 0x00, 0x00};
    EXPECT_EQ(ReadBytes(folder.File()), expected);
}

TEST(ParamFileBytes, StringBlockOfAbc) {
    TempFolder folder;
    CParamFile file(folder.File());
    ASSERT_TRUE(file.WriteString("S", "abc", "#"));
    const Bytes bytes = ReadBytes(folder.File());
    ASSERT_EQ(bytes.size(), 1048u);
    EXPECT_EQ(bytes[20], 0x00);
    EXPECT_EQ(bytes[21], 0x04);
    const Bytes head(bytes.begin() + 24, bytes.begin() + 30);
    EXPECT_EQ(head, (Bytes{0x61, 0x63, 0x65, 0x03, 0x04, 0x05}));
    for (size_t i = 3; i < 1024; ++i) {
        ASSERT_EQ(bytes[24 + i], i % 32) << "block byte " << i;
    }
}

TEST(ParamFileBytes, NegativeLongAndByteBlocks) {
    TempFolder folder;
    CParamFile file(folder.File());
    ASSERT_TRUE(file.WriteLong("L", -2, "#"));
    ASSERT_TRUE(file.WriteByte("B", 0x1FE, "#"));
    EXPECT_EQ(ReadBytes(folder.File()),
              Concat({Record("L", 4, {0xFE, 0xFF, 0xFF, 0xFF}), Record("B", 1, {0xFE})}));
    int32_t longValue = 0;
    int32_t byteValue = 0;
    ASSERT_TRUE(file.ReadLong("L", longValue));
    ASSERT_TRUE(file.ReadByte("B", byteValue));
    EXPECT_EQ(longValue, -2);
    EXPECT_EQ(byteValue, 254);
}

struct NameRow {
    const char* description;
    std::string given;
    bool accepted;
    std::string stored; // as found again by a read
};

class ParamFileNames : public ::testing::TestWithParam<NameRow> {};

TEST_P(ParamFileNames, NormalisedOrRefused) {
    const NameRow& row = GetParam();
    TempFolder folder;
    CParamFile file(folder.File());
    EXPECT_EQ(file.WriteLong(row.given, 7, "#"), row.accepted);
    if (!row.accepted) {
        EXPECT_FALSE(std::filesystem::exists(folder.File()));
        return;
    }
    EXPECT_EQ(ReadBytes(folder.File()), LongRecord(row.stored, 7));
    int32_t value = 0;
    ASSERT_TRUE(file.ReadLong(row.stored, value));
    EXPECT_EQ(value, 7);
    EXPECT_EQ(file.FindParam(row.stored), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParamFileNames,
    ::testing::Values(NameRow{"plain", "KEY", true, "KEY"},
                      NameRow{"blanks around are trimmed", " \t KEY \r\n", true, "KEY"},
                      NameRow{"inner blank becomes underscore", "MY KEY", true, "MY_KEY"},
                      NameRow{"twenty bytes fill the field with no NUL", "ABCDEFGHIJKLMNOPQRST",
                              true, "ABCDEFGHIJKLMNOPQRST"},
                      NameRow{"twenty bytes after trimming", "  ABCDEFGHIJKLMNOPQRST  ", true,
                              "ABCDEFGHIJKLMNOPQRST"},
                      NameRow{"twenty-one bytes refused", "ABCDEFGHIJKLMNOPQRSTU", false, ""},
                      NameRow{"UTF-8 counted in bytes", "ÉÉÉÉÉÉÉÉÉÉÉ", false, ""},
                      NameRow{"a 0xFF byte would be stored as the name's end",
                              "JPEGQUALITY\xFF", false, ""}),
    [](const auto& info) { return RowName(info.param.description); });

TEST(ParamFileNames, ReadUsesTheNameAsGiven) {
    TempFolder folder;
    CParamFile file(folder.File());
    ASSERT_TRUE(file.WriteLong("MY KEY", 5, "#"));
    int32_t value = 0;
    EXPECT_FALSE(file.ReadLong("MY KEY", value));
    EXPECT_EQ(file.GetLastError(), kNotFound);
    EXPECT_TRUE(file.ReadLong("MY_KEY", value));
    EXPECT_EQ(value, 5);
}

// Three hand-built records: a string, a long with a comment, a byte.
Bytes ThreeRecords(int32_t middle = 10, const std::string& middleComment = "note") {
    return Concat({StringRecord("FIRST", "one"),
                   Record("MIDDLE", 4, LongBlock(middle), middleComment), ByteRecord("LAST", 3)});
}

TEST(ParamFileRewrite, SameTypeNoCommentRewritesInPlaceKeepingComment) {
    TempFolder folder;
    WriteBytes(folder.File(), ThreeRecords());
    CParamFile file(folder.File());
    ASSERT_TRUE(file.WriteLong("MIDDLE", 99, "#"));
    EXPECT_EQ(ReadBytes(folder.File()), ThreeRecords(99, "note"));
}

struct CommentRow {
    const char* description;
    std::string comment;
};

class ParamFileCommentChange : public ::testing::TestWithParam<CommentRow> {};

TEST_P(ParamFileCommentChange, TailFollowsTheResizedRecord) {
    TempFolder folder;
    WriteBytes(folder.File(), ThreeRecords());
    CParamFile file(folder.File());
    ASSERT_TRUE(file.WriteLong("MIDDLE", 11, GetParam().comment));
    EXPECT_EQ(ReadBytes(folder.File()), ThreeRecords(11, GetParam().comment));
    std::string comment = "unchanged";
    int32_t value = 0;
    ASSERT_TRUE(file.ReadLong("MIDDLE", value, &comment));
    EXPECT_EQ(comment, GetParam().comment);
    int32_t last = 0;
    ASSERT_TRUE(file.ReadByte("LAST", last));
    EXPECT_EQ(last, 3);
}

INSTANTIATE_TEST_SUITE_P(Rows, ParamFileCommentChange,
                         ::testing::Values(CommentRow{"longer", "a longer comment"},
                                           CommentRow{"shorter", "n"}, CommentRow{"removed", ""},
                                           CommentRow{"same length", "memo"}),
                         [](const auto& info) { return RowName(info.param.description); });

TEST(ParamFileRewrite, TypeMismatchLeavesFileByteIdentical) {
    TempFolder folder;
    WriteBytes(folder.File(), ThreeRecords());
    CParamFile file(folder.File());
    EXPECT_FALSE(file.WriteString("MIDDLE", "text", "#"));
    EXPECT_EQ(file.GetLastError(), "Fonction d'écriture: le paramètre existe et son type est "
                                   "différent de celui souhaité!");
    EXPECT_EQ(ReadBytes(folder.File()), ThreeRecords());
}

TEST(ParamFileRewrite, NewNameIsAppended) {
    TempFolder folder;
    WriteBytes(folder.File(), ThreeRecords());
    CParamFile file(folder.File());
    ASSERT_TRUE(file.WriteString("NEW", "x", "#"));
    EXPECT_EQ(ReadBytes(folder.File()), Concat({ThreeRecords(), StringRecord("NEW", "x")}));
    EXPECT_EQ(file.FindParam("NEW"), static_cast<int64_t>(ThreeRecords().size()));
}

TEST(ParamFileRewrite, NewNameWithCommentStoresIt) {
    TempFolder folder;
    CParamFile file(folder.File());
    ASSERT_TRUE(file.WriteString("K", "v", "hello"));
    EXPECT_EQ(ReadBytes(folder.File()), StringRecord("K", "v", "hello"));
}

TEST(ParamFileStrings, LongTextsAreCutTo1024Bytes) {
    TempFolder folder;
    CParamFile file(folder.File());
    std::string text(1030, 'x');
    for (size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char>('A' + i % 26);
    }
    ASSERT_TRUE(file.WriteString("LONG", text, "#"));
    ASSERT_TRUE(file.WriteString("FULL", text.substr(0, 1024), "#"));
    std::string readBack;
    ASSERT_TRUE(file.ReadString("LONG", readBack));
    EXPECT_EQ(readBack, text.substr(0, 1024));
    ASSERT_TRUE(file.ReadString("FULL", readBack));
    EXPECT_EQ(readBack, text.substr(0, 1024));
    EXPECT_EQ(ReadBytes(folder.File()).size(), 2u * 1048u);
}

TEST(ParamFileStrings, HandBuiltBlocksDecode) {
    const std::vector<std::string> texts = {"", "Photos_%dc_%i", "/home/anne/Images/",
                                            "Défaut 10x15", std::string(31, '\x01')};
    TempFolder folder;
    Bytes file;
    for (size_t i = 0; i < texts.size(); ++i) {
        const Bytes record = StringRecord("S" + std::to_string(i), texts[i]);
        file.insert(file.end(), record.begin(), record.end());
    }
    WriteBytes(folder.File(), file);
    CParamFile param(folder.File());
    for (size_t i = 0; i < texts.size(); ++i) {
        std::string text = "before";
        ASSERT_TRUE(param.ReadString("S" + std::to_string(i), text)) << i;
        EXPECT_EQ(text, texts[i]) << i;
    }
}

TEST(ParamFileStrings, DecodeStopsAtFirstBytePositionValue) {
    // A text whose byte 1 is 0 encodes as 1 there, which reads as the end of the text.
    EXPECT_EQ(CParamFile::DecodeString(StringBlock(std::string("a\0b", 3))), "a");
}

TEST(ParamFileDelete, FromTheMiddleClosesTheGap) {
    TempFolder folder;
    WriteBytes(folder.File(), ThreeRecords());
    CParamFile file(folder.File());
    EXPECT_TRUE(file.DeleteParam("MIDDLE"));
    EXPECT_EQ(ReadBytes(folder.File()),
              Concat({StringRecord("FIRST", "one"), ByteRecord("LAST", 3)}));
    EXPECT_EQ(file.FindParam("LAST"), 1048);
}

struct DeleteRow {
    const char* description;
    bool fileExists;
    std::string name;
    bool result;
    std::string lastError;
};

class ParamFileDeleteRows : public ::testing::TestWithParam<DeleteRow> {};

TEST_P(ParamFileDeleteRows, NothingRemoved) {
    const DeleteRow& row = GetParam();
    TempFolder folder;
    if (row.fileExists) {
        WriteBytes(folder.File(), ThreeRecords());
    }
    CParamFile file(folder.File());
    EXPECT_EQ(file.DeleteParam(row.name), row.result);
    EXPECT_EQ(file.GetLastError(), row.lastError);
    if (row.fileExists) {
        EXPECT_EQ(ReadBytes(folder.File()), ThreeRecords());
    } else {
        EXPECT_FALSE(std::filesystem::exists(folder.File()));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParamFileDeleteRows,
    ::testing::Values(DeleteRow{"missing name", true, "NOPE", true,
                                "Fonction suppression : paramètre inexistant!"},
                      DeleteRow{"trailing blank is part of the name", true, "LAST ", true,
                                "Fonction suppression : paramètre inexistant!"},
                      DeleteRow{"blank name", true, " \t", false,
                                "Fonction suppression: le nom du paramètre n'est pas spécifié!"},
                      DeleteRow{"missing file", false, "LAST", false,
                                "Fonction suppression: fichier inexistant!"}),
    [](const auto& info) { return RowName(info.param.description); });

TEST(ParamFileDelete, LeadingBlanksAreIgnored) {
    TempFolder folder;
    WriteBytes(folder.File(), ThreeRecords());
    CParamFile file(folder.File());
    EXPECT_TRUE(file.DeleteParam("  FIRST"));
    EXPECT_EQ(file.GetLastError(), "");
    EXPECT_EQ(file.FindParam("FIRST"), -1);
}

struct ReadRow {
    const char* description;
    bool fileExists;
    std::string name;
    std::string lastError;
};

class ParamFileReadRows : public ::testing::TestWithParam<ReadRow> {};

TEST_P(ParamFileReadRows, FailsLeavingDestinationsUnchanged) {
    const ReadRow& row = GetParam();
    TempFolder folder;
    if (row.fileExists) {
        WriteBytes(folder.File(), ThreeRecords());
    }
    CParamFile file(folder.File());
    int32_t value = 1234;
    std::string comment = "kept";
    EXPECT_FALSE(file.ReadLong(row.name, value, &comment));
    EXPECT_EQ(value, 1234);
    EXPECT_EQ(comment, "kept");
    EXPECT_EQ(file.GetLastError(), row.lastError);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParamFileReadRows,
    ::testing::Values(ReadRow{"missing file", false, "MIDDLE", "Le fichier spécifié n'existe pas!"},
                      ReadRow{"empty name", true, "",
                              "Fonction lecture : le nom du paramètre à lire n'est pas spécifié!"},
                      ReadRow{"missing name", true, "NOPE", kNotFound},
                      ReadRow{
                          "stored under another type", true, "FIRST",
                          "Fonction lecture: le paramètre ne correspond pas au type spécifié!"}),
    [](const auto& info) { return RowName(info.param.description); });

struct WriteRow {
    const char* description;
    std::string path;
    std::string name;
    std::string lastError;
};

class ParamFileWriteRows : public ::testing::TestWithParam<WriteRow> {};

TEST_P(ParamFileWriteRows, RefusedWithMessage) {
    const WriteRow& row = GetParam();
    TempFolder folder;
    CParamFile file(row.path.empty() ? std::string(" ") : folder.File(row.path));
    EXPECT_FALSE(file.WriteByte(row.name, 1, "#"));
    EXPECT_EQ(file.GetLastError(), row.lastError);
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParamFileWriteRows,
    ::testing::Values(WriteRow{"blank name", "param.dat", " \n ",
                               "Fonction écriture: le nom du paramètre n'est pas spécifié!"},
                      WriteRow{"name too long", "param.dat", "ABCDEFGHIJKLMNOPQRSTUV",
                               "Fonction écriture: taille du nom incorrecte!"},
                      WriteRow{"blank file path", "", "KEY",
                               "Fonction écriture: le nom du fichier n'est pas spécifié!"}),
    [](const auto& info) { return RowName(info.param.description); });

TEST(ParamFileFind, OffsetsAndFailures) {
    TempFolder folder;
    CParamFile missing(folder.File());
    EXPECT_EQ(missing.FindParam("FIRST"), -2);
    EXPECT_EQ(missing.GetLastError().rfind("Exception:", 0), 0u);

    WriteBytes(folder.File(), ThreeRecords());
    CParamFile file(folder.File());
    EXPECT_EQ(file.FindParam("FIRST"), 0);
    EXPECT_EQ(file.FindParam("MIDDLE"), 1048);
    EXPECT_EQ(file.FindParam("LAST"), 1048 + 28 + 4);
    EXPECT_EQ(file.FindParam("LAS"), -1);
    EXPECT_EQ(file.GetLastError(), kNotFound);
}

TEST(ParamFileFolders, MissingFoldersAreCreatedOnFirstWrite) {
    TempFolder folder;
    const std::string path = folder.File("a/b/c/param.dat");
    CParamFile file(path);
    int32_t value = 0;
    EXPECT_FALSE(file.ReadLong("K", value));
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "a"));
    ASSERT_TRUE(file.WriteLong("K", 3, "#"));
    EXPECT_EQ(ReadBytes(path), LongRecord("K", 3));
}

TEST(ParamFileFolders, FolderThatCannotBeMadeFailsWithoutMessage) {
    TempFolder folder;
    WriteBytes(folder.File("plain"), {1});
    CParamFile file(folder.File("plain/sub/param.dat"));
    EXPECT_FALSE(file.WriteLong("K", 3, "#"));
    EXPECT_EQ(file.GetLastError(), "");
}

TEST(ParamFileLocking, FileHeldByAnotherOpenerIsAFileError) {
    TempFolder folder;
    WriteBytes(folder.File(), ThreeRecords());
    // flock belongs to the open file description, so a second open in this process
    // conflicts with the engine exactly as another process would.
    const int holder = open(folder.File().c_str(), O_RDONLY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);

    CParamFile file(folder.File());
    int32_t value = 5;
    EXPECT_FALSE(file.ReadLong("MIDDLE", value));
    EXPECT_EQ(value, 5);
    EXPECT_EQ(file.GetLastError().rfind("Exception:", 0), 0u) << file.GetLastError();
    EXPECT_FALSE(file.WriteLong("MIDDLE", 6, "#"));
    EXPECT_EQ(file.GetLastError().rfind("Exception:", 0), 0u) << file.GetLastError();
    EXPECT_TRUE(file.DeleteParam("MIDDLE"));
    EXPECT_EQ(file.GetLastError(), "Fonction suppression : paramètre inexistant!");
    EXPECT_EQ(file.FindParam("MIDDLE"), -2);
    EXPECT_EQ(ReadBytes(folder.File()), ThreeRecords());

    close(holder);
    EXPECT_TRUE(file.WriteLong("MIDDLE", 6, "#"));
    EXPECT_EQ(ReadBytes(folder.File()), ThreeRecords(6));
}

TEST(ParamFileReplace, KeepsAccessRightsAndLeavesNoTemporaryFile) {
    TempFolder folder;
    WriteBytes(folder.File(), ThreeRecords());
    ASSERT_EQ(chmod(folder.File().c_str(), 0600), 0);
    CParamFile file(folder.File());
    ASSERT_TRUE(file.WriteLong("MIDDLE", 1, "#"));
    ASSERT_TRUE(file.DeleteParam("LAST"));
    struct stat info {};
    ASSERT_EQ(stat(folder.File().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1u);
}

TEST(ParamFileReplace, SymbolicLinkStaysALink) {
    TempFolder folder;
    WriteBytes(folder.File("real.dat"), ThreeRecords());
    std::filesystem::create_symlink(folder.File("real.dat"), folder.File());
    CParamFile file(folder.File());
    ASSERT_TRUE(file.WriteLong("MIDDLE", 8, "#"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File()));
    EXPECT_EQ(ReadBytes(folder.File("real.dat")), ThreeRecords(8));
}

} // namespace
