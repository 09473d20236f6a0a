#include <gtest/gtest.h>

#include <QImage>

#include "ui_support/WidgetPixels.h"
#include "widgets/GradientLabel.h"

namespace {

TEST(GradientLabelTest, TwoPixelBandsUnderTextCentredOrFromTheTop) {
    GradientLabel label;
    label.resize(510, 80);
    label.setColors(QColor(0, 0, 100), QColor(255, 255, 255));
    const QImage bands = render(label);
    EXPECT_EQ(bands.pixelColor(1, 15), QColor(0, 0, 100));
    EXPECT_EQ(bands.pixelColor(3, 79), QColor(1, 1, 100));
    EXPECT_EQ(bands.pixelColor(509, 0), QColor(254, 254, 254));

    label.resize(200, 80);
    label.setColors(Qt::black, Qt::black);
    label.setLabelFont(QStringLiteral("Arial"), 16, true, true);
    label.setText("Photos");
    const QRect one = inkBox(render(label), QRect(0, 0, 200, 80), Qt::black);
    label.setText("Photos\nPhotos");
    const QRect two = inkBox(render(label), QRect(0, 0, 200, 80), Qt::black);
    ASSERT_FALSE(one.isEmpty());
    EXPECT_GE(one.left(), 10);
    EXPECT_NEAR(one.center().y(), 40, 4) << "one line: centred";
    EXPECT_GE(two.left(), 10);
    EXPECT_LT(two.top(), 10) << "several lines: from the top";
    EXPECT_GT(two.height(), one.height() + 10);
}

} // namespace
