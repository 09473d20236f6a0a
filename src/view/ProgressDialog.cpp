#include "view/ProgressDialog.h"

#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

ProgressDialog::ProgressDialog(QWidget* parent) : QDialog(parent), m_bar(new QProgressBar(this)) {
    setWindowTitle(QStringLiteral("Opération en cours..."));
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_bar->setMinimumWidth(300);

    auto* cancel = new QPushButton(QStringLiteral("Annuler"), this);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
    layout->addLayout(buttons);
}

void ProgressDialog::setPos(int percent) {
    m_bar->setValue(percent);
    m_bar->repaint();
}

int ProgressDialog::pos() const {
    return m_bar->value();
}
