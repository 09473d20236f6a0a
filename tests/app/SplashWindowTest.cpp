#include "app/SplashWindow.h"
#include "app/SplashArtwork.h"

#include <QTest>
#include <gtest/gtest.h>

TEST(SplashWindowTest, CentredOverItsOwnerForFiveSecondsWithTheVersionBottomRight) {
    QWidget owner;
    owner.setGeometry(100, 80, 900, 700);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    SplashWindow::showSplash(&owner);
    EXPECT_EQ(SplashWindow::instance(), nullptr) << "not enabled";
    SplashWindow::enableSplash(true);
    SplashWindow::showSplash(&owner);
    SplashWindow* splash = SplashWindow::instance();
    ASSERT_NE(splash, nullptr);
    EXPECT_LE((splash->geometry().center() - owner.frameGeometry().center()).manhattanLength(), 2);
    EXPECT_GT(splash->remainingLifetimeMs(), 4000);
    EXPECT_LE(splash->remainingLifetimeMs(), 5000);

    // Where the window differs from the bare picture, the version text was drawn: in the
    // light band at the bottom, right-aligned 15 pixels from the edge.
    EXPECT_EQ(SplashWindow::versionText(), "Version 1.4");
    const QImage shown = splash->grab().toImage().convertToFormat(QImage::Format_RGB888);
    const QImage picture = makeSplashPicture();
    ASSERT_EQ(shown.size(), QSize(497, 360));
    QRect text;
    for (int y = 0; y < 360; ++y) {
        for (int x = 0; x < 497; ++x)
            text |= shown.pixel(x, y) != picture.pixel(x, y) ? QRect(x, y, 1, 1) : QRect();
    }
    EXPECT_GE(text.top(), 360 - 30);
    EXPECT_LT(text.bottom(), 360 - 5);
    EXPECT_LT(text.right(), 497 - 15);
    EXPECT_GT(text.right(), 497 - 15 - 6);
    EXPECT_GT(text.left(), 497 / 2);
    for (int x = text.left(); x < 497; x += 20)
        EXPECT_GT(qGray(picture.pixel(x, 345)), 180) << x;
    SplashWindow::hideSplash();
    SplashWindow::enableSplash(false);
}
