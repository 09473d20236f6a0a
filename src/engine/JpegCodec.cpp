#include "engine/JpegCodec.h"

#include "engine/ImageBuffer.h"
#include "metadata/JpegHeader.h"
#include "naming/BatchRename.h"

#include <QRandomGenerator>

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
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr unsigned char kMarker = 0xFF;
constexpr unsigned char kSoi = 0xD8;
constexpr unsigned char kApp0 = 0xE0;
constexpr unsigned char kApp1 = 0xE1;
// Files above this are not photos we could hold anyway.
constexpr off_t kMaxFileBytes = off_t{1} << 31;

std::uint16_t densityFromDpi(double dpi) {
    return static_cast<std::uint16_t>(std::clamp(std::lround(dpi), 1L, 65535L));
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

// A temporary file beside a target path, renamed over it once written and synced, so that
// the path shows the earlier file or the new one, never a part. Removed on any failure.
class TempFile {
public:
    static std::optional<TempFile> create(const std::string& path) {
        const std::filesystem::path target(path);
        if (target.filename().empty())
            return std::nullopt;
        TempFile file;
        file.m_target = path;
        for (int attempt = 0; attempt < 16 && file.m_fd < 0; ++attempt) {
            file.m_temp = tempNameFor(target);
            file.m_fd = ::open(file.m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (file.m_fd < 0 && errno != EEXIST)
                return std::nullopt;
        }
        if (file.m_fd < 0)
            return std::nullopt;
        // An overwritten result keeps the permissions it had, as an in-place write would.
        struct stat old {};
        if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode))
            ::fchmod(file.m_fd, old.st_mode & 07777);
        return file;
    }

    TempFile(TempFile&& other) noexcept
        : m_target(std::move(other.m_target)), m_temp(std::move(other.m_temp)),
          m_fd(std::exchange(other.m_fd, -1)) {}
    TempFile& operator=(TempFile&&) = delete;
    ~TempFile() {
        if (m_fd >= 0) {
            ::close(m_fd);
            ::unlink(m_temp.c_str());
        }
    }

    [[nodiscard]] int fd() const { return m_fd; }

    // When written, syncs the file and renames it over the target (or, keeping an existing
    // target, beside it only when the name is free), then syncs the folder; otherwise, or when
    // any of that fails, removes it.
    [[nodiscard]] NewFileOutcome commit(bool written, bool keepExisting) {
        bool ok = written && ::fsync(m_fd) == 0;
        ok = (::close(std::exchange(m_fd, -1)) == 0) && ok;
        NewFileOutcome outcome = ok ? NewFileOutcome::Written : NewFileOutcome::Failed;
        if (ok && keepExisting) {
            const MoveOutcome moved = moveFileNoReplace(m_temp, m_target);
            outcome = moved == MoveOutcome::Moved          ? NewFileOutcome::Written
                      : moved == MoveOutcome::TargetExists ? NewFileOutcome::TargetExists
                                                           : NewFileOutcome::Failed;
        } else if (ok && ::rename(m_temp.c_str(), m_target.c_str()) != 0) {
            outcome = NewFileOutcome::Failed;
        }
        if (outcome != NewFileOutcome::Written) {
            ::unlink(m_temp.c_str());
            return outcome;
        }
        syncFolder(std::filesystem::path(m_target).parent_path());
        return outcome;
    }

private:
    TempFile() = default;

    std::string m_target;
    std::string m_temp;
    int m_fd = -1;
};

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

// Encoding, through libjpeg's own interface set up as TurboJPEG sets it up (so files come out
// as tjCompress2 made them), into a sink of our own: a growing buffer in memory, or the
// result file itself, written while the encoder runs.

struct EncodeErrors {
    jpeg_error_mgr manager{}; // first member: libjpeg hands back its address
    std::jmp_buf jump{};
};

[[noreturn]] void onEncodeFatal(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<EncodeErrors*>(cinfo->err)->jump, 1);
}

void ignoreMessage(j_common_ptr, int) {}

// Owns a compressor; destroying it releases all of libjpeg's memory.
struct Compressor {
    jpeg_compress_struct info{};
    EncodeErrors errors;

    Compressor() {
        info.err = jpeg_std_error(&errors.manager);
        errors.manager.error_exit = onEncodeFatal;
        errors.manager.emit_message = ignoreMessage;
    }
    ~Compressor() { jpeg_destroy_compress(&info); }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;
};

// What an encode needs, checked: RGB888 pixels, the quality clamped to 0..100, and the
// metadata segments that follow SOI and JFIF.
struct EncodeJob {
    QImage rgb;
    int quality = 0;
    QByteArray metadata;
};

std::optional<EncodeJob> prepareEncode(const QImage& image, int quality,
                                       const QByteArray& exifPayload, const QByteArray& segments) {
    if (image.isNull() || exifPayload.size() > JpegHeader::kMaxPayload)
        return std::nullopt;
    EncodeJob job;
    job.rgb = image.format() == QImage::Format_RGB888
                  ? image
                  : image.convertToFormat(QImage::Format_RGB888);
    if (job.rgb.isNull())
        return std::nullopt;
    job.quality = std::clamp(quality, 0, 100);
    if (!exifPayload.isEmpty())
        job.metadata = JpegHeader::segment(kApp1, exifPayload);
    job.metadata += segments;
    return job;
}

// Copies bytes into the destination's buffer, emptying it whenever it fills up.
void putBytes(j_compress_ptr cinfo, const char* data, std::size_t size) {
    jpeg_destination_mgr& destination = *cinfo->dest;
    while (size > 0) {
        if (destination.free_in_buffer == 0 && !destination.empty_output_buffer(cinfo))
            ERREXIT(cinfo, JERR_CANT_SUSPEND);
        const std::size_t n = std::min(size, destination.free_in_buffer);
        std::memcpy(destination.next_output_byte, data, n);
        destination.next_output_byte += n;
        destination.free_in_buffer -= n;
        data += n;
        size -= n;
    }
}

bool compress(const EncodeJob& job, double dpiX, double dpiY, jpeg_destination_mgr& destination) {
    // Declared before the jump target: nothing with a destructor may be created between
    // setjmp and a longjmp back to it.
    Compressor encoder;
    std::vector<JSAMPROW> rows;
    jpeg_compress_struct& info = encoder.info;
    if (setjmp(encoder.errors.jump) != 0)
        return false;
    jpeg_create_compress(&info);
    info.dest = &destination;
    info.image_width = static_cast<JDIMENSION>(job.rgb.width());
    info.image_height = static_cast<JDIMENSION>(job.rgb.height());
    info.input_components = 3;
    info.in_color_space = JCS_EXT_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, job.quality, TRUE);
    // TurboJPEG's choice: the accurate transform from quality 96, the fast one below.
    info.dct_method = job.quality >= 96 ? JDCT_ISLOW : JDCT_FASTEST;
    jpeg_set_colorspace(&info, JCS_YCbCr);
    // Chroma kept whole from quality 90, halved both ways below.
    const int lumaSampling = job.quality >= 90 ? 1 : 2;
    info.comp_info[0].h_samp_factor = lumaSampling;
    info.comp_info[0].v_samp_factor = lumaSampling;
    for (int c = 1; c < 3; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    if (dpiX > 0.0 && dpiY > 0.0) {
        info.density_unit = 1; // dots per inch
        info.X_density = densityFromDpi(dpiX);
        info.Y_density = densityFromDpi(dpiY);
    }
    jpeg_start_compress(&info, TRUE); // writes SOI and JFIF
    putBytes(&info, job.metadata.constData(), std::size_t(job.metadata.size()));
    rows.resize(std::size_t(job.rgb.height()));
    for (int y = 0; y < job.rgb.height(); ++y)
        rows[std::size_t(y)] = const_cast<JSAMPROW>(job.rgb.constScanLine(y));
    while (info.next_scanline < info.image_height) {
        const JDIMENSION done = info.next_scanline;
        jpeg_write_scanlines(&info, rows.data() + done, info.image_height - done);
    }
    jpeg_finish_compress(&info);
    return true;
}

// The compressed bytes in a buffer that doubles when full. Its pages are touched only as
// the encoder reaches them, so a generous first size costs nothing.
struct MemorySink {
    jpeg_destination_mgr manager{}; // first member: libjpeg hands back its address
    QByteArray bytes;
    qsizetype used = 0;

    explicit MemorySink(qsizetype firstSize) : firstSize(firstSize) {
        manager.init_destination = [](j_compress_ptr cinfo) {
            MemorySink& sink = of(cinfo);
            if (!sink.grow(sink.firstSize))
                ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
        };
        manager.empty_output_buffer = [](j_compress_ptr cinfo) -> boolean {
            MemorySink& sink = of(cinfo);
            if (!sink.grow(sink.bytes.size() * 2))
                ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
            return TRUE;
        };
        manager.term_destination = [](j_compress_ptr cinfo) {
            MemorySink& sink = of(cinfo);
            sink.used = sink.bytes.size() - qsizetype(sink.manager.free_in_buffer);
        };
    }

private:
    static MemorySink& of(j_compress_ptr cinfo) {
        return *reinterpret_cast<MemorySink*>(cinfo->dest);
    }

    // Everything in the buffer so far counts as written.
    bool grow(qsizetype size) {
        used = bytes.size();
        try {
            bytes.resize(size);
        } catch (const std::bad_alloc&) {
            return false;
        }
        manager.next_output_byte = reinterpret_cast<JOCTET*>(bytes.data()) + used;
        manager.free_in_buffer = std::size_t(size - used);
        return true;
    }

    qsizetype firstSize;
};

// The compressed bytes written to a file a chunk at a time. The kernel is asked to start
// putting each chunk on disk at once, so that the sync at the end waits for the last only.
struct FileSink {
    static constexpr std::size_t kChunk = std::size_t{1} << 20;

    jpeg_destination_mgr manager{}; // first member: libjpeg hands back its address
    int fd;
    std::unique_ptr<JOCTET[]> buffer = std::make_unique<JOCTET[]>(kChunk);
    off_t written = 0;

    explicit FileSink(int file) : fd(file) {
        manager.init_destination = [](j_compress_ptr cinfo) { of(cinfo).rewind(); };
        manager.empty_output_buffer = [](j_compress_ptr cinfo) -> boolean {
            FileSink& sink = of(cinfo);
            if (!sink.writeChunk(kChunk))
                ERREXIT(cinfo, JERR_FILE_WRITE);
            sink.rewind();
            return TRUE;
        };
        manager.term_destination = [](j_compress_ptr cinfo) {
            FileSink& sink = of(cinfo);
            if (!sink.writeChunk(kChunk - sink.manager.free_in_buffer))
                ERREXIT(cinfo, JERR_FILE_WRITE);
        };
    }

private:
    static FileSink& of(j_compress_ptr cinfo) { return *reinterpret_cast<FileSink*>(cinfo->dest); }

    void rewind() {
        manager.next_output_byte = buffer.get();
        manager.free_in_buffer = kChunk;
    }

    bool writeChunk(std::size_t size) {
        if (!writeAll(fd, reinterpret_cast<const char*>(buffer.get()), size))
            return false;
        ::sync_file_range(fd, written, off_t(size), SYNC_FILE_RANGE_WRITE); // a mere hint
        written += off_t(size);
        return true;
    }
};

// Encodes into a temporary file beside path, then commits it (TempFile::commit).
NewFileOutcome encodeToFile(const std::string& path, bool keepExisting, const QImage& image,
                            int quality, const QByteArray& exifPayload, double dpiX, double dpiY,
                            const QByteArray& segments) {
    const std::optional<EncodeJob> job = prepareEncode(image, quality, exifPayload, segments);
    if (!job)
        return NewFileOutcome::Failed;
    std::optional<TempFile> temp = TempFile::create(path);
    if (!temp)
        return NewFileOutcome::Failed;
    FileSink sink(temp->fd());
    const bool encoded = compress(*job, dpiX, dpiY, sink.manager);
    return temp->commit(encoded, keepExisting);
}

// Writes bytes into a temporary file beside path, then commits it (TempFile::commit).
NewFileOutcome writeToFile(const std::string& path, bool keepExisting, const QByteArray& bytes) {
    std::optional<TempFile> temp = TempFile::create(path);
    if (!temp)
        return NewFileOutcome::Failed;
    return temp->commit(writeAll(temp->fd(), bytes.constData(), std::size_t(bytes.size())),
                        keepExisting);
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
    image = allocateRgb888(width, height);
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
    const std::optional<EncodeJob> job = prepareEncode(image, quality, exifPayload, segments);
    if (!job)
        return std::nullopt;
    // About the size of a quality-100 file; most results need no second buffer.
    MemorySink sink(
        std::max<qsizetype>(qsizetype{4096}, qsizetype{job->rgb.width()} * job->rgb.height()));
    if (!compress(*job, dpiX, dpiY, sink.manager))
        return std::nullopt;
    sink.bytes.resize(sink.used);
    return std::move(sink.bytes);
}

bool JpegCodec::encodeFile(const std::string& path, const QImage& image, int quality,
                           const QByteArray& exifPayload, double dpiX, double dpiY,
                           const QByteArray& segments) {
    return encodeToFile(path, false, image, quality, exifPayload, dpiX, dpiY, segments) ==
           NewFileOutcome::Written;
}

NewFileOutcome JpegCodec::encodeNewFile(const std::string& path, const QImage& image, int quality,
                                        const QByteArray& exifPayload, double dpiX, double dpiY,
                                        const QByteArray& segments) {
    return encodeToFile(path, true, image, quality, exifPayload, dpiX, dpiY, segments);
}

std::optional<QByteArray> JpegCodec::withMetadata(const QByteArray& jpeg,
                                                  const QByteArray& exifPayload, double dpiX,
                                                  double dpiY, const QByteArray& segments) {
    const auto* data = reinterpret_cast<const unsigned char*>(jpeg.constData());
    if (jpeg.size() < 4 || data[0] != kMarker || data[1] != kSoi ||
        exifPayload.size() > JpegHeader::kMaxPayload)
        return std::nullopt;
    qsizetype rest = 2;
    const std::vector<JpegSegment> header = JpegHeader::segments(jpeg);
    if (!header.empty() && header.front().marker == kApp0 && header.front().offset == 6 &&
        header.front().starts(jpeg, "JFIF"))
        rest = header.front().offset + header.front().length;
    // JFIF 1.01 as libjpeg writes it: unit, horizontal and vertical density, no thumbnail.
    QByteArray jfif("JFIF\0\1\1\0\0\1\0\1\0\0", 14);
    if (dpiX > 0.0 && dpiY > 0.0) {
        const std::uint16_t x = densityFromDpi(dpiX);
        const std::uint16_t y = densityFromDpi(dpiY);
        jfif[7] = 1; // dots per inch
        jfif[8] = char(x >> 8);
        jfif[9] = char(x & 0xFF);
        jfif[10] = char(y >> 8);
        jfif[11] = char(y & 0xFF);
    }
    QByteArray out = jpeg.left(2) + JpegHeader::segment(kApp0, jfif);
    if (!exifPayload.isEmpty())
        out += JpegHeader::segment(kApp1, exifPayload);
    out += segments;
    out += QByteArrayView(jpeg).sliced(rest);
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
    return writeToFile(path, false, bytes) == NewFileOutcome::Written;
}

NewFileOutcome JpegCodec::writeNewFile(const std::string& path, const QByteArray& bytes) {
    return writeToFile(path, true, bytes);
}
