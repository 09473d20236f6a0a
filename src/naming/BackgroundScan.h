#pragma once

#include <future>
#include <optional>
#include <string>
#include <vector>

// The photo list of a working folder read on a worker thread, so that the main window can be
// shown while a large folder is still being read. Not thread-safe itself: started and taken
// on one thread.
class BackgroundScan {
public:
    BackgroundScan() = default;
    BackgroundScan(const BackgroundScan&) = delete;
    BackgroundScan& operator=(const BackgroundScan&) = delete;
    // Waits for a scan still running.
    ~BackgroundScan() = default;

    // Starts scanPhotosToCrop(workingFolder, destinationFolder, recurse) on a worker thread;
    // a scan started before and not taken is waited for and dropped.
    void start(const std::string& workingFolder, const std::string& destinationFolder,
               bool recurse);
    // The list of the scan started with these same arguments, waited for; nullopt when none
    // was (the caller then reads the folder itself). Taken once.
    [[nodiscard]] std::optional<std::vector<std::string>>
    take(const std::string& workingFolder, const std::string& destinationFolder, bool recurse);

private:
    std::string m_workingFolder;
    std::string m_destinationFolder;
    bool m_recurse = false;
    std::future<std::vector<std::string>> m_photos;
};
