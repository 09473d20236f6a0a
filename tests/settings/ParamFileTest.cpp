// param.dat records byte by byte, and files or disks that are not what the program expects:
// it loads what is sound, never hangs, and loses no record it did not mean to change.

#include "settings/ParamFile.h"

#include "support/ParamFixture.h"
#include "support/PhotoFixtures.h"
#include "support/ReadOnlyFolder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace paramtest;
using fixtures::folderEntries;

namespace {

// A string, a long with a comment, a byte.
Bytes threeRecords(int32_t middle = 10, const std::string& middleComment = "note") {
    return concat({stringRecord("FIRST", "one"),
                   record("MIDDLE", 4, longBlock(middle), middleComment), byteRecord("LAST", 3)});
}

TEST(ParamFile, WritesRecordsAsBuiltByHand) {
    TempFolder folder;
    const std::string path = folder.file("a/b/param.dat"); // folders made on the first write
    ParamFile file(path);
    ASSERT_TRUE(file.writeLong("JPEGQUALITY", 100, "#"));
    EXPECT_EQ(readBytes(path), (Bytes{0x4B, 0x51, 0x46, 0x48, 0x52, 0x56, 0x42, 0x4D, 0x4A, 0x55,
                                      0x5A, 0,    0,    0,    0,    0,    0,    0,    0,    0,
                                      0x04, 0x00, 0x00, 0x00, 0x64, 0x00, 0x00, 0x00}));
    ASSERT_TRUE(file.writeLong("L", -2, "#"));
    ASSERT_TRUE(file.writeByte("A_NAME_OF_20_LETTERS", 0x1FE, "#")); // no NUL before the type
    // Twenty bytes once trimmed, inner spaces stored as '_'; the text cut to its block.
    ASSERT_TRUE(file.writeString(" \tMY KEY 0123456789ABC\n", std::string(1030, 'x'), "hello"));
    EXPECT_EQ(readBytes(path),
              concat({longRecord("JPEGQUALITY", 100), record("L", 4, {0xFE, 0xFF, 0xFF, 0xFF}),
                      record("A_NAME_OF_20_LETTERS", 1, {0xFE}),
                      stringRecord("MY_KEY_0123456789ABC", std::string(1024, 'x'), "hello")}));
    int32_t value = 0;
    ASSERT_TRUE(file.readByte("A_NAME_OF_20_LETTERS", value));
    EXPECT_EQ(value, 254);
    // A block cut short, without its end mark, decodes as far as it goes.
    for (const auto& [block, text] :
         {std::pair{std::vector<uint8_t>{}, ""}, {{'o', 'n' + 1, 'e' + 2}, "one"}})
        EXPECT_EQ(ParamFile::decodeString(block), text);
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
}

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

TEST(ParamFile, FailedCallsChangeNothingAndTheErrorTells) {
    enum class Op { Read, Write, Delete, Find };
    enum File { Missing, Present, Held }; // held: locked by another opener
    // clang-format off
    // result (Find's offset, else 1 for true)
    const struct { const char* description; Op op; File file; std::string name; int64_t result; std::string lastError; } rows[] = {
        {"read from missing file", Op::Read, Missing, "MIDDLE", 0, "Le fichier spécifié n'existe pas!"},
        {"read under another type", Op::Read, Present, "FIRST", 0, "Fonction lecture: le paramètre ne correspond pas au type spécifié!"},
        {"find a missing name", Op::Find, Present, "MIDDL", -1, "Fonction recherche: le paramètre n'existe pas!"},
        {"write blank name", Op::Write, Missing, " \n ", 0, "Fonction écriture: le nom du paramètre n'est pas spécifié!"},
        {"write a name of twenty-one bytes", Op::Write, Missing, "ABCDEFGHIJKLMNOPQRSTU", 0, "Fonction écriture: taille du nom incorrecte!"},
        // Raised by one, 0xFF would be stored as NUL and end the name early.
        {"write a name holding 0xFF", Op::Write, Missing, "JPEGQUALITY\xFF", 0, "Fonction écriture: taille du nom incorrecte!"},
        {"delete missing name", Op::Delete, Present, "NOPE", 1, "Fonction suppression : paramètre inexistant!"},
        {"delete from missing file", Op::Delete, Missing, "LAST", 0, "Fonction suppression: fichier inexistant!"},
        // Sharing violation: the lock is taken without waiting.
        {"read a held file", Op::Read, Held, "MIDDLE", 0, "Exception:11"},
        {"find in a held file", Op::Find, Held, "MIDDLE", -2, "Exception:11"},
        {"write to a held file", Op::Write, Held, "MIDDLE", 0, "Exception:11"},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.description);
        TempFolder folder;
        if (row.file != Missing) {
            writeBytes(folder.file(), threeRecords());
        }
        // flock belongs to the open file description: a second open conflicts as a process
        // would.
        const int holder = row.file == Held ? open(folder.file().c_str(), O_RDONLY) : -1;
        ASSERT_TRUE(row.file != Held || flock(holder, LOCK_EX | LOCK_NB) == 0);
        ParamFile file(folder.file());
        int32_t value = 1234;
        const int64_t result = row.op == Op::Read    ? file.readLong(row.name, value)
                               : row.op == Op::Write ? file.writeByte(row.name, 1, "#")
                               : row.op == Op::Find  ? file.findParam(row.name)
                                                     : file.deleteParam(row.name);
        close(holder);
        EXPECT_EQ(result, row.result);
        EXPECT_EQ(file.lastError(), row.lastError);
        EXPECT_EQ(value, 1234);
        EXPECT_EQ(readBytes(folder.file()), row.file != Missing ? threeRecords() : Bytes{});
    }
    ParamFile unnamed(" ");
    EXPECT_FALSE(unnamed.writeLong("MIDDLE", 1, "#"));
    EXPECT_EQ(unnamed.lastError(), "Fonction écriture: le nom du fichier n'est pas spécifié!");
}

// Whole records before any damage are read and a write goes after them, the damaged end
// dropped; what is no parameter file is left as it is, and never waited on.
TEST(ParamFile, DamagedOrForeignFileReadsWhatIsSoundAndWritesAfterIt) {
    const Bytes quality = longRecord("JPEGQUALITY", 77);
    const Bytes opacity = longRecord("OPACITY", 33);
    // clang-format off
    // zeros (when non-zero, the file is this many zero bytes instead); kind (a regular file, a folder or a named pipe)
    // found (JPEGQUALITY reads as 77); after (the file once OPACITY is written; empty: the write fails)
    const struct { const char* description; Bytes content; off_t zeros; mode_t kind; bool found; Bytes after; } rows[] = {
        {"record cut in its value", Bytes(quality.begin(), quality.end() - 1), 0, S_IFREG, false, opacity},
        {"sound record then a cut header", concat({quality, Bytes(15, 0x50)}), 0, S_IFREG, true, concat({quality, opacity})},
        {"sound record then one past the end", concat({quality, record("X", 0xFFFF, {})}), 0, S_IFREG, true, concat({quality, opacity})},
        {"100 MB of zeros", {}, 100 * 1024 * 1024, S_IFREG, false, {}},
        {"a folder", {}, 0, S_IFDIR, false, {}},
        {"a named pipe", {}, 0, S_IFIFO, false, {}},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.description);
        TempFolder folder;
        const std::string path = folder.file();
        if (row.kind == S_IFDIR) {
            ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
        } else if (row.kind == S_IFIFO) {
            ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
        } else {
            writeBytes(path, row.content);
            ASSERT_TRUE(row.zeros == 0 || truncate(path.c_str(), row.zeros) == 0);
        }
        const auto readAndWrite = [&] {
            ParamFile file(path);
            int32_t value = 0;
            const bool found = file.readLong("JPEGQUALITY", value) && value == 77;
            const bool written = file.writeLong("OPACITY", 33, "#");
            return (found == row.found ? 0 : 1) + (written == !row.after.empty() ? 0 : 2);
        };
        EXPECT_EQ(runInChild(readAndWrite), 0);
        struct stat info {};
        ASSERT_EQ(lstat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & S_IFMT, row.kind);
        if (!row.after.empty()) {
            EXPECT_EQ(readBytes(path), row.after);
        } else if (row.kind == S_IFREG) {
            EXPECT_EQ(info.st_size, row.zeros);
        }
    }
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

TEST(ParamFile, ReplacingKeepsRightsAndLinksAndLeavesNoTemporaryFile) {
    TempFolder folder;
    writeBytes(folder.file("real.dat"), threeRecords());
    ASSERT_EQ(chmod(folder.file("real.dat").c_str(), 0600), 0);
    std::filesystem::create_symlink(folder.file("real.dat"), folder.file());
    ParamFile file(folder.file());
    ASSERT_TRUE(file.deleteParam("LAST"));
    EXPECT_EQ(file.lastError(), "");
    EXPECT_TRUE(std::filesystem::is_symlink(folder.file()));
    EXPECT_EQ(readBytes(folder.file("real.dat")),
              concat({stringRecord("FIRST", "one"), record("MIDDLE", 4, longBlock(10), "note")}));
    struct stat info {};
    ASSERT_EQ(stat(folder.file("real.dat").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(folderEntries(folder.path()), (std::vector<std::string>{"param.dat", "real.dat"}));
}

TEST(ParamFile, FolderTakingNoNewEntryStillTakesEveryChange) {
    QTemporaryDir folder; // on disk: not every memory file system has the immutable attribute
    const std::string path = folder.filePath("param.dat").toStdString();
    writeBytes(path, threeRecords());
    ReadOnlyFolder readOnly(folder.path().toStdString());
    if (!readOnly.works()) {
        GTEST_SKIP() << "cannot make a read-only folder here";
    }
    ParamFile file(path);
    ASSERT_TRUE(file.writeString("ADDED", "plus", "")); // longer
    ASSERT_TRUE(file.deleteParam("FIRST"));             // shorter
    EXPECT_EQ(readBytes(path), concat({record("MIDDLE", 4, longBlock(10), "note"),
                                       byteRecord("LAST", 3), stringRecord("ADDED", "plus")}));
    EXPECT_EQ(folderEntries(folder.path().toStdString()), std::vector<std::string>{"param.dat"});

    // A folder the user may not write in (the program's own, say) holding a param.dat the user
    // may write: changed in place too.
    TempFolder locked;
    writeBytes(locked.file(), threeRecords());
    ASSERT_EQ(chmod(locked.file().c_str(), 0666) | chmod(locked.path().c_str(), 0555), 0);
    EXPECT_EQ(runInChild([&] {
                  if (geteuid() == 0 && setuid(65534) != 0) // root may write anywhere
                      return 2;
                  ParamFile file(locked.file());
                  return file.deleteParam("FIRST") && file.lastError().empty() ? 0 : 1;
              }),
              0);
    chmod(locked.path().c_str(), 0755);
    EXPECT_EQ(readBytes(locked.file()),
              concat({record("MIDDLE", 4, longBlock(10), "note"), byteRecord("LAST", 3)}));
}

TEST(ParamFile, InterruptedWriteKeepsTheOldRecordsAndTheNextWriteLands) {
    // clang-format off
    // killedBySignal (by SIGXFSZ mid-write, else the write just fails)
    const struct { const char* description; bool fileExists; bool killedBySignal; } rows[] = {
        {"write refused", true, false},
        {"writer killed", true, true},
        {"first write refused", false, false},
    };
    // clang-format on
    const Bytes original = concat({stringRecord("A", "alpha"), stringRecord("B", "beta")});
    for (const auto& row : rows) {
        SCOPED_TRACE(row.description);
        TempFolder folder;
        if (row.fileExists) {
            writeBytes(folder.file(), original);
        }
        const auto write = [&] {   // a new comment moves every record after A
            ::close(STDIN_FILENO); // the file may get descriptor 0
            ParamFile file(folder.file());
            return !file.writeString("A", "ALPHA", "moved") &&
                           file.lastError().rfind("Exception:", 0) == 0
                       ? 0
                       : 1;
        };
        EXPECT_EQ(runInChild(write, 1000, row.killedBySignal),
                  row.killedBySignal ? 1000 + SIGXFSZ : 0);
        if (row.fileExists) {
            EXPECT_EQ(readBytes(folder.file()), original);
        } else if (!row.killedBySignal) {
            EXPECT_TRUE(std::filesystem::is_empty(folder.path())) << "the file made is taken back";
        }
        ASSERT_TRUE(ParamFile(folder.file()).writeString("A", "ALPHA", "moved"));
        const Bytes rest = row.fileExists ? stringRecord("B", "beta") : Bytes{};
        EXPECT_EQ(readBytes(folder.file()), concat({stringRecord("A", "ALPHA", "moved"), rest}));
    }
}

} // namespace
