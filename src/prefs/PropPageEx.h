#pragma once

#include "tools/UserMessage.h"
#include "widgets/UserPrompts.h"

#include <QString>
#include <QWidget>
#include <cstdint>
#include <optional>

class CSettings;
class QHBoxLayout;
class QLineEdit;

// Common base of the preferences pages: loads its values the first time it is shown,
// saves them when the sheet is applied while some page is marked modified, and keeps
// Enter and Escape for the edit field or list that has the focus.
class CPropPageEx : public QWidget {
    Q_OBJECT
public:
    CPropPageEx(const QString& title, CSettings& settings, UserPrompts& prompts,
                QWidget* parent = nullptr);
    ~CPropPageEx() override;

    [[nodiscard]] QString Title() const { return m_title; }

    // First showing of the page: LoadValues. Later calls do nothing.
    void InitPage();
    [[nodiscard]] bool IsInitialised() const { return m_initialised; }

    // Reads the controls into the page's fields in exchange order. A bad entry is reported
    // to the user, gets the focus back and stops the read there (fields before it hold
    // their new values, the others their old ones); returns false then.
    virtual bool ReadFields() { return true; }
    // Shows the page's fields in the controls.
    virtual void WriteFields() {}
    // The last field refused by ReadFields, or null.
    [[nodiscard]] QLineEdit* BadField() const { return m_badField; }
    void FocusBadField();

    // Called for every shown page on OK and on Appliquer; saves only while the sheet's
    // apply button is enabled.
    void OnApply(bool applyButtonEnabled);

    virtual void LoadValues() {}
    virtual void SaveValues() {}
    void MarkModified();

    [[nodiscard]] bool IsModified() const { return m_modified; }
    void ClearModified() { m_modified = false; }

signals:
    void markedModified();

protected:
    void keyPressEvent(QKeyEvent* event) override;

    [[nodiscard]] CSettings& Settings() { return m_settings; }
    [[nodiscard]] UserPrompts& Prompts() const { return m_prompts; }

    void ClearBadField() { m_badField = nullptr; }
    // Field checks used by ReadFields; false after telling the user.
    bool ReadUnsigned(QLineEdit* edit, uint32_t& field);
    bool CheckRange(QLineEdit* edit, uint32_t value, uint32_t low, uint32_t high);
    bool ReadSigned(QLineEdit* edit, int32_t& field);

    // A row of edit followed by the label of its unit ("cm", "%"), made in parent.
    [[nodiscard]] static QHBoxLayout* FieldWithUnit(QLineEdit* edit, const QString& unit,
                                                    QWidget* parent);

private:
    bool RefuseField(QLineEdit* edit, const QString& message);
    // Stores the number read from edit in field, or refuses edit with refusal when there is
    // none.
    template <typename Number>
    bool StoreField(QLineEdit* edit, const std::optional<Number>& value, Number& field,
                    const QString& refusal) {
        if (!value) {
            return RefuseField(edit, refusal);
        }
        field = *value;
        return true;
    }

    QString m_title;
    CSettings& m_settings;
    UserPrompts& m_prompts;
    bool m_initialised = false;
    bool m_modified = false;
    QLineEdit* m_badField = nullptr;
};
