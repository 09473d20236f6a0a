#pragma once

#include "tools/UserMessage.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <string>

class CGradientLabel;
class CSettings;
class QLineEdit;
class QPushButton;
class TagButton;

// Given a title and an initial folder, returns the folder chosen (ending with '/'), or an
// empty text when the user cancels.
using FolderPicker =
    std::function<std::string(const QString& title, const std::string& initialFolder)>;

// Modal tool that renames every photo of a folder (subfolders one level deep included)
// after a name mask, each photo staying in its own folder.
class CRenameDlg : public QDialog {
    Q_OBJECT
public:
    // parent's window caption becomes the dialog's caption. Unset hooks fall back on
    // CToolsApp: BrowseForFolder for pickFolder, MessageBox for messages.
    CRenameDlg(CSettings& settings, FolderPicker pickFolder, QWidget* parent = nullptr,
               MessageSink messages = {});

    void ChooseFolder();
    // Appends tag at the end of the mask, wherever the caret is.
    void AppendTag(const QString& tag);
    void RunRename();

    [[nodiscard]] QString FolderText() const;
    [[nodiscard]] QString MaskText() const;

    void done(int result) override;

signals:
    // After each photo of a run, with the position given to the progress bar.
    void progressChanged(int percent);

private:
    void ReadFields();
    void ShowFields();
    void SaveFields();

    CSettings& m_settings;
    FolderPicker m_pickFolder;
    MessageSink m_messages;
    std::string m_mask;
    std::string m_folder;
    CGradientLabel* m_banner = nullptr;
    QLineEdit* m_folderEdit = nullptr;
    QLineEdit* m_maskEdit = nullptr;
    QPushButton* m_browseButton = nullptr;
    TagButton* m_tagButton = nullptr;
    QPushButton* m_runButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
