#include "settings/Settings.h"

#include "settings/ParamFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <utility>

namespace {

// Written with every setting: keeps whatever comment a record already has.
const std::string kNoComment = "#";

std::string IndexedKey(const char* format, size_t index) {
    char key[32];
    std::snprintf(key, sizeof key, format, static_cast<int>(index));
    return key;
}

const char* const kFormatKeys[] = {"RECADNAME%d", "RECADH%d", "RECADW%d", "RECADWHITEB%d"};
constexpr size_t kTextsPerFormat = 4;
// No one keeps thousands of print formats: a larger NBRECAD comes from a damaged file and is
// not followed (each index costs four reads of the file).
constexpr int32_t kMaxFormatCount = 1000;

} // namespace

CSettings::CSettings(std::string paramFileName) : m_paramFileName(std::move(paramFileName)) {
    LoadAll();
}

CSettings::~CSettings() = default;

void CSettings::LoadAll() {
    CParamFile file(m_paramFileName);
    const auto loadString = [&file](const char* key, std::string& field, const char* fallback) {
        if (!file.ReadString(key, field)) {
            field = fallback;
        }
    };
    const auto loadLong = [&file](const char* key, int32_t& field, int32_t fallback) {
        if (!file.ReadLong(key, field)) {
            field = fallback;
        }
    };
    const auto loadByte = [&file](const char* key, int32_t& field, int32_t fallback) {
        if (!file.ReadByte(key, field)) {
            field = fallback;
        }
    };
    loadString("CURRENTPATH", m_currentFolder, "");
    loadString("DESTINATIONPATH", m_destinationFolder, "");
    loadLong("JPEGQUALITY", m_jpegQuality, 100);
    loadLong("OPACITY", m_opacity, 50);
    loadString("RESULT_NAME", m_resultName, "Photos_%dc_%i");
    loadString("RENAME_PATH", m_renameFolder, "");
    loadString("RENAME_MASK", m_renameMask, "Photos_%dc_%i");
    loadByte("SHOWFACTOR", m_showFactor, 1);
    loadByte("RECURSE_ORIGIN", m_recurseOrigin, 1);
    loadByte("AUTO_RENAME", m_autoRename, 1);
    loadByte("CHECK_VERSION", m_checkVersion, 0);
    loadByte("USE_RECAD_COLOR", m_useRecadColor, 1);
    loadByte("USE_SMALL_RBORDER", m_useSmallRBorder, 0);
    loadByte("KEYB_PROGRESSIF", m_keybProgressif, 1);
    loadByte("SHOWFULLFILENAME", m_showFullFileName, 1);
}

// Each setter keeps the new value in memory even when the file refuses it.

void CSettings::SetCurrentFolder(const std::string& value) {
    m_currentFolder = value;
    CParamFile(m_paramFileName).WriteString("CURRENTPATH", value, kNoComment);
}

void CSettings::SetDestinationFolder(const std::string& value) {
    m_destinationFolder = value;
    CParamFile(m_paramFileName).WriteString("DESTINATIONPATH", value, kNoComment);
}

void CSettings::SetJpegQuality(int32_t value) {
    m_jpegQuality = value;
    CParamFile(m_paramFileName).WriteLong("JPEGQUALITY", value, kNoComment);
}

void CSettings::SetOpacity(int32_t value) {
    m_opacity = value;
    CParamFile(m_paramFileName).WriteLong("OPACITY", value, kNoComment);
}

void CSettings::SetResultName(const std::string& value) {
    m_resultName = value;
    CParamFile(m_paramFileName).WriteString("RESULT_NAME", value, kNoComment);
}

void CSettings::SetRenameFolder(const std::string& value) {
    m_renameFolder = value;
    CParamFile(m_paramFileName).WriteString("RENAME_PATH", value, kNoComment);
}

void CSettings::SetRenameMask(const std::string& value) {
    m_renameMask = value;
    CParamFile(m_paramFileName).WriteString("RENAME_MASK", value, kNoComment);
}

void CSettings::SetShowFactor(int32_t value) {
    m_showFactor = value;
    CParamFile(m_paramFileName).WriteByte("SHOWFACTOR", value, kNoComment);
}

void CSettings::SetRecurseOrigin(int32_t value) {
    m_recurseOrigin = value;
    CParamFile(m_paramFileName).WriteByte("RECURSE_ORIGIN", value, kNoComment);
}

void CSettings::SetUseRecadColor(int32_t value) {
    m_useRecadColor = value;
    CParamFile(m_paramFileName).WriteByte("USE_RECAD_COLOR", value, kNoComment);
}

void CSettings::SetUseSmallRBorder(int32_t value) {
    m_useSmallRBorder = value;
    CParamFile(m_paramFileName).WriteByte("USE_SMALL_RBORDER", value, kNoComment);
}

void CSettings::SetKeybProgressif(int32_t value) {
    m_keybProgressif = value;
    CParamFile(m_paramFileName).WriteByte("KEYB_PROGRESSIF", value, kNoComment);
}

void CSettings::SetShowFullFileName(int32_t value) {
    m_showFullFileName = value;
    CParamFile(m_paramFileName).WriteByte("SHOWFULLFILENAME", value, kNoComment);
}

void CSettings::SetCheckVersion(int32_t value) {
    m_checkVersion = value;
    CParamFile(m_paramFileName).WriteByte("CHECK_VERSION", value, kNoComment);
}

void CSettings::SetAutoRename(int32_t value) {
    m_autoRename = value;
    CParamFile(m_paramFileName).WriteByte("AUTO_RENAME", value, kNoComment);
}

void CSettings::LoadFormats(std::vector<std::string>& texts) const {
    texts.clear();
    CParamFile file(m_paramFileName);
    int32_t count = 0;
    if (!file.ReadLong("NBRECAD", count)) {
        count = 0;
    }
    for (int32_t i = 0; i < std::min(count, kMaxFormatCount); ++i) {
        for (size_t field = 0; field < kTextsPerFormat; ++field) {
            std::string text;
            if (!file.ReadString(IndexedKey(kFormatKeys[field], static_cast<size_t>(i)), text)) {
                text = field == 0 ? "-" : "1";
            }
            texts.push_back(std::move(text));
        }
    }
}

void CSettings::SaveFormats(const std::vector<std::string>& texts) const {
    const size_t count = texts.size() / kTextsPerFormat;
    CParamFile file(m_paramFileName);
    int32_t stored = 0;
    if (!file.ReadLong("NBRECAD", stored)) {
        stored = 0;
    }
    // A list that shrank leaves no stale keys behind.
    for (int64_t i = static_cast<int64_t>(count); i < std::min(stored, kMaxFormatCount); ++i) {
        for (const char* key : kFormatKeys) {
            file.DeleteParam(IndexedKey(key, static_cast<size_t>(i)));
        }
    }
    file.WriteLong("NBRECAD", static_cast<int32_t>(count), kNoComment);
    for (size_t i = 0; i < count; ++i) {
        for (size_t field = 0; field < kTextsPerFormat; ++field) {
            file.WriteString(IndexedKey(kFormatKeys[field], i), texts[i * kTextsPerFormat + field],
                             kNoComment);
        }
    }
}
