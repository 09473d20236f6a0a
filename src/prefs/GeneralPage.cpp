#include "prefs/GeneralPage.h"

#include "settings/Settings.h"
#include "widgets/TagButton.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

QCheckBox* newCheck(const QString& text, const char* name, QWidget* parent) {
    auto* check = new QCheckBox(text, parent);
    check->setObjectName(QLatin1String(name));
    return check;
}

QLineEdit* newNumberEdit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMaximumWidth(60);
    return edit;
}

} // namespace

GeneralPage::GeneralPage(Settings& settings, UserPrompts& prompts, QWidget* parent)
    : PreferencesPage(QStringLiteral("Général"), settings, prompts, parent) {
    auto* origin = new QGroupBox(QStringLiteral("Fichiers d'origine"), this);
    m_recurseCheck = newCheck(QStringLiteral("Parcourrir le répertoire et ses sous répertoires"),
                              "recurse", origin);
    auto* originLayout = new QVBoxLayout(origin);
    originLayout->addWidget(m_recurseCheck);

    auto* result = new QGroupBox(QStringLiteral("Fichier résultat"), this);
    m_qualityEdit = newNumberEdit("jpegQuality", result);
    m_autoRenameCheck =
        newCheck(QStringLiteral("Renommer le fichier résultat"), "autoRename", result);
    m_resultNameEdit = new QLineEdit(result);
    m_resultNameEdit->setObjectName(QStringLiteral("resultName"));
    m_tagButton = new TagButton(true, result);
    m_tagButton->setObjectName(QStringLiteral("tagButton"));
    auto* resultLayout = new QGridLayout(result);
    resultLayout->addWidget(new QLabel(QStringLiteral("Facteur de qualité JPEG"), result), 0, 0);
    QHBoxLayout* qualityRow = fieldWithUnit(m_qualityEdit, QStringLiteral("%"), result);
    qualityRow->addStretch();
    resultLayout->addLayout(qualityRow, 0, 1);
    resultLayout->addWidget(m_autoRenameCheck, 1, 0, 1, 2);
    resultLayout->addWidget(new QLabel(QStringLiteral("Nom du fichier :"), result), 2, 0);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(m_resultNameEdit);
    nameRow->addWidget(m_tagButton);
    resultLayout->addLayout(nameRow, 2, 1);

    auto* frame = new QGroupBox(QStringLiteral("Général"), this);
    m_recadColorCheck = newCheck(
        QStringLiteral("Activer le recadrage en couleur suivant la qualité"), "recadColor", frame);
    m_smallBorderCheck = newCheck(QStringLiteral("Activer la bordure discrète pour le recadrage"),
                                  "smallBorder", frame);
    m_opacityEdit = newNumberEdit("opacity", frame);
    auto* frameLayout = new QGridLayout(frame);
    frameLayout->addWidget(m_recadColorCheck, 0, 0, 1, 2);
    frameLayout->addWidget(m_smallBorderCheck, 1, 0, 1, 2);
    frameLayout->addWidget(new QLabel(QStringLiteral("Niveau d'opacité du cadre"), frame), 2, 0);
    QHBoxLayout* opacityRow = fieldWithUnit(m_opacityEdit, QStringLiteral("%"), frame);
    opacityRow->addStretch();
    frameLayout->addLayout(opacityRow, 2, 1);

    auto* program = new QGroupBox(QStringLiteral("Général"), this);
    m_checkVersionCheck =
        newCheck(QStringLiteral("Rechercher la présence de nouvelle version au démarrage"),
                 "checkVersion", program);
    m_keybProgressifCheck =
        newCheck(QStringLiteral("Augmenter progressivement la vitesse de déplacement au clavier"),
                 "keybProgressif", program);
    m_fullFileNameCheck =
        newCheck(QStringLiteral("Afficher le chemin complet du fichier dans la barre de status"),
                 "fullFileName", program);
    auto* programLayout = new QVBoxLayout(program);
    programLayout->addWidget(m_checkVersionCheck);
    programLayout->addWidget(m_keybProgressifCheck);
    programLayout->addWidget(m_fullFileNameCheck);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(origin);
    layout->addWidget(result);
    layout->addWidget(frame);
    layout->addWidget(program);
    layout->addStretch();

    // Programmatic text changes count too: loading the values marks the page modified.
    for (QLineEdit* edit : {m_resultNameEdit, m_qualityEdit, m_opacityEdit}) {
        connect(edit, &QLineEdit::textChanged, this, [this] { markModified(); });
    }
    for (QCheckBox* check : {m_recurseCheck, m_checkVersionCheck, m_recadColorCheck,
                             m_fullFileNameCheck, m_smallBorderCheck, m_keybProgressifCheck}) {
        connect(check, &QCheckBox::clicked, this, [this] { markModified(); });
    }
    connect(m_autoRenameCheck, &QCheckBox::clicked, this, &GeneralPage::onAutoRenameClicked);
    connect(m_tagButton, &TagButton::tagChosen, this, &GeneralPage::appendTag);
}

GeneralPage::~GeneralPage() = default;

bool GeneralPage::readFields() {
    clearBadField();
    uint32_t quality = m_jpegQuality;
    if (!readUnsigned(m_qualityEdit, quality)) {
        return false;
    }
    m_jpegQuality = quality;
    if (!checkRange(m_qualityEdit, quality, 0, 100)) {
        return false;
    }
    m_autoRename = m_autoRenameCheck->isChecked();
    m_resultName = m_resultNameEdit->text().toStdString();
    m_recurse = m_recurseCheck->isChecked();
    m_checkVersion = m_checkVersionCheck->isChecked();
    m_recadColor = m_recadColorCheck->isChecked();
    m_fullFileName = m_fullFileNameCheck->isChecked();
    m_smallBorder = m_smallBorderCheck->isChecked();
    if (!readUnsigned(m_opacityEdit, m_opacity)) {
        return false;
    }
    m_keybProgressif = m_keybProgressifCheck->isChecked();
    return true;
}

void GeneralPage::writeFields() {
    m_qualityEdit->setText(QString::number(m_jpegQuality));
    m_autoRenameCheck->setChecked(m_autoRename);
    m_resultNameEdit->setText(QString::fromStdString(m_resultName));
    m_recurseCheck->setChecked(m_recurse);
    m_checkVersionCheck->setChecked(m_checkVersion);
    m_recadColorCheck->setChecked(m_recadColor);
    m_fullFileNameCheck->setChecked(m_fullFileName);
    m_smallBorderCheck->setChecked(m_smallBorder);
    m_opacityEdit->setText(QString::number(m_opacity));
    m_keybProgressifCheck->setChecked(m_keybProgressif);
}

void GeneralPage::loadValues() {
    Settings& values = settings();
    m_autoRename = values.autoRename() != 0;
    m_jpegQuality = static_cast<uint32_t>(values.jpegQuality());
    m_resultName = values.resultName();
    m_recurse = values.recurseOrigin() != 0;
    m_checkVersion = values.checkVersion() != 0;
    m_recadColor = values.useRecadColor() != 0;
    m_smallBorder = values.useSmallRBorder() != 0;
    m_fullFileName = values.showFullFileName() != 0;
    m_opacity = static_cast<uint32_t>(values.opacity());
    m_keybProgressif = values.keybProgressif() != 0;
    m_resultNameEdit->setEnabled(m_autoRename);
    writeFields();
}

void GeneralPage::saveValues() {
    readFields();
    Settings& values = settings();
    values.setAutoRename(m_autoRename ? 1 : 0);
    values.setRecurseOrigin(m_recurse ? 1 : 0);
    values.setJpegQuality(static_cast<int32_t>(m_jpegQuality));
    values.setResultName(m_resultName);
    values.setCheckVersion(m_checkVersion ? 1 : 0);
    values.setUseRecadColor(m_recadColor ? 1 : 0);
    values.setUseSmallRBorder(m_smallBorder ? 1 : 0);
    values.setShowFullFileName(m_fullFileName ? 1 : 0);
    values.setOpacity(static_cast<int32_t>(m_opacity));
    values.setKeybProgressif(m_keybProgressif ? 1 : 0);
}

void GeneralPage::onAutoRenameClicked() {
    readFields();
    m_resultNameEdit->setEnabled(m_autoRenameCheck->isChecked());
    markModified();
}

void GeneralPage::appendTag(const QString& tag) {
    QWidget* focused = QApplication::focusWidget();
    readFields();
    m_resultName += tag.toStdString();
    writeFields();
    if (focused) {
        focused->setFocus();
    }
}
