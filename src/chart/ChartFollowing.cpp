#include "chart/ChartFollowing.h"

#include <cmath>

namespace qs {

std::string_view FollowingText(bool following) {
    return following ? "Following new samples" : "Zoomed: Show All Points to follow";
}

AxisSpan WheelZoomed(AxisSpan span, double at, double notches, double minSpan, double maxSpan) {
    const double factor = std::pow(kWheelZoomStep, notches);
    const AxisSpan zoomed{at - (at - span.lower) * factor, at + (span.upper - at) * factor};
    const double size = zoomed.upper - zoomed.lower;
    if (!std::isfinite(size) || size < minSpan || size > maxSpan) return span;
    return zoomed;
}

}  // namespace qs
