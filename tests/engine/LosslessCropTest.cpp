#include <gtest/gtest.h>

#include "engine/JpegCodec.h"
#include "engine/LosslessCrop.h"
#include "engine/NoiseImage.h"
#include "engine/Photo.h"
#include "support/PhotoFixtures.h"

#include <QTemporaryDir>
#include <string>
#include <turbojpeg.h>

namespace {

// Stored pixels of width x height carrying an EXIF orientation, the chroma halved both ways
// (blocks of 16 x 16 pixels) or across only (16 x 8, as many cameras store it).
QByteArray stored(int width, int height, int orientation, TJSAMP sampling = TJSAMP_420) {
    const QImage pixels = noiseImage(width, height);
    const QByteArray jpeg = fixtures::turboJpeg(pixels.constBits(), width, height,
                                                int(pixels.bytesPerLine()), TJPF_RGB, sampling, 85);
    return fixtures::withExif(jpeg, {.orientation = orientation, .make = "Lumicam"});
}

TEST(LosslessCrop, CutsTheCentredFrameOnTheBlockGridTurnedUpright) {
    // clang-format off
    // crop (upright photo pixels)
    const struct { const char* name; QByteArray jpeg; double heightCm, widthCm; QRect crop; bool turned; } rows[] = {
        // The 15 x 10 frame on 320 x 240 is (0, 13) 320 x 214; the 10 x 10 one (40, 0) 240 x 240.
        {"upright", stored(320, 240, 1), 15, 10, {0, 0, 320, 214}, false},
        {"upright, square format", stored(320, 240, 1), 10, 10, {32, 0, 240, 240}, false},
        {"8 x 8 blocks", stored(320, 240, 1, TJSAMP_444), 10, 10, {40, 0, 240, 240}, false},
        {"stored a quarter turn left", stored(240, 320, 6), 15, 10, {0, 0, 320, 214}, true},
        {"stored upside down", stored(320, 240, 3), 10, 10, {32, 0, 240, 240}, true},
        // Turned, the 16 x 8 blocks are 8 x 16: the corner keeps to 16 pixels both ways.
        {"16 x 8 blocks stored a quarter turn left", stored(240, 320, 6, TJSAMP_422), 15, 10, {0, 0, 320, 214}, true},
        // Upright 248 x 328: the blocks of its first 8 columns cannot be turned; the frame
        // (14, 0) 220 x 328 starts after them.
        {"quarter turn, partial blocks outside the frame", stored(328, 248, 6), 15, 10, {8, 0, 220, 328}, true},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const std::string path = dir.filePath("cut.jpg").toStdString();
        const LosslessResult result =
            LosslessCrop::write(row.jpeg, row.heightCm, row.widthCm, path);
        ASSERT_EQ(result.outcome, LosslessOutcome::Written) << result.reason;
        EXPECT_EQ(result.crop, row.crop);
        EXPECT_EQ(result.turned, row.turned);
        // The same coefficients decode to the pixels of the photo's region: exactly, or with
        // the rounding of turned blocks' inverse transform and upsampling (a pixel out of
        // place would differ by about a hundred).
        const std::optional<Photo> source = Photo::fromJpeg(row.jpeg);
        const std::optional<Photo> cut = Photo::load(path);
        ASSERT_TRUE(source && cut);
        ASSERT_EQ(cut->image().size(), row.crop.size());
        // Inside a margin of 2 pixels, where chroma upsampling does not reach across the cut.
        EXPECT_LE(fixtures::largestDifference(cut->image(), source->image().copy(row.crop), 2),
                  row.turned ? 3 : 0);
    }
}

TEST(LosslessCrop, WritesNothingWhenTheBlocksCannotGiveTheResult) {
    // clang-format off
    const struct { const char* name; QByteArray jpeg; bool fileThere; LosslessOutcome outcome; } rows[] = {
        // Upright 254 x 320: its first 14 columns are partial blocks, inside the 254 x 254 frame.
        {"turn needing the partial blocks", stored(320, 254, 6), false, LosslessOutcome::NeedsDecode},
        {"32 x 8 blocks", stored(320, 240, 1, TJSAMP_411), false, LosslessOutcome::NeedsDecode},
        {"not a JPEG", "GIF89a, not a photo", false, LosslessOutcome::Failed},
        {"a side past the decode's limit", fixtures::withDimensions(stored(320, 240, 1), 60000, 240), false, LosslessOutcome::Failed},
        {"a file at the path", stored(320, 240, 1), true, LosslessOutcome::TargetExists},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const std::string path = dir.filePath("cut.jpg").toStdString();
        if (row.fileThere) {
            ASSERT_TRUE(fixtures::writeFile(path, "earlier result"));
        }
        const LosslessResult result = LosslessCrop::write(row.jpeg, 10, 10, path);
        EXPECT_EQ(result.outcome, row.outcome) << result.reason;
        EXPECT_EQ(result.reason.empty(), row.outcome == LosslessOutcome::TargetExists);
        EXPECT_EQ(fixtures::folderEntries(dir.path().toStdString()),
                  row.fileThere ? std::vector<std::string>{"cut.jpg"} : std::vector<std::string>{});
        if (row.fileThere) {
            EXPECT_EQ(JpegCodec::readFile(path), QByteArray("earlier result"));
        }
    }
}

} // namespace
