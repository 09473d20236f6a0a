#include "prefs/PropPageEx.h"

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
bool WantsEnterAndEscape(const QWidget* widget) {
    return qobject_cast<const QLineEdit*>(widget) ||
           qobject_cast<const QAbstractItemView*>(widget) ||
           qobject_cast<const QTextEdit*>(widget) || qobject_cast<const QPlainTextEdit*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget);
}

} // namespace

CPropPageEx::CPropPageEx(const QString& title, CSettings& settings, UserPrompts& prompts,
                         QWidget* parent)
    : QWidget(parent), m_title(title), m_settings(settings), m_prompts(prompts) {}

CPropPageEx::~CPropPageEx() = default;

void CPropPageEx::InitPage() {
    if (m_initialised) {
        return;
    }
    m_initialised = true;
    LoadValues();
}

void CPropPageEx::OnApply(bool applyButtonEnabled) {
    if (applyButtonEnabled) {
        SaveValues();
    }
}

void CPropPageEx::MarkModified() {
    m_modified = true;
    emit markedModified();
}

void CPropPageEx::FocusBadField() {
    if (m_badField) {
        m_badField->setFocus();
        m_badField->selectAll();
    }
}

void CPropPageEx::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool enterOrEscape =
        key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
    if (enterOrEscape && WantsEnterAndEscape(window()->focusWidget())) {
        // The control has had the key already; the sheet must not close on it.
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool CPropPageEx::RefuseField(QLineEdit* edit, const QString& message) {
    m_badField = edit;
    m_prompts.warn(message, AppTitle());
    FocusBadField();
    return false;
}

bool CPropPageEx::ReadUnsigned(QLineEdit* edit, uint32_t& field) {
    return StoreField(edit, ParseUnsignedField(edit->text()), field,
                      QStringLiteral("Veuillez entrer un nombre entier positif."));
}

bool CPropPageEx::CheckRange(QLineEdit* edit, uint32_t value, uint32_t low, uint32_t high) {
    if (value < low || value > high) {
        return RefuseField(edit, QStringLiteral("Veuillez entrer un nombre entier compris entre "
                                                "%1 et %2.")
                                     .arg(low)
                                     .arg(high));
    }
    return true;
}

bool CPropPageEx::ReadSigned(QLineEdit* edit, int32_t& field) {
    return StoreField(edit, ParseSignedField(edit->text()), field,
                      QStringLiteral("Veuillez entrer un nombre entier."));
}

QHBoxLayout* CPropPageEx::FieldWithUnit(QLineEdit* edit, const QString& unit, QWidget* parent) {
    auto* row = new QHBoxLayout;
    row->addWidget(edit);
    row->addWidget(new QLabel(unit, parent));
    return row;
}
