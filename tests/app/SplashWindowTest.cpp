#include "app/SplashWindow.h"
#include "app/SplashArtwork.h"

#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class SplashWindowTest : public ::testing::Test {
protected:
    void TearDown() override {
        CSplashWindow::HideSplash();
        CSplashWindow::EnableSplash(false);
    }
};

TEST_F(SplashWindowTest, ShownOnceEnabledAtPictureSizeForFiveSeconds) {
    CSplashWindow::HideSplash();
    EXPECT_FALSE(CSplashWindow::PreTranslateSplashEvent(nullptr));
    CSplashWindow::EnableSplash(false);
    CSplashWindow::ShowSplash(nullptr);
    EXPECT_EQ(CSplashWindow::Instance(), nullptr);
    CSplashWindow::EnableSplash(true);
    CSplashWindow::ShowSplash(nullptr);
    CSplashWindow* splash = CSplashWindow::Instance();
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(splash->size(), QSize(497, 360));
    EXPECT_GT(splash->RemainingLifetimeMs(), 4000);
    EXPECT_LE(splash->RemainingLifetimeMs(), 5000);
}

TEST_F(SplashWindowTest, CentredOverItsOwner) {
    QWidget owner;
    owner.setGeometry(100, 80, 900, 700);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    CSplashWindow::EnableSplash(true);
    CSplashWindow::ShowSplash(&owner);
    CSplashWindow* splash = CSplashWindow::Instance();
    ASSERT_NE(splash, nullptr);
    const QPoint offset = splash->geometry().center() - owner.frameGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 2);
}

TEST_F(SplashWindowTest, VersionDrawnRightAlignedInTheBottomBand) {
    EXPECT_EQ(CSplashWindow::VersionText(), "Version 1.4");
    CSplashWindow::EnableSplash(true);
    CSplashWindow::ShowSplash(nullptr);
    CSplashWindow* splash = CSplashWindow::Instance();
    ASSERT_NE(splash, nullptr);
    const QImage shown = splash->grab().toImage().convertToFormat(QImage::Format_RGB888);
    const QImage picture = MakeSplashPicture();
    ASSERT_EQ(shown.size(), picture.size());

    // Columns that differ from the bare picture: where the text was drawn.
    int leftmost = shown.width();
    int rightmost = -1;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            if (shown.pixel(x, y) == picture.pixel(x, y))
                continue;
            EXPECT_GE(y, 360 - 30) << "text above the band at " << x << "," << y;
            EXPECT_LT(y, 360 - 5) << "text below the band at " << x << "," << y;
            leftmost = std::min(leftmost, x);
            rightmost = std::max(rightmost, x);
        }
    }
    ASSERT_GE(rightmost, 0) << "no version text drawn";
    EXPECT_LT(rightmost, 497 - 15);
    EXPECT_GT(rightmost, 497 - 15 - 6); // right-aligned against the margin
    EXPECT_GT(leftmost, 497 / 2);       // a short line at the right
}

} // namespace
