// Renaming a folder of 1,000 small photos with an EXIF shot date by the mask
// "Photos_%dc_%i": the whole run as the rename tool does it (scan, name, move).

#include "naming/BatchRename.h"

#include "../tests/support/ExifJpegFixture.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kPhotos = 1000;

void fillFolder(const std::string& folder) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
    for (int i = 0; i < kPhotos; ++i) {
        // Ten shot days, so the free-index search meets up to 100 taken names per day.
        const std::string date = "2006:07:" + std::to_string(10 + i % 10) + " 10:20:30";
        fixture::writeJpeg(folder + "IMG_" + std::to_string(i) + ".jpg", date);
    }
}

void bmRenameThousandPhotos(benchmark::State& state) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/photos/";
    for (auto _ : state) {
        state.PauseTiming();
        fillFolder(folder);
        state.ResumeTiming();
        std::vector<std::string> photos;
        if (listPhotosToRename(folder, photos) != RenameFolderCheck::Ok) {
            state.SkipWithError("no photos");
            break;
        }
        const RenameTally tally = renamePhotos(photos, "Photos_%dc_%i", {});
        if (tally.renamed != kPhotos) {
            state.SkipWithError("not every photo was renamed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kPhotos);
}

// The same folder with a single shot day: the index search walks up to 999 taken names.
void bmRenameThousandPhotosSameDay(benchmark::State& state) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/photos/";
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(folder);
        std::filesystem::create_directory(folder);
        for (int i = 0; i < kPhotos; ++i) {
            fixture::writeJpeg(folder + "IMG_" + std::to_string(i) + ".jpg", "2006:07:14 10:20:30");
        }
        state.ResumeTiming();
        std::vector<std::string> photos;
        (void)listPhotosToRename(folder, photos);
        benchmark::DoNotOptimize(renamePhotos(photos, "Photos_%dc_%i", {}));
    }
    state.SetItemsProcessed(state.iterations() * kPhotos);
}

} // namespace

BENCHMARK(bmRenameThousandPhotos)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(bmRenameThousandPhotosSameDay)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

BENCHMARK_MAIN();
