#pragma once

#include "prefs/PropFormatDlg.h"
#include "prefs/PropGeneralDlg.h"
#include "widgets/UserPrompts.h"

#include <QDialog>

class CSettings;
class QPushButton;
class QTabWidget;

// The preferences sheet: pages "Général" and "Formats" over one settings object, with
// OK / Annuler / Appliquer. Run it modally; every page shown writes its values straight
// into the settings when the sheet is applied while a page is marked modified.
class CPropSheetEx : public QDialog {
    Q_OBJECT
public:
    CPropSheetEx(const QString& caption, CSettings& settings, UserPrompts& prompts,
                 QWidget* parent = nullptr);
    ~CPropSheetEx() override;

    [[nodiscard]] CPropGeneralDlg& GeneralPage() { return m_general; }
    [[nodiscard]] CPropFormatDlg& FormatPage() { return m_format; }
    [[nodiscard]] QPushButton* OkButton() const { return m_okButton; }
    [[nodiscard]] QPushButton* CancelButton() const { return m_cancelButton; }
    [[nodiscard]] QPushButton* ApplyButton() const { return m_applyButton; }

    // Shows page index; refused (false) while the current page holds a bad entry.
    bool SetActivePage(int index);

    // What Appliquer does; false when a bad entry stops it.
    bool Apply();
    // OK: apply, then close when that succeeded.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    [[nodiscard]] CPropPageEx* PageAt(int index);
    void OnTabChanged(int index);
    void OnPageModified();

    QTabWidget* m_tabs = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_applyButton = nullptr;
    int m_shownIndex = 0;
    bool m_revertingTab = false;
    // Declared last: destroyed first, while the tab widget that shows them still exists.
    CPropGeneralDlg m_general;
    CPropFormatDlg m_format;
};
