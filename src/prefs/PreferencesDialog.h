#pragma once

#include "prefs/FormatsPage.h"
#include "prefs/GeneralPage.h"
#include "widgets/UserPrompts.h"

#include <QDialog>

class Settings;
class QPushButton;
class QTabWidget;

// The preferences sheet: pages "Général" and "Formats" over one settings object, with
// OK / Annuler / Appliquer. Run it modally; every page shown writes its values straight
// into the settings when the sheet is applied while a page is marked modified.
class PreferencesDialog : public QDialog {
    Q_OBJECT
public:
    PreferencesDialog(const QString& caption, Settings& settings, UserPrompts& prompts,
                      QWidget* parent = nullptr);
    ~PreferencesDialog() override;

    [[nodiscard]] GeneralPage& generalPage() { return m_general; }
    [[nodiscard]] FormatsPage& formatPage() { return m_format; }
    [[nodiscard]] QPushButton* okButton() const { return m_okButton; }
    [[nodiscard]] QPushButton* cancelButton() const { return m_cancelButton; }
    [[nodiscard]] QPushButton* applyButton() const { return m_applyButton; }

    // Shows page index; refused (false) while the current page holds a bad entry.
    bool setActivePage(int index);

    // What Appliquer does; false when a bad entry stops it.
    bool apply();
    // OK: apply, then close when that succeeded.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    [[nodiscard]] PreferencesPage* pageAt(int index);
    void onTabChanged(int index);
    void onPageModified();

    QTabWidget* m_tabs = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_applyButton = nullptr;
    int m_shownIndex = 0;
    bool m_revertingTab = false;
    // Declared last: destroyed first, while the tab widget that shows them still exists.
    class GeneralPage m_general;
    FormatsPage m_format;
};
