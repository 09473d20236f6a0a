// Inputs found by the fuzz program of photo loading, one test per input, named after what
// it does. The bytes are the input as found (minimised).

#include <gtest/gtest.h>

#include <QByteArray>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/Photo.h"
#include "metadata/ExifBlock.h"
#include "support/PhotoFixtures.h"

namespace {

QByteArray Bytes(const std::vector<uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

// SOI and an EXIF segment: Make, Model, Orientation 8 and an EXIF folder whose second entry
// has an unknown type (29807). Exiv2 reported the Orientation rewritten in place while it
// had left the 8 there, so the photo was turned upright and its block still asked viewers
// to turn it again.
const std::vector<uint8_t> kEntryOfUnknownTypeBesideOrientation = {
    0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x86, 0x45, 0x78, 0x69, 0x66, 0x00, 0x00, 0x49, 0x49, 0x2A, 0x00,
    0x08, 0x00, 0x00, 0x00, 0x04, 0x00, 0x0F, 0x01, 0x02, 0x00, 0x08, 0x00, 0x00, 0x00, 0x3E, 0x00,
    0x00, 0x00, 0x10, 0x01, 0x02, 0x00, 0x05, 0x00, 0x00, 0x00, 0x46, 0x00, 0x00, 0x00, 0x12, 0x01,
    0x03, 0x00, 0x01, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x69, 0x87, 0x04, 0x00, 0x01, 0x00,
    0x00, 0x00, 0x4C, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x4C, 0x75, 0x6D, 0x69, 0x63, 0x61,
    0x6D, 0x00, 0x4C, 0x43, 0x2D, 0x31, 0x00, 0x00, 0x02, 0x00, 0x03, 0x90, 0x02, 0x00, 0x14, 0x00,
    0x00, 0x00, 0x6A, 0x00, 0x00, 0x00, 0x50, 0x68, 0x6F, 0x74, 0x6F, 0x00, 0x00, 0x00, 0x01, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x32, 0x31, 0x34, 0x20, 0x02, 0x02, 0x03, 0x03, 0x03, 0x04,
    0xE0, 0x7F, 0x5A, 0xF0, 0x89, 0xF7, 0x7D, 0xE3, 0xFF, 0xD9};

TEST(PhotoLoadFuzzFindings, EntryOfUnknownTypeBesideOrientation) {
    const QByteArray found = Bytes(kEntryOfUnknownTypeBesideOrientation);
    const ExifBlock exif = ExifBlock::FromJpeg(found);
    ASSERT_EQ(exif.Orientation(), 8);
    const std::optional<ExifBlock> upright = exif.Upright();
    ASSERT_TRUE(upright.has_value());
    EXPECT_EQ(upright->Orientation(), 1);
    EXPECT_EQ(upright->AsciiTag(0x010F), "Lumicam"); // the rest of the block stays

    // The same block on a real photo: turned once, then upright for good.
    const QByteArray jpeg =
        fixtures::WithRawExif(fixtures::Jpeg(fixtures::Gradient(16, 12)), exif.TiffBytes());
    const std::optional<Photo> photo = Photo::FromJpeg(jpeg);
    ASSERT_TRUE(photo.has_value());
    EXPECT_EQ(photo->Width(), 12);
    EXPECT_EQ(photo->Height(), 16);
    EXPECT_EQ(photo->Exif().Orientation(), 1);
    const std::optional<ExifBlock> result = photo->Exif().ForResult(12, 16);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->Orientation(), 1);
}

} // namespace
