#include "support/PhotoFixtures.h"
#include "support/ExifJpegFixture.h"

#include "engine/JpegCodec.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <turbojpeg.h>
#include <vector>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>

namespace fixtures {

QImage gradient(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        uchar* p = image.scanLine(y);
        for (int x = 0; x < width; ++x, p += 3) {
            p[0] = static_cast<uchar>(width > 1 ? x * 255 / (width - 1) : 0);
            p[1] = static_cast<uchar>(height > 1 ? y * 255 / (height - 1) : 0);
            p[2] = 100;
        }
    }
    return image;
}

QByteArray jpeg(const QImage& image, int quality) {
    const std::optional<QByteArray> bytes = JpegCodec::encode(image, quality);
    if (!bytes)
        throw std::runtime_error("test fixture: encoding failed");
    return *bytes;
}

QByteArray turboJpeg(const unsigned char* pixels, int width, int height, int pitch, int pixelFormat,
                     int sampling, int quality) {
    tjhandle handle = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    const bool failed = tjCompress2(handle, pixels, width, pitch, height, pixelFormat, &out, &size,
                                    sampling, quality, 0) != 0;
    const QByteArray bytes =
        failed ? QByteArray() : QByteArray(reinterpret_cast<const char*>(out), qsizetype(size));
    tjFree(out);
    tjDestroy(handle);
    return bytes;
}

QByteArray iccProfile(qsizetype size, const char* colorSpace) {
    QByteArray profile(size, '\x5A');
    for (int i = 0; i < 4; ++i)
        profile[i] = char((size >> (24 - 8 * i)) & 0xFF);
    profile.replace(16, 4, colorSpace);
    profile.replace(36, 4, "acsp");
    return profile;
}

QByteArray withSegments(const QByteArray& jpeg, const QByteArray& segments) {
    // SOI, then the JFIF segment when there is one (FF E0 and its length).
    qsizetype at = 2;
    if (jpeg.mid(2, 2) == QByteArray("\xFF\xE0", 2))
        at += 2 + ((uchar(jpeg[4]) << 8) | uchar(jpeg[5]));
    return jpeg.left(at) + segments + jpeg.mid(at);
}

namespace {

Exiv2::ExifData toExifData(const ExifFields& fields) {
    Exiv2::ExifData data;
    if (fields.orientation)
        data["Exif.Image.Orientation"] = static_cast<uint16_t>(*fields.orientation);
    if (!fields.make.empty())
        data["Exif.Image.Make"] = fields.make;
    if (!fields.model.empty())
        data["Exif.Image.Model"] = fields.model;
    if (fields.dateTimeOriginal)
        data["Exif.Photo.DateTimeOriginal"] = *fields.dateTimeOriginal;
    if (fields.dateTimeOriginalAsShort)
        data["Exif.Photo.DateTimeOriginal"] =
            static_cast<uint16_t>(*fields.dateTimeOriginalAsShort);
    if (fields.dpi) {
        const auto dpi = static_cast<uint32_t>(*fields.dpi);
        data["Exif.Image.XResolution"] = Exiv2::URational(dpi, 1);
        data["Exif.Image.YResolution"] = Exiv2::URational(dpi, 1);
        data["Exif.Image.ResolutionUnit"] = uint16_t{2};
    }
    data["Exif.Photo.PixelXDimension"] = uint32_t{1};
    if (fields.gps) {
        data["Exif.GPSInfo.GPSLatitudeRef"] = "N";
        data["Exif.GPSInfo.GPSLatitude"] = std::string("45/1 30/1 0/1");
    }
    if (!fields.makerNote.isEmpty())
        data["Exif.Photo.MakerNote"] =
            Exiv2::DataValue(reinterpret_cast<const Exiv2::byte*>(fields.makerNote.constData()),
                             static_cast<long>(fields.makerNote.size()));
    if (fields.thumbnail || !fields.thumbnailJpeg.isEmpty()) {
        const QByteArray thumb =
            fields.thumbnailJpeg.isEmpty() ? jpeg(gradient(16, 12), 80) : fields.thumbnailJpeg;
        Exiv2::ExifThumb(data).setJpegThumbnail(
            reinterpret_cast<const Exiv2::byte*>(thumb.constData()),
            static_cast<long>(thumb.size()));
    }
    return data;
}

} // namespace

QByteArray rawTiff(const ExifFields& fields) {
    const Exiv2::ExifData data = toExifData(fields);
    Exiv2::Blob blob;
    Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, data);
    return QByteArray(reinterpret_cast<const char*>(blob.data()), qsizetype(blob.size()));
}

QByteArray withExif(const QByteArray& jpeg, const ExifFields& fields) {
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(
        reinterpret_cast<const Exiv2::byte*>(jpeg.constData()), static_cast<long>(jpeg.size()));
    image->readMetadata();
    image->setExifData(toExifData(fields));
    image->writeMetadata();
    Exiv2::BasicIo& io = image->io();
    io.seek(0, Exiv2::BasicIo::beg);
    const Exiv2::DataBuf buf = io.read(static_cast<long>(io.size()));
    return QByteArray(reinterpret_cast<const char*>(buf.pData_), buf.size_);
}

QByteArray withRawExif(const QByteArray& jpeg, const QByteArray& tiff) {
    QByteArray payload("Exif\0\0", 6);
    payload.append(tiff);
    const int length = static_cast<int>(payload.size()) + 2;
    const char marker[] = {char(0xFF), char(0xE1), char(length >> 8), char(length & 0xFF)};
    return jpeg.left(2) + QByteArray(marker, 4) + payload + jpeg.mid(2);
}

namespace {

using fixture::put16;
using fixture::put32;
using fixture::putFolder;
using fixture::tiff;
using Entry = fixture::TiffEntry;

void put32BigEndian(QByteArray& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(char((v >> shift) & 0xFF));
}

// A first folder pointing to an EXIF folder (right after it) with one entry.
QByteArray tiffWithExifEntry(const Entry& entry) {
    QByteArray out = tiff({{0x8769, 4, 1, 8 + 2 + 12 + 4}});
    putFolder(out, {entry});
    out.append("2006:07:14 10:20:30", 20);
    return out;
}

} // namespace

QByteArray oversizedTiff(int commentBytes) {
    // First folder at 8: 3 entries (8 + 2 + 36 + 4 = 50), then the EXIF folder at 50 with
    // 2 entries (50 + 2 + 24 + 4 = 80), then the values: make at 80, date at 88, comment
    // at 108.
    QByteArray out = tiff({{0x010F, 2, 8, 80}, {0x0112, 3, 1, 6}, {0x8769, 4, 1, 50}});
    putFolder(out, {{0x9003, 2, 20, 88}, {0x9286, 7, uint32_t(commentBytes), 108}});
    out.append("Lumicam", 8);
    out.append("2006:07:14 10:20:30", 20);
    out.append(QByteArray(commentBytes, ' '));
    return out;
}

QByteArray tiffWithTypeZeroEntry() {
    // First folder at 8: 3 entries (8 + 2 + 36 + 4 = 50), the EXIF folder at 50 with one
    // entry (50 + 2 + 12 + 4 = 68), then the make at 68 and the date at 76.
    QByteArray out = tiff({{0x010F, 2, 8, 68}, {0x0131, 0, 4, 0x41414141}, {0x8769, 4, 1, 50}});
    putFolder(out, {{0x9003, 2, 20, 76}});
    out.append("Lumicam", 8);
    out.append("2006:07:14 10:20:30", 20);
    return out;
}

std::vector<HostileExif> hostileExifBlocks() {
    QByteArray garbage("II*\0", 4);
    for (int i = 0; i < 200; ++i)
        garbage.append(char(i * 37 + 11));
    QByteArray pastTheEnd("II*\0", 4);
    put32(pastTheEnd, 0xFFFFFFF0);
    QByteArray manyEntries("II*\0", 4);
    put32(manyEntries, 8);
    put16(manyEntries, 0xFFFF);
    manyEntries.append(24, '\x01');
    return {
        {"garbage after the byte order", garbage},
        {"first folder past the end", pastTheEnd},
        {"bad byte order mark", QByteArray("XX*\0\x08\0\0\0\0\0\0\0\0\0", 14)},
        {"65535 entries announced, two present", manyEntries},
        {"date with a huge count", tiffWithExifEntry({0x9003, 2, 0xFFFFFFF0, 44})},
        {"date offset past the end", tiffWithExifEntry({0x9003, 2, 20, 0xFFFFFF00})},
        {"date of unknown type", tiffWithExifEntry({0x9003, 99, 20, 44})},
        {"folder pointing at itself", tiff({{0x8769, 4, 1, 8}}, 8)},
        {"orientation as text", tiff({{0x0112, 2, 2, 0x36}})},
        {"orientation 9", tiff({{0x0112, 3, 1, 9}})},
        {"orientation with a huge count", tiff({{0x0112, 3, 0x7FFFFFFF, 8}})},
    };
}

ReadBack readMetadata(const QByteArray& jpeg) {
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(
        reinterpret_cast<const Exiv2::byte*>(jpeg.constData()), static_cast<long>(jpeg.size()));
    image->readMetadata();
    ReadBack back;
    for (const Exiv2::Exifdatum& datum : image->exifData())
        back.keys[datum.key()] = datum.toString();
    for (const Exiv2::Iptcdatum& datum : image->iptcData())
        back.keys[datum.key()] += (back.keys.count(datum.key()) ? "," : "") + datum.toString();
    for (const Exiv2::Xmpdatum& datum : image->xmpData())
        back.keys[datum.key()] = datum.toString();
    if (image->iccProfileDefined())
        back.iccProfile = QByteArray(reinterpret_cast<const char*>(image->iccProfile()->pData_),
                                     image->iccProfile()->size_);
    return back;
}

QByteArray photoshopResources(const std::string& caption, const std::vector<std::string>& keywords,
                              const QByteArray& preview, const QByteArray& thumbnail) {
    Exiv2::IptcData iptc;
    iptc["Iptc.Application2.Caption"] = caption;
    for (const std::string& keyword : keywords) {
        Exiv2::Iptcdatum datum(Exiv2::IptcKey("Iptc.Application2.Keywords"));
        datum.setValue(keyword);
        iptc.add(datum);
    }
    if (!preview.isEmpty()) {
        Exiv2::Iptcdatum datum(Exiv2::IptcKey("Iptc.Application2.Preview"));
        Exiv2::DataValue value(reinterpret_cast<const Exiv2::byte*>(preview.constData()),
                               static_cast<long>(preview.size()));
        datum.setValue(&value);
        iptc.add(datum);
    }
    const Exiv2::DataBuf irb = Exiv2::Photoshop::setIptcIrb(nullptr, 0, iptc);
    QByteArray resources(reinterpret_cast<const char*>(irb.pData_), irb.size_);
    if (!thumbnail.isEmpty()) {
        resources.append("8BIM\x04\x0C\0\0", 8);
        put32BigEndian(resources, uint32_t(thumbnail.size()));
        resources.append(thumbnail);
        if (thumbnail.size() % 2)
            resources.append('\0');
    }
    return resources;
}

bool writeFile(const std::string& path, const QByteArray& bytes) {
    // The path's bytes as they are, so that tests can name files in any encoding.
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    return file.write(bytes.constData(), bytes.size()) && file.flush();
}

int colorDistance(QColor a, QColor b) {
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                     std::abs(a.blue() - b.blue())});
}

int largestDifference(const QImage& a, const QImage& b, int margin) {
    int worst = 0;
    for (int y = margin; y < a.height() - margin; ++y)
        for (int x = margin * 3; x < (a.width() - margin) * 3; ++x)
            worst = std::max(worst, std::abs(a.constScanLine(y)[x] - b.constScanLine(y)[x]));
    return worst;
}

// Offset of the height field in the first baseline or progressive frame header; -1 without one.
static qsizetype sofDimensionsOffset(const QByteArray& jpeg) {
    for (qsizetype i = 2; i + 9 < jpeg.size(); ++i)
        if (uchar(jpeg[i]) == 0xFF && (uchar(jpeg[i + 1]) == 0xC0 || uchar(jpeg[i + 1]) == 0xC2))
            return i + 5;
    return -1;
}

QByteArray withDimensions(QByteArray jpeg, int width, int height) {
    const qsizetype at = sofDimensionsOffset(jpeg);
    if (at < 0)
        return jpeg;
    jpeg[at] = char(height >> 8);
    jpeg[at + 1] = char(height & 0xFF);
    jpeg[at + 2] = char(width >> 8);
    jpeg[at + 3] = char(width & 0xFF);
    return jpeg;
}

std::vector<std::string> folderEntries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace fixtures

#pragma GCC diagnostic pop
