#include "batch/BatchReport.h"

#include <gtest/gtest.h>

namespace {

TEST(BatchReport, ProgressLineGivesRateAndTimeLeft) {
    // clang-format off
    const struct { const char* name; Language language; int done; int total; double seconds; std::string expected; } rows[] = {
        {"nothing done yet", Language::English, 0, 40, 1.5, "[                    ]  0/40  0.0 photos/s  --:-- left"},
        {"a quarter done", Language::English, 10, 40, 4.0, "[#####               ]  10/40  2.5 photos/s  0:12 left"},
        {"over an hour left", Language::English, 1, 5000, 1.0, "[                    ]  1/5000  1.0 photos/s  1:23:19 left"},
        {"done", Language::English, 40, 40, 16.0, "[####################]  40/40  2.5 photos/s  0:00 left"},
        {"French decimal comma", Language::French, 10, 40, 4.0, "[#####               ]  10/40  2,5 photos/s  reste 0:12"},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(BatchReport::progressLine(row.language, row.done, row.total, row.seconds),
                  row.expected);
    }
}

PhotoOutcome outcome(BatchText status, bool lossless, bool turned, std::string because = {}) {
    return {true, status, {}, lossless, turned, std::move(because)};
}

TEST(BatchReport, SummaryCountsTheLosslessCutsAndWhyOthersWereDecoded) {
    const std::vector<PhotoOutcome> outcomes = {
        outcome(BatchText::Written, true, false),
        outcome(BatchText::Written, true, true),
        outcome(BatchText::Written, false, false, "a turn the block grid does not allow"),
        outcome(BatchText::Written, false, false, "a turn the block grid does not allow"),
        outcome(BatchText::Written, false, false, "arithmetic coding"),
        outcome(BatchText::TargetExists, false, false),
        PhotoOutcome{},
    };
    EXPECT_EQ(BatchReport::summary(Language::English, outcomes, true),
              "Written: 5 of 7.\n"
              "Turned upright on their coded blocks: 1.\n"
              "Decoded and encoded again instead of cut losslessly (3):\n"
              "  2: a turn the block grid does not allow\n"
              "  1: arithmetic coding\n");
    EXPECT_EQ(BatchReport::summary(Language::French, outcomes, false), "Écrites : 5 sur 7.\n");
    EXPECT_EQ(BatchReport::notStarted(Language::English, outcomes), "Stopped; not started: 1.\n");
}

} // namespace
