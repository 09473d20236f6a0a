#include "app/ToolbarIcons.h"
#include "view/ViewActions.h"

#include <QSvgRenderer>
#include <gtest/gtest.h>
#include <set>

TEST(ToolbarIconsTest, EveryButtonHasItsOwnSharpPictureAndAGreyDisabledForm) {
    std::set<std::string> paths;
    std::vector<QImage> pictures;
    int coveringAll = 0;
    for (const LayoutItem& item : ViewActions::toolBarLayout()) {
        if (!item)
            continue;
        const QString path = toolbarPicturePath(*item);
        SCOPED_TRACE(path.toStdString());
        paths.insert(path.toStdString());
        EXPECT_EQ(QSvgRenderer(path).viewBox(), QRect(0, 0, 16, 16));
        const QIcon icon = toolbarIcon(*item);
        const QImage picture = icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage grey = icon.pixmap(QSize(16, 16), QIcon::Disabled).toImage();
        int covered = 0, clear = 0, coloured = 0, greyColoured = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const QColor c = picture.pixelColor(x, y);
                covered += c.alpha() >= 128;
                clear += c.alpha() == 0;
                coloured += c.alpha() == 255 && c.hsvSaturation() > 100;
                greyColoured += grey.pixelColor(x, y).hsvSaturation() > 100;
                EXPECT_EQ(grey.pixelColor(x, y).alpha() == 0, c.alpha() == 0) << "same shape";
            }
        }
        EXPECT_GT(covered, 30) << "(nearly) empty picture";
        EXPECT_LE(greyColoured, coloured / 4);
        coveringAll += clear == 0;
        for (const QImage& other : pictures)
            EXPECT_NE(picture, other) << "same picture as an earlier button";
        pictures.push_back(picture);
        // On two device pixels a pixel: drawn anew at 32 x 32, not scaled up.
        EXPECT_EQ(icon.availableSizes(), (QList<QSize>{QSize(16, 16), QSize(32, 32)}));
        EXPECT_NE(icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32),
                  picture.scaled(32, 32));
    }
    EXPECT_EQ(paths.size(), 20u);
    EXPECT_EQ(coveringAll, 1) << "only the rule-of-thirds picture covers its whole square";
    for (const Command id : {Command::Quit, Command::RenamePhotos, Command::Forum})
        EXPECT_TRUE(toolbarIcon(id).isNull()) << "no button, no picture";
}
