#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <string>
#include <vector>

#include "engine/PhotoDocument.h"
#include "engine/RectTesting.h"
#include "settings/Settings.h"
#include "ui_support/WidgetPixels.h"
#include "view/PhotoView.h"

namespace {

const QRgb kPhoto = qRgb(40, 80, 200);
const QRgb kGreen = qRgb(0x32, 0x64, 0x32); // the frame colour of a good print quality

// The display window alone (1010 x 760) over a document of its own.
class PhotoViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_view.resize(1010, 760);
        m_view.show(); // a shown window reports its size to the document at once
    }
    void load(int width, int height, QRgb colour = kPhoto) {
        const std::string path = m_root + std::to_string(++m_photos) + ".jpg";
        ASSERT_TRUE(writePhoto(path, width, height, colour));
        ASSERT_TRUE(m_doc.load(path, -1));
    }

    QTemporaryDir m_dir;
    std::string m_root = m_dir.path().toStdString() + "/";
    Settings m_settings{m_root + "param.dat"};
    PhotoDocument m_doc{m_settings};
    PhotoView m_view{m_settings, m_doc, nullptr};
    int m_photos = 0;
};

TEST_F(PhotoViewTest, PixelsOfThePhotoAndTheFrameOverIt) {
    const QImage tile = QImage(":/res/canvas-tile.png").convertToFormat(QImage::Format_RGB32);
    const auto isTile = [&tile](const QImage& shown, QPoint p) {
        return shown.pixel(p) == tile.pixel(p.x() % tile.width(), p.y() % tile.height());
    };
    EXPECT_TRUE(isTile(render(m_view), QPoint(505, 380))) << "no photo: the canvas alone";
    load(600, 400);
    const QImage plain = render(m_view);
    const QRect image = m_doc.imageRect();
    EXPECT_TRUE(near(plain.pixel(image.topLeft()), kPhoto)) << "no format: nothing over it";
    EXPECT_TRUE(near(plain.pixel(rightEdge(image) - 1, bottomEdge(image) - 1), kPhoto));
    EXPECT_TRUE(isTile(plain, image.topLeft() - QPoint(1, 1)));
    EXPECT_TRUE(isTile(plain, QPoint(rightEdge(image), bottomEdge(image))));

    // 1800 x 1000 in 15 x 10: the photo shown 1000 x 556 at (5, 102), a turned frame over its
    // full height from x 88 to 921.
    load(1800, 1000);
    m_doc.setFormat(15, 10, "15x10");
    using Probes = std::vector<std::pair<QPoint, QRgb>>;
    const QRgb white = qRgb(255, 255, 255);
    const QRgb red = qRgb(255, 0, 0);
    // clang-format off
    // opacity, frame in the quality colour (else red), outline, thirds, white ring, probes
    const std::tuple<const char*, int, bool, bool, bool, bool, Probes> rows[] = {
        {"opaque tint outside the frame, the photo inside", 100, true, false, false, false,
         {{{8, 379}, kGreen}, {{925, 379}, kGreen}, {{88, 379}, kPhoto}, {{504, 379}, kPhoto}}},
        {"half opacity blends the tint", 50, true, false, false, false,
         {{{8, 379}, qRgb(45, 90, 125)}}}, // 127/255 of the tint over the photo
        {"thirds in the frame colour", 100, true, false, true, false,
         {{{366, 194}, kGreen}, {{406, 194}, kPhoto}, {{504, 379}, kPhoto}}},
        {"white ring inside the frame", 100, true, false, false, true,
         {{{89, 379}, white}, {{504, 656}, white}, {{504, 379}, kPhoto}}},
        {"thin red outline only where the frame leaves the photo's edge", 100, false, true, false, false,
         {{{87, 379}, red}, {{922, 379}, red}, {{8, 379}, qRgb(0x14, 0x14, 0x14)}, {{504, 102}, kPhoto}}},
    };
    // clang-format on
    for (const auto& [name, opacity, qualityColour, outline, thirds, ring, probes] : rows) {
        SCOPED_TRACE(name);
        m_settings.setOpacity(opacity);
        m_settings.setUseRecadColor(qualityColour ? 1 : 0);
        m_settings.setUseSmallRBorder(outline ? 1 : 0);
        m_doc.setThirds(thirds);
        m_doc.setWhiteBorderSize(4);
        m_doc.setWhiteBorder(ring);
        const QImage shown = render(m_view);
        EXPECT_EQ(shown, m_view.renderToImage().convertToFormat(QImage::Format_RGB32));
        for (const auto& [at, colour] : probes)
            EXPECT_TRUE(near(shown.pixel(at), colour)) << at.x() << ", " << at.y();
    }
}

TEST_F(PhotoViewTest, FollowsTheDocumentAndItsOwnSize) {
    m_view.resize(801, 555);
    load(1800, 1000, qRgb(250, 250, 0));
    EXPECT_EQ(m_doc.geometry().clientWidth(), 801);
    EXPECT_EQ(m_doc.geometry().clientHeight(), 555);
    EXPECT_TRUE(near(render(m_view).pixel(m_doc.imageRect().center()), qRgb(250, 250, 0)));
    load(1800, 1000); // another photo in the very same place
    EXPECT_TRUE(near(render(m_view).pixel(m_doc.imageRect().center()), kPhoto));
    m_doc.rotateRight(); // the display copy is built anew, upright
    const QRect image = m_doc.imageRect();
    ASSERT_GT(image.height(), image.width());
    EXPECT_TRUE(near(render(m_view).pixel(image.center().x(), bottomEdge(image) - 2), kPhoto));
}

} // namespace
