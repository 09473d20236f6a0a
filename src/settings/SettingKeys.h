#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

// What a setting holds, and with it the parameter type it is stored under in param.dat.
enum class SettingType : uint8_t {
    Text,   // string parameter; UTF-8 bytes, up to 1024 of them
    Number, // 32-bit integer parameter
    YesNo,  // byte parameter, non-zero meaning yes; held in memory as bool
};

// A setting's value in memory, one alternative per SettingType.
using SettingValue = std::variant<std::string, int32_t, bool>;

// One user setting: its name in param.dat, what it holds and the value it has when the file
// does not give one.
struct SettingKey {
    std::string_view name;
    SettingType type;
    std::string_view textDefault; // Text keys only
    int32_t numberDefault;        // Number keys; 0 or 1 for YesNo keys
};

constexpr SettingKey textKey(std::string_view name, std::string_view fallback) {
    return {name, SettingType::Text, fallback, 0};
}
constexpr SettingKey numberKey(std::string_view name, int32_t fallback) {
    return {name, SettingType::Number, {}, fallback};
}
constexpr SettingKey yesNoKey(std::string_view name, bool fallback) {
    return {name, SettingType::YesNo, {}, fallback ? 1 : 0};
}

// Every user setting, in the order LoadAll reads them. A new setting is one more row here
// (and, for callers that want one, a named getter and setter in Settings).
inline constexpr std::array kSettingKeys{
    textKey("CURRENTPATH", ""),
    textKey("DESTINATIONPATH", ""),
    numberKey("JPEGQUALITY", 100), // percent
    numberKey("OPACITY", 50),      // percent
    textKey("RESULT_NAME", "Photos_%dc_%i"),
    textKey("RENAME_PATH", ""),
    textKey("RENAME_MASK", "Photos_%dc_%i"),
    yesNoKey("SHOWFACTOR", true),
    yesNoKey("RECURSE_ORIGIN", true),
    yesNoKey("AUTO_RENAME", true),
    yesNoKey("CHECK_VERSION", false),
    yesNoKey("USE_RECAD_COLOR", true),
    yesNoKey("USE_SMALL_RBORDER", false),
    yesNoKey("KEYB_PROGRESSIF", true),
    yesNoKey("SHOWFULLFILENAME", true),
};

// Row of the key with that name and type. Only ever evaluated by the compiler: a misspelt
// name, or a name used with the wrong type, stops the build at the throw.
consteval size_t settingIndex(std::string_view name, SettingType type) {
    for (size_t i = 0; i < kSettingKeys.size(); ++i) {
        if (kSettingKeys[i].name == name) {
            if (kSettingKeys[i].type != type) {
                throw "setting used with another type than its row";
            }
            return i;
        }
    }
    throw "no setting row has this name";
}

// A row of kSettingKeys, checked at compile time to exist with that type; Settings' typed
// Get and Set take one.
template <SettingType Type> struct SettingId {
    consteval explicit SettingId(std::string_view name) : index(settingIndex(name, Type)) {}
    size_t index;
};
using TextSetting = SettingId<SettingType::Text>;
using NumberSetting = SettingId<SettingType::Number>;
using YesNoSetting = SettingId<SettingType::YesNo>;

// param.dat names are 1 to 20 bytes; a second row under the same name would never be read
// (SettingIndex finds the first).
consteval bool settingNamesAreStorable() {
    for (size_t i = 0; i < kSettingKeys.size(); ++i) {
        if (kSettingKeys[i].name.empty() || kSettingKeys[i].name.size() > 20) {
            return false;
        }
        for (size_t j = i + 1; j < kSettingKeys.size(); ++j) {
            if (kSettingKeys[i].name == kSettingKeys[j].name) {
                return false;
            }
        }
    }
    return true;
}
static_assert(settingNamesAreStorable(), "a settings row has a name param.dat cannot hold once");
