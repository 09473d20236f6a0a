// Result naming with a nearly full index range, and the scan of a large photo folder.
// Targets: buildResultName with "%i" when 000 to 998 exist under 20 ms; the photo list of a
// folder of 10,000 photos (scanPhotosToCrop, the destination a folder inside it) under
// 200 ms.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchReport.h"
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
        std::filesystem::create_directory(kFolder.path + "results");
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
        const std::vector<std::string> photos = scanPhotosToCrop(folder, folder + "results/", true);
        count = photos.size();
        benchmark::DoNotOptimize(photos);
    }
    if (count != 10000) {
        state.SkipWithError("unexpected photo count");
    }
}
BENCHMARK(bmScanPhotoFolder10000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    BenchTimes times;
    benchmark::RunSpecifiedBenchmarks(&times);
    printBenchRowMs("result name %i, 000-998 taken", times.ms("bmBuildResultNameNearlyFull"), 20.0);
    printBenchRowMs("scan 10k folder (photo list)", times.ms("bmScanPhotoFolder10000"), 200.0);
    benchmark::Shutdown();
    return 0;
}
