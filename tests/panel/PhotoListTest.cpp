#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPalette>
#include <string>

#include "naming/ResultIndex.h"
#include "panel/PhotoList.h"
#include "ui_support/WidgetPixels.h"

namespace {

void fill(PhotoList& list, int rows) {
    for (int i = 0; i < rows; ++i) {
        list.appendRow("/photos/2024/IMG_" + std::to_string(i) + ".jpg", kNoResultIndex);
    }
}

QRect rowRect(const PhotoList& list, int row) {
    const QRect inViewport = list.visualRect(list.model()->index(row, 0));
    return inViewport.translated(list.viewport()->mapTo(&list, QPoint(0, 0)));
}

TEST(PictureListCtrl, PassedRowsTintedCurrentRowBlueOthersPlain) {
    PhotoList list;
    list.resize(200, 400);
    fill(list, 10);
    list.setCurrentRow(4);
    // The list's own selection must not show.
    list.selectAll();
    const QImage image = render(list);
    const QColor window = list.palette().color(QPalette::Base);

    for (int row = 0; row < 10; ++row) {
        const QRect r = rowRect(list, row);
        ASSERT_TRUE(image.rect().contains(r)) << "row " << row;
        // Right end of the row: past the short file name, so only the fill shows.
        const QColor fill = image.pixelColor(r.right() - 2, r.center().y());
        const QColor expected = row < 4    ? QColor(220, 220, 250)
                                : row == 4 ? QColor(20, 20, 250)
                                           : window;
        EXPECT_EQ(fill, expected) << "row " << row;

        const QRect ink = inkBox(image, r, fill);
        ASSERT_FALSE(ink.isEmpty()) << "row " << row;
        EXPECT_GE(ink.left(), r.left() + 3) << "row " << row;
        bool white = false;
        bool dark = false;
        for (int x = ink.left(); x <= ink.right(); ++x) {
            for (int y = ink.top(); y <= ink.bottom(); ++y) {
                const QColor c = image.pixelColor(x, y);
                white = white || (c == QColor(255, 255, 255) && c != fill);
                dark = dark || c == QColor(0, 0, 0);
            }
        }
        EXPECT_EQ(white, row == 4) << "row " << row;
        EXPECT_EQ(dark, row != 4) << "row " << row;
    }
}

// Ink of row 0 holding path, on a list made current at row 5 (so row 0 is passed).
QRect rowInk(const std::string& path, int width = 300) {
    PhotoList list;
    list.resize(width, 200);
    list.appendRow(path, kNoResultIndex);
    list.setCurrentRow(5);
    const QImage image = render(list);
    return inkBox(image, rowRect(list, 0), QColor(220, 220, 250));
}

TEST(PictureListCtrl, DrawsTheFileNameOnlyWithAmpersandsKept) {
    EXPECT_EQ(rowInk("/home/a/b/IMG_1.jpg"), rowInk("IMG_1.jpg"));
    EXPECT_NE(rowInk("/home/a/b/IMG_1.jpg"), rowInk("/home/a/b/IMG_11.jpg"));

    const QFontMetrics metrics(PhotoList().font());
    const int withAmpersand = rowInk("/x/Tom&Jerry.jpg").width();
    const int without = rowInk("/x/TomJerry.jpg").width();
    EXPECT_GE(withAmpersand - without, metrics.horizontalAdvance(QLatin1Char('&')) - 2);
}

TEST(PictureListCtrl, LongNamesEndWithAnEllipsisBeforeTheRightInset) {
    PhotoList list;
    list.resize(120, 200);
    list.appendRow("/x/" + std::string(60, 'W') + ".jpg", kNoResultIndex);
    list.setCurrentRow(5);
    const QImage image = render(list);
    const QRect row = rowRect(list, 0);
    const QRect ink = inkBox(image, row, QColor(220, 220, 250));
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_LE(ink.right(), row.right() - 6 + 1);
}

TEST(PictureListCtrl, OutOfRangeRowsAndFirstSelectedRow) {
    PhotoList list;
    fill(list, 6);
    EXPECT_EQ(list.rowText(-1), "");
    EXPECT_EQ(list.rowValue(6), kNoResultIndex);
    list.setRowValue(6, 9); // ignored
    EXPECT_EQ(list.rowCount(), 6);
    EXPECT_EQ(list.firstSelectedRow(), -1);
    list.item(4)->setSelected(true);
    list.item(2)->setSelected(true);
    EXPECT_EQ(list.firstSelectedRow(), 2);
}

// Which row to scroll to is a panel rule; the list only follows it.
TEST(PictureListCtrl, ScrollsToTheRowThePanelRuleGives) {
    PhotoList list;
    fill(list, 100);
    list.resize(200, 10 * list.sizeHintForRow(0) + 2 * list.frameWidth());
    list.show(); // lays out the viewport
    ASSERT_EQ(list.rowsPerPage(), 10);
    list.setCurrentRow(6); // asks for row 11: it becomes the last visible row
    EXPECT_EQ(list.topRow(), 2);
    list.setCurrentRow(0); // nothing to scroll to
    EXPECT_EQ(list.topRow(), 2);
}

} // namespace
