#include <gtest/gtest.h>

#include <QImage>
#include <QPalette>
#include <set>
#include <string>

#include "naming/ResultIndex.h"
#include "panel/PhotoList.h"
#include "ui_support/WidgetPixels.h"

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
        const QRect r =
            list.visualRect(list.model()->index(row, 0)).translated(list.viewport()->pos());
        // Right end of the row: past the short file name, only the fill shows.
        EXPECT_EQ(image.pixelColor(r.right() - 2, r.center().y()),
                  row < 3    ? QColor(220, 220, 250)
                  : row == 3 ? QColor(20, 20, 250)
                             : list.palette().color(QPalette::Base));
        std::set<QRgb> colours;
        for (int y = r.top(); y <= r.bottom(); ++y) {
            for (int x = r.left(); x <= r.right(); ++x)
                colours.insert(image.pixel(x, y));
        }
        EXPECT_EQ(colours.count(qRgb(0, 0, 0)), row == 3 ? 0u : 1u) << "black text";
        if (row == 3) {
            EXPECT_EQ(colours.count(qRgb(255, 255, 255)), 1u) << "white text";
        }
    }
}
