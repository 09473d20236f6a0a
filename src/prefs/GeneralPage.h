#pragma once

#include "prefs/PreferencesPage.h"

#include <cstdint>
#include <string>

class QCheckBox;
class TagButton;

// "Général" page of the preferences: result file, frame and start-up options.
class GeneralPage : public PreferencesPage {
    Q_OBJECT
public:
    GeneralPage(Settings& settings, UserPrompts& prompts, QWidget* parent = nullptr);
    ~GeneralPage() override;

    bool readFields() override;
    void writeFields() override;
    void loadValues() override;
    void saveValues() override;

    // Appends tag at the end of the result name mask, wherever the caret is.
    void appendTag(const QString& tag);

private:
    void onAutoRenameClicked();

    uint32_t m_jpegQuality = 0;
    bool m_autoRename = false;
    std::string m_resultName;
    bool m_recurse = false;
    bool m_checkVersion = false;
    bool m_recadColor = false;
    bool m_fullFileName = false;
    bool m_smallBorder = false;
    uint32_t m_opacity = 0;
    bool m_keybProgressif = false;

    QCheckBox* m_recurseCheck = nullptr;        // 1011
    QLineEdit* m_qualityEdit = nullptr;         // 1015
    QCheckBox* m_autoRenameCheck = nullptr;     // 1010
    QLineEdit* m_resultNameEdit = nullptr;      // 1014
    TagButton* m_tagButton = nullptr;           // 1028
    QCheckBox* m_recadColorCheck = nullptr;     // 1020
    QCheckBox* m_smallBorderCheck = nullptr;    // 1022
    QLineEdit* m_opacityEdit = nullptr;         // 1016
    QCheckBox* m_checkVersionCheck = nullptr;   // 1019
    QCheckBox* m_keybProgressifCheck = nullptr; // 1023
    QCheckBox* m_fullFileNameCheck = nullptr;   // 1021
};
