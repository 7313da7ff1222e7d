#include "platform/LargeArrays.h"

#include <sys/mman.h>

#include <cstdint>

namespace qs {

namespace {
constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
}  // namespace

void AdviseLargePages(const void* data, std::size_t bytes) {
    // Only the whole large pages within the room: madvise wants a page-aligned
    // start, and advising a neighbour's memory would be harmless but wrong.
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t last = (begin + bytes) & ~(kLargePage - 1);
    if (data == nullptr || last <= first) return;
#ifdef MADV_HUGEPAGE
    // Advice only: where the kernel has no large pages the memory is as before.
    (void)::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
}

}  // namespace qs
