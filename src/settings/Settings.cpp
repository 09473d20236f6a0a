#include "settings/Settings.h"

#include "settings/ParamFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string_view>
#include <utility>

namespace {

// Written with every setting: keeps whatever comment a record already has.
const std::string kNoComment = "#";

std::string indexedKey(const char* format, size_t index) {
    char key[32];
    std::snprintf(key, sizeof key, format, static_cast<int>(index));
    return key;
}

const char* const kFormatKeys[] = {"RECADNAME%d", "RECADH%d", "RECADW%d", "RECADWHITEB%d"};
constexpr size_t kTextsPerFormat = 4;
// No one keeps thousands of print formats: a larger NBRECAD comes from a damaged file and is
// not followed (each index costs four reads of the file).
constexpr int32_t kMaxFormatCount = 1000;

SettingValue defaultValue(const SettingKey& key) {
    switch (key.type) {
    case SettingType::Text:
        return std::string(key.textDefault);
    case SettingType::Number:
        return key.numberDefault;
    case SettingType::YesNo:
        return key.numberDefault != 0;
    }
    return {};
}

// The stored value, or nothing when the file holds no record of that name and type (or
// cannot be read at all).
std::optional<SettingValue> readValue(ParamFile& file, const SettingKey& key) {
    const std::string name(key.name);
    std::string text;
    int32_t number = 0;
    switch (key.type) {
    case SettingType::Text:
        if (file.readString(name, text)) {
            return text;
        }
        break;
    case SettingType::Number:
        if (file.readLong(name, number)) {
            return number;
        }
        break;
    case SettingType::YesNo:
        if (file.readByte(name, number)) {
            return number != 0;
        }
        break;
    }
    return std::nullopt;
}

// Failures are left in the engine's last error: the value stays in memory for this run.
void WriteValue(ParamFile& file, const SettingKey& key, const std::string& text) {
    file.writeString(std::string(key.name), text, kNoComment);
}

void WriteValue(ParamFile& file, const SettingKey& key, int32_t number) {
    if (key.type == SettingType::YesNo) {
        file.writeByte(std::string(key.name), number, kNoComment);
    } else {
        file.writeLong(std::string(key.name), number, kNoComment);
    }
}

} // namespace

Settings::Settings(std::string paramFileName, QObject* parent)
    : QObject(parent), m_paramFileName(std::move(paramFileName)) {
    loadAll();
}

Settings::~Settings() = default;

void Settings::loadAll() {
    ParamFile file(m_paramFileName);
    for (size_t i = 0; i < kSettingKeys.size(); ++i) {
        m_values[i] = readValue(file, kSettingKeys[i]).value_or(defaultValue(kSettingKeys[i]));
    }
}

const std::string& Settings::get(TextSetting setting) const {
    return std::get<std::string>(m_values[setting.index]);
}

int32_t Settings::get(NumberSetting setting) const {
    return std::get<int32_t>(m_values[setting.index]);
}

bool Settings::get(YesNoSetting setting) const {
    return std::get<bool>(m_values[setting.index]);
}

template <typename Written>
void Settings::store(size_t index, SettingValue cached, const Written& written) {
    const bool differs = m_values[index] != cached;
    m_values[index] = std::move(cached);
    ParamFile file(m_paramFileName);
    WriteValue(file, kSettingKeys[index], written);
    if (differs) {
        const std::string_view name = kSettingKeys[index].name;
        emit changed(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }
}

void Settings::set(TextSetting setting, const std::string& value) {
    store(setting.index, value, value);
}

void Settings::set(NumberSetting setting, int32_t value) {
    store(setting.index, value, value);
}

void Settings::set(YesNoSetting setting, int32_t value) {
    store(setting.index, value != 0, value);
}

void Settings::loadFormats(std::vector<std::string>& texts) const {
    texts.clear();
    ParamFile file(m_paramFileName);
    int32_t count = 0;
    if (!file.readLong("NBRECAD", count)) {
        count = 0;
    }
    for (int32_t i = 0; i < std::min(count, kMaxFormatCount); ++i) {
        for (size_t field = 0; field < kTextsPerFormat; ++field) {
            std::string text;
            if (file.readString(indexedKey(kFormatKeys[field], static_cast<size_t>(i)), text)) {
                texts.push_back(std::move(text));
            } else {
                texts.emplace_back(field == 0 ? "-" : "1");
            }
        }
    }
}

void Settings::saveFormats(const std::vector<std::string>& texts) const {
    const size_t count = texts.size() / kTextsPerFormat;
    ParamFile file(m_paramFileName);
    int32_t stored = 0;
    if (!file.readLong("NBRECAD", stored)) {
        stored = 0;
    }
    // A list that shrank leaves no stale keys behind.
    for (int64_t i = static_cast<int64_t>(count); i < std::min(stored, kMaxFormatCount); ++i) {
        for (const char* key : kFormatKeys) {
            file.deleteParam(indexedKey(key, static_cast<size_t>(i)));
        }
    }
    file.writeLong("NBRECAD", static_cast<int32_t>(count), kNoComment);
    for (size_t i = 0; i < count; ++i) {
        for (size_t field = 0; field < kTextsPerFormat; ++field) {
            file.writeString(indexedKey(kFormatKeys[field], i), texts[i * kTextsPerFormat + field],
                             kNoComment);
        }
    }
}
