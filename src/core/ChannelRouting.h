#pragma once

namespace qs {

// A held value of "none yet": a channel has not had a sample in alternate
// mode. A sample of exactly this value cannot be told from it.
inline constexpr double kNoHeldValue = -9999.0;

}  // namespace qs
