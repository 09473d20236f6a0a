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

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "photo oracle: %s\n", what);
    std::abort();
}

void Check(bool condition, const char* what) {
    if (!condition)
        Fail(what);
}

bool SmallEnoughToDecode(const QByteArray& jpeg) {
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

void CheckOrientationUpright(const ExifBlock& exif, const char* what) {
    const std::optional<int> orientation = exif.Orientation();
    Check(!orientation || *orientation == 1, what);
}

std::vector<std::string> MakeSeeds() {
    std::vector<std::string> seeds;
    const auto add = [&seeds](const QByteArray& bytes) { seeds.emplace_back(bytes.toStdString()); };
    const QByteArray plain = fixtures::Jpeg(fixtures::Gradient(16, 12), 90);
    add(plain);
    fixtures::ExifFields shot;
    shot.dateTimeOriginal = "2006:07:14 10:20:30";
    shot.make = "Lumicam";
    shot.model = "LC-1";
    add(fixtures::WithExif(plain, shot));
    for (const int orientation : {3, 6, 8}) {
        fixtures::ExifFields turned = shot;
        turned.orientation = orientation;
        add(fixtures::WithExif(plain, turned));
    }
    fixtures::ExifFields full = shot;
    full.thumbnail = true;
    full.dpi = 300.0;
    add(fixtures::WithExif(fixtures::Jpeg(fixtures::Gradient(24, 16), 60), full));
    fixtures::ExifFields wrongType;
    wrongType.dateTimeOriginalAsShort = 2006;
    add(fixtures::WithExif(plain, wrongType));
    add(fixtures::WithRawExif(plain, fixtures::OversizedTiff(200)));
    for (const fixtures::HostileExif& hostile : fixtures::HostileExifBlocks())
        add(fixtures::WithRawExif(plain, hostile.tiff));
    return seeds;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    WriteSeedsIfAsked(MakeSeeds);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const QByteArray jpeg(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    // Metadata alone, as the shot date of a file is read.
    const ExifBlock exif = ExifBlock::FromJpeg(jpeg);
    (void)exif.AsciiTag(ExifBlock::kTagDateTimeOriginal);
    if (const std::optional<ExifBlock> upright = exif.Upright())
        CheckOrientationUpright(*upright, "an upright block still asks for a turn");
    if (const std::optional<ExifBlock> result = exif.ForResult(17, 9, 300.0, 300.0)) {
        CheckOrientationUpright(*result, "a result block still asks for a turn");
        Check(result->App1Payload().size() <= 0xFFFF - 2, "a result block overflows its segment");
    }

    if (!SmallEnoughToDecode(jpeg))
        return 0;
    const std::optional<Photo> photo = Photo::FromJpeg(jpeg);
    if (!photo)
        return 0;
    Check(!photo->IsNull() && photo->Width() > 0 && photo->Height() > 0,
          "a loaded photo has no pixels");
    Check(photo->Image().format() == QImage::Format_RGB888, "a loaded photo is not RGB888");
    CheckOrientationUpright(photo->Exif(), "a loaded photo still asks for a turn");
    Check(GetShotDate("/nonexistent/lumicut-fuzz.jpg", &photo->Exif()).isValid(),
          "no shot date for a loaded photo");

    // The result of this photo decodes to the same size and carries an upright block.
    const std::optional<QByteArray> encoded = photo->EncodeJpeg(75);
    Check(encoded.has_value(), "a loaded photo cannot be encoded");
    const JpegDecodeResult again = JpegCodec::Decode(*encoded);
    Check(again.Ok() && !again.dataWarning, "an encoded result does not decode cleanly");
    Check(again.image.size() == photo->Image().size(), "an encoded result changed size");
    CheckOrientationUpright(ExifBlock::FromJpeg(*encoded), "a saved result asks for a turn");
    return 0;
}
