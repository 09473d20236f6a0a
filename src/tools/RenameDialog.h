#pragma once

#include "widgets/UserPrompts.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <string>
#include <vector>

class GradientLabel;
class Settings;
class QLineEdit;
class QPushButton;
class QTimer;
class QTreeWidget;
class TagButton;

// Modal tool that renames every photo of a folder (subfolders one level deep included)
// after a name mask, each photo staying in its own folder. Under the mask, the first photos
// of the folder are listed with their current and new names, following the mask as it is
// typed.
class RenameDialog : public QDialog {
    Q_OBJECT
public:
    // parent's window caption becomes the dialog's caption. The folder chooser and the
    // warnings go through prompts.
    RenameDialog(Settings& settings, UserPrompts& prompts, QWidget* parent = nullptr);

    void chooseFolder();
    // Appends tag at the end of the mask, wherever the caret is.
    void appendTag(const QString& tag);
    // Renames the folder's photos, then tells how many were renamed, skipped and failed.
    void runRename();

    [[nodiscard]] QString folderText() const;
    [[nodiscard]] QString maskText() const;

    void done(int result) override;

signals:
    // After each photo of a run, with the position given to the progress bar.
    void progressChanged(int percent);

private:
    void readFields();
    void showFields();
    void saveFields();
    // Lists the first photos with the names the mask gives them; the folder is read again
    // only when its text changed or a run renamed its photos.
    void refreshPreview();

    Settings& m_settings;
    UserPrompts& m_prompts;
    std::string m_mask;
    std::string m_folder;
    GradientLabel* m_banner = nullptr;
    QLineEdit* m_folderEdit = nullptr;
    QLineEdit* m_maskEdit = nullptr;
    QPushButton* m_browseButton = nullptr;
    TagButton* m_tagButton = nullptr;
    QPushButton* m_runButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QTreeWidget* m_preview = nullptr;
    // Restarted by every change of a field, so that typing in a large folder stays fluid.
    QTimer* m_previewTimer = nullptr;
    std::string m_listedFolder;
    bool m_listed = false;
    std::vector<std::string> m_listedPhotos;
};
