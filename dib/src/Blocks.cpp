#include "Blocks.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

constexpr size_t kHugePage = size_t{2} << 20;

// Below this the C library serves a block from memory it already holds and
// reuses after a free; from here on every block is freshly mapped.
constexpr size_t kFreshMemory = size_t{32} << 20;

} // namespace

PixelBlock NewPixelBlock(size_t size)
{
#if defined(MADV_HUGEPAGE)
    if (size >= kFreshMemory) {
        // aligned_alloc wants a multiple of the alignment; the rounding is
        // never touched unless a huge page covers it anyway.
        const size_t rounded = (size + kHugePage - 1) / kHugePage * kHugePage;
        if (rounded >= size) {
            if (void* block = std::aligned_alloc(kHugePage, rounded)) {
                // Only advice: without huge pages the block still works.
                ::madvise(block, rounded, MADV_HUGEPAGE);
                return PixelBlock(static_cast<BYTE*>(block));
            }
        }
    }
#endif
    return PixelBlock(static_cast<BYTE*>(std::malloc(size ? size : 1)));
}
