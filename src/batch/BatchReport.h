#pragma once

#include "batch/BatchPlan.h"
#include "batch/BatchRunner.h"
#include "batch/BatchTexts.h"

#include <string>
#include <vector>

// The texts a batch shows while it runs and when it ends.
class BatchReport {
public:
    // "[######              ]  12/40  3.5 photos/s  0:08 left": a bar of the share finished,
    // the finished photos, the rate since the start and the time the rest takes at that rate
    // ("--:--" before the first photo is done).
    [[nodiscard]] static std::string progressLine(Language language, int done, int total,
                                                  double seconds);
    // Every photo started and not written, each on a line with its reason, under a count;
    // empty when there is none.
    [[nodiscard]] static std::string failures(Language language,
                                              const std::vector<PlannedPhoto>& plan,
                                              const std::vector<PhotoOutcome>& outcomes);
    // How many photos were written and, with the lossless cut, how many were turned on their
    // blocks and how many were decoded instead, by reason.
    [[nodiscard]] static std::string
    summary(Language language, const std::vector<PhotoOutcome>& outcomes, bool lossless);
    // The photos never started after a stop; empty when every photo was started.
    [[nodiscard]] static std::string notStarted(Language language,
                                                const std::vector<PhotoOutcome>& outcomes);
};
