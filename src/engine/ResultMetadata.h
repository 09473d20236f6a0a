#pragma once

#include "metadata/ExifBlock.h"
#include "metadata/MetadataSegments.h"

#include <QByteArray>
#include <QSize>

// The metadata a result file carries, made from its photo's: the EXIF block rewritten for the
// result (upright, its pixel size and resolution, nothing of the uncropped photo; left out when
// it cannot be rewritten) and the profile, XMP and IPTC segments that still hold for it.
struct ResultMetadata {
    QByteArray exifPayload; // APP1 content, "Exif\0\0" then the TIFF block; empty for none
    QByteArray segments;    // complete marker segments, written after the EXIF segment

    // For a result of size photo pixels at dpiX x dpiY dots per inch.
    [[nodiscard]] static ResultMetadata of(const ExifBlock& exif, const MetadataSegments& metadata,
                                           QSize size, double dpiX, double dpiY);
};
