#include <gtest/gtest.h>

#include "engine/JpegCodec.h"
#include "support/PhotoFixtures.h"
#include "support/ReadOnlyFolder.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QTransform>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <turbojpeg.h>
#include <unistd.h>

namespace {

using fixtures::colorDistance;

// Offset of the first SOF0/SOF2 marker's height field.

// good with stray bytes before its first quantisation table (FF DB): decoders warn
// "extraneous bytes before marker" and go on.
QByteArray withStrayBytes(const QByteArray& good) {
    const qsizetype dqt = good.indexOf(QByteArray("\xFF\xDB", 2));
    return good.left(dqt) + QByteArray("\x00\x11\x22", 3) + good.mid(dqt);
}

// A progressive file that warns in its header, then names a component that does not
// exist in its second scan: the decoder stops with a fatal error after the first scan.
QByteArray warnedThenBroken() {
    QByteArray jpeg = withStrayBytes(fixtures::jpegWithSampling(
        fixtures::gradient(64, 48), {2, 2}, {1, 1}, {1, 1}, /*progressive=*/true));
    const qsizetype first = jpeg.indexOf(QByteArray("\xFF\xDA", 2));
    const qsizetype second = jpeg.indexOf(QByteArray("\xFF\xDA", 2), first + 2);
    jpeg[second + 5] = char(0x7F); // component selector of the scan's first component
    return jpeg;
}

// Largest channel difference between two images of the same size.
int worstDistance(const QImage& a, const QImage& b) {
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            worst = std::max(worst, colorDistance(a.pixelColor(x, y), b.pixelColor(x, y)));
    return worst;
}

TEST(JpegCodec, GradientSurvivesRoundTrip) {
    const QImage source = fixtures::gradient(97, 61); // odd sizes: partial MCUs at the edges
    const JpegDecodeResult decoded = JpegCodec::decode(fixtures::jpeg(source, 95));
    ASSERT_TRUE(decoded.ok());
    EXPECT_FALSE(decoded.dataWarning);
    ASSERT_EQ(decoded.image.format(), QImage::Format_RGB888);
    ASSERT_EQ(decoded.image.size(), source.size());
    EXPECT_LE(worstDistance(source, decoded.image), 6);
}

TEST(JpegCodec, LargeDecodedImagesBehaveAsOrdinaryImages) {
    // Above 4 MB of pixels the buffer comes from its own mapping.
    const QImage source = fixtures::gradient(1501, 1001);
    QImage decoded = JpegCodec::decode(fixtures::jpeg(source, 95)).image;
    ASSERT_EQ(decoded.size(), source.size());
    EXPECT_LE(colorDistance(decoded.pixelColor(1500, 1000), source.pixelColor(1500, 1000)), 6);
    QImage copy = decoded;
    copy.setPixelColor(0, 0, Qt::black); // detaches from the mapped buffer
    EXPECT_NE(decoded.pixelColor(0, 0), QColor(Qt::black));
    decoded.setPixelColor(1, 1, Qt::white); // sole owner: written in place
    EXPECT_EQ(decoded.pixelColor(1, 1), QColor(Qt::white));
    const QImage turned = decoded.transformed(QTransform().rotate(90));
    decoded = QImage();
    EXPECT_EQ(turned.pixelColor(1000 - 1, 1), QColor(Qt::white));
}

struct OpenRow {
    const char* name;
    QByteArray bytes;
    bool warns;
};

TEST(JpegCodec, OpensEveryLayoutAndWarningTheLibraryDecodesToTheEnd) {
    const QImage source = fixtures::gradient(61, 37);
    const QByteArray good = fixtures::jpeg(source, 95);
    QByteArray newerJfif = good;
    newerJfif[11] = 2; // JFIF major version
    using fixtures::jpegWithSampling;
    const std::vector<OpenRow> rows = {
        {"stray bytes before a marker", withStrayBytes(good), true},
        {"unknown JFIF revision", newerJfif, true},
        {"luma 3x1", jpegWithSampling(source, {3, 1}, {1, 1}, {1, 1}), false},
        {"luma 4x2", jpegWithSampling(source, {4, 2}, {1, 1}, {1, 1}), false},
        {"chroma 2x1 and 1x2 mixed", jpegWithSampling(source, {2, 2}, {2, 1}, {1, 2}), false},
        {"progressive luma 3x1", jpegWithSampling(source, {3, 1}, {1, 1}, {1, 1}, true), false},
    };
    for (const OpenRow& row : rows) {
        SCOPED_TRACE(row.name);
        const JpegDecodeResult decoded = JpegCodec::decode(row.bytes);
        ASSERT_TRUE(decoded.ok()) << decoded.detail;
        EXPECT_EQ(decoded.dataWarning, row.warns);
        EXPECT_EQ(decoded.detail.empty(), !row.warns) << "the decoder's own words on a warning";
        ASSERT_EQ(decoded.image.size(), source.size());
        EXPECT_LE(worstDistance(source, decoded.image), 16);
    }
}

TEST(JpegCodec, CmykJpegComesOutAsRgb) {
    // Inks stored inverted, as Adobe programs write them: 255 is no ink.
    constexpr int kSide = 16;
    std::vector<unsigned char> cmyk;
    for (int i = 0; i < kSide * kSide; ++i)
        cmyk.insert(cmyk.end(), {200, 100, 50, 255});
    tjhandle handle = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    ASSERT_EQ(tjCompress2(handle, cmyk.data(), kSide, kSide * 4, kSide, TJPF_CMYK, &jpeg, &size,
                          TJSAMP_444, 100, 0),
              0);
    const QByteArray bytes(reinterpret_cast<const char*>(jpeg), qsizetype(size));
    tjFree(jpeg);
    tjDestroy(handle);
    const JpegDecodeResult decoded = JpegCodec::decode(bytes);
    ASSERT_TRUE(decoded.ok());
    EXPECT_LE(colorDistance(decoded.image.pixelColor(8, 8), QColor(200, 100, 50)), 3);
}

struct RefusalRow {
    const char* name;
    QByteArray bytes;
    JpegDecodeError expected;
};

TEST(JpegCodec, RefusesWhatIsNoUsableJpeg) {
    const QByteArray good = fixtures::jpeg(fixtures::gradient(64, 48));
    const std::vector<RefusalRow> rows = {
        {"zero bytes", QByteArray(), JpegDecodeError::NotJpeg},
        {"only SOI", good.left(2), JpegDecodeError::NotJpeg},
        {"header claims width 0", fixtures::withDimensions(good, 0, 48), JpegDecodeError::NotJpeg},
        {"cut inside the header", good.left(100), JpegDecodeError::NotJpeg},
        {"PNG bytes", fixtures::pngBytes(), JpegDecodeError::NotJpeg},
        {"SOI then garbage", QByteArray("\xFF\xD8garbage garbage garbage", 25),
         JpegDecodeError::NotJpeg},
        {"header claims width 60000", fixtures::withDimensions(good, 60000, 8),
         JpegDecodeError::SideTooLong},
        {"header claims height 60000", fixtures::withDimensions(good, 8, 60000),
         JpegDecodeError::SideTooLong},
        {"header claims 65535 x 65535", fixtures::withDimensions(good, 65535, 65535),
         JpegDecodeError::SideTooLong},
        {"header claims 40000 x 40000 (too many pixels)",
         fixtures::withDimensions(good, 40000, 40000), JpegDecodeError::TooManyPixels},
        {"warned in the header, then a fatal error in a later scan", warnedThenBroken(),
         JpegDecodeError::Corrupt},
    };
    for (const RefusalRow& row : rows) {
        SCOPED_TRACE(row.name);
        const JpegDecodeResult result = JpegCodec::decode(row.bytes);
        EXPECT_FALSE(result.ok());
        EXPECT_EQ(result.error, row.expected);
        EXPECT_TRUE(result.image.isNull());
    }
}

TEST(JpegCodec, SideJustBelowTheLimitIsDecoded) {
    // The scan data runs out long before 59999 columns: the rest comes out gray.
    const QByteArray bytes =
        fixtures::withDimensions(fixtures::jpeg(fixtures::gradient(64, 48)), 59999, 8);
    const JpegDecodeResult result = JpegCodec::decode(bytes);
    ASSERT_TRUE(result.ok());
    EXPECT_TRUE(result.dataWarning);
    EXPECT_EQ(result.image.size(), QSize(59999, 8));
}

TEST(JpegCodec, DataCutShortGivesTheDecodedTopAndGrayBelow) {
    const QImage source = fixtures::gradient(256, 256);
    const QByteArray full = fixtures::jpeg(source, 90);
    const JpegDecodeResult result = JpegCodec::decode(full.left(full.size() / 2));
    ASSERT_TRUE(result.ok());
    EXPECT_TRUE(result.dataWarning);
    ASSERT_EQ(result.image.size(), source.size());
    EXPECT_LE(colorDistance(result.image.pixelColor(200, 3), source.pixelColor(200, 3)), 6);
    EXPECT_EQ(result.image.pixelColor(10, 255), QColor(128, 128, 128));
}

TEST(JpegCodec, FilesThatAreNoJpegAreRefused) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string text = dir.filePath("text.jpg").toStdString();
    const std::string pipe = dir.filePath("pipe.jpg").toStdString();
    ASSERT_TRUE(fixtures::writeFile(text, "hello"));
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::pair<std::string, JpegDecodeError> rows[] = {
        {text, JpegDecodeError::NotJpeg},
        {dir.filePath("missing.jpg").toStdString(), JpegDecodeError::ReadFailed},
        {dir.path().toStdString(), JpegDecodeError::ReadFailed},
        {pipe, JpegDecodeError::ReadFailed}, // not waited on
    };
    for (const auto& [path, error] : rows)
        EXPECT_EQ(JpegCodec::decodeFile(path).error, error) << path;
}

TEST(JpegCodec, MetadataSegmentsFollowTheJfifSegment) {
    const QByteArray payload = QByteArray("Exif\0\0", 6) + QByteArray("II*\0\x08\0\0\0", 8);
    const QByteArray other = QByteArray("\xFF\xE2\x00\x05"
                                        "abc",
                                        7);
    const std::optional<QByteArray> bytes =
        JpegCodec::encode(fixtures::gradient(20, 10), 90, payload, 0.0, 0.0, other);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->left(6), QByteArray("\xFF\xD8\xFF\xE0\x00\x10", 6));
    EXPECT_EQ(bytes->mid(6, 5), QByteArray("JFIF\0", 5));
    const QByteArray expected = QByteArray("\xFF\xE1\x00\x10", 4) + payload + other + "\xFF\xDB";
    EXPECT_EQ(bytes->mid(20, expected.size()), expected);
    const JpegDecodeResult decoded = JpegCodec::decode(*bytes);
    EXPECT_TRUE(decoded.ok()) << decoded.detail;
    EXPECT_FALSE(decoded.dataWarning) << decoded.detail;
}

TEST(JpegCodec, OversizedExifPayloadIsRefused) {
    const QByteArray payload = QByteArray("Exif\0\0", 6) + QByteArray(65528, 'x');
    EXPECT_TRUE(JpegCodec::encode(fixtures::gradient(20, 10), 90, payload.left(65533)));
    EXPECT_FALSE(JpegCodec::encode(fixtures::gradient(20, 10), 90, payload + 'x'));
}

TEST(JpegCodec, ChromaKeptWholeFromQuality90) {
    // Sampling factors of the first (luma) component: 2x2 when chroma is halved both ways.
    for (const auto& [quality, lumaSampling] : {std::pair{89, 0x22}, {90, 0x11}, {100, 0x11}}) {
        const std::optional<QByteArray> bytes =
            JpegCodec::encode(fixtures::gradient(32, 32), quality);
        ASSERT_TRUE(bytes);
        const qsizetype sof = fixtures::sofDimensionsOffset(*bytes);
        ASSERT_GT(sof, 0);
        EXPECT_EQ(uchar(bytes->at(sof + 6)), lumaSampling) << "quality " << quality;
    }
}

TEST(JpegCodec, ResolutionGoesIntoJfifDensity) {
    const std::optional<QByteArray> bytes =
        JpegCodec::encode(fixtures::gradient(20, 10), 90, {}, 300.0, 150.4);
    ASSERT_TRUE(bytes);
    ASSERT_EQ(bytes->mid(6, 5), QByteArray("JFIF\0", 5));
    EXPECT_EQ(uchar(bytes->at(13)), 1); // dots per inch
    EXPECT_EQ(uchar(bytes->at(14)) * 256 + uchar(bytes->at(15)), 300);
    EXPECT_EQ(uchar(bytes->at(16)) * 256 + uchar(bytes->at(17)), 150);
}

// Safe writing of result files: the path shows the earlier bytes or the new ones, nothing else
// is left beside them.
class SafeWrite : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    std::string path(const char* name) const { return m_dir.filePath(name).toStdString(); }
    QTemporaryDir m_dir;
};

TEST_F(SafeWrite, ReplacesKeepingRightsAndLeavesNothingElse) {
    const std::string target = path("result.jpg");
    ASSERT_TRUE(JpegCodec::writeFileSafely(target, "first"));
    EXPECT_EQ(JpegCodec::readFile(target), QByteArray("first"));
    ::chmod(target.c_str(), 0440); // an earlier result without write permission is replaced
    ASSERT_TRUE(JpegCodec::writeFileSafely(target, "second, longer"));
    EXPECT_EQ(JpegCodec::readFile(target), QByteArray("second, longer"));
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0440u);
    // A link standing where the result goes is replaced; what it pointed to is left alone.
    ASSERT_TRUE(fixtures::writeFile(path("other"), "other"));
    ASSERT_EQ(::symlink(path("other").c_str(), path("link.jpg").c_str()), 0);
    ASSERT_TRUE(JpegCodec::writeFileSafely(path("link.jpg"), "third"));
    EXPECT_FALSE(std::filesystem::is_symlink(path("link.jpg")));
    EXPECT_EQ(JpegCodec::readFile(path("other")), QByteArray("other"));
    EXPECT_EQ(fixtures::folderEntries(m_dir.path().toStdString()),
              (std::vector<std::string>{"link.jpg", "other", "result.jpg"}));
}

TEST_F(SafeWrite, RefusedWritesKeepTheEarlierFile) {
    const struct {
        const char* name;
        const char* target;
        bool earlierResult;
        bool folderInTheWay;
        bool readOnlyFolder;
        rlim_t sizeLimit; // stands in for a full disk, SIGXFSZ ignored
    } rows[] = {
        {"missing folder", "absent/result.jpg", false, false, false, RLIM_INFINITY},
        {"folder in the way", "result.jpg", false, true, false, RLIM_INFINITY},
        {"read-only folder", "out/result.jpg", true, false, true, RLIM_INFINITY},
        {"disk full", "out/result.jpg", true, false, false, 4096},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir scratch;
        const std::string path = scratch.filePath(row.target).toStdString();
        const QString folder = QString::fromStdString(std::filesystem::path(path).parent_path());
        std::filesystem::create_directory(scratch.filePath("out").toStdString());
        if (row.folderInTheWay)
            std::filesystem::create_directory(path);
        if (row.earlierResult) {
            ASSERT_TRUE(JpegCodec::writeFileSafely(path, "earlier"));
        }
        const std::optional<QByteArray> earlier = JpegCodec::readFile(path);
        const std::vector<std::string> entries = QDir(folder).exists()
                                                     ? fixtures::folderEntries(folder.toStdString())
                                                     : std::vector<std::string>{};
        std::optional<ReadOnlyFolder> readOnly;
        if (row.readOnlyFolder && !readOnly.emplace(folder.toStdString()).works())
            continue; // cannot make a read-only folder here
        rlimit saved{};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limited{row.sizeLimit, saved.rlim_max};
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
        const bool written = JpegCodec::writeFileSafely(path, QByteArray(100000, 'x'));
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        readOnly.reset();
        EXPECT_FALSE(written);
        EXPECT_EQ(JpegCodec::readFile(path), earlier);
        if (QDir(folder).exists()) {
            EXPECT_EQ(fixtures::folderEntries(folder.toStdString()), entries);
        }
    }
}

} // namespace
