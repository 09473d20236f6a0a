#pragma once

#include "settings/SettingKeys.h"

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Every user setting of kSettingKeys, cached in memory and written through to param.dat the
// moment it is set. Strings are UTF-8 bytes; folders end with '/'.
class CSettings : public QObject {
    Q_OBJECT

public:
    // paramFileName: "param.dat" for the real settings file (resolved next to the
    // executable or in the user's configuration folder); a name holding '/' is a whole
    // path, used as given (tests).
    explicit CSettings(std::string paramFileName = "param.dat", QObject* parent = nullptr);
    ~CSettings() override;

    // Reloads every key from the file; a key that cannot be read gets its default. Announces
    // nothing: it runs before anyone listens, and again only to pick up another copy's changes.
    void LoadAll();

    [[nodiscard]] const std::string& Get(TextSetting setting) const;
    [[nodiscard]] int32_t Get(NumberSetting setting) const;
    [[nodiscard]] bool Get(YesNoSetting setting) const;

    // Each setter writes the value through even when it equals the cached one (another copy of
    // the program may have changed the file), keeps it in memory even when the file refuses
    // it, and emits `changed` only when the cached value differs from before.
    void Set(TextSetting setting, const std::string& value);
    void Set(NumberSetting setting, int32_t value);
    // Non-zero means yes. The file gets the low 8 bits of the value as given: 256 is yes for
    // this run but stored as 0, so it reads back as no at the next start.
    void Set(YesNoSetting setting, int32_t value);

    // One named pair per key, for callers.
    [[nodiscard]] std::string GetCurrentFolder() const { return Get(TextSetting("CURRENTPATH")); }
    [[nodiscard]] std::string GetDestinationFolder() const {
        return Get(TextSetting("DESTINATIONPATH"));
    }
    [[nodiscard]] int32_t GetJpegQuality() const { return Get(NumberSetting("JPEGQUALITY")); }
    [[nodiscard]] int32_t GetOpacity() const { return Get(NumberSetting("OPACITY")); }
    [[nodiscard]] std::string GetResultName() const { return Get(TextSetting("RESULT_NAME")); }
    [[nodiscard]] std::string GetRenameFolder() const { return Get(TextSetting("RENAME_PATH")); }
    [[nodiscard]] std::string GetRenameMask() const { return Get(TextSetting("RENAME_MASK")); }
    [[nodiscard]] bool GetShowFactor() const { return Get(YesNoSetting("SHOWFACTOR")); }
    [[nodiscard]] bool GetRecurseOrigin() const { return Get(YesNoSetting("RECURSE_ORIGIN")); }
    [[nodiscard]] bool GetUseRecadColor() const { return Get(YesNoSetting("USE_RECAD_COLOR")); }
    [[nodiscard]] bool GetUseSmallRBorder() const { return Get(YesNoSetting("USE_SMALL_RBORDER")); }
    [[nodiscard]] bool GetKeybProgressif() const { return Get(YesNoSetting("KEYB_PROGRESSIF")); }
    [[nodiscard]] bool GetShowFullFileName() const { return Get(YesNoSetting("SHOWFULLFILENAME")); }
    [[nodiscard]] bool GetCheckVersion() const { return Get(YesNoSetting("CHECK_VERSION")); }
    [[nodiscard]] bool GetAutoRename() const { return Get(YesNoSetting("AUTO_RENAME")); }

    void SetCurrentFolder(const std::string& value) { Set(TextSetting("CURRENTPATH"), value); }
    void SetDestinationFolder(const std::string& value) {
        Set(TextSetting("DESTINATIONPATH"), value);
    }
    void SetJpegQuality(int32_t value) { Set(NumberSetting("JPEGQUALITY"), value); }
    void SetOpacity(int32_t value) { Set(NumberSetting("OPACITY"), value); }
    void SetResultName(const std::string& value) { Set(TextSetting("RESULT_NAME"), value); }
    void SetRenameFolder(const std::string& value) { Set(TextSetting("RENAME_PATH"), value); }
    void SetRenameMask(const std::string& value) { Set(TextSetting("RENAME_MASK"), value); }
    void SetShowFactor(int32_t value) { Set(YesNoSetting("SHOWFACTOR"), value); }
    void SetRecurseOrigin(int32_t value) { Set(YesNoSetting("RECURSE_ORIGIN"), value); }
    void SetUseRecadColor(int32_t value) { Set(YesNoSetting("USE_RECAD_COLOR"), value); }
    void SetUseSmallRBorder(int32_t value) { Set(YesNoSetting("USE_SMALL_RBORDER"), value); }
    void SetKeybProgressif(int32_t value) { Set(YesNoSetting("KEYB_PROGRESSIF"), value); }
    void SetShowFullFileName(int32_t value) { Set(YesNoSetting("SHOWFULLFILENAME"), value); }
    void SetCheckVersion(int32_t value) { Set(YesNoSetting("CHECK_VERSION"), value); }
    void SetAutoRename(int32_t value) { Set(YesNoSetting("AUTO_RENAME"), value); }

    // Print formats, exchanged as a flat list of texts, four per format:
    // name, height (cm), width (cm), white border (mm).
    void LoadFormats(std::vector<std::string>& texts) const;
    void SaveFormats(const std::vector<std::string>& texts) const;

    [[nodiscard]] const std::string& ParamFileName() const { return m_paramFileName; }

signals:
    // A setter changed the cached value of that key (named as in param.dat). Emitted after the
    // write-through, so the file already holds the value unless the write failed.
    void changed(const QString& key);

private:
    // `cached` is what the getters will return, `written` what goes to the file.
    template <typename Written>
    void Store(size_t index, SettingValue cached, const Written& written);

    std::string m_paramFileName;
    std::array<SettingValue, kSettingKeys.size()> m_values;
};
