#include "metadata/ExifBlock.h"

#include "metadata/JpegHeader.h"

// Exiv2 0.27 still hands images out through std::auto_ptr.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <mutex>
#include <numeric>
#include <set>
#include <system_error>
#include <utility>

// Every Exiv2 call of the program is made in this file and its exceptions stop here:
// metadata that Exiv2 cannot parse or write counts as absent. One catch (...) per call
// covers Exiv2's own errors, standard ones and bad_alloc alike.
namespace {

constexpr unsigned char kApp1Marker = 0xE1;
constexpr char kExifHeader[] = {'E', 'x', 'i', 'f', '\0', '\0'};
// How much of a file's head is read for its EXIF data: most headers fit in the first
// read; headers with large segments before the EXIF one are read further.
constexpr qint64 kFirstHeaderRead = 256 * 1024;
constexpr qint64 kMaxHeaderRead = 16 * 1024 * 1024;
constexpr qsizetype kExifHeaderSize = sizeof kExifHeader;
// An APP1 segment holds at most 65533 bytes after its length field.
constexpr std::size_t kMaxTiffBytes = 0xFFFF - 2 - kExifHeaderSize;

const char* const kOrientationKey = "Exif.Image.Orientation";
// What a result's block must hold as set (the resolution only when it was set).
constexpr std::initializer_list<const char*> kResultKeys = {
    "Exif.Image.Orientation", "Exif.Photo.PixelXDimension", "Exif.Photo.PixelYDimension",
    "Exif.Image.XResolution", "Exif.Image.YResolution"};

void muteExiv2() {
    // Exiv2 reports damaged metadata on stderr; we treat it as absent instead.
    static std::once_flag once;
    std::call_once(once, [] { Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute); });
}

struct Parsed {
    Exiv2::ExifData data;
    Exiv2::ByteOrder order = Exiv2::invalidByteOrder;
};

std::optional<Parsed> parse(const QByteArray& tiff) {
    if (tiff.size() < 8)
        return std::nullopt;
    muteExiv2();
    try {
        Parsed parsed;
        parsed.order = Exiv2::ExifParser::decode(
            parsed.data, reinterpret_cast<const Exiv2::byte*>(tiff.constData()),
            static_cast<uint32_t>(tiff.size()));
        if (parsed.order == Exiv2::invalidByteOrder)
            return std::nullopt;
        return parsed;
    } catch (...) {
    }
    return std::nullopt;
}

// True when every key holds the same value in tiff as in data.
bool holds(const QByteArray& tiff, const Exiv2::ExifData& data,
           std::initializer_list<const char*> keys) {
    const std::optional<Parsed> written = parse(tiff);
    if (!written)
        return false;
    for (const char* key : keys) {
        const Exiv2::ExifKey exifKey(key);
        const auto want = data.findKey(exifKey);
        const auto got = written->data.findKey(exifKey);
        if ((want == data.end()) != (got == written->data.end()))
            return false;
        if (want != data.end() && want->toString() != got->toString())
            return false;
    }
    return true;
}

// Writes data back, in place into a copy of original when the layout allows it (keeps
// every byte Exiv2 does not understand), otherwise as a new structure. Exiv2 may report
// an in-place write that left some entries as they were (seen with entries of unknown
// types beside them); the changed keys are read back, and a new structure is written
// when they did not take.
std::optional<QByteArray> encode(const QByteArray& original, const Parsed& parsed,
                                 std::initializer_list<const char*> changedKeys) {
    try {
        QByteArray patched = original;
        Exiv2::Blob blob;
        const Exiv2::WriteMethod method = Exiv2::ExifParser::encode(
            blob, reinterpret_cast<Exiv2::byte*>(patched.data()),
            static_cast<uint32_t>(patched.size()), parsed.order, parsed.data);
        if (method == Exiv2::wmNonIntrusive) {
            if (holds(patched, parsed.data, changedKeys))
                return patched;
            blob.clear();
            Exiv2::ExifParser::encode(blob, parsed.order, parsed.data);
        }
        if (blob.empty() || !holds(QByteArray(reinterpret_cast<const char*>(blob.data()),
                                              static_cast<qsizetype>(blob.size())),
                                   parsed.data, changedKeys))
            return std::nullopt;
        return QByteArray(reinterpret_cast<const char*>(blob.data()),
                          static_cast<qsizetype>(blob.size()));
    } catch (...) {
    }
    return std::nullopt;
}

Exiv2::URational dpiToRational(double dpi) {
    auto hundredths = static_cast<int32_t>(std::lround(std::min(dpi, 1e6) * 100.0));
    const int32_t divisor = std::gcd(hundredths, int32_t{100});
    return {static_cast<uint32_t>(hundredths / divisor), static_cast<uint32_t>(100 / divisor)};
}

// Folders of the main image that a result keeps: IFD0, the EXIF and interoperability
// sub-folders and GPS. The thumbnail (IFD1), further images and sub-images, and every
// maker-note folder are left behind: maker notes hold previews of the whole frame and
// their offsets do not survive a rewrite.
bool keptGroup(const std::string& group) {
    return group == "Image" || group == "Photo" || group == "Iop" || group == "GPSInfo";
}

// Entries of the kept folders that point at image data or carry whole embedded files.
const std::set<std::string>& droppedKeys() {
    static const std::set<std::string> kEys = {
        "Exif.Image.JPEGInterchangeFormat",
        "Exif.Image.JPEGInterchangeFormatLength",
        "Exif.Image.StripOffsets",
        "Exif.Image.StripByteCounts",
        "Exif.Image.TileOffsets",
        "Exif.Image.TileByteCounts",
        "Exif.Image.SubIFDs",
        "Exif.Image.JPEGTables",
        "Exif.Image.XMLPacket",
        "Exif.Image.ImageResources",
        "Exif.Image.DNGPrivateData",
        "Exif.Photo.MakerNote",
    };
    return kEys;
}

// A damaged entry (a type no TIFF reader knows, or no value) would make the whole
// block unreadable once written again.
bool keptInResult(const Exiv2::Exifdatum& datum) {
    const Exiv2::TypeId type = datum.typeId();
    if (type < Exiv2::unsignedByte || type > Exiv2::tiffDouble || datum.count() == 0)
        return false;
    return keptGroup(datum.groupName()) && droppedKeys().count(datum.key()) == 0;
}

// The EXIF folder of a JPEG must hold its version, the component order, the Flashpix
// version and the colour space, its first folder the chroma positioning; a source without an EXIF
// folder gets one in its result (for the pixel size), so these are filled in where missing.
// Uncalibrated colour space: the ICC profile carried with the result, if any, tells the colours.
void addMissingRequiredTags(Exiv2::ExifData& data) {
    const std::pair<const char*, const char*> undefinedTags[] = {
        {"Exif.Photo.ExifVersion", "48 50 51 50"},         // "0232"
        {"Exif.Photo.ComponentsConfiguration", "1 2 3 0"}, // Y, Cb, Cr
        {"Exif.Photo.FlashpixVersion", "48 49 48 48"},     // "0100"
    };
    for (const auto& [key, bytes] : undefinedTags) {
        const Exiv2::ExifKey exifKey(key);
        if (data.findKey(exifKey) != data.end())
            continue;
        const Exiv2::Value::AutoPtr value = Exiv2::Value::create(Exiv2::undefined);
        value->read(bytes);
        data.add(exifKey, value.get());
    }
    if (data.findKey(Exiv2::ExifKey("Exif.Photo.ColorSpace")) == data.end())
        data["Exif.Photo.ColorSpace"] = uint16_t{0xFFFF};
    if (data.findKey(Exiv2::ExifKey("Exif.Image.YCbCrPositioning")) == data.end())
        data["Exif.Image.YCbCrPositioning"] = uint16_t{1}; // centred, as our encoder samples
}

// A new TIFF structure holding data, checked by reading the changed keys back.
std::optional<QByteArray> encodeNew(const Parsed& parsed,
                                    std::initializer_list<const char*> changedKeys) {
    try {
        Exiv2::Blob blob;
        Exiv2::ExifParser::encode(blob, parsed.order, parsed.data);
        QByteArray tiff(reinterpret_cast<const char*>(blob.data()),
                        static_cast<qsizetype>(blob.size()));
        if (tiff.isEmpty() || !holds(tiff, parsed.data, changedKeys))
            return std::nullopt;
        return tiff;
    } catch (...) {
    }
    return std::nullopt;
}

} // namespace

ExifBlock ExifBlock::fromJpeg(const QByteArray& jpeg) {
    for (const JpegSegment& segment : JpegHeader::segments(jpeg)) {
        if (segment.marker == kApp1Marker && segment.length >= kExifHeaderSize + 8 &&
            segment.starts(jpeg, "Exif\0"))
            return ExifBlock(QByteArray(jpeg.constData() + segment.offset + kExifHeaderSize,
                                        segment.length - kExifHeaderSize));
    }
    return {};
}

std::optional<ExifBlock> ExifBlock::fromFile(const std::string& path) {
    // Only the header is read, so a file cut after its EXIF segment still gives its data;
    // a named pipe is never opened.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    // The path's bytes as they are: names need not be UTF-8.
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    QByteArray head;
    for (qint64 want = kFirstHeaderRead;; want *= 4) {
        const qsizetype had = head.size();
        head.resize(want);
        file.read(head.data() + had, std::streamsize(want - had));
        head.resize(had + qsizetype(file.gcount()));
        if (!head.startsWith("\xFF\xD8"))
            return std::nullopt; // not a JPEG file
        const ExifBlock exif = fromJpeg(head);
        // Read on while the walk may have stopped at a segment running past the head.
        if (!exif.isEmpty() || head.size() < want || want >= kMaxHeaderRead)
            return exif;
    }
}

QByteArray ExifBlock::app1Payload() const {
    if (m_tiff.isEmpty())
        return {};
    QByteArray payload;
    payload.reserve(kExifHeaderSize + m_tiff.size());
    payload.append(kExifHeader, kExifHeaderSize);
    payload.append(m_tiff);
    return payload;
}

std::optional<int> ExifBlock::orientation() const {
    const std::optional<Parsed> parsed = parse(m_tiff);
    if (!parsed)
        return std::nullopt;
    try {
        const auto it = parsed->data.findKey(Exiv2::ExifKey(kOrientationKey));
        if (it == parsed->data.end() || it->count() < 1)
            return std::nullopt;
        const Exiv2::TypeId type = it->typeId();
        if (type != Exiv2::unsignedShort && type != Exiv2::unsignedLong &&
            type != Exiv2::signedShort && type != Exiv2::signedLong)
            return std::nullopt;
        const long value = it->toLong(0);
        if (value < 1 || value > 8)
            return std::nullopt;
        return static_cast<int>(value);
    } catch (...) {
    }
    return std::nullopt;
}

std::optional<std::string> ExifBlock::asciiTag(std::uint16_t tag) const {
    const std::optional<Parsed> parsed = parse(m_tiff);
    if (!parsed)
        return std::nullopt;
    try {
        // Tag numbers are looked up in the main image's folders, as flat property items;
        // the thumbnail folder (IFD1) reuses numbers for other data.
        for (const Exiv2::Exifdatum& datum : parsed->data) {
            if (datum.tag() != tag)
                continue;
            const std::string group = datum.groupName();
            if (group != "Image" && group != "Photo")
                continue;
            if (datum.typeId() != Exiv2::asciiString)
                return std::nullopt;
            std::string text = datum.toString();
            const std::size_t nul = text.find('\0');
            if (nul != std::string::npos)
                text.resize(nul);
            return text;
        }
    } catch (...) {
    }
    return std::nullopt;
}

std::optional<ExifBlock> ExifBlock::upright() const {
    if (m_tiff.isEmpty())
        return *this;
    std::optional<Parsed> parsed = parse(m_tiff);
    if (!parsed)
        return std::nullopt;
    try {
        const auto it = parsed->data.findKey(Exiv2::ExifKey(kOrientationKey));
        if (it == parsed->data.end())
            return *this;
        if (it->typeId() == Exiv2::unsignedShort && it->count() == 1 && it->toLong(0) == 1)
            return *this;
        parsed->data[kOrientationKey] = uint16_t{1};
    } catch (...) {
        return std::nullopt;
    }
    std::optional<QByteArray> tiff = encode(m_tiff, *parsed, {kOrientationKey});
    if (!tiff || std::size_t(tiff->size()) > kMaxTiffBytes)
        return std::nullopt;
    return ExifBlock(std::move(*tiff));
}

std::optional<ExifBlock> ExifBlock::forResult(int width, int height, double dpiX,
                                              double dpiY) const {
    if (m_tiff.isEmpty())
        return *this;
    std::optional<Parsed> parsed = parse(m_tiff);
    if (!parsed || width < 0 || height < 0)
        return std::nullopt;
    try {
        Exiv2::ExifData data;
        for (const Exiv2::Exifdatum& datum : parsed->data) {
            if (keptInResult(datum))
                data.add(datum);
        }
        addMissingRequiredTags(data);
        data[kOrientationKey] = uint16_t{1};
        data["Exif.Photo.PixelXDimension"] = static_cast<uint32_t>(width);
        data["Exif.Photo.PixelYDimension"] = static_cast<uint32_t>(height);
        for (const auto& [key, value] : {std::pair{"Exif.Image.ImageWidth", width},
                                         std::pair{"Exif.Image.ImageLength", height}}) {
            if (data.findKey(Exiv2::ExifKey(key)) != data.end())
                data[key] = static_cast<uint32_t>(value);
        }
        if (dpiX > 0.0 && dpiY > 0.0) {
            data["Exif.Image.XResolution"] = dpiToRational(dpiX);
            data["Exif.Image.YResolution"] = dpiToRational(dpiY);
            data["Exif.Image.ResolutionUnit"] = uint16_t{2}; // inches
        }
        parsed->data = std::move(data);
    } catch (...) {
        return std::nullopt;
    }
    // Always a new structure: nothing of the old block's layout (thumbnail, maker-note
    // data, padding) is carried along.
    std::optional<QByteArray> tiff = encodeNew(*parsed, kResultKeys);
    if (!tiff || std::size_t(tiff->size()) > kMaxTiffBytes)
        return std::nullopt;
    return ExifBlock(std::move(*tiff));
}

std::optional<std::pair<double, double>> ExifBlock::resolution() const {
    const std::optional<Parsed> parsed = parse(m_tiff);
    if (!parsed)
        return std::nullopt;
    try {
        const Exiv2::ExifData& data = parsed->data;
        const auto x = data.findKey(Exiv2::ExifKey("Exif.Image.XResolution"));
        const auto y = data.findKey(Exiv2::ExifKey("Exif.Image.YResolution"));
        if (x == data.end() || y == data.end() || x->count() < 1 || y->count() < 1)
            return std::nullopt;
        double perInch = 1.0;
        const auto unit = data.findKey(Exiv2::ExifKey("Exif.Image.ResolutionUnit"));
        if (unit != data.end() && unit->count() >= 1) {
            const long code = unit->toLong(0);
            if (code == 3)
                perInch = 2.54; // dots per centimetre
            else if (code != 2)
                return std::nullopt; // no absolute unit: an aspect ratio only
        }
        const double dpiX = double(x->toFloat(0)) * perInch;
        const double dpiY = double(y->toFloat(0)) * perInch;
        if (!std::isfinite(dpiX) || !std::isfinite(dpiY) || dpiX <= 0.0 || dpiY <= 0.0)
            return std::nullopt;
        return std::pair{dpiX, dpiY};
    } catch (...) {
    }
    return std::nullopt;
}

#pragma GCC diagnostic pop
