#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <vector>

// One marker segment of a JPEG file's header: the marker byte (0xE1 for APP1...) and
// where its payload (the bytes after the two-byte length field) lies in the file's bytes.
struct JpegSegment {
    unsigned char marker = 0;
    qsizetype offset = 0;
    qsizetype length = 0;

    [[nodiscard]] QByteArrayView payload(const QByteArray& jpeg) const {
        return QByteArrayView(jpeg.constData() + offset, length);
    }
    // True when the payload starts with the given signature ("Exif\0\0",
    // "ICC_PROFILE\0"...), signature's terminating NUL included.
    template <qsizetype N>
    [[nodiscard]] bool starts(const QByteArray& jpeg, const char (&signature)[N]) const {
        return length >= N &&
               QByteArrayView(jpeg.constData() + offset, N) == QByteArrayView(signature, N);
    }
};

// Walks the marker segments of a JPEG file's header.
class JpegHeader {
public:
    // The segments before the first scan, in file order. Fill bytes and stray bytes
    // between segments (which decoders only warn about) are skipped; the walk stops at
    // the scan, at the end of the data or at a segment running past it, so a file cut
    // after its header still yields every whole segment before the cut.
    [[nodiscard]] static std::vector<JpegSegment> segments(const QByteArray& jpeg);

    // A complete marker segment: 0xFF, marker, big-endian length, payload. Empty when the
    // payload is longer than a segment can hold (kMaxPayload).
    [[nodiscard]] static QByteArray segment(unsigned char marker, QByteArrayView payload);

    // A segment's length field counts itself (2 bytes) and must fit in 16 bits.
    static constexpr qsizetype kMaxPayload = 0xFFFF - 2;
};
