// lumicut-batch: the program's crop, naming and metadata rules over a whole folder of photos,
// from the command line, without any window.
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <malloc.h>
#include <thread>
#include <unistd.h>

#include "batch/BatchOptions.h"
#include "batch/BatchPlan.h"
#include "batch/BatchReport.h"
#include "batch/BatchRunner.h"
#include "batch/BatchTexts.h"

namespace {

constexpr int kAllWritten = 0;
constexpr int kSomeFailed = 1;
constexpr int kBadUsage = 2;

// Set by Ctrl+C (or a termination request): no photo is started after it.
std::atomic<bool> stopRequested{false};
std::atomic<int> stopSignal{0};
static_assert(std::atomic<bool>::is_always_lock_free);

void requestStop(int number) {
    // Only the first request counts; the photos under way still finish.
    int none = 0;
    stopSignal.compare_exchange_strong(none, number);
    stopRequested.store(true);
}

// The lossless cut takes and frees some 60 MB of coefficient arrays per photo. Kept in one
// heap and not handed back to the system between photos, they are reused instead of faulted
// in afresh each time, which took longer than the cut itself (a third of the run). Decoded
// photos do not gain from it (their pixels are mapped on their own), and lose a little to the
// one heap, so only lossless runs are set up so. Before any thread starts.
void keepLargeBuffersForReuse() {
    mallopt(M_ARENA_MAX, 1);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 512 << 20);
}

void installStopHandlers() {
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART; // writes under way carry on instead of failing
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int usageError(Language language, const std::string& error) {
    std::fprintf(stderr, "lumicut-batch: %s\n%s\n", error.c_str(),
                 batchText(language, BatchText::UsageHint));
    return kBadUsage;
}

std::optional<std::vector<std::string>> listPhotos(const BatchOptions& options) {
    if (!options.filesFrom) {
        return BatchPlan::folderPhotos(options);
    }
    if (*options.filesFrom == "-") {
        return BatchPlan::listedPhotos(std::cin);
    }
    std::ifstream list(*options.filesFrom);
    if (!list) {
        return std::nullopt;
    }
    return BatchPlan::listedPhotos(list);
}

} // namespace

int main(int argc, char* argv[]) {
    // A write past the file-size limit must fail like a full disk, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    const Language language = languageFromEnvironment();
    const int cores = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
    const BatchParse parse = parseBatchOptions(std::vector<std::string>(argv + 1, argv + argc),
                                               "param.dat", cores, language);
    if (!parse.options) {
        return usageError(language, parse.error);
    }
    const BatchOptions& options = *parse.options;
    if (options.help) {
        std::fputs(batchText(language, BatchText::Help), stdout);
        return kAllWritten;
    }
    if (options.version) {
        std::printf("lumicut-batch %s\n", LUMICUT_VERSION);
        return kAllWritten;
    }

    const std::optional<std::vector<std::string>> photos = listPhotos(options);
    if (!photos) {
        return usageError(
            language,
            options.filesFrom
                ? batchFormat(language, BatchText::ListUnreadable, options.filesFrom->c_str())
                : batchFormat(language, BatchText::NoSourceFolder, options.source.c_str()));
    }
    const std::vector<PlannedPhoto> plan = BatchPlan::name(*photos, options);
    if (options.dryRun) {
        for (const PlannedPhoto& photo : plan) {
            std::printf("%s -> %s\n", photo.source.c_str(), photo.target.c_str());
        }
        return kAllWritten;
    }

    const bool terminal = ::isatty(STDERR_FILENO) == 1;
    std::error_code error;
    std::filesystem::create_directories(options.destination, error);
    if (!std::filesystem::is_directory(options.destination, error)) {
        return usageError(language, batchFormat(language, BatchText::DestinationFailed,
                                                options.destination.c_str()));
    }
    if (plan.empty() && terminal) {
        std::fprintf(stderr, "%s\n", batchText(language, BatchText::NoPhotos));
    }

    if (options.lossless && options.borderMm <= 0.0) {
        keepLargeBuffersForReuse();
    }
    installStopHandlers();
    const auto start = std::chrono::steady_clock::now();
    auto shown = start - std::chrono::seconds(1);
    bool stopTold = false;
    const auto tick = [&](int done) {
        if (!terminal) {
            return;
        }
        const auto now = std::chrono::steady_clock::now();
        if (stopRequested.load() && !stopTold) {
            stopTold = true;
            std::fprintf(stderr, "\r\033[K%s\n", batchText(language, BatchText::Stopping));
        }
        // At most ten updates a second, and always the last one.
        if (now - shown < std::chrono::milliseconds(100) && done != static_cast<int>(plan.size()))
            return;
        shown = now;
        const double seconds = std::chrono::duration<double>(now - start).count();
        const std::string line =
            BatchReport::progressLine(language, done, static_cast<int>(plan.size()), seconds);
        std::fprintf(stderr, "\r\033[K%s", line.c_str());
        std::fflush(stderr);
    };
    const BatchWork work{options.heightCm, options.widthCm,  options.borderMm,
                         options.quality,  options.lossless, language};
    const std::vector<PhotoOutcome> outcomes =
        BatchRunner::run(plan, work, options.jobs, stopRequested, tick);
    if (terminal) {
        std::fputs("\r\033[K", stderr);
        std::fputs(BatchReport::summary(language, outcomes, options.lossless).c_str(), stderr);
    }
    std::fputs(BatchReport::failures(language, plan, outcomes).c_str(), stderr);
    if (stopRequested.load()) {
        std::fputs(BatchReport::notStarted(language, outcomes).c_str(), stderr);
        return 128 + stopSignal.load();
    }
    const bool allWritten = std::all_of(outcomes.begin(), outcomes.end(),
                                        [](const PhotoOutcome& o) { return o.written(); });
    return allWritten ? kAllWritten : kSomeFailed;
}
