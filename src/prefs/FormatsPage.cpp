#include "prefs/FormatsPage.h"

#include "settings/Settings.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <memory>

namespace {

QLineEdit* newEdit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

} // namespace

FormatsPage::FormatsPage(Settings& settings, UserPrompts& prompts, QWidget* parent)
    : PreferencesPage(QStringLiteral("Formats"), settings, prompts, parent),
      m_list(new QListWidget(this)), m_addButton(new QPushButton(QStringLiteral("Ajouter"), this)),
      m_deleteButton(new QPushButton(QStringLiteral("Supprimer"), this)),
      m_nameEdit(newEdit("formatName", this)), m_hauteurEdit(newEdit("hauteur", this)),
      m_largeurEdit(newEdit("largeur", this)), m_borderEdit(newEdit("border", this)),
      m_showRatioCheck(
          new QCheckBox(QStringLiteral("Afficher le rapport H/L entre parenthéses"), this)) {
    m_list->setObjectName(QStringLiteral("formatList"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSortingEnabled(false);
    m_addButton->setObjectName(QStringLiteral("addButton"));
    m_deleteButton->setObjectName(QStringLiteral("deleteButton"));
    m_showRatioCheck->setObjectName(QStringLiteral("showRatio"));

    auto* listButtons = new QHBoxLayout;
    listButtons->addStretch();
    listButtons->addWidget(m_addButton);
    listButtons->addWidget(m_deleteButton);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Nom du format :"), this), 0, 0);
    fields->addWidget(m_nameEdit, 0, 1, 1, 4);
    fields->addWidget(new QLabel(QStringLiteral("Hauteur :"), this), 1, 0);
    fields->addLayout(fieldWithUnit(m_hauteurEdit, QStringLiteral("cm"), this), 1, 1);
    fields->addWidget(new QLabel(QStringLiteral("x"), this), 1, 2);
    fields->addWidget(new QLabel(QStringLiteral("Largeur :"), this), 1, 3);
    fields->addLayout(fieldWithUnit(m_largeurEdit, QStringLiteral("cm"), this), 1, 4);
    fields->addWidget(new QLabel(QStringLiteral("Dimension du bord blanc :"), this), 2, 0);
    QHBoxLayout* borderRow = fieldWithUnit(m_borderEdit, QStringLiteral("mm"), this);
    borderRow->addStretch();
    fields->addLayout(borderRow, 2, 1, 1, 4);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Liste des formats :"), this));
    layout->addWidget(m_list, 1);
    layout->addLayout(listButtons);
    layout->addLayout(fields);
    layout->addWidget(m_showRatioCheck);

    connect(m_list, &QListWidget::itemSelectionChanged, this, &FormatsPage::onSelectionChanged);
    connect(m_addButton, &QPushButton::clicked, this, &FormatsPage::addFormat);
    connect(m_deleteButton, &QPushButton::clicked, this, &FormatsPage::deleteFormat);
    connect(m_showRatioCheck, &QCheckBox::clicked, this, [this] { markModified(); });
}

FormatsPage::~FormatsPage() = default;

bool FormatsPage::readFields() {
    clearBadField();
    m_showRatio = m_showRatioCheck->isChecked();
    if (!readSigned(m_hauteurEdit, m_hauteur) || !readSigned(m_largeurEdit, m_largeur)) {
        return false;
    }
    m_name = m_nameEdit->text().toStdString();
    return readSigned(m_borderEdit, m_border);
}

void FormatsPage::writeFields() {
    m_showRatioCheck->setChecked(m_showRatio);
    m_hauteurEdit->setText(QString::number(m_hauteur));
    m_largeurEdit->setText(QString::number(m_largeur));
    m_nameEdit->setText(QString::fromStdString(m_name));
    m_borderEdit->setText(QString::number(m_border));
}

void FormatsPage::loadValues() {
    std::vector<std::string> texts;
    settings().loadFormats(texts);
    m_formats = formatsFromTexts(texts);
    if (m_formats.empty()) {
        m_formats.push_back(PrintFormat{});
    }
    {
        const QSignalBlocker blocker(m_list);
        m_list->clear();
        for (const PrintFormat& format : m_formats) {
            m_list->addItem(QString::fromStdString(format.name));
        }
    }
    m_showRatio = settings().showFactor() != 0;
    writeFields();
}

void FormatsPage::saveValues() {
    readFields();
    settings().saveFormats(formatsToTexts(m_formats));
    settings().setShowFactor(m_showRatio ? 1 : 0);
}

int FormatsPage::selectedRow() const {
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    return selected.isEmpty() ? -1 : m_list->row(selected.front());
}

void FormatsPage::onSelectionChanged() {
    if (m_fillingList) {
        return;
    }
    const int row = selectedRow();
    if (row < 0 || row >= static_cast<int>(m_formats.size())) {
        return;
    }
    const PrintFormat& format = m_formats[static_cast<std::size_t>(row)];
    m_name = format.name;
    m_hauteur = format.widthCm;
    m_largeur = format.heightCm;
    m_border = format.borderMm;
    writeFields();
}

void FormatsPage::addFormat() {
    readFields();
    const QString name = QString::fromStdString(m_name);
    for (int row = 0; row < m_list->count(); ++row) {
        if (m_list->item(row)->text() == name) {
            prompts().tell(QStringLiteral("Un format avec le même nom existe déjà"), appTitle(),
                           QMessageBox::NoIcon);
            return;
        }
    }
    if (!m_name.empty() && m_hauteur != 0 && m_largeur != 0 && m_border != 0) {
        PrintFormat format;
        format.name = m_name;
        format.heightCm = static_cast<uint16_t>(m_largeur);
        format.widthCm = static_cast<uint16_t>(m_hauteur);
        format.borderMm = static_cast<uint16_t>(m_border);
        m_formats.push_back(format);
        const QSignalBlocker blocker(m_list);
        m_list->addItem(name);
    }
    markModified();
}

void FormatsPage::deleteFormat() {
    const int row = selectedRow();
    if (row >= 0 && row < static_cast<int>(m_formats.size())) {
        m_formats.erase(m_formats.begin() + row);
        {
            m_fillingList = true;
            const std::unique_ptr<QListWidgetItem> removed(m_list->takeItem(row));
            m_list->clearSelection();
            m_list->setCurrentRow(-1, QItemSelectionModel::NoUpdate);
            m_fillingList = false;
        }
        m_name.clear();
        m_hauteur = 0;
        m_largeur = 0;
        m_border = 0;
        writeFields();
    }
    markModified();
}
