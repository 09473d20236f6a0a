// Fuzz target of photo loading: the input is a JPEG file's bytes, EXIF included. It goes
// through what opening a photo does (EXIF segment search and parsing, decode, orientation,
// upright block) and what saving a result does with it (result EXIF block, encode), and the
// shot date is read from the held photo.

#include "SeedWriter.h"
#include "engine/JpegCodec.h"
#include "engine/Photo.h"
#include "metadata/ExifBlock.h"
#include "naming/ShotDate.h"
#include "support/PhotoFixtures.h"

#include <QByteArray>
#include <QDateTime>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <turbojpeg.h>
#include <vector>

namespace {

// Headers promising more pixels than this are left out: the decoder would spend the run
// filling a large gray picture from a few bytes, which tells nothing new. The size limits
// themselves are covered by the unit tests.
constexpr std::int64_t kMaxFuzzPixels = 1 << 20;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "photo oracle: %s\n", what);
    std::abort();
}

void check(bool condition, const char* what) {
    if (!condition)
        fail(what);
}

bool smallEnoughToDecode(const QByteArray& jpeg) {
    tjhandle handle = tjInitDecompress();
    if (handle == nullptr)
        return false;
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colorspace = 0;
    const int status = tjDecompressHeader3(
        handle, reinterpret_cast<const unsigned char*>(jpeg.constData()),
        static_cast<unsigned long>(jpeg.size()), &width, &height, &subsampling, &colorspace);
    tjDestroy(handle);
    return status != 0 || std::int64_t{width} * height <= kMaxFuzzPixels;
}

void checkOrientationUpright(const ExifBlock& exif, const char* what) {
    const std::optional<int> orientation = exif.orientation();
    check(!orientation || *orientation == 1, what);
}

std::vector<std::string> makeSeeds() {
    std::vector<std::string> seeds;
    const auto add = [&seeds](const QByteArray& bytes) { seeds.emplace_back(bytes.toStdString()); };
    const QByteArray plain = fixtures::jpeg(fixtures::gradient(16, 12), 90);
    add(plain);
    fixtures::ExifFields shot;
    shot.dateTimeOriginal = "2006:07:14 10:20:30";
    shot.make = "Lumicam";
    shot.model = "LC-1";
    add(fixtures::withExif(plain, shot));
    for (const int orientation : {3, 6, 8}) {
        fixtures::ExifFields turned = shot;
        turned.orientation = orientation;
        add(fixtures::withExif(plain, turned));
    }
    fixtures::ExifFields full = shot;
    full.thumbnail = true;
    full.dpi = 300.0;
    add(fixtures::withExif(fixtures::jpeg(fixtures::gradient(24, 16), 60), full));
    fixtures::ExifFields wrongType;
    wrongType.dateTimeOriginalAsShort = 2006;
    add(fixtures::withExif(plain, wrongType));
    add(fixtures::withRawExif(plain, fixtures::oversizedTiff(200)));
    for (const fixtures::HostileExif& hostile : fixtures::hostileExifBlocks())
        add(fixtures::withRawExif(plain, hostile.tiff));
    return seeds;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    writeSeedsIfAsked(makeSeeds);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const QByteArray jpeg(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    // Metadata alone, as the shot date of a file is read.
    const ExifBlock exif = ExifBlock::fromJpeg(jpeg);
    (void)exif.asciiTag(ExifBlock::kTagDateTimeOriginal);
    if (const std::optional<ExifBlock> upright = exif.upright())
        checkOrientationUpright(*upright, "an upright block still asks for a turn");
    if (const std::optional<ExifBlock> result = exif.forResult(17, 9, 300.0, 300.0)) {
        checkOrientationUpright(*result, "a result block still asks for a turn");
        check(result->app1Payload().size() <= 0xFFFF - 2, "a result block overflows its segment");
    }

    if (!smallEnoughToDecode(jpeg))
        return 0;
    const std::optional<Photo> photo = Photo::fromJpeg(jpeg);
    if (!photo)
        return 0;
    check(!photo->isNull() && photo->width() > 0 && photo->height() > 0,
          "a loaded photo has no pixels");
    check(photo->image().format() == QImage::Format_RGB888, "a loaded photo is not RGB888");
    checkOrientationUpright(photo->exif(), "a loaded photo still asks for a turn");
    check(shotDate("/nonexistent/lumicut-fuzz.jpg", &photo->exif()).isValid(),
          "no shot date for a loaded photo");

    // The result of this photo decodes to the same size and carries an upright block.
    const std::optional<QByteArray> encoded = photo->encodeJpeg(75);
    check(encoded.has_value(), "a loaded photo cannot be encoded");
    const JpegDecodeResult again = JpegCodec::decode(*encoded);
    check(again.ok() && !again.dataWarning, "an encoded result does not decode cleanly");
    check(again.image.size() == photo->image().size(), "an encoded result changed size");
    checkOrientationUpright(ExifBlock::fromJpeg(*encoded), "a saved result asks for a turn");
    return 0;
}
