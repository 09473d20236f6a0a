#include <gtest/gtest.h>

#include "engine/JpegCodec.h"
#include "engine/Photo.h"
#include "support/PhotoFixtures.h"

#include <QPainter>
#include <QTemporaryDir>

namespace {

using fixtures::colorDistance;

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kBlue(0, 0, 255);
const QColor kYellow(255, 255, 0);

TEST(Photo, LoadTurnsPixelsUprightAndResetsOrientation) {
    // How each EXIF orientation stores a picture upright as red | green over blue | yellow.
    const struct {
        int tag;
        bool swapsSides;
        QColor stored[4];
    } rows[] = {
        {1, false, {kRed, kGreen, kBlue, kYellow}}, {2, false, {kGreen, kRed, kYellow, kBlue}},
        {3, false, {kYellow, kBlue, kGreen, kRed}}, {4, false, {kBlue, kYellow, kRed, kGreen}},
        {5, true, {kRed, kBlue, kGreen, kYellow}},  {6, true, {kGreen, kYellow, kRed, kBlue}},
        {7, true, {kYellow, kGreen, kBlue, kRed}},  {8, true, {kBlue, kRed, kYellow, kGreen}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.tag);
        const QSize size = row.swapsSides ? QSize(32, 64) : QSize(64, 32);
        QImage stored(size, QImage::Format_RGB888);
        for (int i = 0; i < 4; ++i) {
            const int w = size.width() / 2, h = size.height() / 2;
            QPainter(&stored).fillRect(i % 2 * w, i / 2 * h, w, h, row.stored[i]);
        }
        fixtures::ExifFields fields;
        fields.orientation = row.tag;
        fields.make = "Lumicam";
        const std::optional<Photo> photo =
            Photo::fromJpeg(fixtures::withExif(fixtures::jpeg(stored), fields));
        ASSERT_TRUE(photo);
        const QImage& image = photo->image();
        ASSERT_EQ(image.size(), QSize(64, 32));
        EXPECT_LE(colorDistance(image.pixelColor(4, 4), kRed), 8);
        EXPECT_LE(colorDistance(image.pixelColor(59, 4), kGreen), 8);
        EXPECT_LE(colorDistance(image.pixelColor(4, 27), kBlue), 8);
        EXPECT_LE(colorDistance(image.pixelColor(59, 27), kYellow), 8);
        EXPECT_EQ(photo->exif().orientation(), 1);
        EXPECT_EQ(photo->exif().asciiTag(0x010F), "Lumicam"); // the rest of the block stays
    }
}

TEST(Photo, LoadTakesTheFileResolution) {
    const QImage pixels = fixtures::gradient(40, 30);
    fixtures::ExifFields exif300;
    exif300.dpi = 300;
    QByteArray jfifPerCm = *JpegCodec::encode(pixels, 90, {}, 100, 100);
    jfifPerCm[13] = 2; // the same density in dots per centimetre
    const QByteArray jfif150 = *JpegCodec::encode(pixels, 90, {}, 150, 150);
    // Before the JFIF segment: an APP0 that is no JFIF though it holds a density where JFIF
    // has one (300 dpi), and a JFIF segment too short to hold a density.
    const QByteArray notJfif("\xFF\xE0\x00\x10JFXX\x00\x13\x01\x01\x01\x2C\x01\x2C\x00\x00", 18);
    const QByteArray shortJfif("\xFF\xE0\x00\x0AJFIF\x00\x01\x01\x01", 12);
    const std::tuple<const char*, QByteArray, double> rows[] = {
        {"EXIF before JFIF", fixtures::withExif(jfif150, exif300), 300},
        {"APP0 that is no JFIF before the JFIF", jfif150.left(2) + notJfif + jfif150.mid(2), 150},
        {"JFIF too short before the JFIF", jfif150.left(2) + shortJfif + jfif150.mid(2), 150},
        {"JFIF in dots per centimetre", jfifPerCm, 254},
        {"no absolute unit", fixtures::jpeg(pixels), Photo::kDefaultDpi},
    };
    for (const auto& [name, bytes, dpi] : rows) {
        const std::optional<Photo> photo = Photo::fromJpeg(bytes);
        ASSERT_TRUE(photo) << name;
        EXPECT_DOUBLE_EQ(photo->dpiX(), dpi) << name;
        EXPECT_DOUBLE_EQ(photo->dpiY(), dpi) << name;
    }
    EXPECT_FALSE(Photo::fromJpeg("not a photo"));
}

TEST(Photo, EditsMoveEveryPixelOnceAndKeepExifAndResolution) {
    // 4 x 2 RGB32 pixels, converted on the way in: rows without padding between them, so a
    // pixel filtered twice or a channel written into its neighbour shows.
    const QColor in[4] = {kRed, kBlue, Qt::white, Qt::black};
    QImage image(4, 2, QImage::Format_RGB32);
    for (int i = 0; i < 8; ++i)
        image.setPixelColor(i % 4, i / 4, in[i % 4]);
    const Photo original(image, ExifBlock(QByteArray("II*\0\x08\0\0\0\0\0", 10)), 300, 200);
    const QColor grey[4] = {QColor(76, 76, 76), QColor(29, 29, 29), Qt::white, Qt::black};
    const QColor sepia[4] = {QColor(114, 76, 51), QColor(67, 29, 4), QColor(255, 255, 230),
                             QColor(38, 0, 0)};
    const struct {
        const char* name;
        void (Photo::*edit)();
        int times;
        const QColor* expected; // row by row; nullptr: the original pixels
        QPoint firstGoesTo;
    } rows[] = {
        {"right turn", &Photo::rotateRight, 1, nullptr, {1, 0}},
        {"left turn", &Photo::rotateLeft, 1, nullptr, {0, 3}},
        {"horizontal flip", &Photo::flipHorizontal, 1, nullptr, {3, 0}},
        {"vertical flip", &Photo::flipVertical, 1, nullptr, {0, 1}},
        {"four right turns", &Photo::rotateRight, 4, nullptr, {0, 0}},
        {"grayscale", &Photo::toGrayscale, 1, grey, {0, 0}},
        {"sepia clamps white's red and black's blue", &Photo::toSepia, 1, sepia, {0, 0}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Photo photo = original;
        for (int i = 0; i < row.times; ++i)
            (photo.*row.edit)();
        ASSERT_EQ(photo.image().format(), QImage::Format_RGB888);
        if (!row.expected) {
            EXPECT_EQ(photo.image().pixelColor(row.firstGoesTo), kRed);
        }
        for (int i = 0; row.expected && i < 8; ++i)
            EXPECT_LE(colorDistance(photo.image().pixelColor(i % 4, i / 4), row.expected[i % 4]), 1)
                << i;
        EXPECT_EQ(photo.exif(), original.exif());
        EXPECT_EQ(photo.dpiX(), 300);
        EXPECT_EQ(photo.dpiY(), 200);
    }
    Photo none;
    none.rotateRight();
    none.toSepia();
    EXPECT_TRUE(none.isNull());
    EXPECT_FALSE(none.encodeJpeg(90));
}

TEST(Photo, ResultKeepsShotDataWithUpdatedSizeAndNoThumbnail) {
    fixtures::ExifFields fields;
    fields.orientation = 6;
    fields.dateTimeOriginal = "2006:07:14 10:20:30";
    fields.make = "Lumicam";
    fields.thumbnail = true;
    fields.dpi = 72;
    fields.gps = true;
    std::optional<Photo> photo =
        Photo::fromJpeg(fixtures::withExif(fixtures::jpeg(fixtures::gradient(120, 80)), fields));
    ASSERT_TRUE(photo);
    ASSERT_EQ(photo->image().size(), QSize(80, 120)); // turned upright
    const Photo crop = photo->withImage(photo->image().copy(10, 20, 50, 70), 72, 72);
    const std::optional<QByteArray> result = crop.encodeJpeg(100);
    ASSERT_TRUE(result);
    const std::map<std::string, std::string> keys = fixtures::readMetadata(*result).keys;
    EXPECT_EQ(keys.at("Exif.Photo.DateTimeOriginal"), "2006:07:14 10:20:30");
    EXPECT_EQ(keys.at("Exif.Image.Make"), "Lumicam");
    EXPECT_EQ(keys.at("Exif.Image.Orientation"), "1");
    EXPECT_EQ(keys.at("Exif.Photo.PixelXDimension"), "50");
    EXPECT_EQ(keys.at("Exif.Photo.PixelYDimension"), "70");
    EXPECT_EQ(keys.at("Exif.GPSInfo.GPSLatitude"), "45/1 30/1 0/1");
    EXPECT_EQ(keys.at("Exif.Photo.ExifVersion"), "48 50 51 50");
    for (const auto& [key, value] : keys)
        EXPECT_NE(key.rfind("Exif.Thumbnail.", 0), 0u) << key;

    const std::optional<QByteArray> plain = Photo(fixtures::gradient(30, 20)).encodeJpeg(80);
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->contains(QByteArray("Exif\0\0", 6))) << "no EXIF in, none out";
    EXPECT_EQ(plain->mid(13, 5), QByteArray("\x01\x00\x60\x00\x60", 5)) << "96 dpi";
}

} // namespace
