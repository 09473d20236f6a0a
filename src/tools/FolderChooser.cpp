#include "tools/FolderChooser.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QScreen>
#include <QShowEvent>
#include <QStandardPaths>
#include <QTreeView>

#include <algorithm>

namespace {

// Columns of Qt's file system model.
constexpr int kTypeColumn = 2;
constexpr int kDateColumn = 3;

bool isFolder(const std::string& path) {
    return !path.empty() && QFileInfo(QString::fromStdString(path)).isDir();
}

std::string withTrailingSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

// Qt's file system model names the type of a folder in English whatever the translation
// ("Folder") and writes dates in the system locale ("5 Dec"); these two columns are given
// in French here, dates in the program's default locale.
class FrenchFileColumns : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || files == nullptr || !index.isValid()) {
            return QIdentityProxyModel::data(index, role);
        }
        const QModelIndex source = mapToSource(index);
        if (index.column() == kTypeColumn) {
            if (files->isDir(source)) {
                return QStringLiteral("Dossier");
            }
            const QString suffix = files->fileInfo(source).suffix();
            return suffix.isEmpty() ? QStringLiteral("Fichier")
                                    : QStringLiteral("Fichier %1").arg(suffix);
        }
        if (index.column() == kDateColumn) {
            return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
        }
        return QIdentityProxyModel::data(index, role);
    }
};

// Qt's own folder chooser, widened on show so that every column title can be read in full.
class FolderDialog : public QFileDialog {
public:
    FolderDialog(QWidget* parent, const QString& title, const QString& folder)
        : QFileDialog(parent, title, folder) {
        setFileMode(QFileDialog::Directory);
        setOption(QFileDialog::ShowDirsOnly);
        setProxyModel(new FrenchFileColumns(this));
    }

protected:
    void showEvent(QShowEvent* event) override {
        QFileDialog::showEvent(event);
        fitColumnTitles();
    }

private:
    void fitColumnTitles() {
        auto* view = findChild<QTreeView*>();
        if (view == nullptr) {
            return;
        }
        QHeaderView* header = view->header();
        header->setStretchLastSection(false);
        int needed = 0;
        for (int column = 0; column < header->count(); ++column) {
            if (header->isSectionHidden(column)) {
                continue;
            }
            // The title, and the widest visible text under it (dates), in full.
            const int wanted =
                std::max(header->sectionSizeHint(column),
                         static_cast<QAbstractItemView*>(view)->sizeHintForColumn(column));
            if (header->sectionSize(column) < wanted) {
                header->resizeSection(column, wanted);
            }
            needed += header->sectionSize(column);
        }
        const int missing = needed - view->viewport()->width();
        if (missing <= 0) {
            return;
        }
        int widest = width() + missing;
        if (const QScreen* shownOn = screen()) {
            widest = std::min(widest, shownOn->availableGeometry().width());
        }
        resize(widest, height());
    }
};

} // namespace

std::string folderChooserStart(const std::string& setting, const std::string& pictures,
                               const std::string& home) {
    if (isFolder(setting)) {
        return setting;
    }
    if (isFolder(pictures)) {
        return withTrailingSlash(pictures);
    }
    return withTrailingSlash(home);
}

std::string folderChooserStart(const std::string& setting) {
    return folderChooserStart(
        setting, QStandardPaths::writableLocation(QStandardPaths::PicturesLocation).toStdString(),
        QDir::homePath().toStdString());
}

QString chooseFolder(QWidget* parent, const QString& title, const QString& startFolder) {
    FolderDialog dialog(parent, title, startFolder);
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.first();
}
