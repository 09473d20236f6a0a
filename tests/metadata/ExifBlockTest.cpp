#include <gtest/gtest.h>

#include "engine/Photo.h"
#include "metadata/ExifBlock.h"
#include "support/PhotoFixtures.h"

#include <QTemporaryDir>

namespace {

constexpr std::uint16_t kMake = 0x010F;

fixtures::ExifFields Camera() {
    fixtures::ExifFields fields;
    fields.make = "Lumicam";
    fields.model = "LC-1";
    fields.dateTimeOriginal = "2006:07:14 10:20:30";
    fields.orientation = 6;
    return fields;
}

TEST(ExifBlock, FoundInJpegBytesWhateverComesBefore) {
    const QByteArray plain = fixtures::Jpeg(fixtures::Gradient(16, 16));
    EXPECT_TRUE(ExifBlock::FromJpeg(plain).IsEmpty());
    EXPECT_TRUE(ExifBlock::FromJpeg(QByteArray()).IsEmpty());
    EXPECT_TRUE(ExifBlock::FromJpeg("text, not a photo").IsEmpty());

    const QByteArray tiff = fixtures::RawTiff(Camera());
    // After an XMP APP1 segment and the encoder's JFIF segment.
    const QByteArray xmpPayload = QByteArray("http://ns.adobe.com/xap/1.0/\0<x/>", 33);
    const QByteArray xmp = QByteArray("\xFF\xE1\x00", 3) + char(xmpPayload.size() + 2) + xmpPayload;
    const QByteArray exifSegment = fixtures::WithRawExif(plain.left(2), tiff).mid(2);
    ASSERT_EQ(plain.mid(2, 4), QByteArray("\xFF\xE0\x00\x10", 4));
    const QByteArray jpeg = plain.left(2) + xmp + plain.mid(2, 18) + exifSegment + plain.mid(20);
    const ExifBlock found = ExifBlock::FromJpeg(jpeg);
    EXPECT_EQ(found.TiffBytes(), tiff);
    EXPECT_EQ(found.AsciiTag(kMake), "Lumicam");
    EXPECT_EQ(found.App1Payload(), QByteArray("Exif\0\0", 6) + tiff);
}

TEST(ExifBlock, ReadsTagsByNumberAndType) {
    const ExifBlock block(fixtures::RawTiff(Camera()));
    EXPECT_EQ(block.Orientation(), 6);
    EXPECT_EQ(block.AsciiTag(ExifBlock::kTagDateTimeOriginal), "2006:07:14 10:20:30");
    EXPECT_EQ(block.AsciiTag(0x0110), "LC-1");
    EXPECT_FALSE(block.AsciiTag(0x0131)); // absent
    EXPECT_FALSE(block.AsciiTag(0x0112)); // present, but a SHORT

    fixtures::ExifFields wrongType;
    wrongType.dateTimeOriginalAsShort = 2006;
    EXPECT_FALSE(ExifBlock(fixtures::RawTiff(wrongType)).AsciiTag(0x9003));
    EXPECT_FALSE(ExifBlock().Orientation());
    EXPECT_TRUE(ExifBlock().App1Payload().isEmpty());
}

TEST(ExifBlock, FromFileReadsHeaderOnly) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray jpeg =
        fixtures::WithExif(fixtures::Jpeg(fixtures::Gradient(64, 64), 90), Camera());
    // Cut inside the scan, and cut right after the EXIF segment: no pixels, no tables.
    const qsizetype scan = jpeg.indexOf(QByteArray("\xFF\xDA", 2));
    const qsizetype exif = jpeg.indexOf(QByteArray("\xFF\xE1", 2));
    ASSERT_GT(scan, 0);
    ASSERT_GT(exif, 0);
    const qsizetype exifEnd = exif + 2 + ((uchar(jpeg[exif + 2]) << 8) | uchar(jpeg[exif + 3]));
    for (const qsizetype cut : {scan + 20, exifEnd}) {
        SCOPED_TRACE(cut);
        const std::string headerOnly = dir.filePath("cut.jpg").toStdString();
        ASSERT_TRUE(fixtures::WriteFile(headerOnly, jpeg.left(cut)));
        const std::optional<ExifBlock> block = ExifBlock::FromFile(headerOnly);
        ASSERT_TRUE(block);
        EXPECT_EQ(block->AsciiTag(0x9003), "2006:07:14 10:20:30");
    }

    const std::string plain = dir.filePath("plain.jpg").toStdString();
    ASSERT_TRUE(fixtures::WriteFile(plain, fixtures::Jpeg(fixtures::Gradient(8, 8))));
    const std::optional<ExifBlock> none = ExifBlock::FromFile(plain);
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->IsEmpty());

    const std::string text = dir.filePath("text.jpg").toStdString();
    ASSERT_TRUE(fixtures::WriteFile(text, "not a photo at all"));
    EXPECT_FALSE(ExifBlock::FromFile(text));
    EXPECT_FALSE(ExifBlock::FromFile(dir.filePath("missing.jpg").toStdString()));
}

TEST(ExifBlock, UprightChangesOnlyTheOrientation) {
    const ExifBlock block(fixtures::RawTiff(Camera()));
    const std::optional<ExifBlock> upright = block.Upright();
    ASSERT_TRUE(upright);
    EXPECT_EQ(upright->Orientation(), 1);
    EXPECT_EQ(upright->AsciiTag(0x9003), "2006:07:14 10:20:30");
    EXPECT_EQ(upright->AsciiTag(kMake), "Lumicam");
    EXPECT_EQ(upright->TiffBytes().size(), block.TiffBytes().size()); // patched in place
    EXPECT_EQ(upright->Upright(), upright);
    EXPECT_EQ(ExifBlock().Upright(), ExifBlock());
}

TEST(ExifBlock, ResultBlockFitsOneSegmentEvenFromAnOversizedOne) {
    const ExifBlock block(fixtures::OversizedTiff(70000));
    ASSERT_EQ(block.AsciiTag(kMake), "Lumicam");
    ASSERT_GT(block.TiffBytes().size(), 65535);
    const std::optional<ExifBlock> result = block.ForResult(300, 200);
    ASSERT_TRUE(result);
    EXPECT_LE(result->App1Payload().size(), 65533);
    EXPECT_EQ(result->AsciiTag(0x9003), "2006:07:14 10:20:30");
    EXPECT_EQ(result->Orientation(), 1);
    EXPECT_EQ(ExifBlock().ForResult(300, 200), ExifBlock());
}

TEST(ExifBlock, HostileBlocksNeverThrowNorCrash) {
    for (const fixtures::HostileExif& row : fixtures::HostileExifBlocks()) {
        SCOPED_TRACE(row.name);
        const ExifBlock block(row.tiff);
        const std::optional<int> orientation = block.Orientation();
        if (orientation) {
            EXPECT_GE(*orientation, 1);
            EXPECT_LE(*orientation, 8);
        }
        const std::optional<std::string> date = block.AsciiTag(0x9003);
        if (date) {
            EXPECT_LE(date->size(), 19u);
        }
        (void)block.Upright();
        const std::optional<ExifBlock> result = block.ForResult(10, 10);
        if (result) {
            EXPECT_LE(result->App1Payload().size(), 65533);
        }

        // The photo around it still loads, upright as stored.
        const QImage stored = fixtures::Gradient(20, 10);
        const std::optional<Photo> photo =
            Photo::FromJpeg(fixtures::WithRawExif(fixtures::Jpeg(stored), row.tiff));
        ASSERT_TRUE(photo);
        EXPECT_EQ(photo->Image().size(), stored.size());
        EXPECT_TRUE(photo->EncodeJpeg(90));
    }
}

} // namespace
