#include "prefs/PreferencesPage.h"

#include "prefs/FieldText.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

// Controls that take Enter and Escape for themselves instead of closing the sheet.
bool wantsEnterAndEscape(const QWidget* widget) {
    return qobject_cast<const QLineEdit*>(widget) ||
           qobject_cast<const QAbstractItemView*>(widget) ||
           qobject_cast<const QTextEdit*>(widget) || qobject_cast<const QPlainTextEdit*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget);
}

} // namespace

PreferencesPage::PreferencesPage(const QString& title, Settings& settings, UserPrompts& prompts,
                                 QWidget* parent)
    : QWidget(parent), m_title(title), m_settings(settings), m_prompts(prompts) {}

PreferencesPage::~PreferencesPage() = default;

void PreferencesPage::initPage() {
    if (m_initialised) {
        return;
    }
    m_initialised = true;
    loadValues();
}

void PreferencesPage::onApply(bool applyButtonEnabled) {
    if (applyButtonEnabled) {
        saveValues();
    }
}

void PreferencesPage::markModified() {
    m_modified = true;
    emit markedModified();
}

void PreferencesPage::focusBadField() {
    if (m_badField) {
        m_badField->setFocus();
        m_badField->selectAll();
    }
}

void PreferencesPage::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool enterOrEscape =
        key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
    if (enterOrEscape && wantsEnterAndEscape(window()->focusWidget())) {
        // The control has had the key already; the sheet must not close on it.
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool PreferencesPage::refuseField(QLineEdit* edit, const QString& message) {
    m_badField = edit;
    m_prompts.warn(message, appTitle());
    focusBadField();
    return false;
}

bool PreferencesPage::readUnsigned(QLineEdit* edit, uint32_t& field) {
    return storeField(edit, parseUnsignedField(edit->text()), field,
                      QStringLiteral("Veuillez entrer un nombre entier positif."));
}

bool PreferencesPage::checkRange(QLineEdit* edit, uint32_t value, uint32_t low, uint32_t high) {
    if (value < low || value > high) {
        return refuseField(edit, QStringLiteral("Veuillez entrer un nombre entier compris entre "
                                                "%1 et %2.")
                                     .arg(low)
                                     .arg(high));
    }
    return true;
}

bool PreferencesPage::readSigned(QLineEdit* edit, int32_t& field) {
    return storeField(edit, parseSignedField(edit->text()), field,
                      QStringLiteral("Veuillez entrer un nombre entier."));
}

QHBoxLayout* PreferencesPage::fieldWithUnit(QLineEdit* edit, const QString& unit, QWidget* parent) {
    auto* row = new QHBoxLayout;
    row->addWidget(edit);
    row->addWidget(new QLabel(unit, parent));
    return row;
}
