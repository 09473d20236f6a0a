#pragma once

#include <cstddef>
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

// What the run does with one photo. Skipped: it keeps its name because the new name is its
// own, or is taken with no free index left to try. Failed: the name leaves the photo's folder
// (a mask holding '/') or the move itself failed.
enum class RenameOutcome { Renamed, Skipped, Failed };

struct RenameTally {
    int renamed = 0;
    int skipped = 0;
    int failed = 0;
};

// Renames every photo after mask, in list order, never stopping early: each photo gets
// the name BuildResultName gives it in its own folder (shot date from the EXIF header
// only), or keeps its old one when that name is its own or taken, leaves the folder (a mask
// holding '/') or the move fails. After photo i of n (from 0), progress receives
// (100 * i) / n.
RenameTally renamePhotos(const std::vector<std::string>& photos, const std::string& mask,
                         const std::function<void(int percent)>& progress);

// How many photos the rename tool shows with their new names before a run.
inline constexpr std::size_t kRenamePreviewCount = 10;

struct RenamePreviewRow {
    std::string photo;   // full path now
    std::string newPath; // full path after the run; the photo's own when it keeps its name
    RenameOutcome outcome = RenameOutcome::Renamed;
};

// What renamePhotos would do with the first count photos of the list, worked out by the
// same steps with the moves played against the names read from the folders: nothing on
// disk changes. Only a move the file system refuses (a locked file, a name that appears
// meanwhile) can make the run differ.
[[nodiscard]] std::vector<RenamePreviewRow>
previewRenames(const std::vector<std::string>& photos, const std::string& mask, std::size_t count);
