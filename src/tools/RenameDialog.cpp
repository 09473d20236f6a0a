#include "tools/RenameDialog.h"

#include "naming/BatchRename.h"
#include "settings/Settings.h"
#include "tools/ToolsApp.h"
#include "tools/UserMessage.h"
#include "view/ProgressDialog.h"
#include "widgets/GradientLabel.h"
#include "widgets/TagButton.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <vector>

namespace {

// Pause in typing after which the preview follows the fields, in milliseconds.
constexpr int kPreviewDelayMs = 150;

// path as seen from the folder the user chose: "IMG_0001.JPG", or "Vacances/IMG_0003.jpg"
// for a photo of a subfolder.
QString shownName(const std::string& path, const std::string& folder) {
    const std::string base = folder.empty() || folder.back() == '/' ? folder : folder + '/';
    const bool inside = path.starts_with(base);
    return QString::fromStdString(inside ? path.substr(base.size()) : path);
}

} // namespace

RenameDialog::RenameDialog(Settings& settings, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_prompts(prompts), m_banner(new GradientLabel(this)),
      m_folderEdit(new QLineEdit(this)), m_maskEdit(new QLineEdit(this)),
      m_browseButton(new QPushButton(QStringLiteral("..."), this)),
      m_tagButton(new TagButton(false, this)),
      m_runButton(new QPushButton(QStringLiteral("Lancer ..."), this)),
      m_cancelButton(new QPushButton(QStringLiteral("Annuler"), this)),
      m_preview(new QTreeWidget(this)), m_previewTimer(new QTimer(this)) {
    setWindowTitle(parent ? parent->window()->windowTitle() : appTitle());

    m_banner->setObjectName(QStringLiteral("banner"));
    m_banner->setColors(QColor(0, 0, 100), QColor(255, 255, 255));
    m_banner->setText(QStringLiteral("Renommer des photos"));
    m_banner->setMinimumHeight(32);

    m_folderEdit->setObjectName(QStringLiteral("folderEdit"));
    m_maskEdit->setObjectName(QStringLiteral("maskEdit"));
    m_browseButton->setObjectName(QStringLiteral("browseButton"));
    m_tagButton->setObjectName(QStringLiteral("tagButton"));
    m_runButton->setObjectName(QStringLiteral("runButton"));
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_preview->setObjectName(QStringLiteral("preview"));

    m_preview->setColumnCount(2);
    m_preview->setHeaderLabels({QStringLiteral("Nom actuel"), QStringLiteral("Nouveau nom")});
    m_preview->setRootIsDecorated(false);
    m_preview->setSelectionMode(QAbstractItemView::NoSelection);
    m_preview->setFocusPolicy(Qt::NoFocus);
    m_preview->header()->setSectionResizeMode(QHeaderView::Stretch);
    m_previewTimer->setSingleShot(true);
    m_previewTimer->setInterval(kPreviewDelayMs);

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
    fields->addWidget(m_preview, 4, 0, 1, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_runButton);
    buttons->addWidget(m_cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_banner);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    setMinimumWidth(460);

    connect(m_browseButton, &QPushButton::clicked, this, &RenameDialog::chooseFolder);
    connect(m_tagButton, &TagButton::tagChosen, this, &RenameDialog::appendTag);
    connect(m_runButton, &QPushButton::clicked, this, &RenameDialog::runRename);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_previewTimer, &QTimer::timeout, this, &RenameDialog::refreshPreview);
    for (QLineEdit* edit : {m_folderEdit, m_maskEdit}) {
        connect(edit, &QLineEdit::textChanged, m_previewTimer, qOverload<>(&QTimer::start));
    }

    m_folder = m_settings.renameFolder();
    m_mask = m_settings.renameMask();
    m_preview->setVisible(!m_folder.empty());
    showFields();
}

QString RenameDialog::folderText() const {
    return m_folderEdit->text();
}
QString RenameDialog::maskText() const {
    return m_maskEdit->text();
}

void RenameDialog::readFields() {
    m_folder = m_folderEdit->text().toStdString();
    m_mask = m_maskEdit->text().toStdString();
}

void RenameDialog::showFields() {
    m_folderEdit->setText(QString::fromStdString(m_folder));
    m_maskEdit->setText(QString::fromStdString(m_mask));
}

void RenameDialog::saveFields() {
    readFields();
    m_settings.setRenameFolder(m_folder);
    m_settings.setRenameMask(m_mask);
}

void RenameDialog::chooseFolder() {
    readFields();
    const QString title = QStringLiteral("Choisir le répertoire contenant les photos");
    const std::string chosen = m_prompts.chooseFolder(title, m_folder);
    if (!chosen.empty()) {
        m_folder = chosen;
        showFields();
    }
}

void RenameDialog::appendTag(const QString& tag) {
    QWidget* focused = focusWidget();
    readFields();
    m_mask += tag.toStdString();
    showFields();
    if (focused) {
        focused->setFocus();
    }
}

void RenameDialog::runRename() {
    readFields();
    std::vector<std::string> photos;
    switch (listPhotosToRename(m_folder, photos)) {
    case RenameFolderCheck::IncorrectFolder:
        m_prompts.warn(QStringLiteral("Le répertoire indiqué est incorrect !"), appTitle());
        return;
    case RenameFolderCheck::NoPhotos:
        m_prompts.warn(QStringLiteral("Le répertoire ne contient aucunes photos !"), appTitle());
        return;
    case RenameFolderCheck::Ok:
        break;
    }

    setEnabled(false);
    RenameTally tally;
    {
        ProgressDialog progress(this);
        progress.show();
        tally = renamePhotos(photos, m_mask, [&](int percent) {
            progress.setPos(percent);
            emit progressChanged(percent);
            // Let the progress window paint; input stays blocked until the run ends.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    }
    setEnabled(true);
    m_listed = false; // the photos have new names
    refreshPreview();
    m_prompts.tell(QStringLiteral("%1 photo(s) renommée(s), %2 ignorée(s), %3 en échec.")
                       .arg(tally.renamed)
                       .arg(tally.skipped)
                       .arg(tally.failed),
                   appTitle(), QMessageBox::Information);
}

void RenameDialog::refreshPreview() {
    m_previewTimer->stop();
    const std::string folder = m_folderEdit->text().toStdString();
    const std::string mask = m_maskEdit->text().toStdString();
    if (!m_listed || folder != m_listedFolder) {
        m_listedPhotos.clear();
        (void)listPhotosToRename(folder, m_listedPhotos);
        m_listedFolder = folder;
        m_listed = true;
    }
    m_preview->clear();
    m_preview->setVisible(!folder.empty());
    if (mask.empty()) {
        return;
    }
    const QColor unchanged = palette().color(QPalette::Disabled, QPalette::Text);
    for (const RenamePreviewRow& row : previewRenames(m_listedPhotos, mask, kRenamePreviewCount)) {
        auto* item = new QTreeWidgetItem(
            m_preview, {shownName(row.photo, folder), shownName(row.newPath, folder)});
        if (row.outcome != RenameOutcome::Renamed) {
            item->setForeground(1, unchanged);
        }
    }
}

void RenameDialog::done(int result) {
    saveFields();
    QDialog::done(result);
}
