#pragma once

#include "batch/BatchOptions.h"

#include <istream>
#include <optional>
#include <string>
#include <vector>

// One photo of a batch and the result it is to become.
struct PlannedPhoto {
    std::string source; // full path
    std::string target; // full path of the result
    // An earlier photo of the batch already has this target: this one is not written.
    bool sameName = false;

    friend bool operator==(const PlannedPhoto&, const PlannedPhoto&) = default;
};

// The photos of a batch and their result names, all fixed before any photo is worked on, so
// that the names do not depend on which photo a thread finishes first and a dry run shows
// exactly what a run writes.
class BatchPlan {
public:
    // The photos of the source folder as the program's photo list shows them (results in the
    // destination left out), or those listed one a line by lines (blank lines skipped,
    // relative paths taken from the working folder). Nothing when the folder is missing.
    [[nodiscard]] static std::optional<std::vector<std::string>>
    folderPhotos(const BatchOptions& options);
    [[nodiscard]] static std::vector<std::string> listedPhotos(std::istream& lines);

    // Result names in photo order: the destination folder and the mask, format tags filled,
    // then the mask rules, with each free "%i" index counted as taken once an earlier photo
    // of the batch has it.
    [[nodiscard]] static std::vector<PlannedPhoto> name(const std::vector<std::string>& photos,
                                                        const BatchOptions& options);
};
