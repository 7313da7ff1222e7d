#include "chart/SeriesStyle.h"

#include <stdexcept>

namespace qs {
namespace {

using R = SeriesRole;
using A = ValueAxis;

constexpr SeriesStyle kStyles[] = {
    {1, "Series1", 1, R::Raw, A::Left, {255, 0, 0}, 2, "DisplayDataBox", "BoldRaw"},
    {2, "Series2", 1, R::Mean, A::Left, {0, 0, 255}, 1, "DisplayMeanBox", "BoldMean"},
    {3, "Series3", 1, R::Filter, A::Left, {0, 0, 0}, 1, "FilterCheckbox", "BoldFilter"},
    // Command 2's raw line starts thin although BoldRaw starts checked; the
    // first click on BoldRaw brings both raw lines to the same width.
    {4, "Series4", 2, R::Raw, A::Right, {0, 128, 0}, 1, "DisplayDataBox", "BoldRaw"},
    {5, "Series5", 2, R::Filter, A::Right, {255, 0, 255}, 1, "FilterCheckbox", "BoldFilter"},
    {6, "Series6", 2, R::Mean, A::Right, {255, 128, 0}, 1, "DisplayMeanBox", "BoldMean"},
};

}  // namespace

std::span<const SeriesStyle> SeriesStyles() { return kStyles; }

const SeriesStyle& SeriesStyleOf(int n) {
    if (n < 1 || n > 6) throw std::out_of_range("series number outside 1 to 6");
    return kStyles[n - 1];
}

}  // namespace qs
