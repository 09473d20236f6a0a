#include "engine/PanelRules.h"

#include <QString>
#include <algorithm>
#include <cstdlib>

namespace {

// Height of a header label, display pixels.
constexpr int kHeaderHeight = 25;

// trunc(value) for the single-precision products of the gradient.
int truncFloat(float value) {
    return static_cast<int>(value);
}

int channel(int start, int end, int band) {
    constexpr float kInv255 = 1.0f / 255.0f;
    return truncFloat(static_cast<float>(start) +
                      static_cast<float>(end - start) * static_cast<float>(band) * kInv255);
}

} // namespace

std::vector<LabelBand> labelGradientBands(int left, int right, LabelRgb start, LabelRgb end) {
    constexpr int kBands = 255;
    const float step = static_cast<float>(right - left) * (1.0f / 255.0f);
    std::vector<LabelBand> bands;
    bands.reserve(kBands);
    for (int i = 0; i < kBands; ++i) {
        bands.push_back({left + truncFloat(static_cast<float>(i) * step),
                         left + truncFloat(static_cast<float>(i + 1) * step),
                         channel(start.red, end.red, i), channel(start.green, end.green, i),
                         channel(start.blue, end.blue, i)});
    }
    return bands;
}

std::string gaugeSizeText(int cropWidth, int cropHeight, bool showFactor) {
    if (cropWidth == 0 || cropHeight == 0) {
        return {};
    }
    // QString::asprintf formats numbers in the C locale whatever the user's locale is, so
    // the ratio keeps its decimal point.
    const QString text = showFactor
                             ? QString::asprintf("Taille : %dx%d (%.3f)", cropWidth, cropHeight,
                                                 static_cast<double>(cropWidth) / cropHeight)
                             : QString::asprintf("Taille : %dx%d", cropWidth, cropHeight);
    return text.toStdString();
}

int gaugePointerX(int width, int quality) {
    return static_cast<int>((static_cast<int64_t>(width) * quality) / 100);
}

std::pair<int, int> reduceRatio(int a, int b) {
    // 64-bit so that the magnitude of INT_MIN does not overflow.
    int64_t x = std::llabs(static_cast<int64_t>(a));
    int64_t y = std::llabs(static_cast<int64_t>(b));
    while (y != 0) {
        const int64_t r = x % y;
        x = y;
        y = r;
    }
    const int64_t g = x;
    if (g == 0) {
        return {a, b};
    }
    int64_t ra = a / g;
    int64_t rb = b / g;
    if (rb < 0) {
        ra = -ra;
        rb = -rb;
    }
    return {static_cast<int>(ra), static_cast<int>(rb)};
}

std::string formatRowLabel(const std::string& name, int widthCm, int heightCm, bool showFactor) {
    if (!showFactor) {
        return name;
    }
    const auto [w, h] = reduceRatio(widthCm, heightCm);
    return name + " (" + std::to_string(w) + "/" + std::to_string(h) + ")";
}

std::string defaultFormatLabel(bool showFactor) {
    return showFactor ? "Défaut 10x15 (2/3)" : "Défaut 10x15";
}

std::string formatSizeLabel(int heightCm, int widthCm) {
    return std::to_string(heightCm) + "x" + std::to_string(widthCm);
}

std::vector<std::string> wholeFormatGroups(std::vector<std::string> texts) {
    texts.resize(texts.size() - texts.size() % 4);
    return texts;
}

SidePanelLayout computeSidePanelLayout(const QRect& client) {
    const int left = client.x();
    const int width = client.width();
    const int h = client.height();
    int y = client.y();

    // Places a control of the given height gap pixels below the previous one. Panels lower
    // than 150 pixels make the formulas negative: such controls get no height.
    const auto place = [&](int gap, int height) {
        y += gap;
        const QRect r(left, y, width, std::max(0, height));
        y += r.height();
        return r;
    };

    SidePanelLayout layout;
    layout.photosHeader = place(2, kHeaderHeight);
    layout.photoList = place(1, (2 * h - 300) / 4);
    layout.previewHeader = place(2, kHeaderHeight);
    layout.preview = place(1, (h - 150) / 4);
    layout.formatHeader = place(2, kHeaderHeight);
    layout.formatList = place(1, (h - 150) / 4);
    layout.qualityHeader = place(2, kHeaderHeight);
    // The gauge reaches one pixel above the bottom.
    y += 1;
    layout.gauge = QRect(left, y, width, std::max(0, (client.y() + h - 1) - y));
    return layout;
}

std::optional<int> scrollTargetRow(int r, int top, int perPage) {
    if (r > (2 * top + perPage) / 2) {
        return r + perPage / 2;
    }
    return std::nullopt;
}

std::string fileNameOfPath(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

QSize previewCopySize(int photoWidth, int photoHeight) {
    // 0.33 exactly, not a third: a 3000-pixel side gives 990.
    constexpr double kPreviewScale = 0.33;
    return QSize(static_cast<int>(photoWidth * kPreviewScale),
                 static_cast<int>(photoHeight * kPreviewScale));
}
