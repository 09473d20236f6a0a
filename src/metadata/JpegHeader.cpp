#include "metadata/JpegHeader.h"

namespace {

constexpr unsigned char kMarker = 0xFF;
constexpr unsigned char kSoi = 0xD8;
constexpr unsigned char kEoi = 0xD9;
constexpr unsigned char kSos = 0xDA;
constexpr unsigned char kTem = 0x01;
constexpr unsigned char kRst0 = 0xD0;
constexpr unsigned char kRst7 = 0xD7;

} // namespace

std::vector<JpegSegment> JpegHeader::segments(const QByteArray& jpeg) {
    std::vector<JpegSegment> segments;
    const auto* data = reinterpret_cast<const unsigned char*>(jpeg.constData());
    const qsizetype size = jpeg.size();
    if (size < 4 || data[0] != kMarker || data[1] != kSoi)
        return segments;
    qsizetype pos = 2;
    while (pos + 2 <= size) {
        if (data[pos] != kMarker) { // stray byte: decoders skip to the next marker
            ++pos;
            continue;
        }
        const unsigned char marker = data[pos + 1];
        if (marker == kMarker) { // fill byte
            ++pos;
            continue;
        }
        if (marker == 0 || marker == kTem || (marker >= kRst0 && marker <= kRst7) ||
            marker == kSoi) { // no length field
            pos += 2;
            continue;
        }
        if (marker == kSos || marker == kEoi || pos + 4 > size)
            break;
        const qsizetype length = (qsizetype{data[pos + 2]} << 8) | data[pos + 3];
        if (length < 2 || pos + 2 + length > size)
            break;
        segments.push_back({marker, pos + 4, length - 2});
        pos += 2 + length;
    }
    return segments;
}

QByteArray JpegHeader::segment(unsigned char marker, QByteArrayView payload) {
    if (payload.size() > kMaxPayload)
        return {};
    const qsizetype length = payload.size() + 2;
    QByteArray segment;
    segment.reserve(length + 2);
    segment.append(char(kMarker));
    segment.append(char(marker));
    segment.append(char((length >> 8) & 0xFF));
    segment.append(char(length & 0xFF));
    segment.append(payload);
    return segment;
}
