#include "settings/ParamLocation.h"

#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) {
        return name;
    }
    if (folder.back() == '/') {
        return folder + name;
    }
    return folder + "/" + name;
}

bool isNameEmpty(const std::string& name) {
    return name.find_first_not_of(" \t\n\v\f\r") == std::string::npos;
}

} // namespace

std::string executableFolder() {
    std::vector<char> buffer(4096);
    for (int tries = 0; tries < 4; ++tries) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            return {};
        }
        if (static_cast<size_t>(length) < buffer.size()) {
            const std::string exePath(buffer.data(), static_cast<size_t>(length));
            const size_t slash = exePath.rfind('/');
            if (slash == std::string::npos) {
                return {};
            }
            // The root folder keeps its '/', every other folder loses the trailing one.
            return slash == 0 ? std::string("/") : exePath.substr(0, slash);
        }
        buffer.resize(buffer.size() * 2);
    }
    return {};
}

std::string configHomeFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') {
        return joinPath(home, ".config");
    }
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        return joinPath(entry->pw_dir, ".config");
    }
    return {};
}

std::string resolveParamPath(const std::string& name, const std::string& exeFolder,
                             const std::string& configHome) {
    if (name.find('/') != std::string::npos || isNameEmpty(name)) {
        return name;
    }
    if (!exeFolder.empty()) {
        const std::string besideExe = joinPath(exeFolder, name);
        struct stat info {};
        if (stat(besideExe.c_str(), &info) == 0 || access(exeFolder.c_str(), W_OK) == 0) {
            return besideExe;
        }
    }
    if (configHome.empty()) {
        // No configuration folder known: beside the executable is the only sensible place.
        return joinPath(exeFolder, name);
    }
    return joinPath(joinPath(configHome, "lumicut"), name);
}

std::string resolveParamPath(const std::string& name) {
    return resolveParamPath(name, executableFolder(), configHomeFolder());
}
