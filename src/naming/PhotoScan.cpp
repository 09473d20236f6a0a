#include "naming/PhotoScan.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
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

bool HasJpgExtension(const std::string& name) {
    // The extension is what follows the last dot; only ".jpg" counts, in any case.
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || name.size() - dot != 4) {
        return false;
    }
    return std::tolower(static_cast<unsigned char>(name[dot + 1])) == 'j' &&
           std::tolower(static_cast<unsigned char>(name[dot + 2])) == 'p' &&
           std::tolower(static_cast<unsigned char>(name[dot + 3])) == 'g';
}

std::string LowerAscii(const std::string& text) {
    std::string low = text;
    for (char& c : low) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return low;
}

// Reads the folder's entries with their kind; links are followed to what they lead to, and
// entries that lead nowhere (dangling links, vanished files) are left out.
std::vector<Entry> ReadFolder(const std::string& folder) {
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
        entry.key = LowerAscii(entry.name);
        entries.push_back(std::move(entry));
    }
    return entries;
}

// True when the linked folder is the scanned folder itself or one of the folders above it,
// which would list the same photos again under another path.
bool LeadsBackUp(const std::string& folder, const std::string& linked) {
    char* realFolder = ::realpath(folder.c_str(), nullptr);
    char* realLinked = ::realpath(linked.c_str(), nullptr);
    bool loop = true; // a link that cannot be resolved is not followed
    if (realFolder != nullptr && realLinked != nullptr) {
        const std::string inner = realFolder;
        const std::string outer = realLinked;
        loop = inner == outer || outer == "/" ||
               (inner.compare(0, outer.size(), outer) == 0 && inner.size() > outer.size() &&
                inner[outer.size()] == '/');
    }
    std::free(realFolder);
    std::free(realLinked);
    return loop;
}

} // namespace

void ScanPhotoFolder(const std::string& folder, std::vector<std::string>& photos, bool recurse) {
    if (folder.empty()) {
        return;
    }
    const std::string base = folder.back() == '/' ? folder : folder + '/';
    std::vector<Entry> entries = ReadFolder(base);
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
            if (recurse && !(entry.isLink && LeadsBackUp(base, path))) {
                ScanPhotoFolder(path + '/', photos, false);
            }
        } else if (HasJpgExtension(entry.name)) {
            photos.push_back(path);
        }
    }
}
