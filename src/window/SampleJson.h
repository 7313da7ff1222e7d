#pragma once
#include <string>
#include <string_view>

#include "window/SampleRecord.h"

namespace qs {

// A sample as other programs read it (a page, a broker's subscribers): one
// JSON object with run, seq, time (ISO 8601 UTC), channel, command, text,
// value, mean, filter and count, in that order, the numbers with all 17
// significant digits so that the value read is the value logged. run tells
// apart the starts of the program, since seq begins at 1 at each.
std::string SampleJson(const SampleRecord& sample, std::string_view run);

// A run id: 16 lower-case hex digits of the 64 random bits given.
std::string RunId(unsigned long long bits);

}  // namespace qs
