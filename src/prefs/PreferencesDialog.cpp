#include "prefs/PreferencesDialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

PreferencesDialog::PreferencesDialog(const QString& caption, Settings& settings,
                                     UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_tabs(new QTabWidget(this)),
      m_okButton(new QPushButton(QStringLiteral("OK"), this)),
      m_cancelButton(new QPushButton(QStringLiteral("Annuler"), this)),
      m_applyButton(new QPushButton(QStringLiteral("Appliquer"), this)),
      m_general(settings, prompts), m_format(settings, prompts) {
    setWindowTitle(caption);
    setWindowIcon(QApplication::windowIcon());

    m_tabs->addTab(&m_general, m_general.title());
    m_tabs->addTab(&m_format, m_format.title());
    m_tabs->setCurrentIndex(0);

    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_applyButton->setObjectName(QStringLiteral("applyButton"));
    m_okButton->setDefault(true);
    m_applyButton->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    buttons->addWidget(m_applyButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addLayout(buttons);

    connect(m_okButton, &QPushButton::clicked, this, &PreferencesDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &PreferencesDialog::reject);
    connect(m_applyButton, &QPushButton::clicked, this, [this] { apply(); });
    connect(m_tabs, &QTabWidget::currentChanged, this, &PreferencesDialog::onTabChanged);
    for (PreferencesPage* page :
         {static_cast<PreferencesPage*>(&m_general), static_cast<PreferencesPage*>(&m_format)}) {
        connect(page, &PreferencesPage::markedModified, this, &PreferencesDialog::onPageModified);
    }
}

PreferencesDialog::~PreferencesDialog() {
    // The pages are members: take them out of the tab widget before they go, without
    // treating their removal as the user leaving a page.
    disconnect(m_tabs, nullptr, this, nullptr);
    m_tabs->clear();
    m_general.setParent(nullptr);
    m_format.setParent(nullptr);
}

PreferencesPage* PreferencesDialog::pageAt(int index) {
    switch (index) {
    case 0:
        return &m_general;
    case 1:
        return &m_format;
    default:
        return nullptr;
    }
}

bool PreferencesDialog::setActivePage(int index) {
    m_tabs->setCurrentIndex(index);
    return m_tabs->currentIndex() == index;
}

void PreferencesDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (PreferencesPage* page = pageAt(m_tabs->currentIndex())) {
        page->initPage();
    }
}

void PreferencesDialog::onTabChanged(int index) {
    if (m_revertingTab) {
        return;
    }
    PreferencesPage* leaving = pageAt(m_shownIndex);
    if (leaving && leaving->isInitialised() && !leaving->readFields()) {
        // A bad entry keeps the user on its page.
        m_revertingTab = true;
        m_tabs->setCurrentIndex(m_shownIndex);
        m_revertingTab = false;
        leaving->focusBadField();
        return;
    }
    m_shownIndex = index;
    if (PreferencesPage* page = pageAt(index)) {
        page->initPage();
    }
}

void PreferencesDialog::onPageModified() {
    m_applyButton->setEnabled(true);
}

bool PreferencesDialog::apply() {
    PreferencesPage* current = pageAt(m_tabs->currentIndex());
    if (current && current->isInitialised() && !current->readFields()) {
        return false;
    }
    const bool applyEnabled = m_applyButton->isEnabled();
    for (PreferencesPage* page :
         {static_cast<PreferencesPage*>(&m_general), static_cast<PreferencesPage*>(&m_format)}) {
        if (page->isInitialised()) {
            page->onApply(applyEnabled);
        }
    }
    m_general.clearModified();
    m_format.clearModified();
    m_applyButton->setEnabled(false);
    return true;
}

void PreferencesDialog::accept() {
    if (apply()) {
        QDialog::accept();
    }
}
