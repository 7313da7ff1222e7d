#pragma once
#include <string_view>

namespace qs {

// Whether the chart follows new samples, and how the mouse wheel zooms it.

// What the window says of the chart: it follows new samples while it fits
// itself to the data, and stops after the person's zoom or pan until Show
// All Points.
std::string_view FollowingText(bool following);

// A range of one axis, in that axis' units.
struct AxisSpan {
    double lower = 0.0, upper = 0.0;
    friend bool operator==(const AxisSpan&, const AxisSpan&) = default;
};

// The span after the wheel turned by notches (120 eighths of a degree each;
// positive, away from the person, zooms in) around the value at the mouse
// pointer, which stays where it is on the screen. Each notch shows
// kWheelZoomStep of the span; a span that would shrink below minSpan (or
// grow past maxSpan) stays as it is.
inline constexpr double kWheelZoomStep = 0.8;
AxisSpan WheelZoomed(AxisSpan span, double at, double notches, double minSpan, double maxSpan);

}  // namespace qs
