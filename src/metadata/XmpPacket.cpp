#include "metadata/XmpPacket.h"

#include <cmath>
#include <exception>
#include <mutex>
#include <string>
#include <string_view>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>

namespace {

// An APP1 segment holds 65533 bytes after its length field, 29 of them for the namespace.
constexpr std::size_t kMaxPacketBytes = 65533 - 29;

// Properties that hold images of the whole photo: xmp:Thumbnails, Google's embedded
// original and depth map, and the pointer to an extended packet that is not carried.
constexpr std::string_view kDroppedPrefixes[] = {
    "Xmp.xmp.Thumbnails",         "Xmp.xmpGImg.", "Xmp.GImage.", "Xmp.GDepth.",
    "Xmp.xmpNote.HasExtendedXMP",
};

void startExiv2Xmp() {
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::XmpParser::initialize();
    });
}

bool dropped(const std::string& key) {
    for (const std::string_view prefix : kDroppedPrefixes) {
        if (key.compare(0, prefix.size(), prefix) == 0)
            return true;
    }
    return false;
}

void setIfPresent(Exiv2::XmpData& data, const char* key, const std::string& value) {
    if (data.findKey(Exiv2::XmpKey(key)) != data.end())
        data[key] = value;
}

} // namespace

std::optional<QByteArray> XmpPacket::forResult(const QByteArray& packet, int width, int height,
                                               double dpiX, double dpiY) {
    if (packet.isEmpty())
        return std::nullopt;
    startExiv2Xmp();
    try {
        Exiv2::XmpData data;
        if (Exiv2::XmpParser::decode(data, packet.toStdString()) != 0)
            return std::nullopt;
        for (auto it = data.begin(); it != data.end();) {
            if (dropped(it->key()))
                it = data.erase(it);
            else
                ++it;
        }
        setIfPresent(data, "Xmp.tiff.ImageWidth", std::to_string(width));
        setIfPresent(data, "Xmp.tiff.ImageLength", std::to_string(height));
        setIfPresent(data, "Xmp.exif.PixelXDimension", std::to_string(width));
        setIfPresent(data, "Xmp.exif.PixelYDimension", std::to_string(height));
        setIfPresent(data, "Xmp.tiff.Orientation", "1");
        if (dpiX > 0.0 && dpiY > 0.0) {
            setIfPresent(data, "Xmp.tiff.XResolution", std::to_string(std::lround(dpiX)) + "/1");
            setIfPresent(data, "Xmp.tiff.YResolution", std::to_string(std::lround(dpiY)) + "/1");
            setIfPresent(data, "Xmp.tiff.ResolutionUnit", "2");
        }
        std::string out;
        if (Exiv2::XmpParser::encode(out, data, Exiv2::XmpParser::useCompactFormat) != 0 ||
            out.empty() || out.size() > kMaxPacketBytes)
            return std::nullopt;
        return QByteArray::fromStdString(out);
    } catch (...) {
    }
    return std::nullopt;
}

#pragma GCC diagnostic pop
