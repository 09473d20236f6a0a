#include "engine/JpegCodec.h"

#include "metadata/JpegHeader.h"

#include <QRandomGenerator>
#include <turbojpeg.h>

#include <csetjmp>
#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>

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

void unmap(void* info) {
    const std::unique_ptr<Mapping> mapping(static_cast<Mapping*>(info));
    ::munmap(mapping->address, mapping->length);
}

// A new Format_RGB888 image with uninitialised pixels; null when memory is short.
QImage newRgb888Image(int width, int height) {
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
    QImage image(aligned, width, height, bytesPerLine, QImage::Format_RGB888, unmap, mapping.get());
    if (image.isNull()) {
        ::munmap(aligned, length);
        return image;
    }
    mapping.release(); // now owned by the image's cleanup
    return image;
}

std::uint16_t densityFromDpi(double dpi) {
    return static_cast<std::uint16_t>(std::clamp(std::lround(dpi), 1L, 65535L));
}

// tjCompress2 starts with SOI and a JFIF APP0 segment of 16 bytes after its marker: units
// at offset 13, then the horizontal and vertical densities, big-endian.
constexpr std::size_t kSoiAndJfifBytes = 20;

bool hasJfifSegment(const unsigned char* jpeg, std::size_t size) {
    return size >= kSoiAndJfifBytes && jpeg[2] == kMarker && jpeg[3] == 0xE0 && jpeg[4] == 0 &&
           jpeg[5] == 16 && std::memcmp(jpeg + 6, "JFIF", 5) == 0;
}

void setJfifDensity(unsigned char* jpeg, std::size_t size, double dpiX, double dpiY) {
    if (!hasJfifSegment(jpeg, size))
        return;
    const std::uint16_t x = densityFromDpi(dpiX);
    const std::uint16_t y = densityFromDpi(dpiY);
    jpeg[13] = 1; // dots per inch
    jpeg[14] = static_cast<unsigned char>(x >> 8);
    jpeg[15] = static_cast<unsigned char>(x & 0xFF);
    jpeg[16] = static_cast<unsigned char>(y >> 8);
    jpeg[17] = static_cast<unsigned char>(y & 0xFF);
}

std::string tempNameFor(const std::filesystem::path& target) {
    char suffix[17];
    std::snprintf(suffix, sizeof suffix, "%016llx",
                  static_cast<unsigned long long>(QRandomGenerator::global()->generate64()));
    return (target.parent_path() / ("." + target.filename().string() + ".tmp" + suffix)).string();
}

bool writeAll(int fd, const char* data, std::size_t size) {
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

void syncFolder(const std::filesystem::path& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

namespace {

// Progressive files with an absurd number of scans are refused instead of decoded for
// minutes (the limit TurboJPEG applies with TJFLAG_LIMITSCANS).
constexpr int kMaxScans = 500;

// libjpeg reports fatal errors through error_exit, which must not return: we jump back
// into Decode. Warnings go through emit_message with level -1.
struct DecodeErrors {
    jpeg_error_mgr manager{};
    std::jmp_buf jump{};
    JpegDecodeError fatal = JpegDecodeError::Corrupt;
    bool warned = false;
    std::string detail;
};

DecodeErrors& errorsOf(j_common_ptr cinfo) {
    return *reinterpret_cast<DecodeErrors*>(cinfo->err); // manager is the first member
}

std::string messageOf(j_common_ptr cinfo) {
    char text[JMSG_LENGTH_MAX] = {};
    cinfo->err->format_message(cinfo, text);
    return text;
}

[[noreturn]] void onFatal(j_common_ptr cinfo) {
    DecodeErrors& errors = errorsOf(cinfo);
    errors.detail = messageOf(cinfo);
    if (cinfo->err->msg_code == JERR_IMAGE_TOO_BIG)
        errors.fatal = JpegDecodeError::SideTooLong;
    else if (cinfo->err->msg_code == JERR_OUT_OF_MEMORY)
        errors.fatal = JpegDecodeError::OutOfMemory;
    std::longjmp(errors.jump, 1);
}

void onMessage(j_common_ptr cinfo, int level) {
    if (level >= 0)
        return; // trace messages
    DecodeErrors& errors = errorsOf(cinfo);
    if (!errors.warned)
        errors.detail = messageOf(cinfo);
    errors.warned = true;
}

void onProgress(j_common_ptr cinfo) {
    auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (dinfo->progressive_mode && dinfo->input_scan_number > kMaxScans) {
        errorsOf(cinfo).detail = "too many progressive scans";
        std::longjmp(errorsOf(cinfo).jump, 1);
    }
}

// Owns a decompressor; destroying it releases all of libjpeg's memory.
struct Decompressor {
    jpeg_decompress_struct info{};
    DecodeErrors errors;
    jpeg_progress_mgr progress{};

    Decompressor() {
        info.err = jpeg_std_error(&errors.manager);
        errors.manager.error_exit = onFatal;
        errors.manager.emit_message = onMessage;
        progress.progress_monitor = onProgress;
    }
    ~Decompressor() { jpeg_destroy_decompress(&info); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;
};

// Adobe CMYK JPEGs store inverted inks: 255 means no ink.
void cmykRowToRgb(const unsigned char* in, unsigned char* out, int width) {
    for (int x = 0; x < width; ++x, in += 4, out += 3) {
        const unsigned k = in[3];
        out[0] = static_cast<unsigned char>(in[0] * k / 255);
        out[1] = static_cast<unsigned char>(in[1] * k / 255);
        out[2] = static_cast<unsigned char>(in[2] * k / 255);
    }
}

JpegDecodeError checkSize(JDIMENSION width, JDIMENSION height) {
    if (width == 0 || height == 0)
        return JpegDecodeError::NotJpeg;
    if (width >= JDIMENSION(JpegCodec::kMaxSide) || height >= JDIMENSION(JpegCodec::kMaxSide))
        return JpegDecodeError::SideTooLong;
    if (std::int64_t{width} * std::int64_t{height} > JpegCodec::kMaxPixels)
        return JpegDecodeError::TooManyPixels;
    return JpegDecodeError::None;
}

} // namespace

const char* describeJpegDecodeError(JpegDecodeError error) {
    switch (error) {
    case JpegDecodeError::None:
        return "decoded";
    case JpegDecodeError::ReadFailed:
        return "the file could not be read";
    case JpegDecodeError::NotJpeg:
        return "no readable JPEG header";
    case JpegDecodeError::SideTooLong:
        return "a side of 60000 pixels or more";
    case JpegDecodeError::TooManyPixels:
        return "more than 600 megapixels";
    case JpegDecodeError::OutOfMemory:
        return "not enough memory for the pixels";
    case JpegDecodeError::Corrupt:
        return "the compressed data is broken";
    }
    return "unknown";
}

JpegDecodeResult JpegCodec::decode(const QByteArray& jpeg, int scaleDenominator) {
    JpegDecodeResult result;
    const auto* data = reinterpret_cast<const unsigned char*>(jpeg.constData());
    if (jpeg.size() < 4 || data[0] != kMarker || data[1] != kSoi) {
        result.error = JpegDecodeError::NotJpeg;
        return result;
    }
    // Declared before the jump target: nothing with a destructor may be created between
    // setjmp and a longjmp back to it.
    Decompressor decoder;
    QImage image;
    std::vector<unsigned char> cmykRow;
    std::vector<JSAMPROW> rows;
    volatile bool headerRead = false; // read after the jump back
    jpeg_decompress_struct& info = decoder.info;
    if (setjmp(decoder.errors.jump) != 0) {
        result.error = headerRead || decoder.errors.fatal != JpegDecodeError::Corrupt
                           ? decoder.errors.fatal
                           : JpegDecodeError::NotJpeg;
        result.detail = decoder.errors.detail;
        return result;
    }
    jpeg_create_decompress(&info);
    info.progress = &decoder.progress;
    jpeg_mem_src(&info, data, static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&info, TRUE);
    headerRead = true;
    result.error = checkSize(info.image_width, info.image_height);
    if (result.error != JpegDecodeError::None)
        return result;
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    if (scaleDenominator == 2 || scaleDenominator == 4 || scaleDenominator == 8) {
        info.scale_num = 1;
        info.scale_denom = static_cast<unsigned int>(scaleDenominator);
        // The quick integer transform and plain chroma doubling gave no measurable gain at
        // 1/2 on a 4:2:0 camera photo (Huffman decoding, the same at every scale, is most
        // of the time), so a reduced decode keeps the accurate settings.
    }
    jpeg_calc_output_dimensions(&info);
    const int width = static_cast<int>(info.output_width);
    const int height = static_cast<int>(info.output_height);
    image = newRgb888Image(width, height);
    if (image.isNull()) {
        result.error = JpegDecodeError::OutOfMemory;
        return result;
    }
    if (cmyk)
        cmykRow.resize(std::size_t(width) * 4);
    jpeg_start_decompress(&info);
    if (cmyk) {
        while (info.output_scanline < info.output_height) {
            unsigned char* row = cmykRow.data();
            const int y = static_cast<int>(info.output_scanline);
            if (jpeg_read_scanlines(&info, &row, 1) != 1)
                break;
            cmykRowToRgb(row, image.scanLine(y), width);
        }
    } else {
        // All row pointers at once, as TurboJPEG does: libjpeg fills as many rows per call
        // as its buffers hold.
        rows.resize(std::size_t(height));
        for (int y = 0; y < height; ++y)
            rows[std::size_t(y)] = image.scanLine(y);
        while (info.output_scanline < info.output_height) {
            const JDIMENSION done = info.output_scanline;
            if (jpeg_read_scanlines(&info, rows.data() + done, info.output_height - done) == 0)
                break;
        }
    }
    if (info.output_scanline < info.output_height) { // suspended: cannot happen in memory
        result.error = JpegDecodeError::Corrupt;
        return result;
    }
    jpeg_finish_decompress(&info);
    result.dataWarning = decoder.errors.warned;
    result.detail = decoder.errors.detail;
    result.image = std::move(image);
    return result;
}

JpegDecodeResult JpegCodec::decodeFile(const std::string& path) {
    const std::optional<QByteArray> bytes = readFile(path);
    if (!bytes) {
        JpegDecodeResult result;
        result.error = JpegDecodeError::ReadFailed;
        return result;
    }
    return decode(*bytes);
}

std::optional<QSize> JpegCodec::headerSize(const QByteArray& jpeg) {
    const auto* data = reinterpret_cast<const unsigned char*>(jpeg.constData());
    if (jpeg.size() < 4 || data[0] != kMarker || data[1] != kSoi) {
        return std::nullopt;
    }
    Decompressor decoder;
    jpeg_decompress_struct& info = decoder.info;
    if (setjmp(decoder.errors.jump) != 0) {
        return std::nullopt;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&info, TRUE);
    if (info.image_width == 0 || info.image_height == 0) {
        return std::nullopt;
    }
    return QSize(static_cast<int>(info.image_width), static_cast<int>(info.image_height));
}

int JpegCodec::scaleDenominator(QSize photo, QSize shown) {
    if (shown.isEmpty()) {
        return 1;
    }
    int denominator = 1;
    for (const int next : {2, 4, 8}) {
        // libjpeg rounds a reduced side up.
        const int width = (photo.width() + next - 1) / next;
        const int height = (photo.height() + next - 1) / next;
        if (width < shown.width() || height < shown.height()) {
            break;
        }
        denominator = next;
    }
    return denominator;
}

std::optional<QByteArray> JpegCodec::encode(const QImage& image, int quality,
                                            const QByteArray& exifPayload, double dpiX, double dpiY,
                                            const QByteArray& segments) {
    if (image.isNull() || exifPayload.size() > JpegHeader::kMaxPayload)
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

    QByteArray metadata;
    if (!exifPayload.isEmpty())
        metadata = JpegHeader::segment(kApp1, exifPayload);
    metadata += segments;
    // The encoder writes into our buffer after room for the metadata segments, so they
    // can then be put in after its SOI and JFIF segments by moving those 20 bytes only,
    // never the compressed data.
    const qsizetype extra = metadata.size();
    const unsigned long bound = tjBufSize(rgb.width(), rgb.height(), subsampling);
    if (bound == static_cast<unsigned long>(-1))
        return std::nullopt;
    QByteArray out;
    try {
        out = QByteArray(extra + static_cast<qsizetype>(bound), Qt::Uninitialized);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    auto* base = reinterpret_cast<unsigned char*>(out.data());
    unsigned char* encoded = base + extra;
    unsigned long encodedSize = bound;
    if (tjCompress2(handle.get(), rgb.constBits(), rgb.width(),
                    static_cast<int>(rgb.bytesPerLine()), rgb.height(), TJPF_RGB, &encoded,
                    &encodedSize, subsampling, quality, TJFLAG_NOREALLOC) != 0)
        return std::nullopt;
    if (dpiX > 0.0 && dpiY > 0.0)
        setJfifDensity(encoded, encodedSize, dpiX, dpiY);
    if (extra > 0) {
        const std::size_t lead = hasJfifSegment(encoded, encodedSize) ? kSoiAndJfifBytes : 2;
        std::memmove(base, encoded, lead);
        std::memcpy(base + lead, metadata.constData(), std::size_t(extra));
    }
    out.resize(extra + static_cast<qsizetype>(encodedSize));
    return out;
}

std::optional<QByteArray> JpegCodec::readFile(const std::string& path) {
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

// Written by hand rather than with QSaveFile: Qt spells file names in UTF-8 only, and results
// are named after photos and folders whose names may hold other bytes (a folder named in
// Latin-1 would give a result named with U+FFFD instead). QSaveFile would also write through
// a symbolic link standing where the result goes, where this replaces the link, and refuse an
// earlier result without write permission, which this replaces.
bool JpegCodec::writeFileSafely(const std::string& path, const QByteArray& bytes) {
    const std::filesystem::path target(path);
    if (target.filename().empty())
        return false;
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = tempNameFor(target);
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

    bool ok = writeAll(fd, bytes.constData(), std::size_t(bytes.size())) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    syncFolder(target.parent_path());
    return true;
}
