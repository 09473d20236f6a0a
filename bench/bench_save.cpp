// Saving a result as Enter does: a 2666 x 4000 crop (the 15 x 10 frame, upright, out of a
// 6000 x 4000 camera photo with EXIF) encoded at quality 100, its metadata rewritten for the
// result, written and synced. Target: within 1.3 x `cjpeg -quality 100 -sample 1x1` turning
// the same crop (a PPM file in the page cache) into a JPEG file, the same sampling.
// For information: the encode alone in memory, and a plain tjCompress2 of the crop.

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QImage>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <turbojpeg.h>

#include "BenchPicture.h"
#include "BenchReport.h"
#include "engine/JpegCodec.h"
#include "engine/Photo.h"

extern char** environ;

namespace {

constexpr int kCropWidth = 2666;
constexpr int kCropHeight = 4000;
// 2666 photo pixels over 10 cm.
constexpr double kCropDpi = kCropWidth / (10.0 / 2.54);
constexpr double kTargetRatio = 1.3;

// The camera photo, the crop as the document holds it after cropping, and the same crop as
// a PPM file for cjpeg; written once per run.
class Fixture {
public:
    static Fixture& get() {
        static Fixture fixture;
        return fixture;
    }

    QTemporaryDir dir;
    std::string resultPath;
    std::string referencePath;
    std::string ppmPath;
    Photo crop;

private:
    Fixture() {
        const std::string root = dir.path().toStdString() + "/";
        const std::string photoPath = root + "IMG_0001.jpg";
        resultPath = root + "IMG_0001_15x10.jpg";
        referencePath = root + "cjpeg.jpg";
        ppmPath = root + "crop.ppm";
        const QByteArray jpeg = JpegCodec::encode(makePicture(), 92).value_or(QByteArray());
        if (!JpegCodec::writeFileSafely(photoPath, jpeg))
            benchFail("cannot write the photo");
        if (const auto error = addCameraExif(photoPath))
            benchFail(*error);
        const std::optional<Photo> photo = Photo::load(photoPath);
        if (!photo || photo->exif().isEmpty())
            benchFail("cannot load the photo with its EXIF");
        const int left = (kPhotoWidth - kCropWidth) / 2;
        crop = photo->withImage(photo->image().copy(left, 0, kCropWidth, kCropHeight), kCropDpi,
                                kCropDpi);
        if (!crop.image().save(QString::fromStdString(ppmPath), "PPM"))
            benchFail("cannot write the PPM crop");
    }
};

void bmSaveResult(benchmark::State& state) {
    const Fixture& f = Fixture::get();
    for (auto _ : state) {
        if (!f.crop.saveJpeg(f.resultPath, 100)) {
            state.SkipWithError("save failed");
            return;
        }
    }
}

// The yardstick: the cjpeg program, started and waited for.
void bmCjpeg(benchmark::State& state) {
    const Fixture& f = Fixture::get();
    std::string program = "cjpeg";
    std::string quality = "-quality";
    std::string hundred = "100";
    std::string sample = "-sample";
    std::string oneByOne = "1x1";
    std::string outfile = "-outfile";
    std::string output = f.referencePath;
    std::string input = f.ppmPath;
    char* args[] = {program.data(), quality.data(), hundred.data(), sample.data(), oneByOne.data(),
                    outfile.data(), output.data(),  input.data(),   nullptr};
    for (auto _ : state) {
        pid_t pid = 0;
        int status = 0;
        if (::posix_spawnp(&pid, "cjpeg", nullptr, nullptr, args, environ) != 0 ||
            ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("cjpeg failed (scripts/install-deps installs it)");
            return;
        }
    }
}

void bmEncodeInMemory(benchmark::State& state) {
    const Fixture& f = Fixture::get();
    for (auto _ : state) {
        std::optional<QByteArray> jpeg = f.crop.encodeJpeg(100);
        benchmark::DoNotOptimize(jpeg);
    }
}

void bmPlainTjCompress(benchmark::State& state) {
    const QImage& image = Fixture::get().crop.image();
    tjhandle handle = tjInitCompress();
    for (auto _ : state) {
        unsigned char* out = nullptr;
        unsigned long size = 0;
        tjCompress2(handle, image.constBits(), image.width(), int(image.bytesPerLine()),
                    image.height(), TJPF_RGB, &out, &size, TJSAMP_444, 100, 0);
        benchmark::DoNotOptimize(out);
        tjFree(out);
    }
    tjDestroy(handle);
}

void saveBenchmark(const char* name, void (*function)(benchmark::State&)) {
    withMinimum(benchmark::RegisterBenchmark(name, function))
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(5)
        ->Repetitions(3)
        ->ReportAggregatesOnly(true);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Fixture::get();
    saveBenchmark("bmCjpeg", bmCjpeg);
    saveBenchmark("bmSaveResult", bmSaveResult);
    saveBenchmark("bmEncodeInMemory", bmEncodeInMemory);
    saveBenchmark("bmPlainTjCompress", bmPlainTjCompress);
    BenchTimes times;
    benchmark::RunSpecifiedBenchmarks(&times);
    printBenchRow("encode+write result 2666x4000 q100", times.ms("bmSaveResult"),
                  "cjpeg -quality 100 -sample 1x1", times.ms("bmCjpeg"), kTargetRatio);
    benchmark::Shutdown();
    return 0;
}
