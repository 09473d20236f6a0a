#pragma once

#include "tools/UserMessage.h"
#include "widgets/UserPrompts.h"

#include <QString>
#include <QWidget>
#include <cstdint>
#include <optional>

class Settings;
class QHBoxLayout;
class QLineEdit;

// Common base of the preferences pages: loads its values the first time it is shown,
// saves them when the sheet is applied while some page is marked modified, and keeps
// Enter and Escape for the edit field or list that has the focus.
class PreferencesPage : public QWidget {
    Q_OBJECT
public:
    PreferencesPage(const QString& title, Settings& settings, UserPrompts& prompts,
                    QWidget* parent = nullptr);
    ~PreferencesPage() override;

    [[nodiscard]] QString title() const { return m_title; }

    // First showing of the page: LoadValues. Later calls do nothing.
    void initPage();
    [[nodiscard]] bool isInitialised() const { return m_initialised; }

    // Reads the controls into the page's fields in exchange order. A bad entry is reported
    // to the user, gets the focus back and stops the read there (fields before it hold
    // their new values, the others their old ones); returns false then.
    virtual bool readFields() { return true; }
    // Shows the page's fields in the controls.
    virtual void writeFields() {}
    // The last field refused by ReadFields, or null.
    [[nodiscard]] QLineEdit* badField() const { return m_badField; }
    void focusBadField();

    // Called for every shown page on OK and on Appliquer; saves only while the sheet's
    // apply button is enabled.
    void onApply(bool applyButtonEnabled);

    virtual void loadValues() {}
    virtual void saveValues() {}
    void markModified();

    [[nodiscard]] bool isModified() const { return m_modified; }
    void clearModified() { m_modified = false; }

signals:
    void markedModified();

protected:
    void keyPressEvent(QKeyEvent* event) override;

    [[nodiscard]] Settings& settings() { return m_settings; }
    [[nodiscard]] UserPrompts& prompts() const { return m_prompts; }

    void clearBadField() { m_badField = nullptr; }
    // Field checks used by ReadFields; false after telling the user.
    bool readUnsigned(QLineEdit* edit, uint32_t& field);
    bool checkRange(QLineEdit* edit, uint32_t value, uint32_t low, uint32_t high);
    bool readSigned(QLineEdit* edit, int32_t& field);

    // A row of edit followed by the label of its unit ("cm", "%"), made in parent.
    [[nodiscard]] static QHBoxLayout* fieldWithUnit(QLineEdit* edit, const QString& unit,
                                                    QWidget* parent);

private:
    bool refuseField(QLineEdit* edit, const QString& message);
    // Stores the number read from edit in field, or refuses edit with refusal when there is
    // none.
    template <typename Number>
    bool storeField(QLineEdit* edit, const std::optional<Number>& value, Number& field,
                    const QString& refusal) {
        if (!value) {
            return refuseField(edit, refusal);
        }
        field = *value;
        return true;
    }

    QString m_title;
    Settings& m_settings;
    UserPrompts& m_prompts;
    bool m_initialised = false;
    bool m_modified = false;
    QLineEdit* m_badField = nullptr;
};
