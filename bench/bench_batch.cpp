// The batch program's throughput on a folder of 16 camera photos (4000 x 3000, quality 92,
// 4:2:0, with EXIF), cut to the 15 x 10 format, against ImageMagick making the same centred
// crops at the same quality one photo after another, in one run. Targets:
//   - `lumicut-batch --jobs 2` at most a third of the time of `convert` over the folder;
//   - its time per photo on one core (wall time x 2 jobs / photos) within 1.5 x of an
//     in-process Photo::load plus saveJpeg of the crop;
//   - with --lossless, at most a tenth of the time of `convert`;
//   - with --lossless, its time per photo on one core within 1.5 x of `jpegtran -crop` of the
//     same block-aligned region.
// Each timing is the quickest of a few runs (the machine is shared); results never replace
// files, so every run writes into a folder of its own.

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "BenchPicture.h"
#include "BenchReport.h"
#include "engine/FrameGeometry.h"
#include "engine/JpegCodec.h"
#include "engine/LosslessCrop.h"
#include "engine/Photo.h"

extern char** environ;

namespace {

constexpr int kCount = 16;
constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr int kQuality = 92;
constexpr int kJobs = 2;
constexpr double kHeightCm = 15.0;
constexpr double kWidthCm = 10.0;
// libjpeg-turbo cuts 4:2:0 photos on a grid of 16 x 16 pixels.
constexpr int kBlock = 16;

// Runs a program found on PATH (or at the path given), its output thrown away; true when it
// ran and exited with 0.
bool run(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int status = 0;
    const bool ok = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0 &&
                    ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
                    WEXITSTATUS(status) == 0;
    posix_spawn_file_actions_destroy(&actions);
    return ok;
}

std::size_t filesIn(const std::string& folder) {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        count += entry.is_regular_file() ? 1 : 0;
    return count;
}

// The photos, and a fresh result folder for every timed run.
class Fixture {
public:
    Fixture() {
        root = dir.path().toStdString() + "/";
        source = root + "photos/";
        std::filesystem::create_directory(source);
        const QByteArray jpeg = makeCameraJpeg(kWidth, kHeight);
        if (jpeg.isEmpty())
            benchFail("cannot encode the camera photo");
        if (const auto error = writeCameraFolder(source, jpeg, kCount, photos))
            benchFail(*error);
        frame = FrameGeometry::centredFrame(QSize(kWidth, kHeight), kHeightCm, kWidthCm);
    }

    std::string freshFolder() {
        const std::string folder = root + "out" + std::to_string(++m_folders) + "/";
        std::filesystem::create_directory(folder);
        return folder;
    }

    QTemporaryDir dir;
    std::string root;
    std::string source;
    std::vector<std::string> photos;
    QRect frame; // the centred 15 x 10 frame, photo pixels

private:
    int m_folders = 0;
};

// Quickest of runs of the work, which must leave kCount files in the folder it is given.
double timeFolderRuns(Fixture& f, int runs, const std::string& what,
                      const std::function<bool(const std::string&)>& work) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const std::string out = f.freshFolder();
        bool ok = false;
        ms.push_back(timedMs([&] { ok = work(out); }));
        if (!ok || filesIn(out) != kCount)
            benchFail(what + " failed or left other than " + std::to_string(kCount) + " results");
    }
    return quickest(ms);
}

// Work on a folder made of work on each photo, given the photo's path and its result's.
std::function<bool(const std::string&)>
eachPhoto(const Fixture& f, std::function<bool(const std::string&, const std::string&)> work) {
    return [&f, work](const std::string& out) {
        return std::all_of(f.photos.begin(), f.photos.end(), [&](const std::string& photo) {
            return work(photo, out + std::filesystem::path(photo).filename().string());
        });
    };
}

double timeConvert(Fixture& f) {
    const std::string geometry =
        std::to_string(f.frame.width()) + "x" + std::to_string(f.frame.height()) + "+0+0";
    return timeFolderRuns(f, 1, "convert (scripts/install-deps installs it)",
                          eachPhoto(f, [&](const std::string& photo, const std::string& result) {
                              return run({"convert", photo, "-gravity", "center", "-crop", geometry,
                                          "+repage", "-quality", std::to_string(kQuality), result});
                          }));
}

double timeJpegtran(Fixture& f) {
    // The region the lossless cut takes: the frame's corner moved back to the block grid.
    const int x = f.frame.x() / kBlock * kBlock;
    const int y = f.frame.y() / kBlock * kBlock;
    const std::string region = std::to_string(f.frame.width()) + "x" +
                               std::to_string(f.frame.height()) + "+" + std::to_string(x) + "+" +
                               std::to_string(y);
    return timeFolderRuns(
        f, 2, "jpegtran (libjpeg-turbo-progs)",
        eachPhoto(f, [&](const std::string& photo, const std::string& result) {
            return run({"jpegtran", "-crop", region, "-copy", "all", "-outfile", result, photo});
        }));
}

// As the window saves a crop: the crop shares the photo's pixels (no copy), then is encoded
// with its metadata and written.
double timeLoadAndSave(Fixture& f) {
    return timeFolderRuns(
        f, 2, "load and save",
        eachPhoto(f, [&](const std::string& photo, const std::string& result) {
            const std::optional<Photo> loaded = Photo::load(photo);
            if (!loaded)
                return false;
            const QImage& image = loaded->image();
            const QImage pixels(image.constScanLine(f.frame.y()) + f.frame.x() * 3, f.frame.width(),
                                f.frame.height(), image.bytesPerLine(), QImage::Format_RGB888);
            return loaded->withImage(pixels, loaded->dpiX(), loaded->dpiY())
                .saveJpeg(result, kQuality);
        }));
}

// The cut the batch program makes with --lossless, in process: for scale only.
double timeLosslessInProcess(Fixture& f) {
    return timeFolderRuns(
        f, 2, "LosslessCrop::write",
        eachPhoto(f, [](const std::string& photo, const std::string& result) {
            const std::optional<QByteArray> bytes = JpegCodec::readFile(photo);
            return bytes && LosslessCrop::write(*bytes, kHeightCm, kWidthCm, result).outcome ==
                                LosslessOutcome::Written;
        }));
}

double timeBatch(Fixture& f, [[maybe_unused]] bool lossless) {
#ifdef LUMICUT_BATCH_PROGRAM
    return timeFolderRuns(f, 3, lossless ? "lumicut-batch --lossless" : "lumicut-batch",
                          [&](const std::string& out) {
                              std::vector<std::string> args = {LUMICUT_BATCH_PROGRAM,
                                                               "--format",
                                                               "15x10",
                                                               "--quality",
                                                               std::to_string(kQuality),
                                                               "--jobs",
                                                               std::to_string(kJobs)};
                              if (lossless)
                                  args.push_back("--lossless");
                              args.push_back(f.source);
                              args.push_back(out);
                              return run(args);
                          });
#else
    (void)f;
    benchFail("lumicut-batch is not built: the batch rows cannot be measured");
#endif
}

} // namespace

int main() {
    Fixture f;
    const double convert = timeConvert(f);
    const double jpegtran = timeJpegtran(f);
    const double loadSave = timeLoadAndSave(f);
    const double cut = timeLosslessInProcess(f);
    // The yardsticks first, so that a build without the batch program still shows them.
    std::printf("%d photos %dx%d q%d: convert %.0f ms, jpegtran -crop %.0f ms, load+save %.0f "
                "ms; in process, one core: LosslessCrop::write %.0f ms\n",
                kCount, kWidth, kHeight, kQuality, convert, jpegtran, loadSave, cut);
    std::fflush(stdout);
    const double batch = timeBatch(f, false);
    const double lossless = timeBatch(f, true);
    const double perPhoto = double(kJobs) / kCount;
    printBenchRow("batch 16 x 12 MP 15x10 q92 2 jobs", batch, "convert -gravity center -crop",
                  convert, 1.0 / 3.0);
    printBenchRow("batch per photo, one core", batch * perPhoto, "Photo load + save of the crop",
                  loadSave / kCount, 1.5);
    printBenchRow("batch --lossless 16 x 12 MP", lossless, "convert -gravity center -crop", convert,
                  0.1);
    printBenchRow("batch --lossless per photo, one core", lossless * perPhoto,
                  "jpegtran -crop, same region", jpegtran / kCount, 1.5);
    return 0;
}
