#include <gtest/gtest.h>

#include "engine/JpegCodec.h"
#include "support/PhotoFixtures.h"

#include <QBuffer>
#include <QImageWriter>
#include <QTemporaryDir>
#include <filesystem>
#include <sys/stat.h>
#include <turbojpeg.h>
#include <unistd.h>

namespace {

using fixtures::colorDistance;

// good with stray bytes before its first quantisation table (FF DB): decoders warn
// "extraneous bytes before marker" and go on.
QByteArray withStrayBytes(const QByteArray& good) {
    const qsizetype dqt = good.indexOf(QByteArray("\xFF\xDB", 2));
    return good.left(dqt) + QByteArray("\x00\x11\x22", 3) + good.mid(dqt);
}

// Largest channel difference between two images of the same size.
int worstDistance(const QImage& a, const QImage& b) {
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            worst = std::max(worst, colorDistance(a.pixelColor(x, y), b.pixelColor(x, y)));
    return worst;
}

TEST(JpegCodec, DecodesEveryLayoutAndWarningToTheEnd) {
    const QImage source = fixtures::gradient(61, 37); // odd sizes: partial blocks at the edges
    const QByteArray good = fixtures::jpeg(source, 95);
    QByteArray newerJfif = good;
    newerJfif[11] = 2; // JFIF major version
    const QByteArray stray = withStrayBytes(good);
    const struct {
        const char* name;
        QByteArray bytes;
        const char* warning; // the first warning's words, or nothing
    } rows[] = {
        {"plain", good, nullptr},
        {"unknown JFIF revision", newerJfif, "JFIF"},
        {"stray bytes, then the data cut short", stray.left(stray.size() - 40), "extraneous"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const JpegDecodeResult decoded = JpegCodec::decode(row.bytes);
        ASSERT_TRUE(decoded.ok()) << decoded.detail;
        EXPECT_EQ(decoded.dataWarning, row.warning != nullptr);
        EXPECT_NE(decoded.detail.find(row.warning ? row.warning : ""), std::string::npos)
            << decoded.detail;
        ASSERT_EQ(decoded.image.format(), QImage::Format_RGB888);
        ASSERT_EQ(decoded.image.size(), source.size());
        EXPECT_LE(worstDistance(source.copy(0, 0, 61, 20), decoded.image.copy(0, 0, 61, 20)), 16);
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
    tjhandle handle = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    ASSERT_EQ(
        tjCompress2(handle, cmyk.data(), 16, 64, 16, TJPF_CMYK, &jpeg, &size, TJSAMP_444, 100, 0),
        0);
    const QByteArray bytes(reinterpret_cast<const char*>(jpeg), qsizetype(size));
    tjFree(jpeg);
    tjDestroy(handle);
    const JpegDecodeResult fromCmyk = JpegCodec::decode(bytes);
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
    QByteArray png;
    QBuffer pngBuffer(&png);
    ASSERT_TRUE(fixtures::gradient(32, 32).save(&pngBuffer, "PNG"));
    const struct {
        const char* name;
        QByteArray bytes;
        JpegDecodeError expected;
    } rows[] = {
        {"only SOI", good.left(2), JpegDecodeError::NotJpeg},
        {"header claims width 0", fixtures::withDimensions(good, 0, 48), JpegDecodeError::NotJpeg},
        {"PNG bytes", png, JpegDecodeError::NotJpeg},
        {"SOI then garbage", QByteArray("\xFF\xD8garbage garbage garbage", 25),
         JpegDecodeError::NotJpeg},
        {"width 60000", fixtures::withDimensions(good, 60000, 8), JpegDecodeError::SideTooLong},
        {"height 60000", fixtures::withDimensions(good, 8, 60000), JpegDecodeError::SideTooLong},
        {"40000 x 40000", fixtures::withDimensions(good, 40000, 40000),
         JpegDecodeError::TooManyPixels},
        {"warned in the header, then a fatal error", broken, JpegDecodeError::Corrupt},
    };
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

TEST(JpegCodec, FilesThatAreNoJpegAreRefused) {
    QTemporaryDir dir;
    const std::string text = dir.filePath("text.jpg").toStdString();
    const std::string pipe = dir.filePath("pipe.jpg").toStdString();
    ASSERT_TRUE(fixtures::writeFile(text, "hello"));
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::pair<std::string, JpegDecodeError> rows[] = {
        {text, JpegDecodeError::NotJpeg},
        // The system says 4096 bytes and gives fewer: what it gives is read.
        {"/sys/kernel/mm/transparent_hugepage/enabled", JpegDecodeError::NotJpeg},
        {dir.filePath("missing.jpg").toStdString(), JpegDecodeError::ReadFailed},
        {dir.path().toStdString(), JpegDecodeError::ReadFailed},
        {pipe, JpegDecodeError::ReadFailed}, // not waited on
    };
    for (const auto& [path, error] : rows) {
        if (std::filesystem::exists(path)) {
            EXPECT_EQ(JpegCodec::decodeFile(path).error, error) << path;
        }
    }
}

TEST(JpegCodec, EncodedHeaderHoldsDensityMetadataAndSampling) {
    const QByteArray payload = QByteArray("Exif\0\0", 6) + QByteArray("II*\0\x08\0\0\0", 8);
    const QByteArray other("\xFF\xE2\x00\x05"
                           "abc",
                           7);
    const std::optional<QByteArray> bytes =
        JpegCodec::encode(fixtures::gradient(20, 10), 90, payload, 300.0, 150.4, other);
    ASSERT_TRUE(bytes);
    // SOI, JFIF in dots per inch, 300 x 150, then the metadata segments as given.
    EXPECT_EQ(bytes->left(18),
              QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF\0\x01\x01\x01\x01\x2C\x00\x96", 18));
    const QByteArray expected = QByteArray("\xFF\xE1\x00\x10", 4) + payload + other + "\xFF\xDB";
    EXPECT_EQ(bytes->mid(20, expected.size()), expected);
    EXPECT_FALSE(JpegCodec::decode(*bytes).dataWarning);
    EXPECT_FALSE(JpegCodec::encode(fixtures::gradient(20, 10), 90,
                                   QByteArray("Exif\0\0", 6) + QByteArray(65528, 'x')))
        << "EXIF beyond one segment";
    // Chroma kept whole from quality 90: luma sampling 2x2 below, 1x1 from there.
    for (const auto& [quality, lumaSampling] : {std::pair{89, 0x22}, {90, 0x11}}) {
        const QByteArray jpeg = *JpegCodec::encode(fixtures::gradient(32, 32), quality);
        EXPECT_EQ(uchar(jpeg.at(fixtures::sofDimensionsOffset(jpeg) + 6)), lumaSampling);
    }
}

// Result files: the path shows the earlier bytes or the new ones, nothing else is left.
TEST(JpegCodec, SafeWriteReplacesKeepingRightsAndLeavesNothingElse) {
    QTemporaryDir dir;
    const auto path = [&](const char* name) { return dir.filePath(name).toStdString(); };
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

} // namespace
