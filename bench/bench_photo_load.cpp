// Loading and saving a 24-megapixel photo through Photo, against plain libjpeg-turbo.
// Targets: Photo::Load within 1.3 x a plain decode of the file; Photo::SaveJpeg (encode,
// EXIF, synced safe write) within 1.3 x a plain tjCompress2 at the same quality.
#include <benchmark/benchmark.h>

#include "engine/JpegCodec.h"
#include "engine/Photo.h"
#include "metadata/ExifBlock.h"

#include <QTemporaryDir>
#include <cstdint>
#include <fcntl.h>
#include <stdexcept>
#include <turbojpeg.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

void put16(QByteArray& out, std::uint16_t v) {
    out.append(char(v & 0xFF));
    out.append(char(v >> 8));
}

void put32(QByteArray& out, std::uint32_t v) {
    put16(out, std::uint16_t(v & 0xFFFF));
    put16(out, std::uint16_t(v >> 16));
}

void putEntry(QByteArray& out, std::uint16_t tag, std::uint16_t type, std::uint32_t count,
              std::uint32_t value) {
    put16(out, tag);
    put16(out, type);
    put32(out, count);
    put32(out, value);
}

// A camera-like EXIF block: make, orientation 1, and the EXIF folder with the shot date.
QByteArray cameraTiff() {
    QByteArray out("II*\0", 4);
    put32(out, 8);
    put16(out, 3); // first folder at 8, 50 bytes
    putEntry(out, 0x010F, 2, 8, 80);
    putEntry(out, 0x0112, 3, 1, 1);
    putEntry(out, 0x8769, 4, 1, 50);
    put32(out, 0);
    put16(out, 2); // EXIF folder at 50, 30 bytes
    putEntry(out, 0x9003, 2, 20, 88);
    putEntry(out, 0xA002, 4, 1, kWidth);
    put32(out, 0);
    out.append("Lumicam", 8);
    out.append("2006:07:14 10:20:30", 20);
    return out;
}

// Gradient with noise, so that the encoder has real work to do.
QImage noisyGradient() {
    QImage image(kWidth, kHeight, QImage::Format_RGB888);
    std::uint32_t seed = 12345;
    for (int y = 0; y < kHeight; ++y) {
        uchar* p = image.scanLine(y);
        for (int x = 0; x < kWidth; ++x, p += 3) {
            seed = seed * 1664525u + 1013904223u;
            const int noise = int(seed >> 27) - 16;
            p[0] = uchar(std::clamp(x * 255 / kWidth + noise, 0, 255));
            p[1] = uchar(std::clamp(y * 255 / kHeight + noise, 0, 255));
            p[2] = uchar(std::clamp((x + y) * 255 / (kWidth + kHeight) - noise, 0, 255));
        }
    }
    return image;
}

struct Fixture {
    QTemporaryDir dir;
    std::string photoPath;
    std::string resultPath;
    Photo photo;

    Fixture() {
        if (!dir.isValid())
            throw std::runtime_error("no temporary folder");
        photoPath = dir.filePath("IMG_0001.jpg").toStdString();
        resultPath = dir.filePath("result.jpg").toStdString();
        photo = Photo(noisyGradient(), ExifBlock(cameraTiff()));
        const std::optional<QByteArray> jpeg =
            JpegCodec::encode(photo.image(), 95, photo.exif().app1Payload());
        if (!jpeg || !JpegCodec::writeFileSafely(photoPath, *jpeg))
            throw std::runtime_error("cannot write the test photo");
    }
};

Fixture& shared() {
    static Fixture fixture;
    return fixture;
}

std::vector<unsigned char> readAll(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    const off_t size = ::lseek(fd, 0, SEEK_END);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    ::pread(fd, bytes.data(), bytes.size(), 0);
    ::close(fd);
    return bytes;
}

void bmPlainDecodeFile(benchmark::State& state) {
    const Fixture& f = shared();
    tjhandle handle = tjInitDecompress();
    std::vector<unsigned char> pixels(std::size_t(kWidth) * kHeight * 3);
    for (auto _ : state) {
        const std::vector<unsigned char> jpeg = readAll(f.photoPath);
        int width = 0, height = 0, subsampling = 0, colorspace = 0;
        tjDecompressHeader3(handle, jpeg.data(), jpeg.size(), &width, &height, &subsampling,
                            &colorspace);
        if (tjDecompress2(handle, jpeg.data(), jpeg.size(), pixels.data(), width, width * 3, height,
                          TJPF_RGB, 0) != 0)
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(pixels.data());
    }
    tjDestroy(handle);
}

void bmPhotoLoad(benchmark::State& state) {
    const Fixture& f = shared();
    for (auto _ : state) {
        std::optional<Photo> photo = Photo::load(f.photoPath);
        if (!photo || photo->exif().isEmpty())
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(photo);
    }
}

void bmPlainEncodeQ100(benchmark::State& state) {
    const Fixture& f = shared();
    tjhandle handle = tjInitCompress();
    const QImage& image = f.photo.image();
    for (auto _ : state) {
        unsigned char* jpeg = nullptr;
        unsigned long size = 0;
        if (tjCompress2(handle, image.constBits(), kWidth, int(image.bytesPerLine()), kHeight,
                        TJPF_RGB, &jpeg, &size, TJSAMP_444, 100, 0) != 0)
            state.SkipWithError("encode failed");
        benchmark::DoNotOptimize(jpeg);
        tjFree(jpeg);
    }
    tjDestroy(handle);
}

void bmPhotoEncodeQ100(benchmark::State& state) {
    const Fixture& f = shared();
    for (auto _ : state) {
        std::optional<QByteArray> jpeg = f.photo.encodeJpeg(100);
        if (!jpeg)
            state.SkipWithError("encode failed");
        benchmark::DoNotOptimize(jpeg);
    }
}

void bmPhotoSaveQ100(benchmark::State& state) {
    const Fixture& f = shared();
    for (auto _ : state) {
        if (!f.photo.saveJpeg(f.resultPath, 100))
            state.SkipWithError("save failed");
    }
}

// For information: the edits on a photo of this size.
void bmPhotoRotateRight(benchmark::State& state) {
    Photo photo = shared().photo;
    for (auto _ : state)
        photo.rotateRight();
}

void bmPhotoSepia(benchmark::State& state) {
    Photo photo = shared().photo;
    for (auto _ : state)
        photo.toSepia();
}

BENCHMARK(bmPlainDecodeFile)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(bmPhotoLoad)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(bmPlainEncodeQ100)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(bmPhotoEncodeQ100)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(bmPhotoSaveQ100)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(bmPhotoRotateRight)->Unit(benchmark::kMillisecond);
BENCHMARK(bmPhotoSepia)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
