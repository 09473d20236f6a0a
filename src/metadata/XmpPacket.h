#pragma once

#include <QByteArray>
#include <optional>

// Rewrites a photo's XMP packet for a result. Every Exiv2 XMP call of the program is made
// in XmpPacket.cpp and its exceptions stop there.
class XmpPacket {
public:
    // The packet for a result of width x height photo pixels: thumbnails and other
    // embedded images of the whole photo removed (and the note that an extended packet
    // follows, since none is written), the pixel-size, orientation and resolution fields
    // that the packet holds set like the EXIF ones. Nothing when the packet cannot be
    // parsed or does not fit one APP1 segment.
    [[nodiscard]] static std::optional<QByteArray> forResult(const QByteArray& packet, int width,
                                                             int height, double dpiX, double dpiY);
};
