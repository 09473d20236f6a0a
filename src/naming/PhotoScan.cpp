#include "naming/PhotoScan.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

struct Entry {
    std::string name;
    std::string key; // name lowered (ASCII), compared first
    bool isFolder = false;
    bool isLink = false;
};

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

bool hasJpgExtension(const std::string& name) {
    // The extension is what follows the last dot; only ".jpg" counts, in any case.
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || name.size() - dot != 4) {
        return false;
    }
    return std::tolower(static_cast<unsigned char>(name[dot + 1])) == 'j' &&
           std::tolower(static_cast<unsigned char>(name[dot + 2])) == 'p' &&
           std::tolower(static_cast<unsigned char>(name[dot + 3])) == 'g';
}

std::string lowerAscii(const std::string& text) {
    std::string low = text;
    for (char& c : low) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return low;
}

// Reads the folder's entries with their kind; links are followed to what they lead to, and
// entries that lead nowhere (dangling links, vanished files) are left out.
std::vector<Entry> readFolder(const std::string& folder) {
    std::vector<Entry> entries;
    std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir) {
        return entries;
    }
    const int fd = ::dirfd(dir.get());
    while (const dirent* item = ::readdir(dir.get())) {
        if (std::strcmp(item->d_name, ".") == 0 || std::strcmp(item->d_name, "..") == 0) {
            continue;
        }
        Entry entry;
        entry.name = item->d_name;
        if (item->d_type == DT_DIR) {
            entry.isFolder = true;
        } else if (item->d_type != DT_REG) {
            // A link, or a file system that does not give the kind: ask for it.
            struct stat info {};
            if (::fstatat(fd, item->d_name, &info, 0) != 0) {
                continue;
            }
            entry.isFolder = S_ISDIR(info.st_mode);
            entry.isLink = item->d_type == DT_LNK ||
                           (::fstatat(fd, item->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                            S_ISLNK(info.st_mode));
        }
        entry.key = lowerAscii(entry.name);
        entries.push_back(std::move(entry));
    }
    return entries;
}

// The canonical path of an existing file or folder (links resolved, no "." or ".."), without
// a trailing '/' except for the root; nothing when it does not exist or cannot be resolved.
std::optional<std::string> canonical(const std::string& path) {
    if (path.empty()) {
        return std::nullopt;
    }
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                         &std::free);
    if (!resolved) {
        return std::nullopt;
    }
    return std::string(resolved.get());
}

// True when the canonical folder inner is outer itself or lies anywhere below it. Whole
// components only: /a/out2 is not below /a/out.
bool isAtOrBelow(const std::string& inner, const std::string& outer) {
    if (inner == outer || outer == "/") {
        return true;
    }
    return inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0 &&
           inner[outer.size()] == '/';
}

// True when the linked folder is the scanned folder itself or one of the folders above it,
// which would list the same photos again under another path.
bool leadsBackUp(const std::string& folder, const std::string& linked) {
    const std::optional<std::string> inner = canonical(folder);
    const std::optional<std::string> outer = canonical(linked);
    // A link that cannot be resolved is not followed.
    return !inner || !outer || isAtOrBelow(*inner, *outer);
}

} // namespace

void scanPhotoFolder(const std::string& folder, std::vector<std::string>& photos, bool recurse) {
    if (folder.empty()) {
        return;
    }
    const std::string base = folder.back() == '/' ? folder : folder + '/';
    std::vector<Entry> entries = readFolder(base);
    // Name order without regard to case, byte order between names that differ only in case.
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.key != b.key) {
            return a.key < b.key;
        }
        return a.name < b.name;
    });

    for (const Entry& entry : entries) {
        const std::string path = base + entry.name;
        if (entry.isFolder) {
            if (recurse && !(entry.isLink && leadsBackUp(base, path))) {
                scanPhotoFolder(path + '/', photos, false);
            }
        } else if (hasJpgExtension(entry.name)) {
            photos.push_back(path);
        }
    }
}

std::vector<std::string> scanPhotosToCrop(const std::string& workingFolder,
                                          const std::string& destinationFolder, bool recurse) {
    std::vector<std::string> photos;
    scanPhotoFolder(workingFolder, photos, recurse);
    const std::optional<std::string> destination = canonical(destinationFolder);
    const std::optional<std::string> working = canonical(workingFolder);
    if (!destination || !working || isAtOrBelow(*working, *destination)) {
        return photos;
    }
    // One verdict per folder text: the photos of a folder share it.
    std::map<std::string, bool> inDestination;
    std::erase_if(photos, [&](const std::string& photo) {
        const std::string folder = photo.substr(0, photo.rfind('/') + 1);
        auto [verdict, isNew] = inDestination.try_emplace(folder, false);
        if (isNew) {
            const std::optional<std::string> real = canonical(folder);
            verdict->second = real && isAtOrBelow(*real, *destination);
        }
        return verdict->second;
    });
    return photos;
}
