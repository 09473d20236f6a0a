#include "settings/Settings.h"

#include "support/ParamFixture.h"

#include <algorithm>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

using namespace paramtest;

namespace {

// One setting seen from outside: how to read it, how to set it, and how it sits in the file.
struct Key {
    const char* key;
    uint16_t type;
    std::function<std::string(const Settings&)> get; // the cached value as text
    std::function<void(Settings&, const std::string&)> set;
    std::string defaultValue;
    std::string sampleValue; // differs from the default
};

std::vector<Key> allKeys() {
    const auto text = [](auto getter) {
        return [getter](const Settings& s) { return (s.*getter)(); };
    };
    const auto number = [](auto getter) {
        return [getter](const Settings& s) { return std::to_string((s.*getter)()); };
    };
    const auto yesNo = [](auto getter) {
        return [getter](const Settings& s) { return std::string((s.*getter)() ? "1" : "0"); };
    };
    const auto setText = [](auto setter) {
        return [setter](Settings& s, const std::string& v) { (s.*setter)(v); };
    };
    const auto setNumber = [](auto setter) {
        return [setter](Settings& s, const std::string& v) { (s.*setter)(std::stoi(v)); };
    };
    return {
        {"CURRENTPATH", 1024, text(&Settings::currentFolder), setText(&Settings::setCurrentFolder),
         "", "/home/anne/Photos/"},
        {"DESTINATIONPATH", 1024, text(&Settings::destinationFolder),
         setText(&Settings::setDestinationFolder), "", "/home/anne/Tirages été/"},
        {"JPEGQUALITY", 4, number(&Settings::jpegQuality), setNumber(&Settings::setJpegQuality),
         "100", "85"},
        {"OPACITY", 4, number(&Settings::opacity), setNumber(&Settings::setOpacity), "50", "-7"},
        {"RESULT_NAME", 1024, text(&Settings::resultName), setText(&Settings::setResultName),
         "Photos_%dc_%i", "Tirage_%f_%i"},
        {"RENAME_PATH", 1024, text(&Settings::renameFolder), setText(&Settings::setRenameFolder),
         "", "/mnt/carte/"},
        {"RENAME_MASK", 1024, text(&Settings::renameMask), setText(&Settings::setRenameMask),
         "Photos_%dc_%i", "Vacances_%i"},
        {"SHOWFACTOR", 1, yesNo(&Settings::showFactor), setNumber(&Settings::setShowFactor), "1",
         "0"},
        {"RECURSE_ORIGIN", 1, yesNo(&Settings::recurseOrigin),
         setNumber(&Settings::setRecurseOrigin), "1", "0"},
        {"USE_RECAD_COLOR", 1, yesNo(&Settings::useRecadColor),
         setNumber(&Settings::setUseRecadColor), "1", "0"},
        {"USE_SMALL_RBORDER", 1, yesNo(&Settings::useSmallRBorder),
         setNumber(&Settings::setUseSmallRBorder), "0", "1"},
        {"KEYB_PROGRESSIF", 1, yesNo(&Settings::keybProgressif),
         setNumber(&Settings::setKeybProgressif), "1", "0"},
        {"SHOWFULLFILENAME", 1, yesNo(&Settings::showFullFileName),
         setNumber(&Settings::setShowFullFileName), "1", "0"},
        {"CHECK_VERSION", 1, yesNo(&Settings::checkVersion), setNumber(&Settings::setCheckVersion),
         "0", "1"},
        {"AUTO_RENAME", 1, yesNo(&Settings::autoRename), setNumber(&Settings::setAutoRename), "1",
         "0"},
    };
}

// The record a hand-written file would hold for the key with that value.
Bytes recordFor(const Key& key, const std::string& value) {
    switch (key.type) {
    case 1024:
        return stringRecord(key.key, value);
    case 4:
        return longRecord(key.key, std::stoi(value));
    default:
        return byteRecord(key.key, static_cast<uint8_t>(std::stoi(value)));
    }
}

TEST(Settings, MissingFileGivesDefaultsAndCreatesNothing) {
    TempFolder folder;
    Settings settings(folder.file());
    for (const Key& key : allKeys()) {
        EXPECT_EQ(key.get(settings), key.defaultValue) << key.key;
    }
    std::vector<std::string> formats{"stale"};
    settings.loadFormats(formats);
    EXPECT_TRUE(formats.empty());
    settings.loadAll();
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST(Settings, HandBuiltFileIsReadKeyByKeyOthersDefault) {
    TempFolder folder;
    const std::vector<Key> keys = allKeys();
    // Every other key, in reverse order behind an unrelated record: found wherever they are.
    Bytes file = stringRecord("UNRELATED", "x", "a comment");
    for (size_t i = keys.size(); i-- > 0;) {
        if (i % 2 == 0) {
            file = concat({file, recordFor(keys[i], keys[i].sampleValue)});
        }
    }
    writeBytes(folder.file(), file);
    Settings settings(folder.file());
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(keys[i].get(settings), i % 2 == 0 ? keys[i].sampleValue : keys[i].defaultValue)
            << keys[i].key;
    }
}

TEST(Settings, EverySetterWritesItsRecordThrough) {
    TempFolder folder;
    const std::vector<Key> keys = allKeys();
    Settings settings(folder.file());
    for (const Key& key : keys) {
        key.set(settings, key.sampleValue);
        EXPECT_EQ(key.get(settings), key.sampleValue) << key.key;
    }
    Bytes expected;
    for (const Key& key : keys) {
        expected = concat({expected, recordFor(key, key.sampleValue)});
    }
    EXPECT_EQ(readBytes(folder.file()), expected);
    Settings reloaded(folder.file());
    for (const Key& key : keys) {
        EXPECT_EQ(key.get(reloaded), key.sampleValue) << key.key;
    }
}

TEST(Settings, KeyStoredUnderAnotherTypeLoadsDefaultAndIsNotOverwritten) {
    TempFolder folder;
    const Bytes original = concat({stringRecord("OPACITY", "80"), longRecord("JPEGQUALITY", 90)});
    writeBytes(folder.file(), original);
    Settings settings(folder.file());
    EXPECT_EQ(settings.opacity(), 50);
    EXPECT_EQ(settings.jpegQuality(), 90);
    settings.setOpacity(70);
    EXPECT_EQ(settings.opacity(), 70);
    EXPECT_EQ(readBytes(folder.file()), original);
}

TEST(Settings, YesNoSetterStoresLowEightBits) {
    TempFolder folder;
    Settings settings(folder.file());
    settings.setRecurseOrigin(256);
    EXPECT_TRUE(settings.recurseOrigin()) << "non-zero is yes for the rest of the run";
    EXPECT_EQ(readBytes(folder.file()), byteRecord("RECURSE_ORIGIN", 0));
    settings.loadAll();
    EXPECT_EQ(settings.recurseOrigin(), 0);
}

TEST(Settings, FailedWriteKeepsValueInMemoryOnly) {
    TempFolder folder;
    writeBytes(folder.file(), longRecord("JPEGQUALITY", 90));
    Settings settings(folder.file());
    Settings other(folder.file());
    const int holder = open(folder.file().c_str(), O_RDONLY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    settings.setJpegQuality(60);
    EXPECT_EQ(settings.jpegQuality(), 60);
    close(holder);
    EXPECT_EQ(readBytes(folder.file()), longRecord("JPEGQUALITY", 90));
    settings.loadAll();
    EXPECT_EQ(settings.jpegQuality(), 90);
    other.setJpegQuality(12);
    settings.loadAll();
    EXPECT_EQ(settings.jpegQuality(), 12) << "LoadAll picks up another copy's change";
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

const Bytes kNoFile;

const ChangeRow kChangeRows[] = {
    {"new text", kNoFile, [](Settings& s) { s.setResultName("Tirage_%i"); }, "RESULT_NAME",
     stringRecord("RESULT_NAME", "Tirage_%i")},
    {"text equal to its default is written but not announced", kNoFile,
     [](Settings& s) { s.setRenameMask("Photos_%dc_%i"); }, "",
     stringRecord("RENAME_MASK", "Photos_%dc_%i")},
    {"new number", kNoFile, [](Settings& s) { s.setOpacity(70); }, "OPACITY",
     longRecord("OPACITY", 70)},
    {"number equal to its default is written but not announced", kNoFile,
     [](Settings& s) { s.setJpegQuality(100); }, "", longRecord("JPEGQUALITY", 100)},
    {"yes turned to no", kNoFile, [](Settings& s) { s.setAutoRename(0); }, "AUTO_RENAME",
     byteRecord("AUTO_RENAME", 0)},
    {"no loaded from the file turned to yes", byteRecord("SHOWFACTOR", 0),
     [](Settings& s) { s.setShowFactor(1); }, "SHOWFACTOR", byteRecord("SHOWFACTOR", 1)},
    {"another non-zero value for a yes is no change", kNoFile,
     [](Settings& s) { s.setKeybProgressif(2); }, "", byteRecord("KEYB_PROGRESSIF", 2)},
    {"the same new value twice is announced once", kNoFile,
     [](Settings& s) {
         s.setCurrentFolder("/home/anne/");
         s.setCurrentFolder("/home/anne/");
     },
     "CURRENTPATH", stringRecord("CURRENTPATH", "/home/anne/")},
    {"each changed key in turn", kNoFile,
     [](Settings& s) {
         s.setUseSmallRBorder(1);
         s.setDestinationFolder("/mnt/tirages/");
     },
     "USE_SMALL_RBORDER DESTINATIONPATH",
     concat(
         {byteRecord("USE_SMALL_RBORDER", 1), stringRecord("DESTINATIONPATH", "/mnt/tirages/")})},
    {"change the file refuses is still announced", stringRecord("OPACITY", "80"),
     [](Settings& s) { s.setOpacity(70); }, "OPACITY", stringRecord("OPACITY", "80")},
    {"reloading another copy's change announces nothing", kNoFile,
     [](Settings& s) {
         Settings(s.paramFileName()).setCheckVersion(1);
         s.loadAll();
     },
     "", byteRecord("CHECK_VERSION", 1)},
};

INSTANTIATE_TEST_SUITE_P(Rows, SettingsChange, ::testing::ValuesIn(kChangeRows),
                         [](const auto& info) { return rowName(info.param.description); });

TEST(Settings, ListenerFindsTheAnnouncedValueInTheFile) {
    TempFolder folder;
    Settings settings(folder.file());
    int32_t seenByAnotherCopy = 0;
    QObject::connect(&settings, &Settings::changed, [&](const QString&) {
        seenByAnotherCopy = Settings(settings.paramFileName()).jpegQuality();
    });
    settings.setJpegQuality(42);
    EXPECT_EQ(seenByAnotherCopy, 42);
}

} // namespace
