#pragma once

#include "batch/BatchPlan.h"
#include "batch/BatchTexts.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

// What became of one photo of a batch.
struct PhotoOutcome {
    bool started = false;
    // BatchText::Written when the result is there; otherwise the reason it is not.
    BatchText status = BatchText::Written;
    std::string detail; // the result path, or the lossless cut's own reason
    // With --lossless: cut from the coded blocks (turned there when the tag asked for it),
    // or decoded instead, and why.
    bool lossless = false;
    bool turned = false;
    std::string decodedBecause;

    [[nodiscard]] bool written() const { return started && status == BatchText::Written; }
};

// How each photo is made into its result.
struct BatchWork {
    double heightCm = 0.0;
    double widthCm = 0.0;
    double borderMm = 0.0;
    int quality = 100;
    bool lossless = false;
    Language language = Language::English;
};

// Works through a plan on several threads at once.
class BatchRunner {
public:
    // Crops one photo and writes its result; never replaces a file. Thread-safe.
    [[nodiscard]] static PhotoOutcome process(const PlannedPhoto& photo, const BatchWork& work);

    // Processes the plan's photos on jobs threads, each photo once, in plan order as threads
    // come free. Once stop is set no further photo is started; the ones under way finish. tick
    // is called on the calling thread with the number of photos finished, at least every
    // 200 ms and once more at the end. The outcomes are in plan order.
    [[nodiscard]] static std::vector<PhotoOutcome> run(const std::vector<PlannedPhoto>& plan,
                                                       const BatchWork& work, int jobs,
                                                       const std::atomic<bool>& stop,
                                                       const std::function<void(int)>& tick);
};
