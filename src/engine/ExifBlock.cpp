#include "engine/ExifBlock.h"

// Exiv2 0.27 still hands images out through std::auto_ptr.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <filesystem>
#include <initializer_list>
#include <mutex>
#include <numeric>
#include <system_error>

// Every Exiv2 call of the program is made in this file and its exceptions stop here:
// metadata that Exiv2 cannot parse or write counts as absent.
namespace {

constexpr char kExifHeader[] = {'E', 'x', 'i', 'f', '\0', '\0'};
constexpr qsizetype kExifHeaderSize = sizeof kExifHeader;
// An APP1 segment holds at most 65533 bytes after its length field.
constexpr std::size_t kMaxTiffBytes = 0xFFFF - 2 - kExifHeaderSize;

const char* const kOrientationKey = "Exif.Image.Orientation";
// What a result's block must hold as set (the resolution only when it was set).
constexpr std::initializer_list<const char*> kResultKeys = {
    "Exif.Image.Orientation", "Exif.Photo.PixelXDimension", "Exif.Photo.PixelYDimension",
    "Exif.Image.XResolution", "Exif.Image.YResolution"};

void MuteExiv2() {
    // Exiv2 reports damaged metadata on stderr; we treat it as absent instead.
    static std::once_flag once;
    std::call_once(once, [] { Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute); });
}

struct Parsed {
    Exiv2::ExifData data;
    Exiv2::ByteOrder order = Exiv2::invalidByteOrder;
};

std::optional<Parsed> Parse(const QByteArray& tiff) {
    if (tiff.size() < 8)
        return std::nullopt;
    MuteExiv2();
    try {
        Parsed parsed;
        parsed.order = Exiv2::ExifParser::decode(
            parsed.data, reinterpret_cast<const Exiv2::byte*>(tiff.constData()),
            static_cast<uint32_t>(tiff.size()));
        if (parsed.order == Exiv2::invalidByteOrder)
            return std::nullopt;
        return parsed;
    } catch (const Exiv2::AnyError&) {
    } catch (const std::exception&) {
    } catch (...) {
    }
    return std::nullopt;
}

// True when every key holds the same value in tiff as in data.
bool Holds(const QByteArray& tiff, const Exiv2::ExifData& data,
           std::initializer_list<const char*> keys) {
    const std::optional<Parsed> written = Parse(tiff);
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
std::optional<QByteArray> Encode(const QByteArray& original, const Parsed& parsed,
                                 std::initializer_list<const char*> changedKeys) {
    try {
        QByteArray patched = original;
        Exiv2::Blob blob;
        const Exiv2::WriteMethod method = Exiv2::ExifParser::encode(
            blob, reinterpret_cast<Exiv2::byte*>(patched.data()),
            static_cast<uint32_t>(patched.size()), parsed.order, parsed.data);
        if (method == Exiv2::wmNonIntrusive) {
            if (Holds(patched, parsed.data, changedKeys))
                return patched;
            blob.clear();
            Exiv2::ExifParser::encode(blob, parsed.order, parsed.data);
        }
        if (blob.empty() || !Holds(QByteArray(reinterpret_cast<const char*>(blob.data()),
                                              static_cast<qsizetype>(blob.size())),
                                   parsed.data, changedKeys))
            return std::nullopt;
        return QByteArray(reinterpret_cast<const char*>(blob.data()),
                          static_cast<qsizetype>(blob.size()));
    } catch (const Exiv2::AnyError&) {
    } catch (const std::exception&) {
    } catch (...) {
    }
    return std::nullopt;
}

Exiv2::URational DpiToRational(double dpi) {
    auto hundredths = static_cast<int32_t>(std::lround(std::min(dpi, 1e6) * 100.0));
    const int32_t divisor = std::gcd(hundredths, int32_t{100});
    return {static_cast<uint32_t>(hundredths / divisor), static_cast<uint32_t>(100 / divisor)};
}

// Removes the camera maker's private block, the usual reason for an oversized block.
void EraseMakerNote(Exiv2::ExifData& data) {
    for (auto it = data.begin(); it != data.end();) {
        if (it->key() == "Exif.Photo.MakerNote" || it->groupName() == "MakerNote" ||
            Exiv2::ExifTags::isMakerGroup(it->groupName()))
            it = data.erase(it);
        else
            ++it;
    }
}

} // namespace

ExifBlock ExifBlock::FromJpeg(const QByteArray& jpeg) {
    const auto* data = reinterpret_cast<const unsigned char*>(jpeg.constData());
    const qsizetype size = jpeg.size();
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return {};
    qsizetype pos = 2;
    while (pos + 4 <= size) {
        if (data[pos] != 0xFF)
            break;
        const unsigned char marker = data[pos + 1];
        if (marker == 0xFF) { // fill byte
            ++pos;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) { // no length field
            pos += 2;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) // the scan starts: no metadata after it
            break;
        const qsizetype length = (qsizetype{data[pos + 2]} << 8) | data[pos + 3];
        if (length < 2 || pos + 2 + length > size)
            break;
        if (marker == 0xE1 && length >= 2 + kExifHeaderSize + 8 &&
            std::memcmp(data + pos + 4, kExifHeader, kExifHeaderSize) == 0) {
            const qsizetype start = pos + 4 + kExifHeaderSize;
            return ExifBlock(QByteArray(jpeg.constData() + start, length - 2 - kExifHeaderSize));
        }
        pos += 2 + length;
    }
    return {};
}

std::optional<ExifBlock> ExifBlock::FromFile(const std::string& path) {
    // Exiv2 would wait forever on a named pipe.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    MuteExiv2();
    try {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path, false);
        if (image.get() == nullptr)
            return std::nullopt;
        image->readMetadata();
        const Exiv2::ExifData& data = image->exifData();
        if (data.empty())
            return ExifBlock();
        const Exiv2::ByteOrder order = image->byteOrder() == Exiv2::invalidByteOrder
                                           ? Exiv2::littleEndian
                                           : image->byteOrder();
        Exiv2::Blob blob;
        Exiv2::ExifParser::encode(blob, order, data);
        if (blob.empty())
            return std::nullopt;
        return ExifBlock(
            QByteArray(reinterpret_cast<const char*>(blob.data()), qsizetype(blob.size())));
    } catch (const Exiv2::AnyError&) {
    } catch (const std::exception&) {
    } catch (...) {
    }
    return std::nullopt;
}

QByteArray ExifBlock::App1Payload() const {
    if (tiff_.isEmpty())
        return {};
    QByteArray payload;
    payload.reserve(kExifHeaderSize + tiff_.size());
    payload.append(kExifHeader, kExifHeaderSize);
    payload.append(tiff_);
    return payload;
}

std::optional<int> ExifBlock::Orientation() const {
    const std::optional<Parsed> parsed = Parse(tiff_);
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
    } catch (const Exiv2::AnyError&) {
    } catch (const std::exception&) {
    } catch (...) {
    }
    return std::nullopt;
}

std::optional<std::string> ExifBlock::AsciiTag(std::uint16_t tag) const {
    const std::optional<Parsed> parsed = Parse(tiff_);
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
    } catch (const Exiv2::AnyError&) {
    } catch (const std::exception&) {
    } catch (...) {
    }
    return std::nullopt;
}

std::optional<ExifBlock> ExifBlock::Upright() const {
    if (tiff_.isEmpty())
        return *this;
    std::optional<Parsed> parsed = Parse(tiff_);
    if (!parsed)
        return std::nullopt;
    try {
        const auto it = parsed->data.findKey(Exiv2::ExifKey(kOrientationKey));
        if (it == parsed->data.end())
            return *this;
        if (it->typeId() == Exiv2::unsignedShort && it->count() == 1 && it->toLong(0) == 1)
            return *this;
        parsed->data[kOrientationKey] = uint16_t{1};
    } catch (const Exiv2::AnyError&) {
        return std::nullopt;
    } catch (const std::exception&) {
        return std::nullopt;
    } catch (...) {
        return std::nullopt;
    }
    std::optional<QByteArray> tiff = Encode(tiff_, *parsed, {kOrientationKey});
    if (!tiff || std::size_t(tiff->size()) > kMaxTiffBytes)
        return std::nullopt;
    return ExifBlock(std::move(*tiff));
}

std::optional<ExifBlock> ExifBlock::ForResult(int width, int height, double dpiX,
                                              double dpiY) const {
    if (tiff_.isEmpty())
        return *this;
    std::optional<Parsed> parsed = Parse(tiff_);
    if (!parsed || width < 0 || height < 0)
        return std::nullopt;
    try {
        Exiv2::ExifData& data = parsed->data;
        data[kOrientationKey] = uint16_t{1};
        data["Exif.Photo.PixelXDimension"] = static_cast<uint32_t>(width);
        data["Exif.Photo.PixelYDimension"] = static_cast<uint32_t>(height);
        if (dpiX > 0.0 && dpiY > 0.0) {
            data["Exif.Image.XResolution"] = DpiToRational(dpiX);
            data["Exif.Image.YResolution"] = DpiToRational(dpiY);
            data["Exif.Image.ResolutionUnit"] = uint16_t{2}; // inches
        }
        Exiv2::ExifThumb(data).erase();
    } catch (const Exiv2::AnyError&) {
        return std::nullopt;
    } catch (const std::exception&) {
        return std::nullopt;
    } catch (...) {
        return std::nullopt;
    }
    std::optional<QByteArray> tiff = Encode(tiff_, *parsed, kResultKeys);
    if (tiff && std::size_t(tiff->size()) > kMaxTiffBytes) {
        try {
            EraseMakerNote(parsed->data);
        } catch (...) {
            return std::nullopt;
        }
        tiff = Encode(tiff_, *parsed, kResultKeys);
    }
    if (!tiff || std::size_t(tiff->size()) > kMaxTiffBytes)
        return std::nullopt;
    return ExifBlock(std::move(*tiff));
}

#pragma GCC diagnostic pop
