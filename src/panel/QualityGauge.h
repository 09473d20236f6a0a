#pragma once

#include "widgets/GradientLabel.h"

// The print-quality gauge: a gradient label (red on the left for poor, green on the right
// for good) with the crop's size in photo pixels written at the bottom and a small white
// pointer at the position of the crop's print quality.
class QualityGauge : public GradientLabel {
    Q_OBJECT
public:
    explicit QualityGauge(QWidget* parent = nullptr);

    // Crop frame size in photo pixels; repaints at once so the gauge follows a dragged frame.
    void setCropSize(int width, int height);
    // 0 (poor) to 100 (good); shown at the next repaint, so set it before SetCropSize.
    void setQuality(int value) { m_quality = value; }
    // Whether the size text carries the width / height ratio; shown at the next repaint.
    void setShowFactor(bool value) { m_showFactor = value; }

    [[nodiscard]] int cropWidth() const { return m_cropWidth; }
    [[nodiscard]] int cropHeight() const { return m_cropHeight; }
    [[nodiscard]] int quality() const { return m_quality; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_cropWidth = 0;
    int m_cropHeight = 0;
    int m_quality = 0;
    bool m_showFactor = true;
};
