#pragma once

#include "prefs/PreferencesPage.h"
#include "settings/PrintFormat.h"

#include <cstdint>
#include <string>
#include <vector>

class QCheckBox;
class QListWidget;
class QPushButton;

// "Formats" page of the preferences: the list of print formats.
//
// The field labelled "Hauteur" holds a format's width and the one labelled "Largeur" its
// height, consistently both ways, so the default 10x15 format reads Hauteur 10, Largeur 15.
class FormatsPage : public PreferencesPage {
    Q_OBJECT
public:
    FormatsPage(Settings& settings, UserPrompts& prompts, QWidget* parent = nullptr);
    ~FormatsPage() override;

    bool readFields() override;
    void writeFields() override;
    void loadValues() override;
    void saveValues() override;

    void addFormat();    // "Ajouter"
    void deleteFormat(); // "Supprimer"

    [[nodiscard]] const std::vector<PrintFormat>& formats() const { return m_formats; }

private:
    void onSelectionChanged();
    [[nodiscard]] int selectedRow() const;

    bool m_showRatio = false;
    int32_t m_hauteur = 0; // format width, cm
    int32_t m_largeur = 0; // format height, cm
    std::string m_name;
    int32_t m_border = 0; // mm
    std::vector<PrintFormat> m_formats;
    bool m_fillingList = false;

    QListWidget* m_list = nullptr;         // 1011
    QPushButton* m_addButton = nullptr;    // 1012
    QPushButton* m_deleteButton = nullptr; // 1013
    QLineEdit* m_nameEdit = nullptr;       // 1021
    QLineEdit* m_hauteurEdit = nullptr;    // 1015
    QLineEdit* m_largeurEdit = nullptr;    // 1016
    QLineEdit* m_borderEdit = nullptr;     // 1017
    QCheckBox* m_showRatioCheck = nullptr; // 1020
};
