#include "app/ToolbarIcons.h"
#include "view/ViewActions.h"

#include <QImage>
#include <QPixmap>
#include <QSvgRenderer>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

std::vector<Command> toolbarCommands() {
    std::vector<Command> commands;
    for (const LayoutItem& item : ViewActions::toolBarLayout()) {
        if (item)
            commands.push_back(*item);
    }
    return commands;
}

QImage pictureOf(const QIcon& icon, QIcon::Mode mode = QIcon::Normal) {
    return icon.pixmap(QSize(16, 16), mode).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Pixels whose alpha passes test.
template <typename Test> int countPixels(const QImage& image, Test test) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += test(qAlpha(image.pixel(x, y)));
    }
    return count;
}

TEST(ToolbarIconsTest, EveryButtonHasItsOwnPictureOnATransparentGround) {
    const std::vector<Command> commands = toolbarCommands();
    ASSERT_EQ(commands.size(), 20u);
    std::set<std::string> paths;
    std::vector<QImage> pictures;
    std::size_t withTransparentGround = 0;
    for (const Command id : commands) {
        const QString path = toolbarPicturePath(id);
        SCOPED_TRACE(path.toStdString());
        paths.insert(path.toStdString());

        QSvgRenderer renderer(path);
        ASSERT_TRUE(renderer.isValid());
        EXPECT_EQ(renderer.viewBox(), QRect(0, 0, 16, 16));

        const QIcon icon = toolbarIcon(id);
        const QImage picture = pictureOf(icon);
        ASSERT_EQ(picture.size(), QSize(16, 16));
        // Antialiased edges are partly covered; count the pixels covered at least half.
        EXPECT_GT(countPixels(picture, [](int alpha) { return alpha >= 128; }), 30)
            << "(nearly) empty picture";
        if (countPixels(picture, [](int alpha) { return alpha == 0; }) > 0)
            ++withTransparentGround;
        for (const QImage& other : pictures)
            EXPECT_NE(picture, other) << "same picture as an earlier button";
        pictures.push_back(picture);
    }
    EXPECT_EQ(paths.size(), commands.size());
    // Where a picture does not draw, the toolbar or the menu column shows through; only the
    // rule-of-thirds picture (a framed landscape) covers its whole square.
    EXPECT_EQ(withTransparentGround, commands.size() - 1);
}

TEST(ToolbarIconsTest, SharpOnScreensWithTwoDevicePixelsPerDisplayPixel) {
    for (const Command id : toolbarCommands()) {
        const QIcon icon = toolbarIcon(id);
        SCOPED_TRACE(toolbarPicturePath(id).toStdString());
        EXPECT_EQ(icon.availableSizes(), (QList<QSize>{QSize(16, 16), QSize(32, 32)}));
        // Drawn anew at 32 x 32, not the small picture scaled up.
        const QImage small = icon.pixmap(QSize(16, 16)).toImage();
        const QImage large = icon.pixmap(QSize(32, 32)).toImage();
        ASSERT_EQ(large.size(), QSize(32, 32));
        EXPECT_NE(large.convertToFormat(QImage::Format_ARGB32),
                  small.scaled(32, 32).convertToFormat(QImage::Format_ARGB32));
    }
}

TEST(ToolbarIconsTest, DisabledFormIsGrayedAndKeepsTheShape) {
    const QIcon icon = toolbarIcon(Command::DestinationFolder);
    const QImage normal = pictureOf(icon);
    const QImage disabled = pictureOf(icon, QIcon::Disabled);
    ASSERT_EQ(disabled.size(), normal.size());
    EXPECT_NE(disabled, normal);
    int colouredNormal = 0;
    int colouredDisabled = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QRgb a = normal.pixel(x, y);
            const QRgb b = disabled.pixel(x, y);
            EXPECT_EQ(qAlpha(a) == 0, qAlpha(b) == 0) << x << "," << y;
            colouredNormal += qAlpha(a) == 255 && QColor(a).hsvSaturation() > 100;
            colouredDisabled += qAlpha(b) == 255 && QColor(b).hsvSaturation() > 100;
        }
    }
    EXPECT_GT(colouredNormal, 30);
    EXPECT_LT(colouredDisabled, colouredNormal / 4);
}

TEST(ToolbarIconsTest, CommandsWithoutButtonHaveNoPicture) {
    for (const Command id : {Command::Quit, Command::RenamePhotos, Command::Forum}) {
        EXPECT_TRUE(toolbarPicturePath(id).isEmpty());
        EXPECT_TRUE(toolbarIcon(id).isNull());
    }
}

} // namespace
