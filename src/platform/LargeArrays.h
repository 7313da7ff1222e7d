#pragma once
#include <cstddef>
#include <vector>

namespace qs {

// Asks the kernel to back the room [data, data + bytes) with 2 MiB pages
// where it can, before the memory is first written. An array of millions of
// readings (a whole data file, an analysis's work space, a series being
// loaded) otherwise costs a page fault every 4 KiB as it fills, and on a
// virtual machine each fault is dear: the faults of ten million readings
// came to a third of an analysis. Nothing for rooms of less than 4 MiB, or
// where the kernel has no such pages.
void AdviseLargePages(const void* data, std::size_t bytes);

// reserve(n), with the room advised as above.
template <class T>
void ReserveLarge(std::vector<T>& v, std::size_t n) {
    v.reserve(n);
    AdviseLargePages(v.data(), v.capacity() * sizeof(T));
}

// A vector of n value-initialised elements in advised room.
template <class T>
std::vector<T> LargeVector(std::size_t n) {
    std::vector<T> v;
    ReserveLarge(v, n);
    v.resize(n);
    return v;
}

}  // namespace qs
