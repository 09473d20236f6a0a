#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

// Whole-image pixel work split into bands of rows, one per processor core: the calling
// thread works on the first band while helper threads take the others.
class RowBands {
public:
    // Below this many pixels per band, starting a thread costs more than it saves.
    static constexpr std::int64_t kMinPixelsPerBand = std::int64_t{1} << 16;
    static constexpr int kMaxBands = 8;

    // How many bands a job of rows x pixelsPerRow is split into on this machine.
    [[nodiscard]] static int count(int rows, std::int64_t pixelsPerRow) {
        const int cores =
            std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMaxBands);
        const std::int64_t bySize = std::int64_t{rows} * pixelsPerRow / kMinPixelsPerBand;
        return static_cast<int>(std::clamp<std::int64_t>(bySize, 1, std::min(cores, rows)));
    }

    // Calls work(firstRow, endRow) over consecutive bands covering rows [0, rows) and returns
    // when all are done. A helper thread that cannot be started leaves its band to the caller.
    template <typename Work>
    static void run(int rows, std::int64_t pixelsPerRow, const Work& work) {
        if (rows <= 0)
            return;
        const int bands = count(rows, pixelsPerRow);
        const auto bandStart = [rows, bands](int band) {
            return static_cast<int>(std::int64_t{rows} * band / bands);
        };
        std::vector<std::thread> helpers;
        std::vector<int> leftOver;
        try {
            helpers.reserve(static_cast<std::size_t>(bands));
            leftOver.reserve(static_cast<std::size_t>(bands));
        } catch (const std::bad_alloc&) {
            work(0, rows);
            return;
        }
        for (int band = 1; band < bands; ++band) {
            try {
                helpers.emplace_back(std::cref(work), bandStart(band), bandStart(band + 1));
            } catch (const std::system_error&) {
                leftOver.push_back(band);
            }
        }
        work(0, bandStart(1));
        for (const int band : leftOver)
            work(bandStart(band), bandStart(band + 1));
        for (std::thread& helper : helpers)
            helper.join();
    }
};
