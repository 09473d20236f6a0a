// Start-up with a working folder of 10,000 small photos: the main window is shown while the
// folder is still being read, and the photo list is complete soon after. One BENCH row each,
// the quickest of a few runs (bench/BenchReport.h):
//   window shown: from the start of the folder read until the view is shown, against the
//     folder read followed by showing the window (with an empty folder), as one after the
//     other: under 1, the window came before the read could have ended;
//   photo list complete: from the start of the read until every row is there and the first
//     photo is current.

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "BenchReport.h"
#include "engine/JpegCodec.h"
#include "naming/PhotoScan.h"
#include "panel/PhotoList.h"
#include "panel/SidePanel.h"
#include "settings/Settings.h"
#include "view/LumicutView.h"
#include "widgets/UserPrompts.h"

namespace {

constexpr int kPhotoCount = 10000;
constexpr int kRuns = 5;
constexpr double kListBudgetMs = 200.0;

double msSince(const QElapsedTimer& clock) {
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

// kPhotoCount copies of a small photo, names in mixed case as a copied camera card has them.
void writeLargeFolder(const std::string& folder) {
    QImage small(160, 120, QImage::Format_RGB888);
    small.fill(Qt::darkCyan);
    const std::optional<QByteArray> jpeg = JpegCodec::encode(small, 90, {}, 72, 72, {});
    if (!jpeg)
        benchFail("cannot encode the test photo");
    for (int i = 0; i < kPhotoCount; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, i % 3 == 0 ? "IMG_%05d.JPG" : "img_%05d.jpg", i);
        std::ofstream(folder + name, std::ios::binary)
            .write(jpeg->constData(), static_cast<std::streamsize>(jpeg->size()));
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const std::filesystem::path root = std::filesystem::temp_directory_path() /
                                       ("lumicut-bench-startup-" + std::to_string(::getpid()));
    const std::string photos = (root / "photos").string() + "/";
    const std::string empty = (root / "empty").string() + "/";
    const std::string results = (root / "results").string() + "/";
    for (const std::string& folder : {photos, empty, results})
        std::filesystem::create_directories(folder);
    writeLargeFolder(photos);

    Settings settings((root / "param.dat").string());
    settings.setDestinationFolder(results);
    settings.setRecurseOrigin(0);
    DialogPrompts prompts; // nothing here asks the user
    std::vector<double> shownEmpty;
    std::vector<double> shownLarge;
    std::vector<double> listed;
    for (int run = 0; run < 2 * kRuns; ++run) {
        const bool large = run % 2 == 1;
        settings.setCurrentFolder(large ? photos : empty);
        // As the application starts: the view made, the folder read ahead, the window shown,
        // then the initial update.
        auto view = std::make_unique<LumicutView>(settings, prompts, nullptr);
        view->resize(1280, 800);
        QElapsedTimer clock;
        clock.start();
        view->sidePanel().scanPictureListAhead();
        view->show();
        QApplication::processEvents();
        (large ? shownLarge : shownEmpty).push_back(msSince(clock));
        view->onInitialUpdate();
        if (!large)
            continue;
        listed.push_back(msSince(clock));
        if (view->sidePanel().photoList().rowCount() != kPhotoCount ||
            view->sidePanel().currentIndex() != 0)
            benchFail("the photo list is not complete");
    }
    // What start-up took before: the whole folder read, then the window shown.
    std::vector<double> reads;
    for (int run = 0; run < kRuns; ++run)
        reads.push_back(timedMs([&] { (void)scanPhotosToCrop(photos, results, false); }));
    printBenchRow("window shown, 10k-photo folder", quickest(shownLarge),
                  "folder read, then window shown", quickest(reads) + quickest(shownEmpty), 1.0);
    std::filesystem::remove_all(root);
    printBenchRowMs("photo list complete, 10k-photo folder", quickest(listed), kListBudgetMs);
    return 0;
}
