#include "settings/Settings.h"

#include "settings/ParamFixture.h"

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
        {"SHOWFACTOR", 1, number(&CSettings::GetShowFactor), setNumber(&CSettings::SetShowFactor),
         "1", "0"},
        {"RECURSE_ORIGIN", 1, number(&CSettings::GetRecurseOrigin),
         setNumber(&CSettings::SetRecurseOrigin), "1", "0"},
        {"USE_RECAD_COLOR", 1, number(&CSettings::GetUseRecadColor),
         setNumber(&CSettings::SetUseRecadColor), "1", "0"},
        {"USE_SMALL_RBORDER", 1, number(&CSettings::GetUseSmallRBorder),
         setNumber(&CSettings::SetUseSmallRBorder), "0", "1"},
        {"KEYB_PROGRESSIF", 1, number(&CSettings::GetKeybProgressif),
         setNumber(&CSettings::SetKeybProgressif), "1", "0"},
        {"SHOWFULLFILENAME", 1, number(&CSettings::GetShowFullFileName),
         setNumber(&CSettings::SetShowFullFileName), "1", "0"},
        {"CHECK_VERSION", 1, number(&CSettings::GetCheckVersion),
         setNumber(&CSettings::SetCheckVersion), "0", "1"},
        {"AUTO_RENAME", 1, number(&CSettings::GetAutoRename), setNumber(&CSettings::SetAutoRename),
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

std::string ValueOf(const DecodedRecord& record) {
    switch (record.type) {
    case 1024:
        return TextOfBlock(record.value);
    case 4:
        return std::to_string(LongOfBlock(record.value));
    default:
        return std::to_string(record.value.at(0));
    }
}

TEST(Settings, MissingFileGivesDefaultsAndCreatesNothing) {
    TempFolder folder;
    CSettings settings(folder.File());
    for (const Key& key : AllKeys()) {
        EXPECT_EQ(key.get(settings), key.defaultValue) << key.key;
    }
    settings.LoadAll();
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST(Settings, HandBuiltFileIsReadKeyByKey) {
    TempFolder folder;
    Bytes file;
    // Reverse order, with an unrelated record in front: keys are found wherever they are.
    const std::vector<Key> keys = AllKeys();
    file = StringRecord("UNRELATED", "x", "a comment");
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
        const Bytes record = RecordFor(*it, it->sampleValue);
        file.insert(file.end(), record.begin(), record.end());
    }
    WriteBytes(folder.File(), file);
    CSettings settings(folder.File());
    for (const Key& key : keys) {
        EXPECT_EQ(key.get(settings), key.sampleValue) << key.key;
    }
}

TEST(Settings, PartialFileLoadsWhatItHolds) {
    TempFolder folder;
    WriteBytes(folder.File(), Concat({LongRecord("JPEGQUALITY", 90), ByteRecord("CHECK_VERSION", 1),
                                      StringRecord("CURRENTPATH", "/photos/")}));
    CSettings settings(folder.File());
    for (const Key& key : AllKeys()) {
        const std::string name = key.key;
        const std::string expected = name == "JPEGQUALITY"     ? "90"
                                     : name == "CHECK_VERSION" ? "1"
                                     : name == "CURRENTPATH"   ? "/photos/"
                                                               : key.defaultValue;
        EXPECT_EQ(key.get(settings), expected) << key.key;
    }
}

TEST(Settings, EverySetterWritesItsRecordThrough) {
    TempFolder folder;
    const std::vector<Key> keys = AllKeys();
    {
        CSettings settings(folder.File());
        settings.SetJpegQuality(77);
        // The first setter creates the file with that one record.
        const auto first = DecodeFile(ReadBytes(folder.File()));
        ASSERT_TRUE(first.has_value());
        ASSERT_EQ(first->size(), 1u);
        EXPECT_EQ((*first)[0].name, "JPEGQUALITY");
        EXPECT_EQ(ValueOf((*first)[0]), "77");

        for (const Key& key : keys) {
            key.set(settings, key.sampleValue);
            EXPECT_EQ(key.get(settings), key.sampleValue) << key.key;
        }
    }
    const auto records = DecodeFile(ReadBytes(folder.File()));
    ASSERT_TRUE(records.has_value());
    ASSERT_EQ(records->size(), keys.size());
    for (const Key& key : keys) {
        const auto found = std::find_if(records->begin(), records->end(),
                                        [&key](const auto& r) { return r.name == key.key; });
        ASSERT_NE(found, records->end()) << key.key;
        EXPECT_EQ(found->type, key.type) << key.key;
        EXPECT_EQ(ValueOf(*found), key.sampleValue) << key.key;
        EXPECT_EQ(found->comment, "") << key.key;
    }
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
    EXPECT_EQ(settings.GetRecurseOrigin(), 256);
    EXPECT_EQ(ReadBytes(folder.File()), ByteRecord("RECURSE_ORIGIN", 0));
    settings.LoadAll();
    EXPECT_EQ(settings.GetRecurseOrigin(), 0);
}

TEST(Settings, RewriteKeepsExistingCommentAndPlace) {
    TempFolder folder;
    WriteBytes(folder.File(), Concat({StringRecord("RESULT_NAME", "Old_%i", "mask of results"),
                                      LongRecord("OPACITY", 20)}));
    CSettings settings(folder.File());
    settings.SetResultName("New_%i");
    EXPECT_EQ(ReadBytes(folder.File()),
              Concat({StringRecord("RESULT_NAME", "New_%i", "mask of results"),
                      LongRecord("OPACITY", 20)}));
}

TEST(Settings, FailedWriteKeepsValueInMemoryOnly) {
    TempFolder folder;
    WriteBytes(folder.File(), LongRecord("JPEGQUALITY", 90));
    CSettings settings(folder.File());
    const int holder = open(folder.File().c_str(), O_RDONLY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    settings.SetJpegQuality(60);
    EXPECT_EQ(settings.GetJpegQuality(), 60);
    close(holder);
    EXPECT_EQ(ReadBytes(folder.File()), LongRecord("JPEGQUALITY", 90));
    settings.LoadAll();
    EXPECT_EQ(settings.GetJpegQuality(), 90);
}

TEST(Settings, LoadAllPicksUpAnotherCopysChange) {
    TempFolder folder;
    CSettings mine(folder.File());
    CSettings other(folder.File());
    other.SetOpacity(12);
    EXPECT_EQ(mine.GetOpacity(), 50);
    mine.LoadAll();
    EXPECT_EQ(mine.GetOpacity(), 12);
}

} // namespace
