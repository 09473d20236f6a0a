#include "tools/BatchRename.h"

#include "naming/PhotoScan.h"
#include "naming/ResultName.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool PathExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path.empty() ? std::string("/") : path, error);
}

} // namespace

bool FolderPrefixesExist(const std::string& folder) {
    if (folder.empty()) {
        return false;
    }
    for (std::size_t slash = folder.find('/'); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
        if (!PathExists(folder.substr(0, slash))) {
            return false;
        }
    }
    return true;
}

RenameFolderCheck ListPhotosToRename(const std::string& folder, std::vector<std::string>& photos) {
    photos.clear();
    if (!FolderPrefixesExist(folder)) {
        return RenameFolderCheck::IncorrectFolder;
    }
    const std::string scanned = folder.back() == '/' ? folder : folder + '/';
    ScanPhotoFolder(scanned, photos, true);
    return photos.empty() ? RenameFolderCheck::NoPhotos : RenameFolderCheck::Ok;
}

std::string RenameTarget(const std::string& photoPath, const std::string& mask) {
    const std::string folder = FolderOf(photoPath);
    std::string target = BuildResultName(photoPath, folder + mask, nullptr, nullptr);
    if (FolderOf(target) != folder) {
        return {};
    }
    return target;
}

MoveOutcome MoveFileByLink(const std::string& from, const std::string& to) {
    if (::link(from.c_str(), to.c_str()) != 0) {
        return errno == EEXIST ? MoveOutcome::TargetExists : MoveOutcome::Failed;
    }
    if (::unlink(from.c_str()) != 0) {
        // Keep the single old name rather than two names for one photo.
        ::unlink(to.c_str());
        return MoveOutcome::Failed;
    }
    return MoveOutcome::Moved;
}

MoveOutcome MoveFileNoReplace(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty()) {
        return MoveOutcome::Failed;
    }
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return MoveOutcome::Moved;
    }
    if (errno == EEXIST) {
        return MoveOutcome::TargetExists;
    }
    if (errno == EINVAL || errno == ENOSYS) {
        return MoveFileByLink(from, to);
    }
    return MoveOutcome::Failed;
}

RenameTally RenamePhotos(const std::vector<std::string>& photos, const std::string& mask,
                         const std::function<void(int percent)>& progress) {
    RenameTally tally;
    const auto count = static_cast<long long>(photos.size());
    for (long long i = 0; i < count; ++i) {
        const std::string& source = photos[static_cast<std::size_t>(i)];
        const std::string target = RenameTarget(source, mask);
        if (MoveFileNoReplace(source, target) == MoveOutcome::Moved) {
            ++tally.renamed;
        } else {
            ++tally.kept;
        }
        if (progress) {
            progress(static_cast<int>((100 * i) / count));
        }
    }
    return tally;
}
