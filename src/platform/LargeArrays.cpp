#include "platform/LargeArrays.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace qs {

namespace {
// Rooms smaller than two large pages are left as they are.
constexpr std::size_t kLeastRoom = std::size_t{4} << 20;
}  // namespace

void AdviseLargePages(const void* data, std::size_t bytes) {
    if (data == nullptr || bytes < kLeastRoom) return;
#ifdef MADV_HUGEPAGE
    // The whole small pages the room lies in: madvise wants a page-aligned
    // start, and advice on part of a mapping cuts it in pieces, which a
    // mapping grown later by realloc (moved, not copied, while it is whole)
    // would pay for with a copy. A room this large is mostly a mapping of its
    // own; where it lies in the heap, the neighbours on its first and last
    // page get nothing but the same advice.
    static const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<std::uintptr_t>(data) & ~(page - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes + page - 1) & ~(page - 1);
    // Advice only: where the kernel has no large pages the memory is as before.
    (void)::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

}  // namespace qs
