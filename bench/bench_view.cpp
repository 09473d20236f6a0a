// The working cycle on screen with 6000 x 4000 photos, the view 1920 x 1080 with its side
// panel: Escape to the next photo until the display, the preview and the gauge are painted,
// against a plain TurboJPEG decode of the same file; and a held arrow key, one repaint per
// key press.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QObject>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <turbojpeg.h>
#include <vector>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#pragma GCC diagnostic pop

#include "BenchPicture.h"
#include "engine/JpegCodec.h"
#include "engine/PhotoDocument.h"
#include "panel/SidePanel.h"
#include "settings/Settings.h"
#include "view/LumicutView.h"
#include "view/PhotoView.h"
#include "widgets/UserPrompts.h"

namespace {

constexpr int kPhotoCount = 4;
constexpr int kHeldPresses = 30;

// One key event as the window system delivers it to the focused view.
void sendKey(QWidget& target, QEvent::Type type, Qt::Key key, bool autoRepeat = false) {
    QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(&target, &event);
}

// Counts the paints a widget receives, to show that every key press was painted.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
    int paints = 0;
};

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::exit(1);
}

// A working folder of camera-like photos (EXIF with a shot date) and a destination folder,
// written once per run; the view over them, 1920 x 1080 and shown.
class Fixture {
public:
    static Fixture& get() {
        std::unique_ptr<Fixture>& fixture = instance();
        if (!fixture)
            fixture.reset(new Fixture); // private constructor: make_unique cannot reach it
        return *fixture;
    }
    // The view must go before the QApplication does.
    static void release() { instance().reset(); }

    QTemporaryDir dir;
    std::vector<std::string> photos;
    std::unique_ptr<Settings> settings;
    DialogPrompts prompts; // nothing in the benchmark asks the user
    std::unique_ptr<LumicutView> view;

private:
    static std::unique_ptr<Fixture>& instance() {
        static std::unique_ptr<Fixture> fixture;
        return fixture;
    }

    Fixture() {
        const std::string root = dir.path().toStdString() + "/";
        QDir().mkpath(QString::fromStdString(root + "photos"));
        QDir().mkpath(QString::fromStdString(root + "results"));
        const QByteArray jpeg = JpegCodec::encode(makePicture(), 92).value_or(QByteArray());
        if (const auto error = writeCameraFolder(root + "photos/", jpeg, kPhotoCount, photos))
            fail(error->c_str());
        settings = std::make_unique<Settings>(root + "param.dat");
        settings->setCurrentFolder(root + "photos/");
        settings->setDestinationFolder(root + "results/");
        settings->setRecurseOrigin(0);
        view = std::make_unique<LumicutView>(*settings, prompts, nullptr);
        view->resize(1920, 1080);
        view->show();
        QApplication::processEvents();
        if (!view->isVisible())
            fail("the view was not shown");
        view->onInitialUpdate();
        QApplication::processEvents();
        if (view->sidePanel().photoList().rowCount() != kPhotoCount)
            fail("the photos were not listed");
    }
};

// Escape from one photo to the next, until everything it changes is painted: the photo
// loaded and shown in the display, the preview rebuilt, the status and the gauge refreshed.
// At the last photo the list is refilled (untimed), which loads the first one again.
void bmEscapeToNextPhoto(benchmark::State& state) {
    Fixture& f = Fixture::get();
    LumicutView& view = *f.view;
    for (auto _ : state) {
        if (view.sidePanel().currentIndex() == kPhotoCount - 1) {
            state.PauseTiming();
            view.sidePanel().fillPictureList();
            QApplication::processEvents();
            state.ResumeTiming();
        }
        const int before = view.sidePanel().currentIndex();
        sendKey(view, QEvent::KeyPress, Qt::Key_Escape);
        sendKey(view, QEvent::KeyRelease, Qt::Key_Escape);
        QApplication::processEvents(); // anything left for later is painted now
        if (view.sidePanel().currentIndex() != before + 1) {
            state.SkipWithError("Escape did not move on");
            return;
        }
    }
}
BENCHMARK(bmEscapeToNextPhoto)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(9)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// The yardstick: the same file read and decoded by TurboJPEG into 24-bit RGB, nothing else.
void bmPlainTjDecompress(benchmark::State& state) {
    Fixture& f = Fixture::get();
    std::vector<unsigned char> pixels(std::size_t(kPhotoWidth) * kPhotoHeight * 3);
    tjhandle handle = tjInitDecompress();
    for (auto _ : state) {
        std::ifstream in(f.photos[0], std::ios::binary | std::ios::ate);
        std::vector<unsigned char> bytes(static_cast<std::size_t>(in.tellg()));
        in.seekg(0);
        in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        int width = 0;
        int height = 0;
        int subsampling = 0;
        int colorspace = 0;
        if (tjDecompressHeader3(handle, bytes.data(), bytes.size(), &width, &height, &subsampling,
                                &colorspace) != 0 ||
            tjDecompress2(handle, bytes.data(), bytes.size(), pixels.data(), width, width * 3,
                          height, TJPF_RGB, 0) != 0) {
            state.SkipWithError("decode failed");
            break;
        }
        benchmark::DoNotOptimize(pixels.data());
    }
    tjDestroy(handle);
}
BENCHMARK(bmPlainTjDecompress)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(9)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// A held arrow key: a first press, then X11 auto-repeat (release + press pairs), each
// press moving the frame and repainting the display at once, then the real release. The
// direction changes every round so the frame keeps moving over the photo.
void bmHeldArrowKey(benchmark::State& state) {
    Fixture& f = Fixture::get();
    LumicutView& view = *f.view;
    PhotoView& display = view.display();
    const QRect frame = view.document().frameRect(false);
    view.document().zoomFrame(std::min(frame.width(), frame.height()) / 4);
    QApplication::processEvents();
    PaintCounter counter;
    display.installEventFilter(&counter);
    bool right = true;
    for (auto _ : state) {
        const Qt::Key key = right ? Qt::Key_Right : Qt::Key_Left;
        sendKey(view, QEvent::KeyPress, key);
        for (int i = 1; i < kHeldPresses; ++i) {
            sendKey(view, QEvent::KeyRelease, key, true);
            sendKey(view, QEvent::KeyPress, key, true);
        }
        sendKey(view, QEvent::KeyRelease, key);
        right = !right;
    }
    display.removeEventFilter(&counter);
    state.counters["paints_per_press"] = static_cast<double>(counter.paints) /
                                         (static_cast<double>(state.iterations()) * kHeldPresses);
    // Seconds per key press.
    state.counters["per_press"] = benchmark::Counter(
        kHeldPresses, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(bmHeldArrowKey)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Fixture::release();
    return 0;
}
