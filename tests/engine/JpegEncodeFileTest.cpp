#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>
#include <csignal>
#include <cstdint>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "engine/JpegCodec.h"
#include "engine/NoiseImage.h"
#include "support/PhotoFixtures.h"

namespace {

TEST(JpegEncodeFile, WritesTheBytesEncodeGives) {
    const QByteArray exif = QByteArray("Exif\0\0", 6) + QByteArray("II*\0\x08\0\0\0", 8);
    const QByteArray segments("\xFF\xE2\x00\x05"
                              "abc",
                              7);
    const struct {
        const char* name;
        QImage image;
        int quality;
        QByteArray exif;
        double dpi;
        QByteArray segments;
    } rows[] = {
        {"one pixel", fixtures::gradient(1, 1), 90, {}, 0.0, {}},
        {"halved chroma, metadata, resolution", fixtures::gradient(37, 21), 75, exif, 300.0,
         segments},
        {"several megabytes", noiseImage(1500, 1000), 100, exif, 72.0, segments},
        {"32-bit pixels",
         fixtures::gradient(20, 10).convertToFormat(QImage::Format_RGB32),
         95,
         {},
         0.0,
         {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const std::string path = dir.filePath("result.jpg").toStdString();
        const std::optional<QByteArray> inMemory =
            JpegCodec::encode(row.image, row.quality, row.exif, row.dpi, row.dpi, row.segments);
        ASSERT_TRUE(inMemory);
        ASSERT_TRUE(JpegCodec::encodeFile(path, row.image, row.quality, row.exif, row.dpi, row.dpi,
                                          row.segments));
        EXPECT_EQ(JpegCodec::readFile(path), inMemory);
        EXPECT_EQ(fixtures::folderEntries(dir.path().toStdString()),
                  std::vector<std::string>{"result.jpg"});
    }
}

TEST(JpegEncodeFile, FailureKeepsTheEarlierFile) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("result.jpg").toStdString();
    ASSERT_TRUE(JpegCodec::writeFileSafely(path, "earlier"));
    EXPECT_FALSE(JpegCodec::encodeFile(path, QImage(), 90));
    const QByteArray tooLong(65534, 'x');
    EXPECT_FALSE(JpegCodec::encodeFile(path, fixtures::gradient(8, 8), 90, tooLong));

    // A full disk, met in the middle of the compressed data (SIGXFSZ ignored).
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limited{std::size_t{1} << 20, saved.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool written = JpegCodec::encodeFile(path, noiseImage(1500, 1000), 100);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);

    EXPECT_EQ(JpegCodec::readFile(path), QByteArray("earlier"));
    EXPECT_EQ(fixtures::folderEntries(dir.path().toStdString()),
              std::vector<std::string>{"result.jpg"});
}

} // namespace
