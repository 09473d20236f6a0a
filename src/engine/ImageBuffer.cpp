#include "engine/ImageBuffer.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <sys/mman.h>

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Smaller buffers come from the heap, where they are likely to be mapped already.
constexpr std::size_t kMappedImageBytes = std::size_t{4} << 20;

struct Mapping {
    void* address = nullptr;
    std::size_t length = 0;
};

void unmap(void* info) {
    const std::unique_ptr<Mapping> mapping(static_cast<Mapping*>(info));
    ::munmap(mapping->address, mapping->length);
}

} // namespace

QImage allocateRgb888(int width, int height) {
    if (width <= 0 || height <= 0)
        return {};
    const qsizetype bytesPerLine = (qsizetype{width} * 3 + 3) & ~qsizetype{3};
    const std::size_t size = std::size_t(bytesPerLine) * std::size_t(height);
    if (size < kMappedImageBytes)
        return QImage(width, height, QImage::Format_RGB888);
    // Map one huge page more than needed, then trim the ends so that the buffer starts on a
    // huge-page boundary.
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
