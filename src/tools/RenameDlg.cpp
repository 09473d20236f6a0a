#include "tools/RenameDlg.h"

#include "naming/BatchRename.h"
#include "settings/Settings.h"
#include "tools/ToolsApp.h"
#include "tools/UserMessage.h"
#include "view/ProgressDlg.h"
#include "widgets/GradientLabel.h"
#include "widgets/TagButton.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

CRenameDlg::CRenameDlg(CSettings& settings, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_prompts(prompts), m_banner(new CGradientLabel(this)),
      m_folderEdit(new QLineEdit(this)), m_maskEdit(new QLineEdit(this)),
      m_browseButton(new QPushButton(QStringLiteral("..."), this)),
      m_tagButton(new TagButton(false, this)),
      m_runButton(new QPushButton(QStringLiteral("Lancer ..."), this)),
      m_cancelButton(new QPushButton(QStringLiteral("Annuler"), this)) {
    setWindowTitle(parent ? parent->window()->windowTitle() : AppTitle());

    m_banner->setObjectName(QStringLiteral("banner"));
    m_banner->SetColors(QColor(0, 0, 100), QColor(255, 255, 255));
    m_banner->SetText(QStringLiteral("Renommer des photos"));
    m_banner->setMinimumHeight(32);

    m_folderEdit->setObjectName(QStringLiteral("folderEdit"));
    m_maskEdit->setObjectName(QStringLiteral("maskEdit"));
    m_browseButton->setObjectName(QStringLiteral("browseButton"));
    m_tagButton->setObjectName(QStringLiteral("tagButton"));
    m_runButton->setObjectName(QStringLiteral("runButton"));
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));

    m_browseButton->setAutoDefault(false);
    m_cancelButton->setAutoDefault(false);
    m_runButton->setDefault(true);

    auto* fields = new QGridLayout;
    fields->addWidget(
        new QLabel(QStringLiteral("Répertoire contenant les photos à renommer :"), this), 0, 0, 1,
        2);
    fields->addWidget(m_folderEdit, 1, 0);
    fields->addWidget(m_browseButton, 1, 1);
    fields->addWidget(new QLabel(QStringLiteral("Format du nom de la photo :"), this), 2, 0, 1, 2);
    fields->addWidget(m_maskEdit, 3, 0);
    fields->addWidget(m_tagButton, 3, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_runButton);
    buttons->addWidget(m_cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_banner);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    setMinimumWidth(460);

    connect(m_browseButton, &QPushButton::clicked, this, &CRenameDlg::ChooseFolder);
    connect(m_tagButton, &TagButton::tagChosen, this, &CRenameDlg::AppendTag);
    connect(m_runButton, &QPushButton::clicked, this, &CRenameDlg::RunRename);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    m_folder = m_settings.GetRenameFolder();
    m_mask = m_settings.GetRenameMask();
    ShowFields();
}

QString CRenameDlg::FolderText() const {
    return m_folderEdit->text();
}
QString CRenameDlg::MaskText() const {
    return m_maskEdit->text();
}

void CRenameDlg::ReadFields() {
    m_folder = m_folderEdit->text().toStdString();
    m_mask = m_maskEdit->text().toStdString();
}

void CRenameDlg::ShowFields() {
    m_folderEdit->setText(QString::fromStdString(m_folder));
    m_maskEdit->setText(QString::fromStdString(m_mask));
}

void CRenameDlg::SaveFields() {
    ReadFields();
    m_settings.SetRenameFolder(m_folder);
    m_settings.SetRenameMask(m_mask);
}

void CRenameDlg::ChooseFolder() {
    ReadFields();
    const QString title = QStringLiteral("Choisir le répertoire contenant les photos");
    const std::string chosen = m_prompts.chooseFolder(title, m_folder);
    if (!chosen.empty()) {
        m_folder = chosen;
        ShowFields();
    }
}

void CRenameDlg::AppendTag(const QString& tag) {
    QWidget* focused = focusWidget();
    ReadFields();
    m_mask += tag.toStdString();
    ShowFields();
    if (focused) {
        focused->setFocus();
    }
}

void CRenameDlg::RunRename() {
    ReadFields();
    std::vector<std::string> photos;
    switch (ListPhotosToRename(m_folder, photos)) {
    case RenameFolderCheck::IncorrectFolder:
        m_prompts.warn(QStringLiteral("Le répertoire indiqué est incorrect !"), AppTitle());
        return;
    case RenameFolderCheck::NoPhotos:
        m_prompts.warn(QStringLiteral("Le répertoire ne contient aucunes photos !"), AppTitle());
        return;
    case RenameFolderCheck::Ok:
        break;
    }

    setEnabled(false);
    {
        CProgressDlg progress(this);
        progress.show();
        RenamePhotos(photos, m_mask, [&](int percent) {
            progress.SetPos(percent);
            emit progressChanged(percent);
            // Let the progress window paint; input stays blocked until the run ends.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    }
    setEnabled(true);
}

void CRenameDlg::done(int result) {
    SaveFields();
    QDialog::done(result);
}
