#pragma once

#include <functional>
#include <string>
#include <vector>

// The work of the rename tool, free of widgets: which photos, their new names, the moves.

enum class RenameFolderCheck { Ok, IncorrectFolder, NoPhotos };

// Every text before a '/' of folder must name an existing file or folder (the empty text
// before a leading '/' is the root); the part after the last '/' is not checked. An empty
// folder text is incorrect.
[[nodiscard]] bool folderPrefixesExist(const std::string& folder);

// Checks folder and lists its photos, subfolders one level deep included, in scan order.
// A folder without a trailing '/' is scanned as if it had one.
[[nodiscard]] RenameFolderCheck listPhotosToRename(const std::string& folder,
                                                   std::vector<std::string>& photos);

enum class MoveOutcome { Moved, TargetExists, Failed };

// Moves from to to without ever replacing an existing file; on failure the file keeps its
// old name. Uses renameat2(RENAME_NOREPLACE), or link + unlink where the file system does
// not support it.
[[nodiscard]] MoveOutcome moveFileNoReplace(const std::string& from, const std::string& to);
// The link + unlink way on its own.
[[nodiscard]] MoveOutcome moveFileByLink(const std::string& from, const std::string& to);

struct RenameTally {
    int renamed = 0;
    int kept = 0;
};

// Renames every photo after mask, in list order, never stopping early: each photo gets
// the name BuildResultName gives it in its own folder (shot date from the EXIF header
// only), or keeps its old one when that name is taken, leaves the folder (a mask holding
// '/') or the move fails. After photo i of n (from 0), progress receives (100 * i) / n.
RenameTally renamePhotos(const std::vector<std::string>& photos, const std::string& mask,
                         const std::function<void(int percent)>& progress);
