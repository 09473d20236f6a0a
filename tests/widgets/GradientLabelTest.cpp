#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <utility>

#include "ui_support/WidgetPixels.h"
#include "widgets/GradientLabel.h"

namespace {

TEST(GradientLabel, PaintsTwoPixelBandsFromStartColourToOneStepShortOfEnd) {
    GradientLabel label;
    label.resize(510, 30);
    label.setColors(QColor(0, 0, 100), QColor(255, 255, 255));
    const QImage image = render(label);

    const std::pair<QPoint, QColor> samples[] = {
        {{0, 15}, {0, 0, 100}},      {{1, 15}, {0, 0, 100}},       {{2, 15}, {1, 1, 100}},
        {{3, 29}, {1, 1, 100}},      {{508, 15}, {254, 254, 254}}, {{509, 0}, {254, 254, 254}},
        {{255, 0}, {127, 127, 177}},
    };
    for (const auto& [at, colour] : samples) {
        EXPECT_EQ(pixelAt(image, at.x(), at.y()), colour) << at.x() << ", " << at.y();
    }
}

// Ink of a label's text drawn over a single-colour background.
QRect textInk(const QString& text, int width, int height) {
    GradientLabel label;
    label.resize(width, height);
    label.setColors(QColor(0, 0, 0), QColor(0, 0, 0));
    label.setLabelFont(QStringLiteral("Arial"), 16, true, true);
    label.setText(text);
    const QImage image = render(label);
    return inkBox(image, image.rect(), QColor(0, 0, 0));
}

TEST(GradientLabel, OneLineIsCentredVerticallyAndSeveralLinesStartAtTheTop) {
    const QRect one = textInk(QStringLiteral("Photos"), 200, 80);
    ASSERT_FALSE(one.isEmpty());
    EXPECT_GE(one.left(), 10);
    EXPECT_NEAR(one.center().y(), 40, 4);

    const QRect two = textInk(QStringLiteral("Photos\nPhotos"), 200, 80);
    ASSERT_FALSE(two.isEmpty());
    EXPECT_GE(two.left(), 10);
    EXPECT_LT(two.top(), 10);
    EXPECT_GT(two.height(), one.height() + 10);
}

} // namespace
