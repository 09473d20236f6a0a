#include <gtest/gtest.h>

#include "engine/Photo.h"
#include "metadata/ExifBlock.h"
#include "support/PhotoFixtures.h"

namespace {

constexpr std::uint16_t kMake = 0x010F;

fixtures::ExifFields cameraTiff() {
    return {.orientation = 6,
            .dateTimeOriginal = "2006:07:14 10:20:30",
            .make = "Lumicam",
            .model = "LC-1"};
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

TEST(ExifBlock, ReadsTagsByNumberAndType) {
    const ExifBlock block(fixtures::rawTiff(cameraTiff()));
    EXPECT_EQ(block.orientation(), 6);
    EXPECT_EQ(block.asciiTag(ExifBlock::kTagDateTimeOriginal), "2006:07:14 10:20:30");
    EXPECT_EQ(block.asciiTag(0x0110), "LC-1");
    EXPECT_FALSE(block.asciiTag(0x0131)); // absent
    EXPECT_FALSE(block.asciiTag(0x0112)); // present, but a SHORT

    EXPECT_FALSE(ExifBlock().orientation());
}

QByteArray bytes(const std::vector<uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

// Found by the photo loading fuzz program: SOI and an EXIF segment holding Make, Model,
// Orientation 8 and an EXIF folder whose second entry has an unknown type (29807). Exiv2
// reported the Orientation rewritten in place while it had left the 8 there, so the photo was
// turned upright and its block still asked viewers to turn it again.
const QByteArray kEntryOfUnknownTypeBesideOrientation = bytes(
    {0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x86, 0x45, 0x78, 0x69, 0x66, 0x00, 0x00, 0x49, 0x49, 0x2A, 0x00,
     0x08, 0x00, 0x00, 0x00, 0x04, 0x00, 0x0F, 0x01, 0x02, 0x00, 0x08, 0x00, 0x00, 0x00, 0x3E, 0x00,
     0x00, 0x00, 0x10, 0x01, 0x02, 0x00, 0x05, 0x00, 0x00, 0x00, 0x46, 0x00, 0x00, 0x00, 0x12, 0x01,
     0x03, 0x00, 0x01, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x69, 0x87, 0x04, 0x00, 0x01, 0x00,
     0x00, 0x00, 0x4C, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x4C, 0x75, 0x6D, 0x69, 0x63, 0x61,
     0x6D, 0x00, 0x4C, 0x43, 0x2D, 0x31, 0x00, 0x00, 0x02, 0x00, 0x03, 0x90, 0x02, 0x00, 0x14, 0x00,
     0x00, 0x00, 0x6A, 0x00, 0x00, 0x00, 0x50, 0x68, 0x6F, 0x74, 0x6F, 0x00, 0x00, 0x00, 0x01, 0x00,
     0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x32, 0x31, 0x34, 0x20, 0x02, 0x02, 0x03, 0x03, 0x03, 0x04,
     0xE0, 0x7F, 0x5A, 0xF0, 0x89, 0xF7, 0x7D, 0xE3, 0xFF, 0xD9});

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

TEST(ExifBlock, ResultBlockFitsOneSegmentEvenFromAnOversizedOne) {
    const ExifBlock block(fixtures::oversizedTiff(70000));
    ASSERT_EQ(block.asciiTag(kMake), "Lumicam");
    ASSERT_GT(block.tiffBytes().size(), 65535);
    const std::optional<ExifBlock> result = block.forResult(300, 200);
    ASSERT_TRUE(result);
    EXPECT_LE(result->app1Payload().size(), 65533);
    EXPECT_EQ(result->asciiTag(0x9003), "2006:07:14 10:20:30");
    EXPECT_EQ(result->orientation(), 1);
}

TEST(ExifBlock, HostileBlocksNeverThrowNorCrash) {
    for (const fixtures::HostileExif& row : fixtures::hostileExifBlocks()) {
        SCOPED_TRACE(row.name);
        const ExifBlock block(row.tiff);
        const std::optional<int> orientation = block.orientation();
        if (orientation) {
            EXPECT_GE(*orientation, 1);
            EXPECT_LE(*orientation, 8);
        }
        const std::optional<std::string> date = block.asciiTag(0x9003);
        if (date) {
            EXPECT_LE(date->size(), 19u);
        }
        (void)block.upright();
        const std::optional<ExifBlock> result = block.forResult(10, 10);
        if (result) {
            EXPECT_LE(result->app1Payload().size(), 65533);
        }
        // The photo around it still loads, upright as stored.
        const std::optional<Photo> photo = Photo::fromJpeg(
            fixtures::withRawExif(fixtures::jpeg(fixtures::gradient(20, 10)), row.tiff));
        ASSERT_TRUE(photo);
        EXPECT_EQ(photo->image().size(), QSize(20, 10));
        EXPECT_TRUE(photo->encodeJpeg(90));
    }
}

} // namespace
