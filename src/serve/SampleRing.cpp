#include "serve/SampleRing.h"

#include <algorithm>

namespace qs {

void SampleRing::add(std::uint64_t seq, std::string json) {
    if (capacity_ == 0) return;
    if (records_.size() == capacity_) records_.pop_front();
    records_.push_back({seq, std::move(json)});
}

std::string SampleRing::since(std::uint64_t since, std::size_t limit) const {
    // The records are in seq order: the first one to send is found by halving.
    auto it = std::upper_bound(records_.begin(), records_.end(), since,
                               [](std::uint64_t s, const Record& r) { return s < r.seq; });
    std::string out = "[";
    for (std::size_t n = 0; it != records_.end() && n < limit; ++it, ++n) {
        if (n > 0) out += ',';
        out += it->json;
    }
    // Appended rather than added, so that a long answer is not copied once more.
    out += ']';
    return out;
}

}  // namespace qs
