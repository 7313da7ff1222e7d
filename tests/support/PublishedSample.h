#pragma once
#include <cstdint>

#include "window/SampleRecord.h"

namespace qs::test {

// Sample seq of a run, as the logger hands it to a publisher: a 10 V
// reading that moves a little at each sample, so that a value read back
// tells which sample it was.
inline SampleRecord PublishedSample(std::uint64_t seq) {
    SampleRecord s;
    s.seq = seq;
    s.time = {2026, 12, 8, 1, 2, static_cast<int>(seq % 60)};
    s.command = "READ?";
    s.value = 10.0 + static_cast<double>(seq) * 1.234567e-8;
    s.cleanText = "+1.00000001E+01";
    s.count = static_cast<int>(seq);
    return s;
}

}  // namespace qs::test
