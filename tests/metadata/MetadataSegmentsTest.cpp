#include <gtest/gtest.h>

#include "engine/JpegCodec.h"
#include "engine/Photo.h"
#include "metadata/JpegHeader.h"
#include "metadata/MetadataSegments.h"
#include "support/PhotoFixtures.h"

#include <algorithm>
#include <string>
#include <vector>

// What travels from a photo's file to a result cut from it, and what never does.
namespace {

constexpr char kDate[] = "2006:07:14 10:20:30";
constexpr char kCaption[] = "Au bord du lac, été 2006";

QByteArray xmp(const QByteArray& extra) {
    return QByteArray::fromStdString(
        "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>"
        "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF "
        "xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
        "<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
        "xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\" "
        "xmlns:xmpGImg=\"http://ns.adobe.com/xap/1.0/g/img/\" "
        "xmlns:exif=\"http://ns.adobe.com/exif/1.0/\" "
        "xmlns:tiff=\"http://ns.adobe.com/tiff/1.0/\" xmp:Rating=\"4\" "
        "exif:PixelXDimension=\"6000\" tiff:Orientation=\"6\">"
        "<dc:description><rdf:Alt><rdf:li xml:lang=\"x-default\">" +
        std::string(kCaption) + "</rdf:li></rdf:Alt></dc:description>" + extra.toStdString() +
        "</rdf:Description></rdf:RDF></x:xmpmeta><?xpacket end=\"w\"?>");
}

QByteArray xmpSegment(const QByteArray& packet) {
    return JpegHeader::segment(0xE1, QByteArray("http://ns.adobe.com/xap/1.0/", 29) + packet);
}

QByteArray photoshopSegment(const QByteArray& resources) {
    return JpegHeader::segment(0xED, QByteArray("Photoshop 3.0", 14) + resources);
}

// The profile in APP2 chunks of at most chunk bytes numbered from 1, stored in the order
// given and announcing the highest number as their count.
QByteArray iccSegments(const QByteArray& profile, qsizetype chunk, const std::vector<int>& order) {
    const int count = *std::max_element(order.begin(), order.end());
    QByteArray out;
    for (const int number : order)
        out +=
            JpegHeader::segment(0xE2, QByteArray("ICC_PROFILE", 12) + char(number) + char(count) +
                                          profile.mid((number - 1) * chunk, chunk));
    return out;
}

QByteArray camera(fixtures::ExifFields fields) {
    fields.make = "Lumicam";
    fields.dateTimeOriginal = kDate;
    return fixtures::withExif(fixtures::jpeg(fixtures::gradient(120, 80)), fields);
}

// A 40 x 30 crop of the photo in source, as saved at 300 dots per inch.
QByteArray cropOf(const QByteArray& source) {
    const std::optional<Photo> photo = Photo::fromJpeg(source);
    if (!photo)
        return {};
    const Photo crop = photo->withImage(photo->image().copy(10, 10, 40, 30), 300, 300);
    return crop.encodeJpeg(95).value_or(QByteArray());
}

TEST(MetadataSegments, NothingOfTheUncroppedPhotoLeavesWithTheResult) {
    // A small JPEG whose comment names it: any copy of it in a result is found by that name.
    const QByteArray preview = fixtures::withSegments(
        fixtures::jpeg(fixtures::gradient(16, 12), 80), JpegHeader::segment(0xFE, "UNCROPPED"));
    const QByteArray plain = fixtures::jpeg(fixtures::gradient(120, 80));
    const QByteArray mpf = JpegHeader::segment(0xE2, QByteArray("MPF\0MM\0*\0\0\0\x08", 12));
    const QByteArray xmpThumbnail = "<xmp:Thumbnails><rdf:Alt><rdf:li rdf:parseType=\"Resource\">"
                                    "<xmpGImg:format>JPEG</xmpGImg:format><xmpGImg:image>" +
                                    preview.toBase64() +
                                    "</xmpGImg:image></rdf:li></rdf:Alt></xmp:Thumbnails>";
    // clang-format off
    const struct { const char* name; QByteArray source; } rows[] = {
        {"IFD1 thumbnail", camera({.thumbnailJpeg = preview})},
        {"maker note holding a preview", camera({.makerNote = "LUMI\x01\x00" + preview})},
        {"MPF index and second image after the end", fixtures::withSegments(camera({}), mpf) + preview},
        {"XMP thumbnail", fixtures::withSegments(camera({}), xmpSegment(xmp(xmpThumbnail)))},
        {"Photoshop thumbnail resource", fixtures::withSegments(plain, photoshopSegment(fixtures::photoshopResources(kCaption, {}, {}, preview)))},
        {"another application segment", fixtures::withSegments(plain, JpegHeader::segment(0xE3, preview))},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(row.source.contains("UNCROPPED") ||
                    row.source.contains(preview.toBase64().left(64)));
        const QByteArray result = cropOf(row.source);
        ASSERT_FALSE(result.isEmpty());
        EXPECT_FALSE(result.contains("UNCROPPED"));
        EXPECT_FALSE(result.contains(preview.toBase64().left(64)));
        EXPECT_EQ(result.count(QByteArray("\xFF\xD8", 2)), 1) << "a second image";
        EXPECT_FALSE(JpegCodec::decode(result).dataWarning);
        const fixtures::ReadBack back = fixtures::readMetadata(result);
        for (const auto& [key, value] : back.keys)
            EXPECT_EQ(key.rfind("Exif.Thumbnail.", 0), std::string::npos) << key;
        if (ExifBlock::fromJpeg(row.source).asciiTag(0x9003)) {
            EXPECT_EQ(back.keys.at("Exif.Photo.DateTimeOriginal"), kDate);
        }
        if (row.source.contains("Photoshop 3.0")) {
            EXPECT_EQ(back.keys.at("Iptc.Application2.Caption"), kCaption);
        }
    }
}

TEST(MetadataSegments, WhatAPrintNeedsTravelsWithTheResult) {
    // A 70,000-byte profile: two chunks in the source and in the result.
    const QByteArray profile = fixtures::iccProfile(70000, "RGB ");
    const QByteArray source = fixtures::withSegments(
        fixtures::withRawExif(fixtures::jpeg(fixtures::gradient(120, 80)),
                              fixtures::tiffWithTypeZeroEntry()),
        iccSegments(profile, 60000, {1, 2}) + xmpSegment(xmp("")) +
            photoshopSegment(fixtures::photoshopResources(kCaption, {"lac", "été"}, {}, {})));
    const QByteArray result = cropOf(source);
    ASSERT_FALSE(result.isEmpty());
    const fixtures::ReadBack back = fixtures::readMetadata(result);
    EXPECT_EQ(back.iccProfile, profile);
    EXPECT_EQ(back.keys.at("Exif.Image.Make"), "Lumicam");
    EXPECT_EQ(back.keys.at("Exif.Photo.DateTimeOriginal"), kDate);
    EXPECT_EQ(back.keys.count("Exif.Image.Software"), 0u) << "the damaged entry is dropped";
    EXPECT_EQ(back.keys.at("Exif.Photo.PixelXDimension"), "40");
    EXPECT_EQ(back.keys.at("Iptc.Application2.Caption"), kCaption);
    EXPECT_EQ(back.keys.at("Iptc.Application2.Keywords"), "lac,été");
    EXPECT_EQ(back.keys.at("Xmp.xmp.Rating"), "4");
    EXPECT_EQ(back.keys.at("Xmp.exif.PixelXDimension"), "40");
    EXPECT_EQ(back.keys.at("Xmp.tiff.Orientation"), "1");
    // JFIF density in dots per inch, 300 both ways.
    EXPECT_EQ(result.mid(13, 5), QByteArray("\x01\x01\x2C\x01\x2C", 5));
}

TEST(MetadataSegments, ProfileKeptWhenWholeAndRgbOnly) {
    const QByteArray rgb = fixtures::iccProfile(3000, "RGB ");
    // clang-format off
    const struct { const char* name; QByteArray segments; bool kept; } rows[] = {
        {"whole RGB profile, chunks stored out of turn", iccSegments(rgb, 1000, {2, 3, 1}), true},
        {"a chunk missing", iccSegments(rgb, 1000, {1, 3}), false},
        {"an empty last chunk", iccSegments(rgb, 1000, {1, 2, 3, 4}), true},
        {"beside an APP2 segment of another kind", iccSegments(rgb, 1000, {1, 2, 3}) + JpegHeader::segment(0xE2, QByteArray("MPF\0MM\0*\0\0\0\x08\0\0", 14)),
         true},
        {"a chunk twice", iccSegments(rgb, 1000, {1, 2, 2, 3}), false},
        {"CMYK profile (results are RGB)", iccSegments(fixtures::iccProfile(3000, "CMYK"), 1000, {1, 2, 3}), false},
    };
    // clang-format on
    for (const auto& row : rows) {
        const MetadataSegments read = MetadataSegments::fromJpeg(
            fixtures::withSegments(fixtures::jpeg(fixtures::gradient(32, 24)), row.segments));
        EXPECT_EQ(read.iccProfile(), row.kept ? rgb : QByteArray()) << row.name;
    }
}

} // namespace
