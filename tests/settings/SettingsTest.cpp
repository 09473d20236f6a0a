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
    std::function<std::string(const CSettings&)> get; // the cached value as text
    std::function<void(CSettings&, const std::string&)> set;
    std::string defaultValue;
    std::string sampleValue; // differs from the default
};

std::vector<Key> AllKeys() {
    const auto text = [](auto getter) {
        return [getter](const CSettings& s) { return (s.*getter)(); };
    };
    const auto number = [](auto getter) {
        return [getter](const CSettings& s) { return std::to_string((s.*getter)()); };
    };
    const auto yesNo = [](auto getter) {
        return [getter](const CSettings& s) { return std::string((s.*getter)() ? "1" : "0"); };
    };
    const auto setText = [](auto setter) {
        return [setter](CSettings& s, const std::string& v) { (s.*setter)(v); };
    };
    const auto setNumber = [](auto setter) {
        return [setter](CSettings& s, const std::string& v) { (s.*setter)(std::stoi(v)); };
    };
    return {
        {"CURRENTPATH", 1024, text(&CSettings::GetCurrentFolder),
         setText(&CSettings::SetCurrentFolder), "", "/home/anne/Photos/"},
        {"DESTINATIONPATH", 1024, text(&CSettings::GetDestinationFolder),
         setText(&CSettings::SetDestinationFolder), "", "/home/anne/Tirages été/"},
        {"JPEGQUALITY", 4, number(&CSettings::GetJpegQuality),
         setNumber(&CSettings::SetJpegQuality), "100", "85"},
        {"OPACITY", 4, number(&CSettings::GetOpacity), setNumber(&CSettings::SetOpacity), "50",
         "-7"},
        {"RESULT_NAME", 1024, text(&CSettings::GetResultName), setText(&CSettings::SetResultName),
         "Photos_%dc_%i", "Tirage_%f_%i"},
        {"RENAME_PATH", 1024, text(&CSettings::GetRenameFolder),
         setText(&CSettings::SetRenameFolder), "", "/mnt/carte/"},
        {"RENAME_MASK", 1024, text(&CSettings::GetRenameMask), setText(&CSettings::SetRenameMask),
         "Photos_%dc_%i", "Vacances_%i"},
        {"SHOWFACTOR", 1, yesNo(&CSettings::GetShowFactor), setNumber(&CSettings::SetShowFactor),
         "1", "0"},
        {"RECURSE_ORIGIN", 1, yesNo(&CSettings::GetRecurseOrigin),
         setNumber(&CSettings::SetRecurseOrigin), "1", "0"},
        {"USE_RECAD_COLOR", 1, yesNo(&CSettings::GetUseRecadColor),
         setNumber(&CSettings::SetUseRecadColor), "1", "0"},
        {"USE_SMALL_RBORDER", 1, yesNo(&CSettings::GetUseSmallRBorder),
         setNumber(&CSettings::SetUseSmallRBorder), "0", "1"},
        {"KEYB_PROGRESSIF", 1, yesNo(&CSettings::GetKeybProgressif),
         setNumber(&CSettings::SetKeybProgressif), "1", "0"},
        {"SHOWFULLFILENAME", 1, yesNo(&CSettings::GetShowFullFileName),
         setNumber(&CSettings::SetShowFullFileName), "1", "0"},
        {"CHECK_VERSION", 1, yesNo(&CSettings::GetCheckVersion),
         setNumber(&CSettings::SetCheckVersion), "0", "1"},
        {"AUTO_RENAME", 1, yesNo(&CSettings::GetAutoRename), setNumber(&CSettings::SetAutoRename),
         "1", "0"},
    };
}

// The record a hand-written file would hold for the key with that value.
Bytes RecordFor(const Key& key, const std::string& value) {
    switch (key.type) {
    case 1024:
        return StringRecord(key.key, value);
    case 4:
        return LongRecord(key.key, std::stoi(value));
    default:
        return ByteRecord(key.key, static_cast<uint8_t>(std::stoi(value)));
    }
}

TEST(Settings, MissingFileGivesDefaultsAndCreatesNothing) {
    TempFolder folder;
    CSettings settings(folder.File());
    for (const Key& key : AllKeys()) {
        EXPECT_EQ(key.get(settings), key.defaultValue) << key.key;
    }
    std::vector<std::string> formats{"stale"};
    settings.LoadFormats(formats);
    EXPECT_TRUE(formats.empty());
    settings.LoadAll();
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST(Settings, HandBuiltFileIsReadKeyByKeyOthersDefault) {
    TempFolder folder;
    const std::vector<Key> keys = AllKeys();
    // Every other key, in reverse order behind an unrelated record: found wherever they are.
    Bytes file = StringRecord("UNRELATED", "x", "a comment");
    for (size_t i = keys.size(); i-- > 0;) {
        if (i % 2 == 0) {
            file = Concat({file, RecordFor(keys[i], keys[i].sampleValue)});
        }
    }
    WriteBytes(folder.File(), file);
    CSettings settings(folder.File());
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(keys[i].get(settings), i % 2 == 0 ? keys[i].sampleValue : keys[i].defaultValue)
            << keys[i].key;
    }
}

TEST(Settings, EverySetterWritesItsRecordThrough) {
    TempFolder folder;
    const std::vector<Key> keys = AllKeys();
    CSettings settings(folder.File());
    for (const Key& key : keys) {
        key.set(settings, key.sampleValue);
        EXPECT_EQ(key.get(settings), key.sampleValue) << key.key;
    }
    Bytes expected;
    for (const Key& key : keys) {
        expected = Concat({expected, RecordFor(key, key.sampleValue)});
    }
    EXPECT_EQ(ReadBytes(folder.File()), expected);
    CSettings reloaded(folder.File());
    for (const Key& key : keys) {
        EXPECT_EQ(key.get(reloaded), key.sampleValue) << key.key;
    }
}

TEST(Settings, KeyStoredUnderAnotherTypeLoadsDefaultAndIsNotOverwritten) {
    TempFolder folder;
    const Bytes original = Concat({StringRecord("OPACITY", "80"), LongRecord("JPEGQUALITY", 90)});
    WriteBytes(folder.File(), original);
    CSettings settings(folder.File());
    EXPECT_EQ(settings.GetOpacity(), 50);
    EXPECT_EQ(settings.GetJpegQuality(), 90);
    settings.SetOpacity(70);
    EXPECT_EQ(settings.GetOpacity(), 70);
    EXPECT_EQ(ReadBytes(folder.File()), original);
}

TEST(Settings, YesNoSetterStoresLowEightBits) {
    TempFolder folder;
    CSettings settings(folder.File());
    settings.SetRecurseOrigin(256);
    EXPECT_TRUE(settings.GetRecurseOrigin()) << "non-zero is yes for the rest of the run";
    EXPECT_EQ(ReadBytes(folder.File()), ByteRecord("RECURSE_ORIGIN", 0));
    settings.LoadAll();
    EXPECT_EQ(settings.GetRecurseOrigin(), 0);
}

TEST(Settings, FailedWriteKeepsValueInMemoryOnly) {
    TempFolder folder;
    WriteBytes(folder.File(), LongRecord("JPEGQUALITY", 90));
    CSettings settings(folder.File());
    CSettings other(folder.File());
    const int holder = open(folder.File().c_str(), O_RDONLY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    settings.SetJpegQuality(60);
    EXPECT_EQ(settings.GetJpegQuality(), 60);
    close(holder);
    EXPECT_EQ(ReadBytes(folder.File()), LongRecord("JPEGQUALITY", 90));
    settings.LoadAll();
    EXPECT_EQ(settings.GetJpegQuality(), 90);
    other.SetJpegQuality(12);
    settings.LoadAll();
    EXPECT_EQ(settings.GetJpegQuality(), 12) << "LoadAll picks up another copy's change";
}

// A setter call seen from a listener: which keys it announced and what the file then holds.
struct ChangeRow {
    const char* description;
    Bytes fileBefore; // empty: no file
    std::function<void(CSettings&)> change;
    std::string announced; // keys in order, separated by spaces
    Bytes fileAfter;
};

class SettingsChange : public ::testing::TestWithParam<ChangeRow> {};

TEST_P(SettingsChange, AnnouncedOnlyWhenTheCachedValueChanges) {
    const ChangeRow& row = GetParam();
    TempFolder folder;
    if (!row.fileBefore.empty()) {
        WriteBytes(folder.File(), row.fileBefore);
    }
    CSettings settings(folder.File());
    std::string announced;
    QObject::connect(&settings, &CSettings::changed, [&announced](const QString& key) {
        announced += (announced.empty() ? "" : " ") + key.toStdString();
    });
    row.change(settings);
    EXPECT_EQ(announced, row.announced);
    EXPECT_EQ(ReadBytes(folder.File()), row.fileAfter);
}

const Bytes kNoFile;

const ChangeRow kChangeRows[] = {
    {"new text", kNoFile, [](CSettings& s) { s.SetResultName("Tirage_%i"); }, "RESULT_NAME",
     StringRecord("RESULT_NAME", "Tirage_%i")},
    {"text equal to its default is written but not announced", kNoFile,
     [](CSettings& s) { s.SetRenameMask("Photos_%dc_%i"); }, "",
     StringRecord("RENAME_MASK", "Photos_%dc_%i")},
    {"new number", kNoFile, [](CSettings& s) { s.SetOpacity(70); }, "OPACITY",
     LongRecord("OPACITY", 70)},
    {"number equal to its default is written but not announced", kNoFile,
     [](CSettings& s) { s.SetJpegQuality(100); }, "", LongRecord("JPEGQUALITY", 100)},
    {"yes turned to no", kNoFile, [](CSettings& s) { s.SetAutoRename(0); }, "AUTO_RENAME",
     ByteRecord("AUTO_RENAME", 0)},
    {"no loaded from the file turned to yes", ByteRecord("SHOWFACTOR", 0),
     [](CSettings& s) { s.SetShowFactor(1); }, "SHOWFACTOR", ByteRecord("SHOWFACTOR", 1)},
    {"another non-zero value for a yes is no change", kNoFile,
     [](CSettings& s) { s.SetKeybProgressif(2); }, "", ByteRecord("KEYB_PROGRESSIF", 2)},
    {"the same new value twice is announced once", kNoFile,
     [](CSettings& s) {
         s.SetCurrentFolder("/home/anne/");
         s.SetCurrentFolder("/home/anne/");
     },
     "CURRENTPATH", StringRecord("CURRENTPATH", "/home/anne/")},
    {"each changed key in turn", kNoFile,
     [](CSettings& s) {
         s.SetUseSmallRBorder(1);
         s.SetDestinationFolder("/mnt/tirages/");
     },
     "USE_SMALL_RBORDER DESTINATIONPATH",
     Concat(
         {ByteRecord("USE_SMALL_RBORDER", 1), StringRecord("DESTINATIONPATH", "/mnt/tirages/")})},
    {"change the file refuses is still announced", StringRecord("OPACITY", "80"),
     [](CSettings& s) { s.SetOpacity(70); }, "OPACITY", StringRecord("OPACITY", "80")},
    {"reloading another copy's change announces nothing", kNoFile,
     [](CSettings& s) {
         CSettings(s.ParamFileName()).SetCheckVersion(1);
         s.LoadAll();
     },
     "", ByteRecord("CHECK_VERSION", 1)},
};

INSTANTIATE_TEST_SUITE_P(Rows, SettingsChange, ::testing::ValuesIn(kChangeRows),
                         [](const auto& info) { return RowName(info.param.description); });

TEST(Settings, ListenerFindsTheAnnouncedValueInTheFile) {
    TempFolder folder;
    CSettings settings(folder.File());
    int32_t seenByAnotherCopy = 0;
    QObject::connect(&settings, &CSettings::changed, [&](const QString&) {
        seenByAnotherCopy = CSettings(settings.ParamFileName()).GetJpegQuality();
    });
    settings.SetJpegQuality(42);
    EXPECT_EQ(seenByAnotherCopy, 42);
}

} // namespace
