#include "batch/BatchReport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace {

// Width of the progress bar, in characters.
constexpr int kBarCells = 20;

// m:ss, or h:mm:ss from an hour up.
std::string duration(double seconds) {
    const long total = std::lround(std::max(seconds, 0.0));
    char text[32];
    if (total >= 3600) {
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60,
                      total % 60);
    } else {
        std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    }
    return text;
}

} // namespace

std::string BatchReport::progressLine(Language language, int done, int total, double seconds) {
    const double rate = seconds > 0.0 ? done / seconds : 0.0;
    const std::string left = rate > 0.0 ? duration((total - done) / rate) : "--:--";
    std::string line = batchFormat(language, BatchText::Progress, done, total, rate, left.c_str());
    if (language == Language::French) {
        std::replace(line.begin(), line.end(), '.', ',');
    }
    // A bar of kBarCells cells, one filled per whole share of the photos finished.
    const int filled = total > 0 ? std::clamp(done, 0, total) * kBarCells / total : 0;
    return "[" + std::string(size_t(filled), '#') + std::string(size_t(kBarCells - filled), ' ') +
           "]  " + line;
}

std::string BatchReport::failures(Language language, const std::vector<PlannedPhoto>& plan,
                                  const std::vector<PhotoOutcome>& outcomes) {
    std::string lines;
    int count = 0;
    for (size_t i = 0; i < outcomes.size() && i < plan.size(); ++i) {
        const PhotoOutcome& outcome = outcomes[i];
        if (!outcome.started || outcome.written()) {
            continue;
        }
        ++count;
        lines += "  " + plan[i].source + ": " +
                 batchFormat(language, outcome.status, outcome.detail.c_str()) + "\n";
    }
    if (count == 0) {
        return {};
    }
    return batchFormat(language, BatchText::NotWritten, count) + "\n" + lines;
}

std::string BatchReport::summary(Language language, const std::vector<PhotoOutcome>& outcomes,
                                 bool lossless) {
    const auto written = std::count_if(outcomes.begin(), outcomes.end(),
                                       [](const PhotoOutcome& o) { return o.written(); });
    std::string text = batchFormat(language, BatchText::Written, static_cast<int>(written),
                                   static_cast<int>(outcomes.size())) +
                       "\n";
    if (!lossless) {
        return text;
    }
    int turned = 0;
    int decoded = 0;
    std::map<std::string, int> reasons;
    for (const PhotoOutcome& outcome : outcomes) {
        turned += outcome.written() && outcome.turned ? 1 : 0;
        if (outcome.written() && !outcome.lossless) {
            ++decoded;
            ++reasons[outcome.decodedBecause];
        }
    }
    if (turned > 0) {
        text += batchFormat(language, BatchText::Turned, turned) + "\n";
    }
    if (decoded > 0) {
        text += batchFormat(language, BatchText::Decoded, decoded) + "\n";
        for (const auto& [reason, count] : reasons) {
            text += "  " + std::to_string(count) + ": " + reason + "\n";
        }
    }
    return text;
}

std::string BatchReport::notStarted(Language language, const std::vector<PhotoOutcome>& outcomes) {
    const auto count = std::count_if(outcomes.begin(), outcomes.end(),
                                     [](const PhotoOutcome& o) { return !o.started; });
    if (count == 0) {
        return {};
    }
    return batchFormat(language, BatchText::Interrupted, static_cast<int>(count)) + "\n";
}
