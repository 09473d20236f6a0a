#include "prefs/PropFormatDlg.h"

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

QLineEdit* NewEdit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

} // namespace

CPropFormatDlg::CPropFormatDlg(CSettings& settings, UserPrompts& prompts, QWidget* parent)
    : CPropPageEx(QStringLiteral("Formats"), settings, prompts, parent),
      m_list(new QListWidget(this)), m_addButton(new QPushButton(QStringLiteral("Ajouter"), this)),
      m_deleteButton(new QPushButton(QStringLiteral("Supprimer"), this)),
      m_nameEdit(NewEdit("formatName", this)), m_hauteurEdit(NewEdit("hauteur", this)),
      m_largeurEdit(NewEdit("largeur", this)), m_borderEdit(NewEdit("border", this)),
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
    fields->addLayout(FieldWithUnit(m_hauteurEdit, QStringLiteral("cm"), this), 1, 1);
    fields->addWidget(new QLabel(QStringLiteral("x"), this), 1, 2);
    fields->addWidget(new QLabel(QStringLiteral("Largeur :"), this), 1, 3);
    fields->addLayout(FieldWithUnit(m_largeurEdit, QStringLiteral("cm"), this), 1, 4);
    fields->addWidget(new QLabel(QStringLiteral("Dimension du bord blanc :"), this), 2, 0);
    QHBoxLayout* borderRow = FieldWithUnit(m_borderEdit, QStringLiteral("mm"), this);
    borderRow->addStretch();
    fields->addLayout(borderRow, 2, 1, 1, 4);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Liste des formats :"), this));
    layout->addWidget(m_list, 1);
    layout->addLayout(listButtons);
    layout->addLayout(fields);
    layout->addWidget(m_showRatioCheck);

    connect(m_list, &QListWidget::itemSelectionChanged, this, &CPropFormatDlg::OnSelectionChanged);
    connect(m_addButton, &QPushButton::clicked, this, &CPropFormatDlg::AddFormat);
    connect(m_deleteButton, &QPushButton::clicked, this, &CPropFormatDlg::DeleteFormat);
    connect(m_showRatioCheck, &QCheckBox::clicked, this, [this] { MarkModified(); });
}

CPropFormatDlg::~CPropFormatDlg() = default;

bool CPropFormatDlg::ReadFields() {
    ClearBadField();
    m_showRatio = m_showRatioCheck->isChecked();
    if (!ReadSigned(m_hauteurEdit, m_hauteur) || !ReadSigned(m_largeurEdit, m_largeur)) {
        return false;
    }
    m_name = m_nameEdit->text().toStdString();
    return ReadSigned(m_borderEdit, m_border);
}

void CPropFormatDlg::WriteFields() {
    m_showRatioCheck->setChecked(m_showRatio);
    m_hauteurEdit->setText(QString::number(m_hauteur));
    m_largeurEdit->setText(QString::number(m_largeur));
    m_nameEdit->setText(QString::fromStdString(m_name));
    m_borderEdit->setText(QString::number(m_border));
}

void CPropFormatDlg::LoadValues() {
    std::vector<std::string> texts;
    Settings().LoadFormats(texts);
    m_formats = FormatsFromTexts(texts);
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
    m_showRatio = Settings().GetShowFactor() != 0;
    WriteFields();
}

void CPropFormatDlg::SaveValues() {
    ReadFields();
    Settings().SaveFormats(FormatsToTexts(m_formats));
    Settings().SetShowFactor(m_showRatio ? 1 : 0);
}

int CPropFormatDlg::SelectedRow() const {
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    return selected.isEmpty() ? -1 : m_list->row(selected.front());
}

void CPropFormatDlg::OnSelectionChanged() {
    if (m_fillingList) {
        return;
    }
    const int row = SelectedRow();
    if (row < 0 || row >= static_cast<int>(m_formats.size())) {
        return;
    }
    const PrintFormat& format = m_formats[static_cast<std::size_t>(row)];
    m_name = format.name;
    m_hauteur = format.widthCm;
    m_largeur = format.heightCm;
    m_border = format.borderMm;
    WriteFields();
}

void CPropFormatDlg::AddFormat() {
    ReadFields();
    const QString name = QString::fromStdString(m_name);
    for (int row = 0; row < m_list->count(); ++row) {
        if (m_list->item(row)->text() == name) {
            Prompts().tell(QStringLiteral("Un format avec le même nom existe déjà"), AppTitle(),
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
    MarkModified();
}

void CPropFormatDlg::DeleteFormat() {
    const int row = SelectedRow();
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
        WriteFields();
    }
    MarkModified();
}
