#include "batch/BatchRunner.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "engine/FrameGeometry.h"
#include "engine/JpegCodec.h"
#include "engine/LosslessCrop.h"
#include "engine/Photo.h"
#include "engine/ResultCrop.h"

namespace {

BatchText decodeFailure(JpegDecodeError error) {
    switch (error) {
    case JpegDecodeError::ReadFailed:
        return BatchText::Unreadable;
    case JpegDecodeError::SideTooLong:
    case JpegDecodeError::TooManyPixels:
    case JpegDecodeError::OutOfMemory:
        return BatchText::TooLarge;
    case JpegDecodeError::Corrupt:
        return BatchText::Corrupt;
    case JpegDecodeError::None:
    case JpegDecodeError::NotJpeg:
        break;
    }
    return BatchText::NotJpeg;
}

BatchText writeFailure(NewFileOutcome outcome) {
    switch (outcome) {
    case NewFileOutcome::Written:
        return BatchText::Written;
    case NewFileOutcome::TargetExists:
        return BatchText::TargetExists;
    case NewFileOutcome::Failed:
        break;
    }
    return BatchText::WriteFailed;
}

// Tries the cut from the coded blocks; true when that settled the photo (written or failed),
// false when it must be decoded instead.
bool cutLosslessly(const QByteArray& bytes, const PlannedPhoto& photo, const BatchWork& work,
                   PhotoOutcome& outcome) {
    if (work.borderMm > 0.0) {
        outcome.decodedBecause = batchText(work.language, BatchText::BorderDecoded);
        return false;
    }
    const LosslessResult cut =
        LosslessCrop::write(bytes, work.heightCm, work.widthCm, photo.target);
    switch (cut.outcome) {
    case LosslessOutcome::Written:
        outcome.lossless = true;
        outcome.turned = cut.turned;
        return true;
    case LosslessOutcome::TargetExists:
        outcome.status = BatchText::TargetExists;
        return true;
    case LosslessOutcome::NeedsDecode:
        outcome.decodedBecause = cut.reason;
        return false;
    case LosslessOutcome::Failed:
        break;
    }
    outcome.status = BatchText::LosslessFailed;
    outcome.detail = cut.reason;
    return true;
}

} // namespace

PhotoOutcome BatchRunner::process(const PlannedPhoto& photo, const BatchWork& work) {
    PhotoOutcome outcome;
    outcome.started = true;
    outcome.detail = photo.target;
    if (photo.sameName) {
        outcome.status = BatchText::SameName;
        return outcome;
    }
    const std::optional<QByteArray> bytes = JpegCodec::readFile(photo.source);
    if (!bytes) {
        outcome.status = BatchText::Unreadable;
        return outcome;
    }
    if (work.lossless && cutLosslessly(*bytes, photo, work, outcome)) {
        return outcome;
    }
    JpegDecodeError error = JpegDecodeError::None;
    const std::optional<Photo> source = Photo::fromJpeg(*bytes, 1, &error);
    if (!source) {
        outcome.status = decodeFailure(error);
        return outcome;
    }
    const FrameGeometry frame = FrameGeometry::centred(QSize(source->width(), source->height()),
                                                       work.heightCm, work.widthCm);
    const std::optional<Photo> result = ResultCrop::make(*source, frame, work.borderMm * 0.1);
    if (!result) {
        outcome.status = BatchText::NoFrame;
        return outcome;
    }
    outcome.status = writeFailure(result->saveNewJpeg(photo.target, work.quality));
    return outcome;
}

std::vector<PhotoOutcome> BatchRunner::run(const std::vector<PlannedPhoto>& plan,
                                           const BatchWork& work, int jobs,
                                           const std::atomic<bool>& stop,
                                           const std::function<void(int)>& tick) {
    std::vector<PhotoOutcome> outcomes(plan.size());
    std::mutex mutex;
    std::condition_variable changed;
    size_t next = 0;
    int finished = 0;
    int running = 0;

    const auto worker = [&] {
        std::unique_lock lock(mutex);
        while (!stop.load() && next < plan.size()) {
            const size_t index = next++;
            lock.unlock();
            PhotoOutcome outcome = process(plan[index], work);
            lock.lock();
            outcomes[index] = std::move(outcome);
            ++finished;
            changed.notify_all();
        }
        --running;
        changed.notify_all();
    };

    const size_t threads = std::clamp<size_t>(static_cast<size_t>(std::max(jobs, 1)), 1,
                                              std::max<size_t>(plan.size(), 1));
    std::vector<std::thread> pool;
    running = static_cast<int>(threads);
    for (size_t i = 0; i < threads; ++i) {
        pool.emplace_back(worker);
    }
    {
        std::unique_lock lock(mutex);
        while (running > 0) {
            const int done = finished;
            lock.unlock();
            tick(done);
            lock.lock();
            changed.wait_for(lock, std::chrono::milliseconds(200),
                             [&] { return running == 0 || finished != done; });
        }
    }
    for (std::thread& thread : pool) {
        thread.join();
    }
    tick(finished);
    return outcomes;
}
