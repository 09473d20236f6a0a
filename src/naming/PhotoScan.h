#pragma once

#include <string>
#include <vector>

// Appends the full paths of the ".jpg" files (any letter case) of folder (ending with
// '/') to photos, in name order (case-insensitive, then byte order). With recurse set, the
// photos of each direct subfolder are appended where the subfolder's name falls; deeper
// folders are never entered. A missing or unreadable folder leaves the list unchanged.
void scanPhotoFolder(const std::string& folder, std::vector<std::string>& photos, bool recurse);

// The photos of the working folder that the photo list offers for cropping: the photos that
// ScanPhotoFolder lists, less those in the destination folder or any folder below it, so that
// results are never offered as photos again. Folders are compared by their canonical paths
// (links resolved, "." and ".." taken out), so a link to the destination inside the working
// folder leads nowhere either. A destination that is the working folder itself, or a folder
// above it, leaves nothing out: the photos themselves live there.
[[nodiscard]] std::vector<std::string> scanPhotosToCrop(const std::string& workingFolder,
                                                        const std::string& destinationFolder,
                                                        bool recurse);
