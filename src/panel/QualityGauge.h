#pragma once

#include "widgets/GradientLabel.h"

// The print-quality gauge: a gradient label (red on the left for poor, green on the right
// for good) with the crop's size in photo pixels written at the bottom and a small white
// pointer at the position of the crop's print quality.
class CQualityGauge : public CGradientLabel {
    Q_OBJECT
public:
    explicit CQualityGauge(QWidget* parent = nullptr);

    // Crop frame size in photo pixels; repaints at once so the gauge follows a dragged frame.
    void SetCropSize(int width, int height);
    // 0 (poor) to 100 (good); shown at the next repaint, so set it before SetCropSize.
    void SetQuality(int value) { quality = value; }
    // Whether the size text carries the width / height ratio; shown at the next repaint.
    void SetShowFactor(bool value) { showFactor = value; }

    [[nodiscard]] int CropWidth() const { return cropWidth; }
    [[nodiscard]] int CropHeight() const { return cropHeight; }
    [[nodiscard]] int Quality() const { return quality; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int cropWidth = 0;
    int cropHeight = 0;
    int quality = 0;
    bool showFactor = true;
};
