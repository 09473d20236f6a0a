#include "engine/ResultMetadata.h"

ResultMetadata ResultMetadata::of(const ExifBlock& exif, const MetadataSegments& metadata,
                                  QSize size, double dpiX, double dpiY) {
    const int w = size.width();
    const int h = size.height();
    return {exif.forResult(w, h, dpiX, dpiY).value_or(ExifBlock()).app1Payload(),
            metadata.forResult(w, h, dpiX, dpiY)};
}
