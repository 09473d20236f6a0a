#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Every user setting, cached in memory and written through to param.dat the moment it
// changes. Strings are UTF-8 bytes; folders end with '/'. Yes/no options are 0 or
// non-zero, stored as one byte in the file.
class CSettings {
public:
    // paramFileName: "param.dat" for the real settings file (resolved next to the
    // executable or in the user's configuration folder); a name holding '/' is a whole
    // path, used as given (tests).
    explicit CSettings(std::string paramFileName = "param.dat");
    virtual ~CSettings();

    // Reloads every key from the file; a key that cannot be read gets its default.
    void LoadAll();

    [[nodiscard]] std::string GetCurrentFolder() const { return m_currentFolder; }
    [[nodiscard]] std::string GetDestinationFolder() const { return m_destinationFolder; }
    [[nodiscard]] int32_t GetJpegQuality() const { return m_jpegQuality; }
    [[nodiscard]] int32_t GetOpacity() const { return m_opacity; }
    [[nodiscard]] std::string GetResultName() const { return m_resultName; }
    [[nodiscard]] std::string GetRenameFolder() const { return m_renameFolder; }
    [[nodiscard]] std::string GetRenameMask() const { return m_renameMask; }
    [[nodiscard]] int32_t GetShowFactor() const { return m_showFactor; }
    [[nodiscard]] int32_t GetRecurseOrigin() const { return m_recurseOrigin; }
    [[nodiscard]] int32_t GetUseRecadColor() const { return m_useRecadColor; }
    [[nodiscard]] int32_t GetUseSmallRBorder() const { return m_useSmallRBorder; }
    [[nodiscard]] int32_t GetKeybProgressif() const { return m_keybProgressif; }
    [[nodiscard]] int32_t GetShowFullFileName() const { return m_showFullFileName; }
    [[nodiscard]] int32_t GetCheckVersion() const { return m_checkVersion; }
    [[nodiscard]] int32_t GetAutoRename() const { return m_autoRename; }

    void SetCurrentFolder(const std::string& value);
    void SetDestinationFolder(const std::string& value);
    void SetJpegQuality(int32_t value);
    void SetOpacity(int32_t value);
    void SetResultName(const std::string& value);
    void SetRenameFolder(const std::string& value);
    void SetRenameMask(const std::string& value);
    void SetShowFactor(int32_t value);
    void SetRecurseOrigin(int32_t value);
    void SetUseRecadColor(int32_t value);
    void SetUseSmallRBorder(int32_t value);
    void SetKeybProgressif(int32_t value);
    void SetShowFullFileName(int32_t value);
    void SetCheckVersion(int32_t value);
    void SetAutoRename(int32_t value);

    // Print formats, exchanged as a flat list of texts, four per format:
    // name, height (cm), width (cm), white border (mm).
    void LoadFormats(std::vector<std::string>& texts) const;
    void SaveFormats(const std::vector<std::string>& texts) const;

    [[nodiscard]] const std::string& ParamFileName() const { return m_paramFileName; }

private:
    std::string m_paramFileName;

    std::string m_currentFolder;
    std::string m_destinationFolder;
    int32_t m_jpegQuality = 100;
    int32_t m_opacity = 50;
    std::string m_resultName = "Photos_%dc_%i";
    std::string m_renameFolder;
    std::string m_renameMask = "Photos_%dc_%i";
    int32_t m_showFactor = 1;
    int32_t m_recurseOrigin = 1;
    int32_t m_useRecadColor = 1;
    int32_t m_useSmallRBorder = 0;
    int32_t m_keybProgressif = 1;
    int32_t m_showFullFileName = 1;
    int32_t m_checkVersion = 0;
    int32_t m_autoRename = 1;
};
