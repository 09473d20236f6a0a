#include "metadata/MetadataSegments.h"

#include "metadata/JpegHeader.h"
#include "metadata/XmpPacket.h"

#include <map>

namespace {

constexpr unsigned char kApp1 = 0xE1;
constexpr unsigned char kApp2 = 0xE2;
constexpr unsigned char kApp13 = 0xED;

constexpr char kXmpNamespace[] = "http://ns.adobe.com/xap/1.0/";
constexpr char kIccSignature[] = "ICC_PROFILE";
constexpr char kPhotoshopSignature[] = "Photoshop 3.0";
// Signature, then the chunk's number (from 1) and the number of chunks.
constexpr qsizetype kIccChunkHeader = sizeof kIccSignature + 2;
constexpr qsizetype kMaxIccChunk = JpegHeader::kMaxPayload - kIccChunkHeader;
constexpr int kMaxIccChunks = 255;
// Colour space field of an ICC profile header, bytes 16 to 19.
constexpr qsizetype kIccColorSpaceOffset = 16;

// Photoshop image resources: "8BIM", a 16-bit id, an even-padded Pascal name, a 32-bit
// size, then the data padded to an even length.
constexpr char kResourceSignature[] = "8BIM";
constexpr unsigned kIptcResource = 0x0404;

// IPTC-IIM: tag marker 0x1C, record, dataset, 16-bit length (extended when bit 15 is set).
constexpr unsigned char kIimTag = 0x1C;
// Record 2 datasets 200-202 hold a preview of the object; records 7-9 the object itself.
constexpr unsigned char kIimApplicationRecord = 2;
constexpr unsigned char kIimFirstPreviewDataset = 200;
constexpr unsigned char kIimFirstObjectRecord = 7;

unsigned byte(QByteArrayView data, qsizetype at) {
    return static_cast<unsigned char>(data[at]);
}

std::uint32_t bigEndian(QByteArrayView data, qsizetype at, int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value = (value << 8) | byte(data, at + i);
    return value;
}

void appendBigEndian(QByteArray& out, std::uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

// The whole profile when every chunk from 1 to the announced count is there once.
QByteArray assembleIcc(const std::map<int, QByteArrayView>& chunks, int count) {
    if (count < 1 || int(chunks.size()) != count || chunks.begin()->first != 1 ||
        chunks.rbegin()->first != count)
        return {};
    QByteArray profile;
    for (const auto& [number, data] : chunks)
        profile.append(data);
    if (profile.size() < kIccColorSpaceOffset + 4 ||
        QByteArrayView(profile).sliced(kIccColorSpaceOffset, 4) != QByteArrayView("RGB "))
        return {};
    return profile;
}

// The IPTC-NAA resource among Photoshop's image resources; empty when absent or damaged.
QByteArrayView findIptcResource(QByteArrayView resources) {
    qsizetype pos = 0;
    while (pos + 12 <= resources.size()) {
        if (resources.sliced(pos, 4) != QByteArrayView(kResourceSignature))
            return {};
        const unsigned id = bigEndian(resources, pos + 4, 2);
        qsizetype at = pos + 6;
        const qsizetype nameBytes = (1 + qsizetype(byte(resources, at)) + 1) & ~qsizetype{1};
        at += nameBytes;
        if (at + 4 > resources.size())
            return {};
        const qsizetype size = bigEndian(resources, at, 4);
        at += 4;
        if (size > resources.size() - at)
            return {};
        if (id == kIptcResource)
            return resources.sliced(at, size);
        pos = at + ((size + 1) & ~qsizetype{1});
    }
    return {};
}

// The datasets of iim without previews and object data; stops at the first damaged one.
QByteArray withoutPreviews(QByteArrayView iim) {
    QByteArray kept;
    qsizetype pos = 0;
    while (pos + 5 <= iim.size() && byte(iim, pos) == kIimTag) {
        const unsigned record = byte(iim, pos + 1);
        const unsigned dataset = byte(iim, pos + 2);
        qsizetype header = 5;
        qsizetype length = bigEndian(iim, pos + 3, 2);
        if (length & 0x8000) { // extended: the next (length & 0x7FFF) bytes hold the length
            const int lengthBytes = int(length & 0x7FFF);
            if (lengthBytes < 1 || lengthBytes > 4 || pos + 5 + lengthBytes > iim.size())
                break;
            length = bigEndian(iim, pos + 5, lengthBytes);
            header += lengthBytes;
        }
        if (length > iim.size() - pos - header)
            break;
        const bool preview = record == kIimApplicationRecord && dataset >= kIimFirstPreviewDataset;
        if (!preview && record < kIimFirstObjectRecord)
            kept.append(iim.sliced(pos, header + length));
        pos += header + length;
    }
    return kept;
}

bool mayHoldImage(const QByteArray& xmp) {
    for (const char* name : {"Thumbnails", "xmpGImg", "GImage", "GDepth", "HasExtendedXMP"}) {
        if (xmp.contains(name))
            return true;
    }
    return false;
}

QByteArray iccSegments(const QByteArray& profile) {
    const qsizetype count = (profile.size() + kMaxIccChunk - 1) / kMaxIccChunk;
    if (count > kMaxIccChunks)
        return {};
    QByteArray out;
    for (qsizetype i = 0; i < count; ++i) {
        QByteArray payload(kIccSignature, sizeof kIccSignature);
        payload.append(char(i + 1));
        payload.append(char(count));
        payload.append(QByteArrayView(profile).sliced(
            i * kMaxIccChunk, std::min(kMaxIccChunk, profile.size() - i * kMaxIccChunk)));
        out += JpegHeader::segment(kApp2, payload);
    }
    return out;
}

QByteArray iptcSegment(const QByteArray& iim) {
    QByteArray payload(kPhotoshopSignature, sizeof kPhotoshopSignature);
    payload.append(kResourceSignature, 4);
    appendBigEndian(payload, kIptcResource, 2);
    payload.append(2, '\0'); // empty name, padded to an even length
    appendBigEndian(payload, std::uint32_t(iim.size()), 4);
    payload.append(iim);
    if (iim.size() % 2 != 0)
        payload.append('\0');
    return JpegHeader::segment(kApp13, payload);
}

} // namespace

MetadataSegments MetadataSegments::fromJpeg(const QByteArray& jpeg) {
    MetadataSegments result;
    std::map<int, QByteArrayView> iccChunks;
    int iccCount = 0;
    bool iccDamaged = false;
    QByteArray resources;
    for (const JpegSegment& segment : JpegHeader::segments(jpeg)) {
        const QByteArrayView payload = segment.payload(jpeg);
        if (segment.marker == kApp1 && result.m_xmp.isEmpty() &&
            segment.starts(jpeg, kXmpNamespace)) {
            result.m_xmp = payload.sliced(sizeof kXmpNamespace).toByteArray();
        } else if (segment.marker == kApp2 && segment.starts(jpeg, kIccSignature) &&
                   payload.size() >= kIccChunkHeader) {
            const int number = int(byte(payload, kIccChunkHeader - 2));
            const int count = int(byte(payload, kIccChunkHeader - 1));
            iccDamaged = iccDamaged || (iccCount != 0 && count != iccCount) ||
                         !iccChunks.emplace(number, payload.sliced(kIccChunkHeader)).second;
            iccCount = count;
        } else if (segment.marker == kApp13 && segment.starts(jpeg, kPhotoshopSignature)) {
            resources.append(payload.sliced(sizeof kPhotoshopSignature));
        }
    }
    if (!iccDamaged)
        result.m_icc = assembleIcc(iccChunks, iccCount);
    result.m_iptc = withoutPreviews(findIptcResource(resources));
    return result;
}

QByteArray MetadataSegments::forResult(int width, int height, double dpiX, double dpiY) const {
    QByteArray out;
    if (!m_icc.isEmpty())
        out += iccSegments(m_icc);
    if (!m_xmp.isEmpty()) {
        std::optional<QByteArray> packet = XmpPacket::forResult(m_xmp, width, height, dpiX, dpiY);
        // A packet the XMP toolkit refuses (cameras write some) travels as it is, unless it
        // may hold an image.
        if (!packet && !mayHoldImage(m_xmp))
            packet = m_xmp;
        if (packet) {
            QByteArray payload(kXmpNamespace, sizeof kXmpNamespace);
            payload.append(*packet);
            out += JpegHeader::segment(kApp1, payload);
        }
    }
    if (!m_iptc.isEmpty())
        out += iptcSegment(m_iptc);
    return out;
}
