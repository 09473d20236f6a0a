#include <gtest/gtest.h>

#include "engine/JpegCodec.h"
#include "engine/NoiseImage.h"
#include "support/PhotoFixtures.h"

#include <QBuffer>
#include <QImageWriter>
#include <QTemporaryDir>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <turbojpeg.h>
#include <unistd.h>

namespace {

using fixtures::colorDistance;
using fixtures::turboJpeg;

// Standard input closed, as some launchers start programs: the next file opened gets
// descriptor 0, which is no failure.
struct StdinClosed {
    int saved = ::dup(STDIN_FILENO);
    StdinClosed() { ::close(STDIN_FILENO); }
    ~StdinClosed() {
        ::dup2(saved, STDIN_FILENO);
        ::close(saved);
    }
};

// good with stray bytes before its first quantisation table (FF DB): decoders warn
// "extraneous bytes before marker" and go on.
QByteArray withStrayBytes(const QByteArray& good) {
    const qsizetype dqt = good.indexOf(QByteArray("\xFF\xDB", 2));
    return good.left(dqt) + QByteArray("\x00\x11\x22", 3) + good.mid(dqt);
}

TEST(JpegCodec, DecodesEveryLayoutAndWarningToTheEnd) {
    const QImage source = fixtures::gradient(61, 37); // odd sizes: partial blocks at the edges
    const QByteArray good = fixtures::jpeg(source, 95);
    QByteArray newerJfif = good;
    newerJfif[11] = 2; // JFIF major version
    const QByteArray stray = withStrayBytes(good);
    // clang-format off
    // warning (the first warning's words, or nothing)
    const struct { const char* name; QByteArray bytes; const char* warning; } rows[] = {
        {"plain", good, nullptr},
        {"unknown JFIF revision", newerJfif, "JFIF"},
        {"stray bytes, then the data cut short", stray.left(stray.size() - 40), "extraneous"},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const JpegDecodeResult decoded = JpegCodec::decode(row.bytes);
        ASSERT_TRUE(decoded.ok()) << decoded.detail;
        EXPECT_EQ(decoded.dataWarning, row.warning != nullptr);
        EXPECT_NE(decoded.detail.find(row.warning ? row.warning : ""), std::string::npos)
            << decoded.detail;
        ASSERT_EQ(decoded.image.format(), QImage::Format_RGB888);
        ASSERT_EQ(decoded.image.size(), source.size());
        EXPECT_LE(fixtures::largestDifference(source.copy(0, 0, 61, 20),
                                              decoded.image.copy(0, 0, 61, 20)),
                  16);
    }
}

TEST(JpegCodec, LargeImagesAndCmykComeOutAsOrdinaryRgbImages) {
    // Above 4 MB of pixels the buffer comes from its own mapping.
    const QImage source = fixtures::gradient(1501, 1001);
    QImage decoded = JpegCodec::decode(fixtures::jpeg(source, 95)).image;
    ASSERT_EQ(decoded.size(), source.size());
    EXPECT_LE(colorDistance(decoded.pixelColor(1500, 1000), source.pixelColor(1500, 1000)), 6);
    QImage copy = decoded;
    copy.setPixelColor(0, 0, Qt::black); // detaches from the mapped buffer
    EXPECT_NE(decoded.pixelColor(0, 0), QColor(Qt::black));

    // Inks stored inverted, as Adobe programs write them: 255 is no ink.
    std::vector<unsigned char> cmyk;
    for (int i = 0; i < 16 * 16; ++i)
        cmyk.insert(cmyk.end(), {200, 100, 50, 255});
    const JpegDecodeResult fromCmyk =
        JpegCodec::decode(turboJpeg(cmyk.data(), 16, 16, 0, TJPF_CMYK, TJSAMP_444, 100));
    ASSERT_TRUE(fromCmyk.ok());
    EXPECT_LE(colorDistance(fromCmyk.image.pixelColor(8, 8), QColor(200, 100, 50)), 3);
}

TEST(JpegCodec, RefusesWhatIsNoUsableJpeg) {
    const QByteArray good = fixtures::jpeg(fixtures::gradient(64, 48));
    // A progressive file that warns in its header, then names a component that does not exist
    // in its second scan: a fatal error after the first scan.
    QByteArray broken;
    QBuffer buffer(&broken);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    ASSERT_TRUE(writer.write(fixtures::gradient(64, 48)));
    broken = withStrayBytes(broken);
    const qsizetype scan = broken.indexOf(QByteArray("\xFF\xDA", 2));
    broken[broken.indexOf(QByteArray("\xFF\xDA", 2), scan + 2) + 5] = char(0x7F);
    // clang-format off
    const struct { const char* name; QByteArray bytes; JpegDecodeError expected; } rows[] = {
        {"only SOI", good.left(2), JpegDecodeError::NotJpeg},
        {"header claims width 0", fixtures::withDimensions(good, 0, 48), JpegDecodeError::NotJpeg},
        {"header claims height 0", fixtures::withDimensions(good, 64, 0), JpegDecodeError::NotJpeg},
        {"SOI then garbage", QByteArray("\xFF\xD8garbage garbage garbage", 25), JpegDecodeError::NotJpeg},
        {"width 60000", fixtures::withDimensions(good, 60000, 8), JpegDecodeError::SideTooLong},
        {"height 60000", fixtures::withDimensions(good, 8, 60000), JpegDecodeError::SideTooLong},
        {"40000 x 40000", fixtures::withDimensions(good, 40000, 40000), JpegDecodeError::TooManyPixels},
        {"warned in the header, then a fatal error", broken, JpegDecodeError::Corrupt},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const JpegDecodeResult result = JpegCodec::decode(row.bytes);
        EXPECT_EQ(result.error, row.expected);
        EXPECT_TRUE(result.image.isNull());
    }
    // Just below the limit: the scan data runs out long before, the rest comes out grey.
    const JpegDecodeResult wide = JpegCodec::decode(fixtures::withDimensions(good, 59999, 8));
    ASSERT_TRUE(wide.ok());
    EXPECT_EQ(wide.image.size(), QSize(59999, 8));
    EXPECT_EQ(wide.image.pixelColor(59000, 7), QColor(128, 128, 128));
}

TEST(JpegCodec, ReducedDecodeCoversWhatIsShown) {
    // clang-format off
    const struct { const char* name; QSize photo, shown; int denominator; } rows[] = {
        {"nothing shown yet", {800, 600}, {0, 0}, 1},
        {"a little over half", {800, 600}, {410, 310}, 1},
        {"half", {800, 600}, {400, 300}, 2},
        {"a quarter", {800, 600}, {200, 150}, 4},
        {"an eighth would be a row short", {800, 600}, {100, 76}, 4},
        {"an eighth or less", {800, 600}, {50, 40}, 8},
        {"sides rounded up as the decoder does", {804, 604}, {101, 76}, 8},
    };
    // clang-format on
    for (const auto& row : rows)
        EXPECT_EQ(JpegCodec::scaleDenominator(row.photo, row.shown), row.denominator) << row.name;
    const QByteArray jpeg = fixtures::jpeg(fixtures::gradient(800, 600));
    for (const auto& [denominator, size] : {std::pair{2, QSize(400, 300)},
                                            {3, QSize(800, 600)},
                                            {4, QSize(200, 150)},
                                            {8, QSize(100, 75)}})
        EXPECT_EQ(JpegCodec::decode(jpeg, denominator).image.size(), size) << denominator;
}

TEST(JpegCodec, EncodedHeaderHoldsDensityAndMetadata) {
    const QByteArray payload = QByteArray("Exif\0\0", 6) + QByteArray("II*\0\x08\0\0\0", 8);
    const QByteArray other("\xFF\xE2\x00\x05"
                           "abc",
                           7);
    const QImage image = fixtures::gradient(20, 10);
    const std::optional<QByteArray> bytes =
        JpegCodec::encode(image, 90, payload, 300, 150.4, other);
    ASSERT_TRUE(bytes);
    // SOI, JFIF in dots per inch, 300 x 150, then the metadata segments as given.
    EXPECT_EQ(bytes->left(18),
              QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF\0\x01\x01\x01\x01\x2C\x00\x96", 18));
    const QByteArray expected = QByteArray("\xFF\xE1\x00\x10", 4) + payload + other + "\xFF\xDB";
    EXPECT_EQ(bytes->mid(20, expected.size()), expected);
    EXPECT_FALSE(JpegCodec::decode(*bytes).dataWarning);
    EXPECT_FALSE(JpegCodec::encode(image, 90, QByteArray("Exif\0\0", 6) + QByteArray(65528, 'x')))
        << "EXIF beyond one segment";
    // Without a resolution both ways, the density says only the pixels' proportions. Bytes
    // another coder wrote get the very header encode writes.
    const QByteArray plain = *JpegCodec::encode(image, 90);
    for (const auto& [dpiX, dpiY] : {std::pair{0.0, 150.0}, {150.0, 0.0}, {300.0, 150.4}}) {
        const std::optional<QByteArray> encoded =
            JpegCodec::encode(image, 90, payload, dpiX, dpiY, other);
        EXPECT_EQ(encoded->mid(13, 5) == QByteArray("\0\0\1\0\1", 5), dpiX == 0.0 || dpiY == 0.0);
        EXPECT_EQ(JpegCodec::withMetadata(plain, payload, dpiX, dpiY, other), encoded);
    }
}

TEST(JpegCodec, EncodesAsTurboJpegDoes) {
    // Chroma kept whole from quality 90, halved both ways below; the accurate transform from
    // quality 96, the fast one below.
    const QImage image = noiseImage(48, 32);
    for (const auto& [quality, sampling] :
         {std::pair{89, TJSAMP_420}, {90, TJSAMP_444}, {95, TJSAMP_444}, {96, TJSAMP_444}}) {
        const QByteArray turbo = turboJpeg(image.constBits(), 48, 32, int(image.bytesPerLine()),
                                           TJPF_RGB, sampling, quality);
        EXPECT_EQ(JpegCodec::encode(image, quality), turbo) << "quality " << quality;
        EXPECT_EQ(JpegCodec::encode(image.convertToFormat(QImage::Format_RGB32), quality), turbo);
    }
}

// Result files: the path shows the earlier bytes or the new ones, nothing else is left.
TEST(JpegCodec, SafeWriteReplacesKeepingRightsAndLeavesNothingElse) {
    QTemporaryDir dir;
    const auto path = [&](const char* name) { return dir.filePath(name).toStdString(); };
    const StdinClosed stdinClosed; // the first temporary file gets descriptor 0
    ASSERT_TRUE(JpegCodec::writeFileSafely(path("result.jpg"), "first"));
    ::chmod(path("result.jpg").c_str(), 0440); // an earlier result without write permission
    ASSERT_TRUE(JpegCodec::writeFileSafely(path("result.jpg"), "second, longer"));
    EXPECT_EQ(JpegCodec::readFile(path("result.jpg")), QByteArray("second, longer"));
    struct stat info {};
    ASSERT_EQ(::stat(path("result.jpg").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0440u);
    // A link where the result goes is replaced, a plain file with the usual rights; what it
    // pointed to is left alone.
    std::filesystem::create_directory(path("folder"));
    ::chmod(path("folder").c_str(), 0701);
    ASSERT_EQ(::symlink(path("folder").c_str(), path("link.jpg").c_str()), 0);
    ASSERT_TRUE(JpegCodec::writeFileSafely(path("link.jpg"), "third"));
    ASSERT_EQ(::lstat(path("link.jpg").c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_NE(info.st_mode & 0777, 0701u);
    EXPECT_EQ(fixtures::folderEntries(dir.path().toStdString()),
              (std::vector<std::string>{"folder", "link.jpg", "result.jpg"}));
}

TEST(JpegCodec, EncodeFileThatFailsKeepsTheEarlierFile) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/";
    const std::string path = folder + "result.jpg";
    std::filesystem::create_directories(folder + "inTheWay/result.jpg/inside");
    // clang-format off
    // Why a temporary file cannot be opened is the system's business: a missing folder stands
    // for all. sizeLimit (a full disk, met in the compressed data); neverReplace (encodeNewFile,
    // which must report the file there)
    const struct { const char* name; std::string path; QImage image; rlim_t sizeLimit = RLIM_INFINITY; bool neverReplace = false; } rows[] = {
        {"no pixels", path, QImage()},
        {"missing folder", folder + "missing/result.jpg", fixtures::gradient(8, 8)},
        {"a folder where the result goes", folder + "inTheWay/result.jpg", fixtures::gradient(8, 8)},
        {"disk full", path, noiseImage(1500, 1000), rlim_t{1} << 20},
        {"a file already there, not to be replaced", path, fixtures::gradient(8, 8), RLIM_INFINITY, true},
    };
    // clang-format on
    ASSERT_TRUE(JpegCodec::writeFileSafely(path, "earlier"));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        rlimit saved{};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limited{std::min(row.sizeLimit, saved.rlim_max), saved.rlim_max};
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
        if (row.neverReplace) {
            EXPECT_EQ(JpegCodec::encodeNewFile(row.path, row.image, 100),
                      NewFileOutcome::TargetExists);
        } else {
            EXPECT_FALSE(JpegCodec::encodeFile(row.path, row.image, 100));
        }
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_EQ(JpegCodec::readFile(path), QByteArray("earlier"));
        EXPECT_EQ(fixtures::folderEntries(folder),
                  (std::vector<std::string>{"inTheWay", "result.jpg"}));
    }
    EXPECT_EQ(fixtures::folderEntries(folder + "inTheWay"), std::vector<std::string>{"result.jpg"});
}

} // namespace
