#include "engine/JpegCodec.h"

#include <QRandomGenerator>
#include <turbojpeg.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct TjDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using TjHandle = std::unique_ptr<void, TjDeleter>;

constexpr unsigned char kMarker = 0xFF;
constexpr unsigned char kSoi = 0xD8;
constexpr unsigned char kApp1 = 0xE1;
// An APP1 segment's length field counts itself (2 bytes) and must fit in 16 bits.
constexpr qsizetype kMaxApp1Payload = 0xFFFF - 2;
// Files above this are not photos we could hold anyway.
constexpr off_t kMaxFileBytes = off_t{1} << 31;

// Big pixel buffers are mapped with transparent huge pages: first touching a photo's
// 70 MB page by 4 KB page costs as much as decoding it on virtual machines.
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kMappedImageBytes = std::size_t{4} << 20;

struct Mapping {
    void* address = nullptr;
    std::size_t length = 0;
};

void Unmap(void* info) {
    const std::unique_ptr<Mapping> mapping(static_cast<Mapping*>(info));
    ::munmap(mapping->address, mapping->length);
}

// A new Format_RGB888 image with uninitialised pixels; null when memory is short.
QImage NewRgb888Image(int width, int height) {
    const qsizetype bytesPerLine = (qsizetype{width} * 3 + 3) & ~qsizetype{3};
    const std::size_t size = std::size_t(bytesPerLine) * std::size_t(height);
    if (size < kMappedImageBytes)
        return QImage(width, height, QImage::Format_RGB888);
    // Map one huge page more than needed, then trim the ends so that the buffer starts on
    // a huge-page boundary.
    const std::size_t length = (size + kHugePage - 1) & ~(kHugePage - 1);
    void* raw = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return QImage(width, height, QImage::Format_RGB888);
    auto* const begin = static_cast<unsigned char*>(raw);
    auto* const aligned = reinterpret_cast<unsigned char*>(
        (reinterpret_cast<std::uintptr_t>(begin) + kHugePage - 1) & ~std::uintptr_t{kHugePage - 1});
    if (aligned > begin)
        ::munmap(begin, std::size_t(aligned - begin));
    const std::size_t tail = kHugePage - std::size_t(aligned - begin);
    if (tail > 0)
        ::munmap(aligned + length, tail);
    ::madvise(aligned, length, MADV_HUGEPAGE); // a mere hint: failure changes nothing
    auto mapping = std::make_unique<Mapping>(Mapping{aligned, length});
    QImage image(aligned, width, height, bytesPerLine, QImage::Format_RGB888, Unmap, mapping.get());
    if (image.isNull()) {
        ::munmap(aligned, length);
        return image;
    }
    mapping.release(); // now owned by the image's cleanup
    return image;
}

// Adobe CMYK JPEGs store inverted inks: 255 means no ink.
void CmykToRgb(const std::vector<unsigned char>& cmyk, QImage& image) {
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        const unsigned char* in = cmyk.data() + std::size_t(y) * std::size_t(width) * 4;
        unsigned char* out = image.scanLine(y);
        for (int x = 0; x < width; ++x, in += 4, out += 3) {
            const unsigned k = in[3];
            out[0] = static_cast<unsigned char>(in[0] * k / 255);
            out[1] = static_cast<unsigned char>(in[1] * k / 255);
            out[2] = static_cast<unsigned char>(in[2] * k / 255);
        }
    }
}

std::uint16_t DensityFromDpi(double dpi) {
    return static_cast<std::uint16_t>(std::clamp(std::lround(dpi), 1L, 65535L));
}

// tjCompress2 always starts with SOI and a JFIF APP0 segment: units at offset 13, then
// the horizontal and vertical densities, big-endian.
void SetJfifDensity(unsigned char* jpeg, std::size_t size, double dpiX, double dpiY) {
    if (size < 20 || jpeg[2] != kMarker || jpeg[3] != 0xE0 || std::memcmp(jpeg + 6, "JFIF", 5) != 0)
        return;
    const std::uint16_t x = DensityFromDpi(dpiX);
    const std::uint16_t y = DensityFromDpi(dpiY);
    jpeg[13] = 1; // dots per inch
    jpeg[14] = static_cast<unsigned char>(x >> 8);
    jpeg[15] = static_cast<unsigned char>(x & 0xFF);
    jpeg[16] = static_cast<unsigned char>(y >> 8);
    jpeg[17] = static_cast<unsigned char>(y & 0xFF);
}

std::string TempNameFor(const std::filesystem::path& target) {
    char suffix[17];
    std::snprintf(suffix, sizeof suffix, "%016llx",
                  static_cast<unsigned long long>(QRandomGenerator::global()->generate64()));
    return (target.parent_path() / ("." + target.filename().string() + ".tmp" + suffix)).string();
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

void SyncFolder(const std::filesystem::path& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

JpegDecodeResult JpegCodec::Decode(const QByteArray& jpeg) {
    JpegDecodeResult result;
    const auto* data = reinterpret_cast<const unsigned char*>(jpeg.constData());
    const auto size = static_cast<unsigned long>(jpeg.size());
    if (size < 4 || data[0] != kMarker || data[1] != kSoi) {
        result.error = JpegDecodeError::NotJpeg;
        return result;
    }
    const TjHandle handle(tjInitDecompress());
    if (!handle) {
        result.error = JpegDecodeError::OutOfMemory;
        return result;
    }
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colorspace = 0;
    if (tjDecompressHeader3(handle.get(), data, size, &width, &height, &subsampling, &colorspace) !=
        0) {
        result.error = JpegDecodeError::NotJpeg;
        return result;
    }
    if (width <= 0 || height <= 0) { // tables only, or a header cut short
        result.error = JpegDecodeError::NotJpeg;
        return result;
    }
    if (width >= kMaxSide || height >= kMaxSide || std::int64_t{width} * height > kMaxPixels) {
        result.error = JpegDecodeError::TooLarge;
        return result;
    }
    QImage image = NewRgb888Image(width, height);
    if (image.isNull()) {
        result.error = JpegDecodeError::OutOfMemory;
        return result;
    }
    // Progressive files with an absurd number of scans are refused instead of decoded
    // for minutes.
    const int flags = TJFLAG_LIMITSCANS;
    int status = 0;
    if (colorspace == TJCS_CMYK || colorspace == TJCS_YCCK) {
        std::vector<unsigned char> cmyk;
        try {
            cmyk.resize(std::size_t(width) * std::size_t(height) * 4);
        } catch (const std::bad_alloc&) {
            result.error = JpegDecodeError::OutOfMemory;
            return result;
        }
        status = tjDecompress2(handle.get(), data, size, cmyk.data(), width, width * 4, height,
                               TJPF_CMYK, flags);
        if (status == 0 || tjGetErrorCode(handle.get()) == TJERR_WARNING)
            CmykToRgb(cmyk, image);
    } else {
        status = tjDecompress2(handle.get(), data, size, image.bits(), width,
                               static_cast<int>(image.bytesPerLine()), height, TJPF_RGB, flags);
    }
    if (status != 0) {
        if (tjGetErrorCode(handle.get()) != TJERR_WARNING) {
            result.error = JpegDecodeError::Corrupt;
            return result;
        }
        result.dataWarning = true;
    }
    result.image = std::move(image);
    return result;
}

JpegDecodeResult JpegCodec::DecodeFile(const std::string& path) {
    const std::optional<QByteArray> bytes = ReadFile(path);
    if (!bytes) {
        JpegDecodeResult result;
        result.error = JpegDecodeError::ReadFailed;
        return result;
    }
    return Decode(*bytes);
}

std::optional<QByteArray> JpegCodec::Encode(const QImage& image, int quality,
                                            const QByteArray& exifPayload, double dpiX,
                                            double dpiY) {
    if (image.isNull() || exifPayload.size() > kMaxApp1Payload)
        return std::nullopt;
    const QImage rgb = image.format() == QImage::Format_RGB888
                           ? image
                           : image.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull())
        return std::nullopt;
    quality = std::clamp(quality, 0, 100);
    const int subsampling = quality >= 90 ? TJSAMP_444 : TJSAMP_420;
    const TjHandle handle(tjInitCompress());
    if (!handle)
        return std::nullopt;

    // The encoder writes into our buffer after room for the APP1 segment, so the segment
    // can then be put right after SOI without moving the compressed data: the encoder's
    // own SOI is overwritten by the segment's last two bytes.
    const qsizetype app1Size = exifPayload.isEmpty() ? 0 : exifPayload.size() + 4;
    const unsigned long bound = tjBufSize(rgb.width(), rgb.height(), subsampling);
    if (bound == static_cast<unsigned long>(-1))
        return std::nullopt;
    QByteArray out;
    try {
        out = QByteArray(app1Size + static_cast<qsizetype>(bound), Qt::Uninitialized);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    auto* base = reinterpret_cast<unsigned char*>(out.data());
    unsigned char* encoded = base + app1Size;
    unsigned long encodedSize = bound;
    if (tjCompress2(handle.get(), rgb.constBits(), rgb.width(),
                    static_cast<int>(rgb.bytesPerLine()), rgb.height(), TJPF_RGB, &encoded,
                    &encodedSize, subsampling, quality, TJFLAG_NOREALLOC) != 0)
        return std::nullopt;
    if (dpiX > 0.0 && dpiY > 0.0)
        SetJfifDensity(encoded, encodedSize, dpiX, dpiY);
    if (app1Size > 0) {
        const auto length = static_cast<std::uint16_t>(exifPayload.size() + 2);
        base[0] = kMarker;
        base[1] = kSoi;
        base[2] = kMarker;
        base[3] = kApp1;
        base[4] = static_cast<unsigned char>(length >> 8);
        base[5] = static_cast<unsigned char>(length & 0xFF);
        std::memcpy(base + 6, exifPayload.constData(), std::size_t(exifPayload.size()));
    }
    out.resize(app1Size + static_cast<qsizetype>(encodedSize));
    return out;
}

std::optional<QByteArray> JpegCodec::ReadFile(const std::string& path) {
    // Non-blocking so that a named pipe called .jpg is refused instead of waited on;
    // reads of regular files are not affected.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    std::optional<QByteArray> result;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= kMaxFileBytes) {
        try {
            QByteArray bytes(static_cast<qsizetype>(info.st_size), Qt::Uninitialized);
            qsizetype done = 0;
            bool failed = false;
            while (done < bytes.size()) {
                const ssize_t n = ::read(fd, bytes.data() + done, std::size_t(bytes.size() - done));
                if (n < 0 && errno == EINTR)
                    continue;
                if (n < 0) {
                    failed = true;
                    break;
                }
                if (n == 0)
                    break; // the file shrank meanwhile
                done += n;
            }
            if (!failed) {
                bytes.resize(done);
                result = std::move(bytes);
            }
        } catch (const std::bad_alloc&) {
            result.reset();
        }
    }
    ::close(fd);
    return result;
}

bool JpegCodec::WriteFileSafely(const std::string& path, const QByteArray& bytes) {
    const std::filesystem::path target(path);
    if (target.filename().empty())
        return false;
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = TempNameFor(target);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;

    // An overwritten result keeps the permissions it had, as an in-place write would.
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(fd, old.st_mode & 07777);

    bool ok = WriteAll(fd, bytes.constData(), std::size_t(bytes.size())) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    SyncFolder(target.parent_path());
    return true;
}
