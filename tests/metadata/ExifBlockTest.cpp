#include <gtest/gtest.h>

#include "engine/Photo.h"
#include "metadata/ExifBlock.h"
#include "support/PhotoFixtures.h"

namespace {

constexpr std::uint16_t kMake = 0x010F;

fixtures::ExifFields cameraTiff() {
    return {.orientation = 6, .dateTimeOriginal = "2006:07:14 10:20:30", .make = "Lumicam"};
}

TEST(ExifBlock, FoundInJpegBytesWhateverComesBefore) {
    const QByteArray plain = fixtures::jpeg(fixtures::gradient(16, 16));
    EXPECT_TRUE(ExifBlock::fromJpeg(plain).isEmpty());

    const QByteArray tiff = fixtures::rawTiff(cameraTiff());
    // After an XMP APP1 segment, the encoder's JFIF segment and an empty segment.
    const QByteArray xmpPayload = QByteArray("http://ns.adobe.com/xap/1.0/\0<x/>", 33);
    const QByteArray xmp = QByteArray("\xFF\xE1\x00", 3) + char(xmpPayload.size() + 2) + xmpPayload;
    const QByteArray exifSegment = fixtures::withRawExif(plain.left(2), tiff).mid(2);
    ASSERT_EQ(plain.mid(2, 4), QByteArray("\xFF\xE0\x00\x10", 4));
    const QByteArray empty("\xFF\xE3\x00\x02", 4); // a segment of no payload bytes
    const QByteArray jpeg =
        plain.left(2) + xmp + plain.mid(2, 18) + empty + exifSegment + plain.mid(20);
    const ExifBlock found = ExifBlock::fromJpeg(jpeg);
    EXPECT_EQ(found.tiffBytes(), tiff);
    EXPECT_EQ(found.asciiTag(kMake), "Lumicam");
    EXPECT_EQ(found.app1Payload(), QByteArray("Exif\0\0", 6) + tiff);
}

// Found by the photo loading fuzz program: SOI and an EXIF segment holding Make, Model,
// Orientation 8 and an EXIF folder whose second entry has an unknown type (29807). Exiv2
// reported the Orientation rewritten in place while it had left the 8 there, so the photo was
// turned upright and its block still asked viewers to turn it again.
const QByteArray kEntryOfUnknownTypeBesideOrientation = QByteArray::fromHex(
    "FFD8FFE1008645786966000049492A000800000004000F010200080000003E00000010010200050000004600"
    "000012010300010000000800000069870400010000004C000000000000004C756D6963616D004C432D310000"
    "020003900200140000006A00000050686F746F000000010000000000000032313420020203030304E07F5AF0"
    "89F77DE3FFD9");

TEST(ExifBlock, ResolutionInDotsPerInch) {
    const QByteArray inches = fixtures::rawTiff({.dpi = 100});
    // Entries as stored: the unit (0x0128, one SHORT), the Y resolution's tag, and the X
    // resolution's value (100/1), the first of the two.
    const auto patched = [&](const char* from, const char* to, qsizetype bytes) {
        QByteArray tiff = inches;
        const qsizetype at = tiff.indexOf(QByteArray(from, bytes));
        return at < 0 ? QByteArray() : tiff.replace(at, bytes, QByteArray(to, bytes));
    };
    const char* unit = "\x28\x01\x03\x00\x01\x00\x00\x00\x02";
    using Dpi = std::optional<std::pair<double, double>>;
    // clang-format off
    const struct { const char* name; QByteArray tiff; Dpi expected; } rows[] = {
        {"inches", inches, Dpi({100.0, 100.0})},
        {"centimetres", patched(unit, "\x28\x01\x03\x00\x01\x00\x00\x00\x03", 9), Dpi({254.0, 254.0})},
        {"no absolute unit: an aspect ratio only", patched(unit, "\x28\x01\x03\x00\x01\x00\x00\x00\x01", 9), Dpi()},
        {"no Y resolution", patched("\x1B\x01\x05\x00", "\x1F\x01\x05\x00", 4), Dpi()},
        {"X resolution of 0", patched("\x64\x00\x00\x00\x01", "\x00\x00\x00\x00\x01", 5), Dpi()},
    };
    // clang-format on
    for (const auto& row : rows) {
        ASSERT_FALSE(row.tiff.isEmpty()) << row.name;
        EXPECT_EQ(ExifBlock(row.tiff).resolution(), row.expected) << row.name;
    }
}

TEST(ExifBlock, UprightAndResultBlocksSayOrientationOneAndKeepTheRest) {
    // The Orientation entry (0x0112) of value 1: one SHORT, one LONG, two SHORTs.
    const QByteArray shortOne("\x12\x01\x03\x00\x01\x00\x00\x00\x01\x00", 10);
    const QByteArray longOne("\x12\x01\x04\x00\x01\x00\x00\x00\x01\x00", 10);
    const QByteArray twoShorts("\x12\x01\x03\x00\x02\x00\x00\x00\x01\x00", 10);
    fixtures::ExifFields one = cameraTiff();
    one.orientation = 1;
    // clang-format off
    const struct { const char* name; ExifBlock block; int orientation; } rows[] = {
        {"camera block", ExifBlock(fixtures::rawTiff(cameraTiff())), 6},
        {"entry of unknown type beside the orientation", ExifBlock::fromJpeg(kEntryOfUnknownTypeBesideOrientation), 8},
        {"orientation 1 stored as a LONG", ExifBlock(fixtures::rawTiff(one).replace(shortOne, longOne)), 1},
        {"orientation 1 given twice", ExifBlock(fixtures::rawTiff(one).replace(shortOne, twoShorts)), 1},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_EQ(row.block.orientation(), row.orientation);
        const std::optional<ExifBlock> upright = row.block.upright();
        ASSERT_TRUE(upright);
        EXPECT_TRUE(upright->tiffBytes().contains(shortOne));
        EXPECT_EQ(upright->asciiTag(kMake), "Lumicam");
        EXPECT_EQ(upright->upright(), upright);
        const std::optional<ExifBlock> result = row.block.forResult(12, 16);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->orientation(), 1);
    }
    const ExifBlock camera(fixtures::rawTiff(cameraTiff()));
    EXPECT_EQ(camera.upright()->tiffBytes().size(), camera.tiffBytes().size()); // patched in place
}

TEST(ExifBlock, HostileBlocksNeverThrowNorCrash) {
    for (const fixtures::HostileExif& row : fixtures::hostileExifBlocks()) {
        SCOPED_TRACE(row.name);
        const ExifBlock block(row.tiff);
        const int orientation = block.orientation().value_or(1);
        EXPECT_TRUE(orientation >= 1 && orientation <= 8) << orientation;
        EXPECT_LE(block.asciiTag(0x9003).value_or("").size(), 19u);
        (void)block.upright();
        const std::optional<ExifBlock> result = block.forResult(10, 10);
        EXPECT_LE(result ? result->app1Payload().size() : 0, 65533);
        // The photo around it still loads, upright as stored.
        const std::optional<Photo> photo = Photo::fromJpeg(
            fixtures::withRawExif(fixtures::jpeg(fixtures::gradient(20, 10)), row.tiff));
        ASSERT_TRUE(photo);
        EXPECT_EQ(photo->image().size(), QSize(20, 10));
        EXPECT_TRUE(photo->encodeJpeg(90));
    }
}

} // namespace
