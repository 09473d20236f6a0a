#pragma once

#include <QByteArray>

// What a print needs from a photo's file besides its EXIF data, carried to its results:
// the ICC colour profile, the XMP packet and the IPTC record (captions, keywords, rights).
// A plain value. Images of the whole photo that these may embed (Photoshop thumbnails,
// IPTC previews, XMP thumbnails) never reach a result.
class MetadataSegments {
public:
    // Reads the APP2 "ICC_PROFILE" chunks (an RGB profile only: results are RGB), the
    // main APP1 XMP packet and the IPTC record of the APP13 "Photoshop 3.0" resources.
    // Damaged parts are left out; the rest is kept.
    [[nodiscard]] static MetadataSegments fromJpeg(const QByteArray& jpeg);

    [[nodiscard]] const QByteArray& iccProfile() const { return m_icc; }
    [[nodiscard]] const QByteArray& xmp() const { return m_xmp; }
    // IPTC-IIM datasets, object previews and object data removed.
    [[nodiscard]] const QByteArray& iptc() const { return m_iptc; }
    [[nodiscard]] bool isEmpty() const {
        return m_icc.isEmpty() && m_xmp.isEmpty() && m_iptc.isEmpty();
    }

    // Complete marker segments for a result of width x height photo pixels at the given
    // resolution (dots per inch): the profile in APP2 chunks, the XMP packet rewritten for
    // the result, the IPTC record in an APP13 segment of its own. A part that cannot be
    // written is left out.
    [[nodiscard]] QByteArray forResult(int width, int height, double dpiX, double dpiY) const;

    friend bool operator==(const MetadataSegments&, const MetadataSegments&) = default;

private:
    QByteArray m_icc;
    QByteArray m_xmp;
    QByteArray m_iptc;
};
