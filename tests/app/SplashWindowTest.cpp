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
        SplashWindow::hideSplash();
        SplashWindow::enableSplash(false);
    }
};

TEST_F(SplashWindowTest, ShownOnceEnabledAtPictureSizeForFiveSeconds) {
    SplashWindow::hideSplash();
    EXPECT_FALSE(SplashWindow::preTranslateSplashEvent(nullptr));
    SplashWindow::enableSplash(false);
    SplashWindow::showSplash(nullptr);
    EXPECT_EQ(SplashWindow::instance(), nullptr);
    SplashWindow::enableSplash(true);
    SplashWindow::showSplash(nullptr);
    SplashWindow* splash = SplashWindow::instance();
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(splash->size(), QSize(497, 360));
    EXPECT_GT(splash->remainingLifetimeMs(), 4000);
    EXPECT_LE(splash->remainingLifetimeMs(), 5000);
}

TEST_F(SplashWindowTest, CentredOverItsOwner) {
    QWidget owner;
    owner.setGeometry(100, 80, 900, 700);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    SplashWindow::enableSplash(true);
    SplashWindow::showSplash(&owner);
    SplashWindow* splash = SplashWindow::instance();
    ASSERT_NE(splash, nullptr);
    const QPoint offset = splash->geometry().center() - owner.frameGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 2);
}

TEST_F(SplashWindowTest, VersionDrawnRightAlignedInTheBottomBand) {
    EXPECT_EQ(SplashWindow::versionText(), "Version 1.4");
    SplashWindow::enableSplash(true);
    SplashWindow::showSplash(nullptr);
    SplashWindow* splash = SplashWindow::instance();
    ASSERT_NE(splash, nullptr);
    const QImage shown = splash->grab().toImage().convertToFormat(QImage::Format_RGB888);
    const QImage picture = makeSplashPicture();
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
