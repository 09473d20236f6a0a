#include <gtest/gtest.h>

#include "engine/JpegCodec.h"
#include "engine/Photo.h"
#include "support/PhotoFixtures.h"

#include <QTemporaryDir>

namespace {

using fixtures::colorDistance;

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kBlue(0, 0, 255);
const QColor kYellow(255, 255, 0);

struct Corners {
    QColor topLeft, topRight, bottomLeft, bottomRight;
};

Corners cornersOf(const QImage& image) {
    const int r = image.width() - 5;
    const int b = image.height() - 5;
    return {image.pixelColor(4, 4), image.pixelColor(r, 4), image.pixelColor(4, b),
            image.pixelColor(r, b)};
}

// How each EXIF orientation stores a picture upright as red | green over blue | yellow.
struct OrientationRow {
    int tag;
    const char* meaning;
    bool swapsSides;
    Corners stored;
};

const OrientationRow kOrientationRows[] = {
    {1, "upright", false, {kRed, kGreen, kBlue, kYellow}},
    {2, "mirrored left-right", false, {kGreen, kRed, kYellow, kBlue}},
    {3, "upside down", false, {kYellow, kBlue, kGreen, kRed}},
    {4, "mirrored top-bottom", false, {kBlue, kYellow, kRed, kGreen}},
    {5, "first row is the left side, first column the top", true, {kRed, kBlue, kGreen, kYellow}},
    {6, "turned: first row is the right side", true, {kGreen, kYellow, kRed, kBlue}},
    {7,
     "first row is the right side, first column the bottom",
     true,
     {kYellow, kGreen, kBlue, kRed}},
    {8, "turned: first row is the left side", true, {kBlue, kRed, kYellow, kGreen}},
};

TEST(Photo, LoadTurnsPixelsUprightAndResetsOrientation) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const OrientationRow& row : kOrientationRows) {
        SCOPED_TRACE(row.meaning);
        const QSize storedSize = row.swapsSides ? QSize(32, 64) : QSize(64, 32);
        const QImage stored =
            fixtures::quadrants(storedSize.width(), storedSize.height(), row.stored.topLeft,
                                row.stored.topRight, row.stored.bottomLeft, row.stored.bottomRight);
        fixtures::ExifFields fields;
        fields.orientation = row.tag;
        fields.make = "Lumicam";
        const std::string path = dir.filePath(QString("o%1.jpg").arg(row.tag)).toStdString();
        ASSERT_TRUE(fixtures::writeFile(path, fixtures::withExif(fixtures::jpeg(stored), fields)));

        const std::optional<Photo> photo = Photo::load(path);
        ASSERT_TRUE(photo);
        ASSERT_EQ(photo->image().size(), QSize(64, 32));
        const Corners upright = cornersOf(photo->image());
        EXPECT_LE(colorDistance(upright.topLeft, kRed), 8);
        EXPECT_LE(colorDistance(upright.topRight, kGreen), 8);
        EXPECT_LE(colorDistance(upright.bottomLeft, kBlue), 8);
        EXPECT_LE(colorDistance(upright.bottomRight, kYellow), 8);
        EXPECT_EQ(photo->exif().orientation(), 1);
        EXPECT_EQ(photo->exif().asciiTag(0x010F), "Lumicam"); // the rest of the block stays
    }
}

TEST(Photo, LoadTakesTheFileResolutionAndRefusesNonPhotos) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QImage pixels = fixtures::gradient(40, 30);
    fixtures::ExifFields exif300;
    exif300.dpi = 300;
    QByteArray jfifPerCm = *JpegCodec::encode(pixels, 90, {}, 100, 100);
    jfifPerCm[13] = 2; // the same density in dots per centimetre
    const QByteArray jfif150 = *JpegCodec::encode(pixels, 90, {}, 150, 150);
    // Segments put before the JFIF one: an APP0 that is no JFIF though it holds a density
    // where JFIF has one (300 dpi), and a JFIF segment too short to hold a density.
    const QByteArray notJfif("\xFF\xE0\x00\x10JFXX\x00\x13\x01\x01\x01\x2C\x01\x2C\x00\x00", 18);
    const QByteArray shortJfif("\xFF\xE0\x00\x0AJFIF\x00\x01\x01\x01", 12);
    const struct {
        const char* name;
        QByteArray bytes;
        double dpi;
    } rows[] = {
        {"EXIF before JFIF",
         fixtures::withExif(*JpegCodec::encode(pixels, 90, {}, 150, 150), exif300), 300},
        {"JFIF in dots per inch", jfif150, 150},
        {"APP0 that is no JFIF before the JFIF", jfif150.left(2) + notJfif + jfif150.mid(2), 150},
        {"JFIF too short before the JFIF", jfif150.left(2) + shortJfif + jfif150.mid(2), 150},
        {"JFIF in dots per centimetre", jfifPerCm, 254},
        {"no absolute unit", fixtures::jpeg(pixels), Photo::kDefaultDpi},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = dir.filePath("p.jpg").toStdString();
        ASSERT_TRUE(fixtures::writeFile(path, row.bytes));
        const std::optional<Photo> photo = Photo::load(path);
        ASSERT_TRUE(photo);
        EXPECT_DOUBLE_EQ(photo->dpiX(), row.dpi);
        EXPECT_DOUBLE_EQ(photo->dpiY(), row.dpi);
    }

    const std::string text = dir.filePath("text.jpg").toStdString();
    ASSERT_TRUE(fixtures::writeFile(text, "not a photo"));
    EXPECT_FALSE(Photo::load(text));
    EXPECT_FALSE(Photo::load(dir.filePath("missing.jpg").toStdString()));
}

TEST(Photo, TurnsAndFlipsMovePixelsAndKeepExifAndResolution) {
    // Distinct pixels everywhere (5 x 3), so every move can be traced.
    const Photo original(fixtures::gradient(5, 3), ExifBlock(QByteArray("II*\0\x08\0\0\0\0\0", 10)),
                         300, 200);
    const QColor topLeft = original.image().pixelColor(0, 0);
    struct Row {
        const char* name;
        void (Photo::*edit)();
        int times;
        QPoint topLeftGoesTo; // (-1, -1): back to the original pixels
    };
    const Row rows[] = {
        {"right turn", &Photo::rotateRight, 1, {2, 0}},
        {"left turn", &Photo::rotateLeft, 1, {0, 4}},
        {"horizontal flip", &Photo::flipHorizontal, 1, {4, 0}},
        {"vertical flip", &Photo::flipVertical, 1, {0, 2}},
        {"four right turns", &Photo::rotateRight, 4, {-1, -1}},
        {"four left turns", &Photo::rotateLeft, 4, {-1, -1}},
        {"two horizontal flips", &Photo::flipHorizontal, 2, {-1, -1}},
        {"two vertical flips", &Photo::flipVertical, 2, {-1, -1}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Photo photo = original;
        for (int i = 0; i < row.times; ++i)
            (photo.*row.edit)();
        if (row.topLeftGoesTo.x() < 0)
            EXPECT_EQ(photo.image(), original.image());
        else
            EXPECT_EQ(photo.image().pixelColor(row.topLeftGoesTo), topLeft);
        EXPECT_EQ(photo.image().format(), QImage::Format_RGB888);
        EXPECT_EQ(photo.exif(), original.exif());
        EXPECT_EQ(photo.dpiX(), 300);
        EXPECT_EQ(photo.dpiY(), 200);
    }
}

QColor filtered(QColor in, void (Photo::*filter)(), int times = 1) {
    QImage image(1, 1, QImage::Format_RGB888);
    image.setPixelColor(0, 0, in);
    Photo photo(image);
    for (int i = 0; i < times; ++i)
        (photo.*filter)();
    return photo.image().pixelColor(0, 0);
}

TEST(Photo, GrayscaleAndSepiaTurnEachPixelOnce) {
    // Two rows of four pixels: rows without padding between them, so a pixel filtered twice
    // or a channel written into its neighbour shows.
    const QColor in[4] = {kRed, kBlue, Qt::white, Qt::black};
    const struct {
        const char* name;
        void (Photo::*filter)();
        QColor expected[4];
    } rows[] = {
        {"grayscale",
         &Photo::toGrayscale,
         {QColor(76, 76, 76), QColor(29, 29, 29), Qt::white, Qt::black}},
        {"sepia clamps white's red and black's blue",
         &Photo::toSepia,
         {QColor(114, 76, 51), QColor(67, 29, 4), QColor(255, 255, 230), QColor(38, 0, 0)}},
    };
    for (const auto& row : rows) {
        QImage image(4, 2, QImage::Format_RGB888);
        for (int i = 0; i < 8; ++i)
            image.setPixelColor(i % 4, i / 4, in[i % 4]);
        Photo photo(image);
        (photo.*row.filter)();
        for (int i = 0; i < 8; ++i) {
            const QColor got = photo.image().pixelColor(i % 4, i / 4);
            EXPECT_LE(colorDistance(got, row.expected[i % 4]), 1)
                << row.name << " pixel " << i << " " << got.name().toStdString();
        }
    }
}

TEST(Photo, SepiaTwiceStaysTintedNullPhotoIgnoresEdits) {
    const QColor twice = filtered(QColor(128, 128, 128), &Photo::toSepia, 2);
    EXPECT_GT(twice.red(), twice.green() + 30);
    EXPECT_LT(twice.blue(), twice.green() - 20);
    Photo photo;
    photo.rotateRight();
    photo.toGrayscale();
    EXPECT_TRUE(photo.isNull());
    EXPECT_FALSE(photo.encodeJpeg(90));
}

TEST(Photo, ResultKeepsShotDataWithUpdatedSizeAndNoThumbnail) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    fixtures::ExifFields fields;
    fields.orientation = 6;
    fields.dateTimeOriginal = "2006:07:14 10:20:30";
    fields.make = "Lumicam";
    fields.model = "LC-1";
    fields.thumbnail = true;
    fields.dpi = 72;
    fields.gps = true;
    const std::string source = dir.filePath("IMG_0001.jpg").toStdString();
    ASSERT_TRUE(fixtures::writeFile(
        source, fixtures::withExif(fixtures::jpeg(fixtures::gradient(120, 80)), fields)));
    ASSERT_TRUE(fixtures::readExifKeys(source).count("Exif.Thumbnail.JPEGInterchangeFormat"));

    std::optional<Photo> photo = Photo::load(source);
    ASSERT_TRUE(photo);
    ASSERT_EQ(photo->image().size(), QSize(80, 120)); // turned upright
    Photo crop(photo->image().copy(10, 20, 50, 70));
    Photo::copyProperties(*photo, crop);
    crop.setResolution(photo->dpiX(), photo->dpiY());
    const std::string result = dir.filePath("result.jpg").toStdString();
    ASSERT_TRUE(crop.saveJpeg(result, 100));

    const std::map<std::string, std::string> keys = fixtures::readExifKeys(result);
    EXPECT_EQ(keys.at("Exif.Photo.DateTimeOriginal"), "2006:07:14 10:20:30");
    EXPECT_EQ(keys.at("Exif.Image.Make"), "Lumicam");
    EXPECT_EQ(keys.at("Exif.Image.Model"), "LC-1");
    EXPECT_EQ(keys.at("Exif.Image.Orientation"), "1");
    EXPECT_EQ(keys.at("Exif.Photo.PixelXDimension"), "50");
    EXPECT_EQ(keys.at("Exif.Photo.PixelYDimension"), "70");
    EXPECT_EQ(keys.at("Exif.Image.XResolution"), "72/1");
    EXPECT_EQ(keys.at("Exif.GPSInfo.GPSLatitude"), "45/1 30/1 0/1");
    // The folder the result's pixel size lives in gets the tags a JPEG's EXIF folder needs.
    EXPECT_EQ(keys.at("Exif.Photo.ExifVersion"), "48 50 51 50");
    for (const auto& [key, value] : keys)
        EXPECT_NE(key.rfind("Exif.Thumbnail.", 0), 0u) << key;

    const JpegDecodeResult decoded = JpegCodec::decodeFile(result);
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(decoded.image.size(), QSize(50, 70));
    EXPECT_LE(colorDistance(decoded.image.pixelColor(0, 0), crop.image().pixelColor(0, 0)), 3);
}

TEST(Photo, PhotoWithoutExifGivesResultWithoutExif) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string result = dir.filePath("result.jpg").toStdString();
    ASSERT_TRUE(Photo(fixtures::gradient(30, 20)).saveJpeg(result, 80));
    const std::optional<QByteArray> bytes = JpegCodec::readFile(result);
    ASSERT_TRUE(bytes);
    EXPECT_FALSE(bytes->contains(QByteArray("Exif\0\0", 6)));
    EXPECT_TRUE(fixtures::readExifKeys(result).empty());
    EXPECT_EQ(uchar(bytes->at(13)), 1); // JFIF density in dots per inch
    EXPECT_EQ(uchar(bytes->at(15)), 96);
}

} // namespace
