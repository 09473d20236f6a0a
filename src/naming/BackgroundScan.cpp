#include "naming/BackgroundScan.h"

#include "naming/PhotoScan.h"

void BackgroundScan::start(const std::string& workingFolder, const std::string& destinationFolder,
                           bool recurse) {
    m_workingFolder = workingFolder;
    m_destinationFolder = destinationFolder;
    m_recurse = recurse;
    // The worker gets its own copies of the paths.
    m_photos =
        std::async(std::launch::async, scanPhotosToCrop, workingFolder, destinationFolder, recurse);
}

std::optional<std::vector<std::string>> BackgroundScan::take(const std::string& workingFolder,
                                                             const std::string& destinationFolder,
                                                             bool recurse) {
    if (!m_photos.valid()) {
        return std::nullopt;
    }
    std::vector<std::string> photos = m_photos.get(); // leaves m_photos empty: taken once
    if (workingFolder != m_workingFolder || destinationFolder != m_destinationFolder ||
        recurse != m_recurse) {
        return std::nullopt;
    }
    return photos;
}
