#include "engine/LosslessCrop.h"

#include "engine/FrameGeometry.h"
#include "engine/JpegCodec.h"
#include "engine/Photo.h"
#include "engine/ResultMetadata.h"
#include "metadata/ExifBlock.h"
#include "metadata/MetadataSegments.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>

namespace {

// A corner moved back to the block grid moves by less than this, photo pixels per side; a
// coarser grid (4:1:1 sampling) would move the cut too far from the centre.
constexpr int kMaxGridStep = 16;

// The transform that turns blocks stored with an EXIF orientation upright, and how it lays out
// the turned image: transposed (sides swapped), mirrored along x or y of the turned image.
struct Turn {
    TJXOP op = TJXOP_NONE;
    bool transposes = false;
    bool mirrorsX = false;
    bool mirrorsY = false;
};

Turn turnFor(int orientation) {
    switch (orientation) {
    case 2:
        return {TJXOP_HFLIP, false, true, false};
    case 3:
        return {TJXOP_ROT180, false, true, true};
    case 4:
        return {TJXOP_VFLIP, false, false, true};
    case 5:
        return {TJXOP_TRANSPOSE, true, false, false};
    case 6: // stored a quarter turn left: turned right
        return {TJXOP_ROT90, true, true, false};
    case 7:
        return {TJXOP_TRANSVERSE, true, true, true};
    case 8:
        return {TJXOP_ROT270, true, false, true};
    default:
        return {};
    }
}

// The block grid the corner of a cut keeps in the turned image, photo pixels: the turned
// image's block size, and a multiple of the stored photo's (TurboJPEG checks the corner
// against that one too).
QSize gridStep(int subsampling, const Turn& turn) {
    const int storedWidth = tjMCUWidth[subsampling];
    const int storedHeight = tjMCUHeight[subsampling];
    if (!turn.transposes)
        return {storedWidth, storedHeight};
    const int side = std::max(storedWidth, storedHeight);
    return {side, side};
}

// A mirrored side of the turned image cannot take the partial blocks at the stored photo's
// right or bottom edge along: the transform leaves them out, so the upright photo's first
// pixels along that side (as many as that partial block holds) have no place in the
// transform's image, and everything after them sits that much earlier.
int lostPixels(int side, int block, bool mirrored) {
    return mirrored ? side % block : 0;
}

// Where the cut lies in the image the transform writes, and in the upright photo.
struct BlockCut {
    tjregion region{};
    QRect upright;
};

// The frame's corner moved back to the grid; nothing when the frame reaches into lost pixels.
std::optional<BlockCut> blockCut(QRect frame, QSize upright, int subsampling, const Turn& turn) {
    const QSize step = gridStep(subsampling, turn);
    // The turned image's own block size along each side.
    const int blockX = turn.transposes ? tjMCUHeight[subsampling] : tjMCUWidth[subsampling];
    const int blockY = turn.transposes ? tjMCUWidth[subsampling] : tjMCUHeight[subsampling];
    const int lostX = lostPixels(upright.width(), blockX, turn.mirrorsX);
    const int lostY = lostPixels(upright.height(), blockY, turn.mirrorsY);
    if (frame.x() < lostX || frame.y() < lostY)
        return std::nullopt;
    const int x = (frame.x() - lostX) / step.width() * step.width();
    const int y = (frame.y() - lostY) / step.height() * step.height();
    return BlockCut{{x, y, frame.width(), frame.height()},
                    QRect(x + lostX, y + lostY, frame.width(), frame.height())};
}

struct TjDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
    void operator()(unsigned char* buffer) const { tjFree(buffer); }
};
using TjHandle = std::unique_ptr<void, TjDeleter>;
using TjBuffer = std::unique_ptr<unsigned char, TjDeleter>;

LosslessResult needsDecode(std::string reason) {
    return {LosslessOutcome::NeedsDecode, std::move(reason), false, {}};
}

LosslessResult failed(std::string reason) {
    return {LosslessOutcome::Failed, std::move(reason), false, {}};
}

LosslessResult cut(const QByteArray& jpeg, double heightCm, double widthCm,
                   const std::string& path) {
    const std::optional<QSize> upright = Photo::uprightSize(jpeg);
    if (!upright)
        return failed("no readable JPEG header");
    const QRect frame = FrameGeometry::centredFrame(*upright, heightCm, widthCm);
    if (frame.isEmpty())
        return failed("no print format");

    const TjHandle handle(tjInitTransform());
    if (!handle)
        return failed(tjGetErrorStr2(nullptr));
    const auto* data = reinterpret_cast<const unsigned char*>(jpeg.constData());
    const auto size = static_cast<unsigned long>(jpeg.size());
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colorspace = 0;
    // libjpeg read the header: what TurboJPEG declines here (an unusual sampling layout) the
    // decode still opens.
    if (tjDecompressHeader3(handle.get(), data, size, &width, &height, &subsampling, &colorspace) !=
        0)
        return needsDecode(tjGetErrorStr2(handle.get()));
    // The limits a decode applies: the transform holds every coefficient of the photo.
    if (width >= JpegCodec::kMaxSide || height >= JpegCodec::kMaxSide ||
        std::int64_t{width} * height > JpegCodec::kMaxPixels)
        return failed("photo too large");
    if (colorspace != TJCS_YCbCr && colorspace != TJCS_GRAY)
        return needsDecode("colour space kept only through a decode");
    if (subsampling < 0 || subsampling >= TJ_NUMSAMP)
        return needsDecode("sampling layout the transform does not know");

    const ExifBlock exif = ExifBlock::fromJpeg(jpeg);
    const Turn turn = turnFor(exif.orientation().value_or(1));
    const QSize step = gridStep(subsampling, turn);
    if (step.width() > kMaxGridStep || step.height() > kMaxGridStep)
        return needsDecode("block grid coarser than 16 pixels");
    const std::optional<BlockCut> blocks = blockCut(frame, *upright, subsampling, turn);
    if (!blocks)
        return needsDecode("the turn needs the partial blocks at the photo's edge");

    tjtransform transform{};
    transform.r = blocks->region;
    transform.op = turn.op;
    transform.options = TJXOPT_CROP | TJXOPT_COPYNONE;
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    const int status =
        tjTransform(handle.get(), data, size, 1, &out, &outSize, &transform, TJFLAG_LIMITSCANS);
    const TjBuffer coded(out);
    if (status != 0)
        return needsDecode(tjGetErrorStr2(handle.get()));

    // The resolution at which the cut prints at the format's size, as a crop saved from the
    // window states it: the same frame orientation on the same upright photo.
    FrameGeometry geometry;
    geometry.setPhotoSize(upright->width(), upright->height());
    geometry.setFormat(heightCm, widthCm, {});
    const QSize cutSize = blocks->upright.size();
    const std::optional<PrintDpi> dpi = geometry.printResolution(cutSize.width(), cutSize.height());
    if (!dpi)
        return failed("no print format");
    const ResultMetadata metadata =
        ResultMetadata::of(exif, MetadataSegments::fromJpeg(jpeg), cutSize, dpi->x, dpi->y);
    const std::optional<QByteArray> bytes =
        JpegCodec::withMetadata(QByteArray::fromRawData(reinterpret_cast<const char*>(coded.get()),
                                                        static_cast<qsizetype>(outSize)),
                                metadata.exifPayload, dpi->x, dpi->y, metadata.segments);
    if (!bytes)
        return failed("metadata does not fit the result");
    const NewFileOutcome written = JpegCodec::writeNewFile(path, *bytes);
    if (written == NewFileOutcome::Failed)
        return failed("cannot write the result");
    return {written == NewFileOutcome::Written ? LosslessOutcome::Written
                                               : LosslessOutcome::TargetExists,
            {},
            turn.op != TJXOP_NONE,
            blocks->upright};
}

} // namespace

LosslessResult LosslessCrop::write(const QByteArray& jpeg, double heightCm, double widthCm,
                                   const std::string& path) {
    try {
        return cut(jpeg, heightCm, widthCm, path);
    } catch (const std::exception& error) { // out of memory on the way
        return failed(error.what());
    }
}
