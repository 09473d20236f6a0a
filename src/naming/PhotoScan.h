#pragma once

#include <string>
#include <vector>

// Appends the full paths of the ".jpg" files (any letter case) of folder (ending with
// '/') to photos, in name order (case-insensitive, then byte order). With recurse set, the
// photos of each direct subfolder are appended where the subfolder's name falls; deeper
// folders are never entered. A missing or unreadable folder leaves the list unchanged.
void ScanPhotoFolder(const std::string& folder, std::vector<std::string>& photos, bool recurse);
