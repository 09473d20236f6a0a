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
class Settings : public QObject {
    Q_OBJECT

public:
    // paramFileName: "param.dat" for the real settings file (resolved next to the
    // executable or in the user's configuration folder); a name holding '/' is a whole
    // path, used as given (tests).
    explicit Settings(std::string paramFileName = "param.dat", QObject* parent = nullptr);
    ~Settings() override;

    // Reloads every key from the file; a key that cannot be read gets its default. Announces
    // nothing: it runs before anyone listens, and again only to pick up another copy's changes.
    void loadAll();

    [[nodiscard]] const std::string& get(TextSetting setting) const;
    [[nodiscard]] int32_t get(NumberSetting setting) const;
    [[nodiscard]] bool get(YesNoSetting setting) const;

    // Each setter writes the value through even when it equals the cached one (another copy of
    // the program may have changed the file), keeps it in memory even when the file refuses
    // it, and emits `changed` only when the cached value differs from before.
    void set(TextSetting setting, const std::string& value);
    void set(NumberSetting setting, int32_t value);
    // Non-zero means yes. The file gets the low 8 bits of the value as given: 256 is yes for
    // this run but stored as 0, so it reads back as no at the next start.
    void set(YesNoSetting setting, int32_t value);

    // One named pair per key, for callers.
    [[nodiscard]] std::string currentFolder() const { return get(TextSetting("CURRENTPATH")); }
    [[nodiscard]] std::string destinationFolder() const {
        return get(TextSetting("DESTINATIONPATH"));
    }
    [[nodiscard]] int32_t jpegQuality() const { return get(NumberSetting("JPEGQUALITY")); }
    [[nodiscard]] int32_t opacity() const { return get(NumberSetting("OPACITY")); }
    [[nodiscard]] std::string resultName() const { return get(TextSetting("RESULT_NAME")); }
    [[nodiscard]] std::string renameFolder() const { return get(TextSetting("RENAME_PATH")); }
    [[nodiscard]] std::string renameMask() const { return get(TextSetting("RENAME_MASK")); }
    [[nodiscard]] bool showFactor() const { return get(YesNoSetting("SHOWFACTOR")); }
    [[nodiscard]] bool recurseOrigin() const { return get(YesNoSetting("RECURSE_ORIGIN")); }
    [[nodiscard]] bool useRecadColor() const { return get(YesNoSetting("USE_RECAD_COLOR")); }
    [[nodiscard]] bool useSmallRBorder() const { return get(YesNoSetting("USE_SMALL_RBORDER")); }
    [[nodiscard]] bool keybProgressif() const { return get(YesNoSetting("KEYB_PROGRESSIF")); }
    [[nodiscard]] bool showFullFileName() const { return get(YesNoSetting("SHOWFULLFILENAME")); }
    [[nodiscard]] bool checkVersion() const { return get(YesNoSetting("CHECK_VERSION")); }
    [[nodiscard]] bool autoRename() const { return get(YesNoSetting("AUTO_RENAME")); }

    void setCurrentFolder(const std::string& value) { set(TextSetting("CURRENTPATH"), value); }
    void setDestinationFolder(const std::string& value) {
        set(TextSetting("DESTINATIONPATH"), value);
    }
    void setJpegQuality(int32_t value) { set(NumberSetting("JPEGQUALITY"), value); }
    void setOpacity(int32_t value) { set(NumberSetting("OPACITY"), value); }
    void setResultName(const std::string& value) { set(TextSetting("RESULT_NAME"), value); }
    void setRenameFolder(const std::string& value) { set(TextSetting("RENAME_PATH"), value); }
    void setRenameMask(const std::string& value) { set(TextSetting("RENAME_MASK"), value); }
    void setShowFactor(int32_t value) { set(YesNoSetting("SHOWFACTOR"), value); }
    void setRecurseOrigin(int32_t value) { set(YesNoSetting("RECURSE_ORIGIN"), value); }
    void setUseRecadColor(int32_t value) { set(YesNoSetting("USE_RECAD_COLOR"), value); }
    void setUseSmallRBorder(int32_t value) { set(YesNoSetting("USE_SMALL_RBORDER"), value); }
    void setKeybProgressif(int32_t value) { set(YesNoSetting("KEYB_PROGRESSIF"), value); }
    void setShowFullFileName(int32_t value) { set(YesNoSetting("SHOWFULLFILENAME"), value); }
    void setCheckVersion(int32_t value) { set(YesNoSetting("CHECK_VERSION"), value); }
    void setAutoRename(int32_t value) { set(YesNoSetting("AUTO_RENAME"), value); }

    // Print formats, exchanged as a flat list of texts, four per format:
    // name, height (cm), width (cm), white border (mm).
    void loadFormats(std::vector<std::string>& texts) const;
    void saveFormats(const std::vector<std::string>& texts) const;

    [[nodiscard]] const std::string& paramFileName() const { return m_paramFileName; }

signals:
    // A setter changed the cached value of that key (named as in param.dat). Emitted after the
    // write-through, so the file already holds the value unless the write failed.
    void changed(const QString& key);

private:
    // `cached` is what the getters will return, `written` what goes to the file.
    template <typename Written>
    void store(size_t index, SettingValue cached, const Written& written);

    std::string m_paramFileName;
    std::array<SettingValue, kSettingKeys.size()> m_values;
};
