#include "qt/chart/DaysDateTimeTicker.h"

#include <QFontMetrics>

#include <cmath>
#include <vector>

#include "chart/AxisLabels.h"

namespace qs {

namespace {
// 1970-01-01 in days since 1899-12-30.
constexpr double kUnixEpochDays = 25569.0;
constexpr double kSecondsPerDay = 86400.0;
// Round steps in seconds; beyond the last, the step doubles.
constexpr double kRoundSteps[] = {
    1, 2, 5, 10, 15, 30,                                 // seconds
    60, 120, 300, 600, 900, 1800,                        // minutes
    3600, 7200, 10800, 21600, 43200,                     // hours
    86400, 2 * 86400, 7 * 86400, 14 * 86400, 28 * 86400  // days
};
// Width given to an axis that was never laid out (a plot not yet shown).
constexpr int kUnplacedWidth = 640;

struct Tick {
    double seconds;
    QString label;
    double x, width;  // centre and width of the label, in pixels
};

double nextRoundStep(double step) {
    for (double s : kRoundSteps)
        if (s > step) return s;
    return step * 2.0;
}

}  // namespace

DaysDateTimeTicker::DaysDateTimeTicker(QCPAxis* axis) : axis_(axis) {}

double DaysDateTimeTicker::daysToUnixSeconds(double days) { return (days - kUnixEpochDays) * kSecondsPerDay; }

double DaysDateTimeTicker::unixSecondsToDays(double seconds) { return seconds / kSecondsPerDay + kUnixEpochDays; }

double DaysDateTimeTicker::roundStepSeconds(double spanSeconds, double pixels, double spacing) {
    double step = kRoundSteps[0];
    if (!(spanSeconds > 0.0) || !(pixels > 0.0)) return step;
    const double pixelsPerSecond = pixels / spanSeconds;
    while (step * pixelsPerSecond < spacing && step < spanSeconds) step = nextRoundStep(step);
    return step;
}

DaysDateTimeTicker::Place DaysDateTimeTicker::currentPlace() const {
    Place p;
    if (!axis_) return p;
    const QCPAxisRect* rect = axis_->axisRect();
    const QRect viewport = axis_->parentPlot()->viewport();
    p.axisLeft = rect->left();
    p.axisWidth = rect->width();
    p.left = viewport.left();
    p.right = viewport.right();
    if (p.axisWidth <= 0) {
        p.axisWidth = viewport.width() > 0 ? viewport.width() : kUnplacedWidth;
        p.right = std::max(p.right, p.axisLeft + p.axisWidth);
    }
    p.font = axis_->tickLabelFont();
    return p;
}

void DaysDateTimeTicker::generate(const QCPRange& range, const QLocale&, QChar, int, QVector<double>& ticks,
                                  QVector<double>* subTicks, QVector<QString>* tickLabels) {
    ticks.clear();
    if (subTicks) subTicks->clear();
    if (tickLabels) tickLabels->clear();
    used_ = currentPlace();
    const double lower = daysToUnixSeconds(range.lower), upper = daysToUnixSeconds(range.upper);
    const double span = upper - lower;
    if (!(span > 0.0) || !std::isfinite(span)) return;

    const QFontMetrics metrics(used_.font);
    const auto widthOf = [&](const QString& label) {
        // As the axis measures its labels, and a pixel either side for rounding.
        return metrics.boundingRect(0, 0, 0, 0, Qt::TextDontClip, label).width() + 2.0;
    };
    // Labels stand apart by at least a few characters' width.
    const double gap = 3.0 * metrics.averageCharWidth();
    const auto labelOf = [](double seconds) {
        return QString::fromStdString(FormatAxisDateTime(unixSecondsToDays(seconds)));
    };
    const double pixelsPerSecond = used_.axisWidth / span;

    std::vector<Tick> chosen;
    double step = roundStepSeconds(span, used_.axisWidth, widthOf(labelOf(lower)) + gap);
    for (;; step = nextRoundStep(step)) {
        chosen.clear();
        // Ticks on whole multiples of the step since the epoch: midnight UTC
        // for whole days, the full hour for hours, and so on.
        const double firstMultiple = std::ceil(lower / step - 1e-9);
        for (double k = firstMultiple, t = k * step; t <= upper + 1e-6; t = ++k * step) {
            const QString label = labelOf(t);
            chosen.push_back({t, label, used_.axisLeft + (t - lower) * pixelsPerSecond, widthOf(label)});
        }
        bool apart = true;
        for (std::size_t i = 1; i < chosen.size() && apart; ++i)
            apart = chosen[i].x - chosen[i - 1].x >= (chosen[i].width + chosen[i - 1].width) / 2.0 + gap;
        if (apart || chosen.size() <= 1) break;
    }

    for (const Tick& t : chosen) {
        ticks.push_back(unixSecondsToDays(t.seconds));
        if (!tickLabels) continue;
        const bool inside = t.x - t.width / 2.0 >= used_.left && t.x + t.width / 2.0 <= used_.right;
        tickLabels->push_back(inside ? t.label : QString());
    }
}

}  // namespace qs
