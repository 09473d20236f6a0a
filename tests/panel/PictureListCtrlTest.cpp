#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPalette>
#include <string>

#include "naming/ResultIndex.h"
#include "panel/PictureListCtrl.h"
#include "ui_support/WidgetPixels.h"

namespace {

void Fill(CPictureListCtrl& list, int rows) {
    for (int i = 0; i < rows; ++i) {
        list.AppendRow("/photos/2024/IMG_" + std::to_string(i) + ".jpg", NO_RESULT_INDEX);
    }
}

QRect RowRect(const CPictureListCtrl& list, int row) {
    const QRect inViewport = list.visualRect(list.model()->index(row, 0));
    return inViewport.translated(list.viewport()->mapTo(&list, QPoint(0, 0)));
}

TEST(PictureListCtrl, PassedRowsTintedCurrentRowBlueOthersPlain) {
    CPictureListCtrl list;
    list.resize(200, 400);
    Fill(list, 10);
    list.SetCurrentRow(4);
    // The list's own selection must not show.
    list.selectAll();
    const QImage image = Render(list);
    const QColor window = list.palette().color(QPalette::Base);

    for (int row = 0; row < 10; ++row) {
        const QRect r = RowRect(list, row);
        ASSERT_TRUE(image.rect().contains(r)) << "row " << row;
        // Right end of the row: past the short file name, so only the fill shows.
        const QColor fill = image.pixelColor(r.right() - 2, r.center().y());
        const QColor expected = row < 4    ? QColor(220, 220, 250)
                                : row == 4 ? QColor(20, 20, 250)
                                           : window;
        EXPECT_EQ(fill, expected) << "row " << row;

        const QRect ink = InkBox(image, r, fill);
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
QRect RowInk(const std::string& path, int width = 300) {
    CPictureListCtrl list;
    list.resize(width, 200);
    list.AppendRow(path, NO_RESULT_INDEX);
    list.SetCurrentRow(5);
    const QImage image = Render(list);
    return InkBox(image, RowRect(list, 0), QColor(220, 220, 250));
}

TEST(PictureListCtrl, DrawsTheFileNameOnlyWithAmpersandsKept) {
    EXPECT_EQ(RowInk("/home/a/b/IMG_1.jpg"), RowInk("IMG_1.jpg"));
    EXPECT_NE(RowInk("/home/a/b/IMG_1.jpg"), RowInk("/home/a/b/IMG_11.jpg"));

    const QFontMetrics metrics(CPictureListCtrl().font());
    const int withAmpersand = RowInk("/x/Tom&Jerry.jpg").width();
    const int without = RowInk("/x/TomJerry.jpg").width();
    EXPECT_GE(withAmpersand - without, metrics.horizontalAdvance(QLatin1Char('&')) - 2);
}

TEST(PictureListCtrl, LongNamesEndWithAnEllipsisBeforeTheRightInset) {
    CPictureListCtrl list;
    list.resize(120, 200);
    list.AppendRow("/x/" + std::string(60, 'W') + ".jpg", NO_RESULT_INDEX);
    list.SetCurrentRow(5);
    const QImage image = Render(list);
    const QRect row = RowRect(list, 0);
    const QRect ink = InkBox(image, row, QColor(220, 220, 250));
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_LE(ink.right(), row.right() - 6 + 1);
}

TEST(PictureListCtrl, OutOfRangeRowsAndFirstSelectedRow) {
    CPictureListCtrl list;
    Fill(list, 6);
    EXPECT_EQ(list.RowText(-1), "");
    EXPECT_EQ(list.RowValue(6), NO_RESULT_INDEX);
    list.SetRowValue(6, 9); // ignored
    EXPECT_EQ(list.RowCount(), 6);
    EXPECT_EQ(list.FirstSelectedRow(), -1);
    list.item(4)->setSelected(true);
    list.item(2)->setSelected(true);
    EXPECT_EQ(list.FirstSelectedRow(), 2);
}

// Which row to scroll to is a panel rule; the list only follows it.
TEST(PictureListCtrl, ScrollsToTheRowThePanelRuleGives) {
    CPictureListCtrl list;
    Fill(list, 100);
    list.resize(200, 10 * list.sizeHintForRow(0) + 2 * list.frameWidth());
    list.show(); // lays out the viewport
    ASSERT_EQ(list.RowsPerPage(), 10);
    list.SetCurrentRow(6); // asks for row 11: it becomes the last visible row
    EXPECT_EQ(list.TopRow(), 2);
    list.SetCurrentRow(0); // nothing to scroll to
    EXPECT_EQ(list.TopRow(), 2);
}

} // namespace
