// The edits of a 6000 x 4000 photo (quarter turns, flips, grayscale, sepia) and the identity
// sheet made from it. Targets: each edit within 100 ms, the sheet within 1 s, wall clock.
// The reference, one memcpy of the photo's 72 MB of pixels into memory already touched, is
// shown for scale only: it says how far an edit is from the memory's own speed on this
// machine, while the targets are the times a user waits.

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "BenchPicture.h"
#include "BenchReport.h"
#include "engine/JpegCodec.h"
#include "engine/Photo.h"
#include "engine/PhotoDocument.h"
#include "settings/Settings.h"

namespace {

constexpr double kEditTargetMs = 100.0;
constexpr double kSheetTargetMs = 1000.0;

const Photo& sharedPhoto() {
    static const Photo kPhoto(makePicture());
    return kPhoto;
}

// The yardstick: the photo's pixels copied once, source and destination already mapped.
void bmMemcpyPhoto(benchmark::State& state) {
    const QImage& image = sharedPhoto().image();
    const std::size_t bytes = std::size_t(image.sizeInBytes());
    std::vector<unsigned char> target(bytes, 1);
    for (auto _ : state) {
        std::memcpy(target.data(), image.constBits(), bytes);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
}

template <void (Photo::*Edit)()> void bmEdit(benchmark::State& state) {
    // Pixels of its own, as the document's photo has them: an in-place edit of pixels shared
    // with another image would first copy them all.
    Photo photo = sharedPhoto();
    photo.setImage(photo.image().copy());
    for (auto _ : state) {
        (photo.*Edit)();
        benchmark::DoNotOptimize(photo.image().constBits());
    }
}

void bmTurnLeft(benchmark::State& state) {
    bmEdit<&Photo::rotateLeft>(state);
}
void bmTurnRight(benchmark::State& state) {
    bmEdit<&Photo::rotateRight>(state);
}
void bmFlipHorizontal(benchmark::State& state) {
    bmEdit<&Photo::flipHorizontal>(state);
}
void bmFlipVertical(benchmark::State& state) {
    bmEdit<&Photo::flipVertical>(state);
}
void bmGrayscale(benchmark::State& state) {
    bmEdit<&Photo::toGrayscale>(state);
}
void bmSepia(benchmark::State& state) {
    bmEdit<&Photo::toSepia>(state);
}

// The identity sheet of the default 15 x 10 format from the whole photo, as the I key makes
// it: the photo is loaded again (untimed) before each sheet.
void bmIdSheet(benchmark::State& state) {
    QTemporaryDir dir;
    const std::string photoPath = dir.path().toStdString() + "/IMG_0001.jpg";
    const QByteArray jpeg = JpegCodec::encode(makePicture(), 92).value_or(QByteArray());
    if (!JpegCodec::writeFileSafely(photoPath, jpeg)) {
        state.SkipWithError("cannot write the photo");
        return;
    }
    Settings settings(dir.path().toStdString() + "/param.dat");
    PhotoDocument document(settings);
    document.setClientSize(1920, 1080);
    document.setFormat(15, 10, "15x10");
    for (auto _ : state) {
        state.PauseTiming();
        document.load(photoPath, kNoResultIndex);
        document.setIdSheet(true);
        state.ResumeTiming();
        document.makeIdSheet();
        if (document.photo()->width() <= kPhotoWidth) {
            state.SkipWithError("no sheet was made");
            return;
        }
    }
}

void editBenchmark(const char* name, void (*function)(benchmark::State&)) {
    withMinimum(benchmark::RegisterBenchmark(name, function))
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(0.5)
        ->Repetitions(3)
        ->ReportAggregatesOnly(true);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    editBenchmark("bmMemcpyPhoto", bmMemcpyPhoto);
    editBenchmark("bmTurnLeft", bmTurnLeft);
    editBenchmark("bmTurnRight", bmTurnRight);
    editBenchmark("bmFlipHorizontal", bmFlipHorizontal);
    editBenchmark("bmFlipVertical", bmFlipVertical);
    editBenchmark("bmGrayscale", bmGrayscale);
    editBenchmark("bmSepia", bmSepia);
    withMinimum(benchmark::RegisterBenchmark("bmIdSheet", bmIdSheet))
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(2)
        ->Repetitions(3)
        ->ReportAggregatesOnly(true);

    BenchTimes times;
    benchmark::RunSpecifiedBenchmarks(&times);
    const double memcpyMs = times.ms("bmMemcpyPhoto");
    const std::string reference = "memcpy 24 MP";
    const struct {
        const char* operation;
        const char* benchmark;
        double targetMs;
    } rows[] = {
        {"turn left 24 MP", "bmTurnLeft", kEditTargetMs},
        {"turn right 24 MP", "bmTurnRight", kEditTargetMs},
        {"flip horizontal 24 MP", "bmFlipHorizontal", kEditTargetMs},
        {"flip vertical 24 MP", "bmFlipVertical", kEditTargetMs},
        {"grayscale 24 MP", "bmGrayscale", kEditTargetMs},
        {"sepia 24 MP", "bmSepia", kEditTargetMs},
        {"id sheet 15x10 of 24 MP", "bmIdSheet", kSheetTargetMs},
    };
    for (const auto& row : rows)
        printBenchRowMs(row.operation, times.ms(row.benchmark), row.targetMs, reference, memcpyMs);
    benchmark::Shutdown();
    return 0;
}
