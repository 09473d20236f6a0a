#include "settings/Settings.h"

#include "support/ParamFixture.h"

#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace paramtest;

namespace {

// One setting seen from outside: its record, how to read and set it as text, its default and
// another value.
struct Key {
    const char* key;
    uint16_t type;
    std::function<std::string(const Settings&)> get;
    std::function<void(Settings&, const std::string&)> set;
    std::string defaultValue;
    std::string sampleValue;
};

// Numbers go through their decimal text.
template <typename Get, typename Set>
Key key(const char* name, uint16_t type, Get get, Set set, const char* fallback,
        const char* sample) {
    if constexpr (std::is_invocable_v<Set, Settings&, int32_t>) {
        return {name,
                type,
                [get](const Settings& s) { return std::to_string((s.*get)()); },
                [set](Settings& s, const std::string& v) { (s.*set)(std::stoi(v)); },
                fallback,
                sample};
    } else {
        return {name, type, get, set, fallback, sample};
    }
}

using S = Settings;
const std::vector<Key> kKeys = {
    key("CURRENTPATH", 1024, &S::currentFolder, &S::setCurrentFolder, "", "/home/anne/Photos/"),
    key("DESTINATIONPATH", 1024, &S::destinationFolder, &S::setDestinationFolder, "",
        "/home/anne/Tirages été/"),
    key("JPEGQUALITY", 4, &S::jpegQuality, &S::setJpegQuality, "100", "85"),
    key("OPACITY", 4, &S::opacity, &S::setOpacity, "50", "-7"),
    key("RESULT_NAME", 1024, &S::resultName, &S::setResultName, "Photos_%dc_%i", "Tirage_%f_%i"),
    key("RENAME_PATH", 1024, &S::renameFolder, &S::setRenameFolder, "", "/mnt/carte/"),
    key("RENAME_MASK", 1024, &S::renameMask, &S::setRenameMask, "Photos_%dc_%i", "Vacances_%i"),
    key("SHOWFACTOR", 1, &S::showFactor, &S::setShowFactor, "1", "0"),
    key("RECURSE_ORIGIN", 1, &S::recurseOrigin, &S::setRecurseOrigin, "1", "0"),
    key("USE_RECAD_COLOR", 1, &S::useRecadColor, &S::setUseRecadColor, "1", "0"),
    key("USE_SMALL_RBORDER", 1, &S::useSmallRBorder, &S::setUseSmallRBorder, "0", "1"),
    key("KEYB_PROGRESSIF", 1, &S::keybProgressif, &S::setKeybProgressif, "1", "0"),
    key("SHOWFULLFILENAME", 1, &S::showFullFileName, &S::setShowFullFileName, "1", "0"),
    key("CHECK_VERSION", 1, &S::checkVersion, &S::setCheckVersion, "0", "1"),
    key("AUTO_RENAME", 1, &S::autoRename, &S::setAutoRename, "1", "0"),
};

Bytes recordFor(const Key& key, const std::string& value) {
    return key.type == 1024 ? stringRecord(key.key, value)
           : key.type == 4  ? longRecord(key.key, std::stoi(value))
                            : byteRecord(key.key, static_cast<uint8_t>(std::stoi(value)));
}

TEST(Settings, EachKeyReadWhereverItStandsAndWrittenThroughByItsSetter) {
    // Every other key, in reverse order behind an unrelated record: found wherever they are.
    const auto evenKeysBackwards = [](bool samples) {
        Bytes file = stringRecord("UNRELATED", "x", "a comment");
        for (size_t i = kKeys.size(); i-- > 0;) {
            const Key& key = kKeys[i];
            if (i % 2 == 0) {
                file = concat({file, recordFor(key, samples ? key.sampleValue : key.defaultValue)});
            }
        }
        return file;
    };
    TempFolder folder;
    writeBytes(folder.file(), evenKeysBackwards(true));
    Settings settings(folder.file());
    for (size_t i = 0; i < kKeys.size(); ++i) {
        EXPECT_EQ(kKeys[i].get(settings), i % 2 ? kKeys[i].defaultValue : kKeys[i].sampleValue)
            << kKeys[i].key;
    }
    // Swapped: the keys in the file are rewritten where they stand, the others appended.
    Bytes expected = evenKeysBackwards(false);
    for (size_t i = 0; i < kKeys.size(); ++i) {
        const std::string value = i % 2 ? kKeys[i].sampleValue : kKeys[i].defaultValue;
        kKeys[i].set(settings, value);
        if (i % 2) {
            expected = concat({expected, recordFor(kKeys[i], value)});
        }
    }
    EXPECT_EQ(readBytes(folder.file()), expected);
    Settings reloaded(folder.file());
    for (size_t i = 1; i < kKeys.size(); i += 2) {
        EXPECT_EQ(kKeys[i].get(reloaded), kKeys[i].sampleValue) << kKeys[i].key;
    }
}

TEST(Settings, ChangeAnnouncedOnlyWhenTheCachedValueChanges) {
    // clang-format off
    // fileBefore (empty: no file); announced (keys in order, separated by spaces)
    const struct { const char* description; Bytes fileBefore; std::function<void(Settings&)> change; std::string announced;
        Bytes fileAfter; } rows[] = {
        {"value equal to its default is written but not announced", {},
         [](Settings& s) { s.setJpegQuality(100); }, "", longRecord("JPEGQUALITY", 100)},
        {"a yes stores the low eight bits of any non-zero value, and is no change", {},
         [](Settings& s) { s.setKeybProgressif(2); s.setRecurseOrigin(256); }, "",
         concat({byteRecord("KEYB_PROGRESSIF", 2), byteRecord("RECURSE_ORIGIN", 0)})},
        {"each changed key once, in turn", {},
         [](Settings& s) {
             s.setUseSmallRBorder(1);
             s.setDestinationFolder("/mnt/tirages/");
             s.setDestinationFolder("/mnt/tirages/");
         },
         "USE_SMALL_RBORDER DESTINATIONPATH",
         concat({byteRecord("USE_SMALL_RBORDER", 1),
                 stringRecord("DESTINATIONPATH", "/mnt/tirages/")})},
        {"key stored under another type: loaded as default, never overwritten, still announced",
         concat({stringRecord("OPACITY", "80"), longRecord("JPEGQUALITY", 90)}),
         [](Settings& s) { s.setOpacity(s.jpegQuality() == 90 ? 70 : 0); }, "OPACITY",
         concat({stringRecord("OPACITY", "80"), longRecord("JPEGQUALITY", 90)})},
        {"reloading another copy's change announces nothing", {}, [](Settings& s) { Settings(s.paramFileName()).setCheckVersion(1); s.loadAll(); },
         "", byteRecord("CHECK_VERSION", 1)},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.description);
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
}

TEST(Settings, ValueThatCannotBeWrittenHoldsForThisRunOnly) {
    TempFolder folder;
    ASSERT_EQ(mkdir(folder.file().c_str(), 0755), 0); // a folder where the file should be
    Settings settings(folder.file());
    settings.setJpegQuality(60);
    EXPECT_EQ(settings.jpegQuality(), 60);
    settings.loadAll();
    EXPECT_EQ(settings.jpegQuality(), 100);
}

} // namespace
