#pragma once
#include <optional>
#include <string>

#include "window/Settings.h"

namespace qs {

// Why a settings file cannot serve a logger that runs without anyone at it,
// as one line ("line 2 (IntervalBox): 'x' is not a valid floating point
// value"); nullopt when it can. The window would open all the same and let a
// person mend the box; without a person, a host that is missing or a number
// the logger converts at every poll, reply or sample that does not convert
// would leave it logging nothing, or reporting the same error at every
// reply. A line the file does not reach keeps the box's design value, which
// is fine, but for the adapter's address.
std::optional<std::string> WhyNotUnattended(const Settings& settings);

}  // namespace qs
