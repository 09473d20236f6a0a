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
        EXPECT_TRUE(hasColour(image, ink, row == 3 ? Qt::white : Qt::black)) << "text colour";
        EXPECT_EQ(hasColour(image, ink, Qt::black), row != 3);
    }
}

} // namespace
