#include "bigimage.h"

#include <cstdint>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

namespace bigimage {

#ifdef Q_OS_LINUX
namespace {

constexpr std::size_t HugePage = std::size_t(2) << 20;

struct Block {
    void *start;
    std::size_t length;
};

void release(void *info)
{
    auto *block = static_cast<Block *>(info);
    ::munmap(block->start, block->length);
    delete block;
}

// An anonymous mapping of `length` bytes (a multiple of HugePage) that starts
// on a HugePage boundary, so that each part of it can be one large page.
void *mapAligned(std::size_t length)
{
    void *raw =
        ::mmap(nullptr, length + HugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    const auto at = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t start = (at + HugePage - 1) & ~std::uintptr_t(HugePage - 1);
    const std::size_t head = start - at;
    if (head > 0)
        ::munmap(raw, head);
    if (HugePage - head > 0)
        ::munmap(reinterpret_cast<void *>(start + length), HugePage - head);
    return reinterpret_cast<void *>(start);
}

} // namespace
#endif

QImage Allocate(const QSize &size, QImage::Format format)
{
#ifdef Q_OS_LINUX
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    if (!size.isEmpty() && depth > 0) {
        // QImage's own scan line rule: whole 32-bit words.
        const qint64 bytesPerLine = (qint64(size.width()) * depth + 31) / 32 * 4;
        const qint64 bytes = bytesPerLine * size.height();
        if (bytes >= MinBytes) {
            const std::size_t length = (std::size_t(bytes) + HugePage - 1) & ~(HugePage - 1);
            if (void *start = mapAligned(length)) {
                // A hint: without transparent huge pages the memory is ordinary.
                ::madvise(start, length, MADV_HUGEPAGE);
                auto *block = new Block{start, length};
                QImage img(static_cast<uchar *>(start), size.width(), size.height(), qsizetype(bytesPerLine),
                           format, release, block);
                if (!img.isNull())
                    return img;
                release(block);
            }
        }
    }
#endif
    return QImage(size, format);
}

} // namespace bigimage
