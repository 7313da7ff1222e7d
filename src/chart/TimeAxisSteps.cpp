#include "chart/TimeAxisSteps.h"

#include "platform/DayCount.h"

namespace qs {
namespace {
constexpr double kDay = kSecondsPerDay;
constexpr double kRoundSteps[] = {
    1, 2, 5, 10, 15, 30,                          // seconds
    60, 120, 300, 600, 900, 1800,                 // minutes
    3600, 7200, 10800, 21600, 43200,              // hours
    kDay, 2 * kDay, 7 * kDay, 14 * kDay, 28 * kDay  // days
};
}  // namespace

double NextRoundStep(double stepSeconds) {
    for (double s : kRoundSteps)
        if (s > stepSeconds) return s;
    return stepSeconds * 2.0;
}

double RoundStepSeconds(double spanSeconds, double pixels, double spacing) {
    double step = kRoundSteps[0];
    if (!(spanSeconds > 0.0) || !(pixels > 0.0)) return step;
    const double pixelsPerSecond = pixels / spanSeconds;
    while (step * pixelsPerSecond < spacing && step < spanSeconds) step = NextRoundStep(step);
    return step;
}

}  // namespace qs
