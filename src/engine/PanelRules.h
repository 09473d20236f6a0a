#pragma once

#include <QRect>
#include <QSize>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Plain rules of the side panel and its controls, kept out of the widgets so that tests
// reach them directly. Coordinates are the owning widget's client pixels.

// One solid band of a horizontal gradient: x from left (inclusive) to right (exclusive).
struct LabelBand {
    int left = 0;
    int right = 0;
    int red = 0;
    int green = 0;
    int blue = 0;

    friend bool operator==(const LabelBand&, const LabelBand&) = default;
};

struct LabelRgb {
    int red = 0;
    int green = 0;
    int blue = 0;
};

// The 255 bands (not 256) filling [left, right) from start to end. Band edges and colours
// are worked out in single precision and truncated, so the last band carries the colour at
// 254/255 of the way, not end itself.
[[nodiscard]] std::vector<LabelBand> labelGradientBands(int left, int right, LabelRgb start,
                                                        LabelRgb end);

// The gauge's size text: "Taille : 1200x1800 (0.667)", without the ratio when showFactor is
// off; empty when either side is 0.
[[nodiscard]] std::string gaugeSizeText(int cropWidth, int cropHeight, bool showFactor);

// X of the gauge pointer's tip: (width x quality) / 100, truncated toward zero.
[[nodiscard]] int gaugePointerX(int width, int quality);

// (a, b) divided by their greatest common divisor, with b made non-negative. Both 0 stay 0.
[[nodiscard]] std::pair<int, int> reduceRatio(int a, int b);

// Label of a format row: the name, followed by " (w/h)" of the reduced width/height when
// showFactor is on.
[[nodiscard]] std::string formatRowLabel(const std::string& name, int widthCm, int heightCm,
                                         bool showFactor);

// Name and label of the format offered when none is stored.
[[nodiscard]] std::string defaultFormatLabel(bool showFactor);

// Label handed to the display window with a format: "%dx%d", height first ("15x10").
[[nodiscard]] std::string formatSizeLabel(int heightCm, int widthCm);

// The flat stored texts (four per format) cut to whole groups of four.
[[nodiscard]] std::vector<std::string> wholeFormatGroups(std::vector<std::string> texts);

// Rectangles of the side panel's controls from top to bottom, for a client rectangle.
struct SidePanelLayout {
    QRect photosHeader;
    QRect photoList;
    QRect previewHeader;
    QRect preview;
    QRect formatHeader;
    QRect formatList;
    QRect qualityHeader;
    QRect gauge;
};

[[nodiscard]] SidePanelLayout computeSidePanelLayout(const QRect& client);

// The row the photo list scrolls into view when row r becomes current, with top the first
// visible row and perPage the rows that fit; nothing when r lies in the upper half of the
// visible rows or above (the list only scrolls forward).
[[nodiscard]] std::optional<int> scrollTargetRow(int r, int top, int perPage);

// The file name of a path: the text after its last '/', or the whole text without one.
[[nodiscard]] std::string fileNameOfPath(const std::string& path);

// Size of the preview's reduced copy: trunc(side x 0.33) for each side.
[[nodiscard]] QSize previewCopySize(int photoWidth, int photoHeight);
