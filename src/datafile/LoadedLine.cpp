#include "datafile/LoadedLine.h"

#include <cmath>

#include "core/SampleTime.h"
#include "core/Statistics.h"

namespace qs {

bool IsLoadableLine(const DataLineFields& f) {
    if (f.year < 1900 || f.year > 2100 || f.month < 1 || f.month > 12 || f.day < 1 || f.day > 31) return false;
    if (f.hour < 0 || f.hour > 23 || f.minute < 0 || f.minute > 59 || f.second < 0 || f.second > 59) return false;
    if (!IsValidDate(f.year, f.month, f.day)) return false;
    return IsSampleValue(f.raw) && std::isfinite(f.mean) && std::isfinite(f.filter);
}

}  // namespace qs
