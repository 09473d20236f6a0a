#include "app/LockKeyState.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

// Adds one LED's brightness to the state; a key counts as locked when any keyboard shows
// it lit. Returns whether the entry was a lock LED that could be read.
bool readLed(const std::filesystem::path& entry, LockKeyState& state) {
    const std::string name = entry.filename().string();
    bool* flag = nullptr;
    if (name.ends_with("::capslock"))
        flag = &state.capsLock;
    else if (name.ends_with("::numlock"))
        flag = &state.numLock;
    else if (name.ends_with("::scrolllock"))
        flag = &state.scrollLock;
    if (!flag)
        return false;
    std::ifstream file(entry / "brightness");
    int brightness = 0;
    if (!(file >> brightness))
        return false;
    *flag = *flag || brightness > 0;
    return true;
}

} // namespace

std::optional<LockKeyState> readLockKeyState(const std::string& ledFolder) {
    std::error_code error;
    std::filesystem::directory_iterator entries(ledFolder, error);
    if (error)
        return std::nullopt;
    LockKeyState state;
    bool found = false;
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        if (readLed(entries->path(), state))
            found = true;
    }
    if (!found)
        return std::nullopt;
    return state;
}
