#include <gtest/gtest.h>

#include <QImage>

#include "panel/PhotoPreview.h"
#include "ui_support/WidgetPixels.h"

namespace {

TEST(PhotoPreviewTest, ShowsTheCopyHandedOverCentredOnTheCanvas) {
    const QImage tile = QImage(":/res/canvas-tile.png").convertToFormat(QImage::Format_RGB32);
    const auto tileAt = [&tile](QPoint p) {
        return tile.pixelColor(p.x() % tile.width(), p.y() % tile.height());
    };
    PhotoPreview preview;
    preview.resize(200, 150);
    EXPECT_EQ(render(preview).pixelColor(100, 75), tileAt(QPoint(100, 75))) << "no photo yet";

    QImage photo(3000, 2000, QImage::Format_RGB888);
    photo.fill(QColor(0, 0, 255));
    preview.setPreview(photo);
    photo.fill(QColor(0, 255, 0)); // an edit in the display window does not show
    EXPECT_EQ(preview.previewRect(), QRect(5, 11, 190, 128));
    const QImage shown = render(preview);
    EXPECT_EQ(shown.pixelColor(100, 75), QColor(0, 0, 255));
    EXPECT_EQ(shown.pixelColor(5, 10), tileAt(QPoint(5, 10)));
    EXPECT_EQ(shown.pixelColor(4, 11), tileAt(QPoint(4, 11)));
}

} // namespace
