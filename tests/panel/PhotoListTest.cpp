#include <gtest/gtest.h>

#include <QImage>
#include <QPalette>
#include <string>

#include "naming/ResultIndex.h"
#include "panel/PhotoList.h"
#include "ui_support/WidgetPixels.h"

namespace {

QRect rowRect(const PhotoList& list, int row) {
    return list.visualRect(list.model()->index(row, 0))
        .translated(list.viewport()->mapTo(&list, QPoint(0, 0)));
}

TEST(PhotoListTest, PassedRowsTintedCurrentRowBlueOthersPlain) {
    PhotoList list;
    list.resize(200, 400);
    for (int i = 0; i < 6; ++i)
        list.appendRow("/photos/2024/IMG_" + std::to_string(i) + ".jpg", kNoResultIndex);
    list.setCurrentRow(3);
    list.selectAll(); // the list's own selection must not show
    const QImage image = render(list);
    for (int row = 0; row < 6; ++row) {
        SCOPED_TRACE(row);
        const QRect r = rowRect(list, row);
        // Right end of the row: past the short file name, only the fill shows.
        const QColor fill = image.pixelColor(r.right() - 2, r.center().y());
        EXPECT_EQ(fill, row < 3    ? QColor(220, 220, 250)
                        : row == 3 ? QColor(20, 20, 250)
                                   : list.palette().color(QPalette::Base));
        const QRect ink = inkBox(image, r, fill);
        EXPECT_GE(ink.left(), r.left() + 3);
        const auto has = [&](QColor colour) {
            for (int y = ink.top(); y <= ink.bottom(); ++y) {
                for (int x = ink.left(); x <= ink.right(); ++x) {
                    if (colour != fill && image.pixelColor(x, y) == colour)
                        return true;
                }
            }
            return false;
        };
        EXPECT_EQ(has(Qt::white), row == 3) << "white text on the current row";
        EXPECT_EQ(has(Qt::black), row != 3) << "black text elsewhere";
    }
}

// Ink of the one row holding path, passed (current row further down).
QRect rowInk(const std::string& path, int width = 300) {
    PhotoList list;
    list.resize(width, 200);
    list.appendRow(path, kNoResultIndex);
    list.setCurrentRow(5);
    return inkBox(render(list), rowRect(list, 0), QColor(220, 220, 250));
}

TEST(PhotoListTest, DrawsTheFileNameOnlyWithAmpersandsAndAnEllipsis) {
    EXPECT_EQ(rowInk("/home/a/b/IMG_1.jpg"), rowInk("IMG_1.jpg"));
    EXPECT_NE(rowInk("/home/a/b/IMG_1.jpg"), rowInk("/home/a/b/IMG_11.jpg"));
    EXPECT_GT(rowInk("/x/Tom&Jerry.jpg").width(), rowInk("/x/TomJerry.jpg").width() + 3);
    const QRect longName = rowInk("/x/" + std::string(60, 'W') + ".jpg", 120);
    EXPECT_LE(longName.right(), 120 - 6);
}

TEST(PhotoListTest, ScrollsToTheRowThePanelRuleGives) {
    PhotoList list;
    for (int i = 0; i < 100; ++i)
        list.appendRow("IMG_" + std::to_string(i) + ".jpg", kNoResultIndex);
    list.resize(200, 10 * list.sizeHintForRow(0) + 2 * list.frameWidth());
    list.show();
    ASSERT_EQ(list.rowsPerPage(), 10);
    list.setCurrentRow(6); // asks for row 11: it becomes the last visible row
    EXPECT_EQ(list.topRow(), 2);
    list.setCurrentRow(0);
    EXPECT_EQ(list.topRow(), 2);
}

} // namespace
