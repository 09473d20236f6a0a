#include <gtest/gtest.h>

#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include "panel/PhotoPreview.h"
#include "ui_support/WidgetPixels.h"

namespace {

QImage solid(int width, int height, const QColor& colour) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(colour);
    return image;
}

// The canvas tile repeated from the widget's origin.
QColor tileAt(int x, int y) {
    static const QImage kTile =
        QImage(QStringLiteral(":/res/canvas-tile.png")).convertToFormat(QImage::Format_RGB32);
    return kTile.pixelColor(x % kTile.width(), y % kTile.height());
}

TEST(PreviewWnd, BeforeTheFirstPhotoOnlyTheCanvasShows) {
    PhotoPreview preview;
    preview.resize(200, 150);
    EXPECT_TRUE(preview.previewRect().isEmpty());
    const QImage image = render(preview);
    for (const QPoint p : {QPoint(0, 0), QPoint(100, 75), QPoint(199, 149), QPoint(37, 91)}) {
        EXPECT_EQ(image.pixelColor(p), tileAt(p.x(), p.y())) << p.x() << ", " << p.y();
    }
}

TEST(PreviewWnd, KeepsAPointThreeThreeCopyFittedIntoTheWidget) {
    struct Row {
        const char* name;
        QSize photo;
        QSize copy;
        QRect shown;
    };
    const Row rows[] = {
        {"large landscape photo scaled down", {3000, 2000}, {990, 660}, {5, 11, 190, 128}},
        {"small photo never enlarged", {100, 80}, {33, 26}, {83, 62, 34, 26}},
        {"tall photo", {1000, 3000}, {330, 990}, {76, 5, 48, 140}},
    };
    for (const Row& row : rows) {
        PhotoPreview preview;
        preview.resize(200, 150);
        preview.setPreview(solid(row.photo.width(), row.photo.height(), QColor(200, 30, 40)));
        EXPECT_EQ(preview.preview().size(), row.copy) << row.name;
        EXPECT_EQ(preview.previewRect(), row.shown) << row.name;

        const QImage image = render(preview);
        EXPECT_EQ(image.pixelColor(row.shown.center()), QColor(200, 30, 40)) << row.name;
        const QPoint outside(row.shown.left() - 1, row.shown.top() - 1);
        EXPECT_EQ(image.pixelColor(outside), tileAt(outside.x(), outside.y())) << row.name;
    }
}

TEST(PreviewWnd, ShowsThePhotoAsHandedOverUntilTheNextOne) {
    PhotoPreview preview;
    preview.resize(200, 150);
    QImage photo = solid(300, 200, QColor(0, 0, 255));
    preview.setPreview(photo);
    photo.fill(QColor(0, 255, 0)); // an edit in the display window
    const QPoint centre = preview.previewRect().center();
    EXPECT_EQ(render(preview).pixelColor(centre), QColor(0, 0, 255));

    preview.setPreview(photo);
    EXPECT_EQ(render(preview).pixelColor(centre), QColor(0, 255, 0));
}

TEST(PreviewWnd, LeftClickSignalsClicked) {
    PhotoPreview preview;
    preview.resize(200, 150);
    QSignalSpy spy(&preview, &PhotoPreview::clicked);
    QTest::mouseClick(&preview, Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_EQ(spy.count(), 1);
    QTest::mouseClick(&preview, Qt::RightButton, {}, QPoint(50, 50));
    EXPECT_EQ(spy.count(), 1);
}

} // namespace
