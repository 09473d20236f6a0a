#include "settings/Settings.h"

#include "support/ParamFixture.h"

#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace paramtest;

namespace {

using Texts = std::vector<std::string>;

// One setting seen from outside: its record, how to read and set it, its default and another
// value.
struct Key {
    const char* key;
    uint16_t type;
    std::function<std::string(const Settings&)> get;
    std::function<void(Settings&, const std::string&)> set;
    std::string defaultValue;
    std::string sampleValue;
};

template <typename Get> auto text(Get g) {
    return [g](const Settings& s) { return std::string((s.*g)()); };
}
template <typename Get> auto number(Get g) {
    return [g](const Settings& s) { return std::to_string((s.*g)()); };
}
template <typename Set> auto setText(Set f) {
    return [f](Settings& s, const std::string& v) { (s.*f)(v); };
}
template <typename Set> auto setNumber(Set f) {
    return [f](Settings& s, const std::string& v) { (s.*f)(std::stoi(v)); };
}

const std::vector<Key> kKeys = {
    {"CURRENTPATH", 1024, text(&Settings::currentFolder), setText(&Settings::setCurrentFolder), "",
     "/home/anne/Photos/"},
    {"DESTINATIONPATH", 1024, text(&Settings::destinationFolder),
     setText(&Settings::setDestinationFolder), "", "/home/anne/Tirages été/"},
    {"JPEGQUALITY", 4, number(&Settings::jpegQuality), setNumber(&Settings::setJpegQuality), "100",
     "85"},
    {"OPACITY", 4, number(&Settings::opacity), setNumber(&Settings::setOpacity), "50", "-7"},
    {"RESULT_NAME", 1024, text(&Settings::resultName), setText(&Settings::setResultName),
     "Photos_%dc_%i", "Tirage_%f_%i"},
    {"RENAME_PATH", 1024, text(&Settings::renameFolder), setText(&Settings::setRenameFolder), "",
     "/mnt/carte/"},
    {"RENAME_MASK", 1024, text(&Settings::renameMask), setText(&Settings::setRenameMask),
     "Photos_%dc_%i", "Vacances_%i"},
    {"SHOWFACTOR", 1, number(&Settings::showFactor), setNumber(&Settings::setShowFactor), "1", "0"},
    {"RECURSE_ORIGIN", 1, number(&Settings::recurseOrigin), setNumber(&Settings::setRecurseOrigin),
     "1", "0"},
    {"USE_RECAD_COLOR", 1, number(&Settings::useRecadColor), setNumber(&Settings::setUseRecadColor),
     "1", "0"},
    {"USE_SMALL_RBORDER", 1, number(&Settings::useSmallRBorder),
     setNumber(&Settings::setUseSmallRBorder), "0", "1"},
    {"KEYB_PROGRESSIF", 1, number(&Settings::keybProgressif),
     setNumber(&Settings::setKeybProgressif), "1", "0"},
    {"SHOWFULLFILENAME", 1, number(&Settings::showFullFileName),
     setNumber(&Settings::setShowFullFileName), "1", "0"},
    {"CHECK_VERSION", 1, number(&Settings::checkVersion), setNumber(&Settings::setCheckVersion),
     "0", "1"},
    {"AUTO_RENAME", 1, number(&Settings::autoRename), setNumber(&Settings::setAutoRename), "1",
     "0"},
};

Bytes recordFor(const Key& key, const std::string& value) {
    return key.type == 1024 ? stringRecord(key.key, value)
           : key.type == 4  ? longRecord(key.key, std::stoi(value))
                            : byteRecord(key.key, static_cast<uint8_t>(std::stoi(value)));
}

TEST(Settings, HandBuiltFileIsReadKeyByKeyOthersDefault) {
    TempFolder folder;
    // Every other key, in reverse order behind an unrelated record: found wherever they are.
    Bytes file = stringRecord("UNRELATED", "x", "a comment");
    for (size_t i = kKeys.size(); i-- > 0;) {
        if (i % 2 == 0) {
            file = concat({file, recordFor(kKeys[i], kKeys[i].sampleValue)});
        }
    }
    writeBytes(folder.file(), file);
    Settings settings(folder.file());
    for (size_t i = 0; i < kKeys.size(); ++i) {
        EXPECT_EQ(kKeys[i].get(settings), i % 2 ? kKeys[i].defaultValue : kKeys[i].sampleValue)
            << kKeys[i].key;
    }
}

TEST(Settings, EverySetterWritesItsRecordThrough) {
    TempFolder folder;
    Settings settings(folder.file());
    Bytes expected;
    for (const Key& key : kKeys) {
        key.set(settings, key.sampleValue);
        expected = concat({expected, recordFor(key, key.sampleValue)});
    }
    EXPECT_EQ(readBytes(folder.file()), expected);
    Settings reloaded(folder.file());
    for (const Key& key : kKeys) {
        EXPECT_EQ(key.get(reloaded), key.sampleValue) << key.key;
    }
}

// A setter call seen from a listener: which keys it announced and what the file then holds.
struct ChangeRow {
    const char* description;
    Bytes fileBefore; // empty: no file
    std::function<void(Settings&)> change;
    std::string announced; // keys in order, separated by spaces
    Bytes fileAfter;
};

class SettingsChange : public ::testing::TestWithParam<ChangeRow> {};

TEST_P(SettingsChange, AnnouncedOnlyWhenTheCachedValueChanges) {
    const ChangeRow& row = GetParam();
    TempFolder folder;
    if (!row.fileBefore.empty()) {
        writeBytes(folder.file(), row.fileBefore);
    }
    Settings settings(folder.file());
    std::string announced;
    QObject::connect(&settings, &Settings::changed, [&announced](const QString& key) {
        announced += (announced.empty() ? "" : " ") + key.toStdString();
    });
    row.change(settings);
    EXPECT_EQ(announced, row.announced);
    EXPECT_EQ(readBytes(folder.file()), row.fileAfter);
}

const ChangeRow kChangeRows[] = {
    {"value equal to its default is written but not announced",
     {},
     [](Settings& s) { s.setJpegQuality(100); },
     "",
     longRecord("JPEGQUALITY", 100)},
    {"another non-zero value for a yes is no change",
     {},
     [](Settings& s) { s.setKeybProgressif(2); },
     "",
     byteRecord("KEYB_PROGRESSIF", 2)},
    {"each changed key once, in turn",
     {},
     [](Settings& s) {
         s.setUseSmallRBorder(1);
         s.setDestinationFolder("/mnt/tirages/");
         s.setDestinationFolder("/mnt/tirages/");
     },
     "USE_SMALL_RBORDER DESTINATIONPATH",
     concat(
         {byteRecord("USE_SMALL_RBORDER", 1), stringRecord("DESTINATIONPATH", "/mnt/tirages/")})},
    {"key stored under another type: loaded as default, never overwritten, still announced",
     concat({stringRecord("OPACITY", "80"), longRecord("JPEGQUALITY", 90)}),
     [](Settings& s) { s.setOpacity(s.jpegQuality() == 90 ? 70 : 0); }, "OPACITY",
     concat({stringRecord("OPACITY", "80"), longRecord("JPEGQUALITY", 90)})},
    {"yes stores its low eight bits",
     {},
     [](Settings& s) { s.setRecurseOrigin(256); },
     "",
     byteRecord("RECURSE_ORIGIN", 0)},
    {"reloading another copy's change announces nothing",
     {},
     [](Settings& s) {
         Settings(s.paramFileName()).setCheckVersion(1);
         s.loadAll();
     },
     "",
     byteRecord("CHECK_VERSION", 1)},
};

INSTANTIATE_TEST_SUITE_P(Rows, SettingsChange, ::testing::ValuesIn(kChangeRows),
                         [](const auto& info) { return rowName(info.param.description); });

TEST(Settings, FailedWriteKeepsTheValueForThisRunOnly) {
    TempFolder folder;
    writeBytes(folder.file(), longRecord("JPEGQUALITY", 90));
    Settings settings(folder.file());
    const int holder = open(folder.file().c_str(), O_RDONLY);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    settings.setJpegQuality(60);
    EXPECT_EQ(settings.jpegQuality(), 60);
    close(holder);
    EXPECT_EQ(readBytes(folder.file()), longRecord("JPEGQUALITY", 90));
    settings.loadAll();
    EXPECT_EQ(settings.jpegQuality(), 90);
}

Bytes cut(Bytes bytes, size_t removed) {
    bytes.resize(bytes.size() - removed);
    return bytes;
}

struct DamageRow {
    const char* description;
    Bytes content;
    off_t sparseSize;    // when non-zero, the file is this many zero bytes instead
    int32_t jpegQuality; // as loaded
    bool acceptsWrites;  // a setter reaches the file, after the sound records
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
    Texts formats{"stale"};
    settings.loadFormats(formats);
    EXPECT_TRUE(formats.empty());
    settings.setOpacity(33);
    EXPECT_EQ(Settings(folder.file()).opacity(), row.acceptsWrites ? 33 : 50);
    if (!row.acceptsWrites) {
        EXPECT_EQ(std::filesystem::file_size(folder.file()), sizeBefore);
    } else if (row.jpegQuality != 100) {
        EXPECT_EQ(readBytes(folder.file()),
                  concat({longRecord("JPEGQUALITY", 77), longRecord("OPACITY", 33)}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DamagedFile,
    ::testing::Values(
        DamageRow{"record cut in its value", cut(longRecord("JPEGQUALITY", 77), 1), 0, 100, true},
        DamageRow{"sound record then a cut header",
                  concat({longRecord("JPEGQUALITY", 77), Bytes(15, 0x50)}), 0, 77, true},
        DamageRow{"sound record then one past the end",
                  concat({longRecord("JPEGQUALITY", 77), record("X", 0xFFFF, {})}), 0, 77, true},
        DamageRow{"all bytes 0xFF", Bytes(4096, 0xFF), 0, 100, true},
        DamageRow{"100 MB of zeros", {}, 100 * 1024 * 1024, 100, false}),
    [](const auto& info) { return rowName(info.param.description); });

TEST(Settings, HugeFormatCountStaysBounded) {
    TempFolder folder;
    writeBytes(folder.file(), longRecord("NBRECAD", 0x7FFFFFFF));
    Texts texts;
    Settings(folder.file()).loadFormats(texts);
    ASSERT_EQ(texts.size(), 4u * 1000u);
    EXPECT_EQ(texts[0], "-");
}

TEST(Settings, WhatStandsWhereTheFileShouldBeGivesDefaultsAndIsLeftAlone) {
    const std::pair<const char*, mode_t> rows[] = {{"a folder", S_IFDIR},
                                                   {"a named pipe", S_IFIFO}};
    for (const auto& [name, kind] : rows) {
        SCOPED_TRACE(name);
        TempFolder folder;
        const std::string path = folder.file();
        kind == S_IFDIR ? mkdir(path.c_str(), 0755) : mkfifo(path.c_str(), 0644);
        EXPECT_EQ(runInChild([&] { // a hang fails the test instead of stopping the run
                      Settings settings(path);
                      settings.setJpegQuality(80); // fails; the value is kept for this run only
                      return settings.jpegQuality() == 80 && settings.opacity() == 50 ? 0 : 3;
                  }),
                  0);
        struct stat info {};
        ASSERT_EQ(lstat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & S_IFMT, kind);
    }
}

} // namespace
