// Display and result speed on a 6000 x 4000 photo: one paint while the frame is dragged in
// a 1920 x 1080 window, crop-and-save of the default-format crop at quality 100 against a
// plain TurboJPEG compression of the same pixels, and loading against decoding alone.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <turbojpeg.h>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#pragma GCC diagnostic pop

#include "BenchPicture.h"
#include "engine/JpegCodec.h"
#include "engine/Photo.h"
#include "engine/PhotoDocument.h"
#include "settings/Settings.h"
#include "view/PhotoView.h"

namespace {

// The test photo with camera EXIF data, written once per run.
class Fixture {
public:
    static Fixture& get() {
        static Fixture fixture;
        return fixture;
    }

    QTemporaryDir dir;
    std::string photoPath;
    std::string destination;
    std::unique_ptr<Settings> settings;

private:
    Fixture() {
        photoPath = dir.path().toStdString() + "/IMG_0001.jpg";
        destination = dir.path().toStdString() + "/results/";
        QDir().mkpath(QString::fromStdString(destination));
        const QByteArray jpeg = JpegCodec::encode(makePicture(), 92).value_or(QByteArray());
        if (!JpegCodec::writeFileSafely(photoPath, jpeg)) {
            std::fprintf(stderr, "cannot write the test photo\n");
            std::exit(1);
        }
        if (const auto error = addCameraExif(photoPath)) {
            std::fprintf(stderr, "cannot add EXIF: %s\n", error->c_str());
            std::exit(1);
        }
        settings = std::make_unique<Settings>(dir.path().toStdString() + "/param.dat");
        settings->setDestinationFolder(destination);
        settings->setAutoRename(0); // one result path, overwritten each round
        settings->setJpegQuality(100);
    }
};

// A document laid out in a full-HD window that prints what it would tell the user.
std::unique_ptr<PhotoDocument> makeDocument(const Settings& settings) {
    auto document = std::make_unique<PhotoDocument>(settings);
    document->setClientSize(1920, 1080);
    QObject::connect(document.get(), &PhotoDocument::message, [](const QString& text) {
        std::fprintf(stderr, "warning: %s\n", qPrintable(text));
    });
    return document;
}

// One paint of the display while the frame is dragged by a pixel.
void bmPaintDuringDrag(benchmark::State& state) {
    Fixture& f = Fixture::get();
    PhotoDocument document(*f.settings);
    PhotoView wnd(*f.settings, document, nullptr);
    wnd.resize(1920, 1080);
    document.setClientSize(1920, 1080);
    document.setFormat(15, 10, "15x10");
    if (!document.load(f.photoPath, kNoResultIndex)) {
        state.SkipWithError("load failed");
        return;
    }
    document.zoomFrame(150);
    document.setThirds(true);
    QImage target(1920, 1080, QImage::Format_ARGB32_Premultiplied);
    wnd.render(&target); // builds the display copy once
    int step = 1;
    for (auto _ : state) {
        document.moveFrameX(step);
        step = -step;
        wnd.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(bmPaintDuringDrag)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Crop and save of the default-format crop (the whole 6000 x 4000 photo) with its EXIF
// data, written safely into the destination folder.
void bmCropAndSave(benchmark::State& state) {
    Fixture& f = Fixture::get();
    const std::unique_ptr<PhotoDocument> document = makeDocument(*f.settings);
    PhotoDocument& model = *document;
    model.setFormat(15, 10, "15x10");
    for (auto _ : state) {
        state.PauseTiming();
        model.load(f.photoPath, kNoResultIndex);
        state.ResumeTiming();
        model.cropToFrame();
        if (!model.saveResult()) {
            state.SkipWithError("save failed");
            return;
        }
    }
}
BENCHMARK(bmCropAndSave)->Unit(benchmark::kMillisecond)->Iterations(6)->Repetitions(3);

// The yardstick: TurboJPEG compressing the same pixels at quality 100, 4:4:4, in memory.
void bmPlainTjCompress(benchmark::State& state) {
    Fixture& f = Fixture::get();
    const JpegDecodeResult decoded = JpegCodec::decodeFile(f.photoPath);
    if (!decoded.ok()) {
        state.SkipWithError("decode failed");
        return;
    }
    const QImage& image = decoded.image;
    tjhandle handle = tjInitCompress();
    for (auto _ : state) {
        unsigned char* out = nullptr;
        unsigned long size = 0;
        tjCompress2(handle, image.constBits(), image.width(),
                    static_cast<int>(image.bytesPerLine()), image.height(), TJPF_RGB, &out, &size,
                    TJSAMP_444, 100, 0);
        benchmark::DoNotOptimize(out);
        tjFree(out);
    }
    tjDestroy(handle);
}
BENCHMARK(bmPlainTjCompress)->Unit(benchmark::kMillisecond)->Iterations(6)->Repetitions(3);

void bmLoadPicture(benchmark::State& state) {
    Fixture& f = Fixture::get();
    const std::unique_ptr<PhotoDocument> document = makeDocument(*f.settings);
    PhotoDocument& model = *document;
    model.setFormat(15, 10, "15x10");
    for (auto _ : state) {
        benchmark::DoNotOptimize(model.load(f.photoPath, kNoResultIndex));
    }
}
BENCHMARK(bmLoadPicture)->Unit(benchmark::kMillisecond)->Iterations(6)->Repetitions(3);

void bmDecodeFile(benchmark::State& state) {
    Fixture& f = Fixture::get();
    for (auto _ : state) {
        JpegDecodeResult decoded = JpegCodec::decodeFile(f.photoPath);
        benchmark::DoNotOptimize(decoded.image.constBits());
    }
}
BENCHMARK(bmDecodeFile)->Unit(benchmark::kMillisecond)->Iterations(6)->Repetitions(3);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
