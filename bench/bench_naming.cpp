// Result naming with a nearly full index range, and the scan of a large photo folder.
// Targets: BuildResultName with "%i" when 000 to 998 exist under 20 ms; ScanPhotoFolder of
// 10,000 files under 100 ms.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "naming/PhotoScan.h"
#include "naming/ResultName.h"

namespace {

// A temporary folder removed when the program ends.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "lumicut-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            path = pattern + "/";
        }
    }
    ~ScratchFolder() {
        if (!path.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string path; // ends with '/', empty when the folder could not be made
};

const ScratchFolder& nearlyFullIndexFolder() {
    static const ScratchFolder kFolder;
    static const bool kFilled = [] {
        for (int i = 0; i <= 998; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "Photos_%.3d.jpg", i);
            std::ofstream(kFolder.path + name) << 'x';
        }
        return true;
    }();
    (void)kFilled;
    return kFolder;
}

const ScratchFolder& largePhotoFolder() {
    static const ScratchFolder kFolder;
    static const bool kFilled = [] {
        for (int i = 0; i < 10000; ++i) {
            // Upper and lower case names mixed, as a copied camera card holds them.
            char name[32];
            std::snprintf(name, sizeof name, i % 3 == 0 ? "IMG_%05d.JPG" : "img_%05d.jpg", i);
            std::ofstream(kFolder.path + name) << 'x';
        }
        return true;
    }();
    (void)kFilled;
    return kFolder;
}

void bmBuildResultNameNearlyFull(benchmark::State& state) {
    const std::string& dest = nearlyFullIndexFolder().path;
    if (dest.empty()) {
        state.SkipWithError("no temporary folder");
        return;
    }
    int32_t index = 0;
    for (auto _ : state) {
        std::string name =
            buildResultName("/photos/Vacances/IMG_0001.JPG", dest + "Photos_%i", nullptr, &index);
        benchmark::DoNotOptimize(name);
    }
    if (index != 999) {
        state.SkipWithError("unexpected index");
    }
}
BENCHMARK(bmBuildResultNameNearlyFull)->Unit(benchmark::kMillisecond);

void bmScanPhotoFolder10000(benchmark::State& state) {
    const std::string& folder = largePhotoFolder().path;
    if (folder.empty()) {
        state.SkipWithError("no temporary folder");
        return;
    }
    size_t count = 0;
    for (auto _ : state) {
        std::vector<std::string> photos;
        scanPhotoFolder(folder, photos, true);
        count = photos.size();
        benchmark::DoNotOptimize(photos);
    }
    if (count != 10000) {
        state.SkipWithError("unexpected photo count");
    }
}
BENCHMARK(bmScanPhotoFolder10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
