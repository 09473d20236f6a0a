#include <gtest/gtest.h>

#include "engine/JpegCodec.h"
#include "engine/Photo.h"
#include "support/PhotoFixtures.h"

#include <QPainter>
#include <cmath>

namespace {

using fixtures::colorDistance;

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kBlue(0, 0, 255);
const QColor kYellow(255, 255, 0);

TEST(Photo, LoadTurnsPixelsUprightAndResetsOrientation) {
    // How each EXIF orientation stores a picture upright as red | green over blue | yellow.
    // clang-format off
    const struct { int tag; bool swapsSides; QColor stored[4]; } rows[] = {
        {1, false, {kRed, kGreen, kBlue, kYellow}}, {2, false, {kGreen, kRed, kYellow, kBlue}},
        {3, false, {kYellow, kBlue, kGreen, kRed}}, {4, false, {kBlue, kYellow, kRed, kGreen}},
        {5, true, {kRed, kBlue, kGreen, kYellow}},  {6, true, {kGreen, kYellow, kRed, kBlue}},
        {7, true, {kYellow, kGreen, kBlue, kRed}},  {8, true, {kBlue, kRed, kYellow, kGreen}},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.tag);
        const QSize size = row.swapsSides ? QSize(32, 64) : QSize(64, 32);
        QImage stored(size, QImage::Format_RGB888);
        for (int i = 0; i < 4; ++i) {
            const int w = size.width() / 2, h = size.height() / 2;
            QPainter(&stored).fillRect(i % 2 * w, i / 2 * h, w, h, row.stored[i]);
        }
        const QByteArray jpeg =
            fixtures::withExif(fixtures::jpeg(stored), {.orientation = row.tag, .make = "Lumicam"});
        EXPECT_EQ(Photo::uprightSize(jpeg), QSize(64, 32));
        const std::optional<Photo> photo = Photo::fromJpeg(jpeg);
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
    QByteArray jfifPerCm = *JpegCodec::encode(pixels, 90, {}, 100, 100);
    jfifPerCm[13] = 2; // the same density in dots per centimetre
    const QByteArray jfif150 = *JpegCodec::encode(pixels, 90, {}, 150, 150);
    // APP0 segments put before that JFIF segment: a JFIF segment wins when it is long enough
    // for a density, in an absolute unit.
    const auto before = [&](const char* app0, qsizetype size) {
        return jfif150.left(2) + QByteArray(app0, size) + jfif150.mid(2);
    };
    const std::tuple<const char*, QByteArray, double, double> rows[] = {
        {"EXIF before JFIF", fixtures::withExif(jfif150, {.dpi = 300}), 300, 300},
        {"APP0 that is no JFIF", before("\xFF\xE0\x00\x0EJFXX\0\1\1\1\1\x2C\1\x2C", 16), 150, 150},
        {"JFIF one byte short", before("\xFF\xE0\x00\x0DJFIF\0\1\1\1\1\x2C\1", 15), 150, 150},
        {"JFIF just long enough", before("\xFF\xE0\x00\x0EJFIF\0\1\1\1\1\x2C\1\x2C", 16), 300, 300},
        {"JFIF of no width", before("\xFF\xE0\x00\x0EJFIF\0\1\1\1\0\0\1\x2C", 16), 96, 96},
        {"JFIF of no height", before("\xFF\xE0\x00\x0EJFIF\0\1\1\1\1\x2C\0\0", 16), 96, 96},
        {"JFIF in dots per centimetre", jfifPerCm, 254, 254},
        {"no absolute unit", fixtures::jpeg(pixels), Photo::kDefaultDpi, Photo::kDefaultDpi},
    };
    for (const auto& [name, bytes, dpiX, dpiY] : rows) {
        const std::optional<Photo> photo = Photo::fromJpeg(bytes);
        ASSERT_TRUE(photo) << name;
        EXPECT_DOUBLE_EQ(photo->dpiX(), dpiX) << name;
        EXPECT_DOUBLE_EQ(photo->dpiY(), dpiY) << name;
    }
    EXPECT_FALSE(Photo::fromJpeg("not a photo"));
}

TEST(Photo, EditsReachThePixelsAndKeepExifAndResolution) {
    // RGB32 pixels, converted on the way in. Where each edit moves red, or what it makes of it,
    // is the business of PixelEdits: here only that the edit reached the pixels.
    QImage image(4, 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixelColor(0, 0, kRed);
    const Photo original(image, ExifBlock(QByteArray("II*\0\x08\0\0\0\0\0", 10)), 300, 200);
    ASSERT_EQ(original.image().format(), QImage::Format_RGB888);
    for (const auto edit : {&Photo::rotateRight, &Photo::rotateLeft, &Photo::flipHorizontal,
                            &Photo::flipVertical, &Photo::toGrayscale, &Photo::toSepia}) {
        Photo photo = original;
        (photo.*edit)();
        EXPECT_NE(photo.image(), original.image());
        EXPECT_EQ(photo.exif(), original.exif());
        EXPECT_EQ(photo.dpiX(), 300);
        EXPECT_EQ(photo.dpiY(), 200);
    }
    Photo none;
    none.rotateRight();
    none.toSepia();
    EXPECT_TRUE(none.isNull());
    EXPECT_FALSE(none.encodeJpeg(90));
    EXPECT_FALSE(none.saveJpeg("/nonexistent/none.jpg", 90));
}

TEST(Photo, ResultWithoutExifGetsNoneAndTheDefaultResolution) {
    // What a result keeps of the photo's metadata is tested with the metadata.
    const std::optional<QByteArray> plain = Photo(fixtures::gradient(30, 20)).encodeJpeg(80);
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->contains(QByteArray("Exif\0\0", 6)));
    EXPECT_EQ(plain->mid(13, 5), QByteArray("\x01\x00\x60\x00\x60", 5)) << "96 dpi";
    // A resolution that is no positive number leaves the default, side by side.
    for (const double bad : {0.0, -300.0, std::nan(""), HUGE_VAL}) {
        const Photo photo(fixtures::gradient(30, 20), {}, bad, 300.0);
        EXPECT_EQ(photo.dpiX(), Photo::kDefaultDpi) << bad;
        EXPECT_EQ(photo.dpiY(), 300.0) << bad;
        const Photo other(fixtures::gradient(30, 20), {}, 300.0, bad);
        EXPECT_EQ(other.dpiY(), Photo::kDefaultDpi) << bad;
    }
}

} // namespace
