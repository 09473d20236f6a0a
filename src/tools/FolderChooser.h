#pragma once

#include <QString>

#include <string>

class QWidget;

// Where a folder chooser opens: the setting when it names an existing folder, else the
// pictures folder when it exists, else home. Never the program's current directory. UTF-8
// paths; a folder that the setting did not give gets a trailing '/'.
[[nodiscard]] std::string folderChooserStart(const std::string& setting,
                                             const std::string& pictures, const std::string& home);
// The same with the user's own Pictures folder (XDG user directories) and home folder.
[[nodiscard]] std::string folderChooserStart(const std::string& setting);

// Lets the user pick a folder, starting at startFolder, over parent; the chosen folder, or
// empty when cancelled. Qt's own chooser (used where the desktop offers none) shows its
// columns in French (type, dates in the default locale) and is wide enough for their titles.
[[nodiscard]] QString chooseFolder(QWidget* parent, const QString& title,
                                   const QString& startFolder);
