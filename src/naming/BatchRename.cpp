#include "naming/BatchRename.h"

#include "naming/PhotoScan.h"
#include "naming/ResultName.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>

namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool pathExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path.empty() ? std::string("/") : path, error);
}

// Stands for the mask's "%i" while the other tags are expanded; holds no '%' and no
// ".jpg", so no expansion touches it.
constexpr std::string_view kIndexMark = "\x01I\x01";
constexpr int kLastIndex = 999;

std::string fileNameOf(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

// Names present in the folders of one run, read once per folder and kept up to date with
// the run's own moves, so the free "%i" index is found without one file-system query per
// candidate. A move still never replaces a file that appeared meanwhile.
class TakenNames {
public:
    [[nodiscard]] bool contains(const std::string& folder, const std::string& name) {
        return names(folder).contains(name);
    }
    void add(const std::string& folder, const std::string& name) { names(folder).insert(name); }
    void remove(const std::string& folder, const std::string& name) { names(folder).erase(name); }

private:
    std::unordered_set<std::string>& names(const std::string& folder) {
        auto found = m_folders.find(folder);
        if (found != m_folders.end()) {
            return found->second;
        }
        std::unordered_set<std::string>& names = m_folders[folder];
        const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
        if (dir) {
            while (const dirent* entry = ::readdir(dir.get())) {
                names.insert(entry->d_name);
            }
        }
        return names;
    }

    std::unordered_map<std::string, std::unordered_set<std::string>> m_folders;
};

// The name after every tag but "%i", with "%i" still in it (or without any).
std::string nameBeforeIndex(const std::string& photoPath, const std::string& mask) {
    const std::string folder = folderOf(photoPath);
    const std::string marked = replaceAll(mask, "%i", kIndexMark);
    return replaceAll(buildResultName(photoPath, folder + marked, nullptr, nullptr), kIndexMark,
                      "%i");
}

// First index from 000 whose name is not taken (999 when all are), as BuildResultName
// chooses it.
std::string withFreeIndex(const std::string& name, const std::string& folder, TakenNames& taken) {
    const auto withIndex = [&name](int index) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%.3d", index);
        return replaceAll(name, "%i", digits);
    };
    int index = 0;
    std::string candidate = withIndex(index);
    while (index < kLastIndex && taken.contains(folder, fileNameOf(candidate))) {
        ++index;
        candidate = withIndex(index);
    }
    return candidate;
}

using MoveStep = std::function<MoveOutcome(const std::string& from, const std::string& to)>;

struct RenameStep {
    RenameOutcome outcome;
    std::string path; // where the photo is afterwards
};

// Moves one photo to its new name in its own folder through move; a name found taken at the
// moment of the move is noted and the next free one tried.
RenameStep renameOne(const std::string& source, const std::string& mask, TakenNames& taken,
                     const MoveStep& move) {
    const std::string folder = folderOf(source);
    const std::string name = nameBeforeIndex(source, mask);
    if (folderOf(name) != folder) {
        return {RenameOutcome::Failed, source};
    }
    const bool indexed = name.find("%i") != std::string::npos;
    for (int attempt = 0; attempt <= kLastIndex; ++attempt) {
        const std::string target = indexed ? withFreeIndex(name, folder, taken) : name;
        switch (move(source, target)) {
        case MoveOutcome::Moved:
            taken.remove(folder, fileNameOf(source));
            taken.add(folder, fileNameOf(target));
            return {RenameOutcome::Renamed, target};
        case MoveOutcome::TargetExists:
            if (!indexed || taken.contains(folder, fileNameOf(target))) {
                return {RenameOutcome::Skipped, source};
            }
            taken.add(folder, fileNameOf(target));
            break;
        case MoveOutcome::Failed:
            return {RenameOutcome::Failed, source};
        }
    }
    return {RenameOutcome::Skipped, source};
}

} // namespace

bool folderPrefixesExist(const std::string& folder) {
    if (folder.empty()) {
        return false;
    }
    for (std::size_t slash = folder.find('/'); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
        if (!pathExists(folder.substr(0, slash))) {
            return false;
        }
    }
    return true;
}

RenameFolderCheck listPhotosToRename(const std::string& folder, std::vector<std::string>& photos) {
    photos.clear();
    if (!folderPrefixesExist(folder)) {
        return RenameFolderCheck::IncorrectFolder;
    }
    const std::string scanned = folder.back() == '/' ? folder : folder + '/';
    scanPhotoFolder(scanned, photos, true);
    return photos.empty() ? RenameFolderCheck::NoPhotos : RenameFolderCheck::Ok;
}

MoveOutcome moveFileByLink(const std::string& from, const std::string& to) {
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

MoveOutcome moveFileNoReplace(const std::string& from, const std::string& to) {
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
        return moveFileByLink(from, to);
    }
    return MoveOutcome::Failed;
}

RenameTally renamePhotos(const std::vector<std::string>& photos, const std::string& mask,
                         const std::function<void(int percent)>& progress) {
    RenameTally tally;
    TakenNames taken;
    const auto count = static_cast<long long>(photos.size());
    for (long long i = 0; i < count; ++i) {
        switch (renameOne(photos[static_cast<std::size_t>(i)], mask, taken, moveFileNoReplace)
                    .outcome) {
        case RenameOutcome::Renamed:
            ++tally.renamed;
            break;
        case RenameOutcome::Skipped:
            ++tally.skipped;
            break;
        case RenameOutcome::Failed:
            ++tally.failed;
            break;
        }
        if (progress) {
            progress(static_cast<int>((100 * i) / count));
        }
    }
    return tally;
}

std::vector<RenamePreviewRow> previewRenames(const std::vector<std::string>& photos,
                                             const std::string& mask, std::size_t count) {
    TakenNames taken;
    // A move succeeds unless the target's name is taken; taken then follows it as after a
    // real move.
    const MoveStep playMove = [&taken](const std::string&, const std::string& to) {
        return taken.contains(folderOf(to), fileNameOf(to)) ? MoveOutcome::TargetExists
                                                            : MoveOutcome::Moved;
    };
    std::vector<RenamePreviewRow> rows;
    for (std::size_t i = 0; i < photos.size() && i < count; ++i) {
        RenameStep step = renameOne(photos[i], mask, taken, playMove);
        rows.push_back({photos[i], std::move(step.path), step.outcome});
    }
    return rows;
}
