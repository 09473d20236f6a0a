#include "prefs/PropSheetEx.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

CPropSheetEx::CPropSheetEx(const QString& caption, CSettings& settings, UserPrompts& prompts,
                           QWidget* parent)
    : QDialog(parent), m_tabs(new QTabWidget(this)),
      m_okButton(new QPushButton(QStringLiteral("OK"), this)),
      m_cancelButton(new QPushButton(QStringLiteral("Annuler"), this)),
      m_applyButton(new QPushButton(QStringLiteral("Appliquer"), this)),
      m_general(settings, prompts), m_format(settings, prompts) {
    setWindowTitle(caption);
    setWindowIcon(QApplication::windowIcon());

    m_tabs->addTab(&m_general, m_general.Title());
    m_tabs->addTab(&m_format, m_format.Title());
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

    connect(m_okButton, &QPushButton::clicked, this, &CPropSheetEx::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &CPropSheetEx::reject);
    connect(m_applyButton, &QPushButton::clicked, this, [this] { Apply(); });
    connect(m_tabs, &QTabWidget::currentChanged, this, &CPropSheetEx::OnTabChanged);
    for (CPropPageEx* page :
         {static_cast<CPropPageEx*>(&m_general), static_cast<CPropPageEx*>(&m_format)}) {
        connect(page, &CPropPageEx::markedModified, this, &CPropSheetEx::OnPageModified);
    }
}

CPropSheetEx::~CPropSheetEx() {
    // The pages are members: take them out of the tab widget before they go, without
    // treating their removal as the user leaving a page.
    disconnect(m_tabs, nullptr, this, nullptr);
    m_tabs->clear();
    m_general.setParent(nullptr);
    m_format.setParent(nullptr);
}

CPropPageEx* CPropSheetEx::PageAt(int index) {
    switch (index) {
    case 0:
        return &m_general;
    case 1:
        return &m_format;
    default:
        return nullptr;
    }
}

bool CPropSheetEx::SetActivePage(int index) {
    m_tabs->setCurrentIndex(index);
    return m_tabs->currentIndex() == index;
}

void CPropSheetEx::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (CPropPageEx* page = PageAt(m_tabs->currentIndex())) {
        page->InitPage();
    }
}

void CPropSheetEx::OnTabChanged(int index) {
    if (m_revertingTab) {
        return;
    }
    CPropPageEx* leaving = PageAt(m_shownIndex);
    if (leaving && leaving->IsInitialised() && !leaving->ReadFields()) {
        // A bad entry keeps the user on its page.
        m_revertingTab = true;
        m_tabs->setCurrentIndex(m_shownIndex);
        m_revertingTab = false;
        leaving->FocusBadField();
        return;
    }
    m_shownIndex = index;
    if (CPropPageEx* page = PageAt(index)) {
        page->InitPage();
    }
}

void CPropSheetEx::OnPageModified() {
    m_applyButton->setEnabled(true);
}

bool CPropSheetEx::Apply() {
    CPropPageEx* current = PageAt(m_tabs->currentIndex());
    if (current && current->IsInitialised() && !current->ReadFields()) {
        return false;
    }
    const bool applyEnabled = m_applyButton->isEnabled();
    for (CPropPageEx* page :
         {static_cast<CPropPageEx*>(&m_general), static_cast<CPropPageEx*>(&m_format)}) {
        if (page->IsInitialised()) {
            page->OnApply(applyEnabled);
        }
    }
    m_general.ClearModified();
    m_format.ClearModified();
    m_applyButton->setEnabled(false);
    return true;
}

void CPropSheetEx::accept() {
    if (Apply()) {
        QDialog::accept();
    }
}
