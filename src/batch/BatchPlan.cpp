#include "batch/BatchPlan.h"

#include <filesystem>
#include <set>

#include "naming/PhotoScan.h"
#include "naming/ResultName.h"

std::optional<std::vector<std::string>> BatchPlan::folderPhotos(const BatchOptions& options) {
    std::error_code error;
    if (!std::filesystem::is_directory(options.source, error)) {
        return std::nullopt;
    }
    return scanPhotosToCrop(options.source, options.destination, options.recurse);
}

std::vector<std::string> BatchPlan::listedPhotos(std::istream& lines) {
    std::vector<std::string> photos;
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.find_first_not_of(" \t") == std::string::npos) {
            continue;
        }
        // Naming needs the photo's folder: a bare file name gets the working folder's.
        photos.push_back(std::filesystem::absolute(line).lexically_normal().string());
    }
    return photos;
}

std::vector<PlannedPhoto> BatchPlan::name(const std::vector<std::string>& photos,
                                          const BatchOptions& options) {
    const std::string mask = replaceFormatTags(options.destination + options.mask, options.heightCm,
                                               options.widthCm, options.label);
    std::set<std::string> planned;
    const auto taken = [&planned](const std::string& path) { return planned.count(path) > 0; };
    std::vector<PlannedPhoto> plan;
    plan.reserve(photos.size());
    for (const std::string& photo : photos) {
        int32_t index = 0;
        PlannedPhoto entry{photo, buildResultName(photo, mask, nullptr, &index, taken)};
        entry.sameName = !planned.insert(entry.target).second;
        plan.push_back(std::move(entry));
    }
    return plan;
}
