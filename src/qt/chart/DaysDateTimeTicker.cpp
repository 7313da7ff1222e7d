#include "qt/chart/DaysDateTimeTicker.h"

#include <QFontMetrics>

#include <cmath>
#include <vector>

#include "chart/AxisLabels.h"
#include "chart/TimeAxisSteps.h"
#include "platform/DayCount.h"

namespace qs {

namespace {
// Width given to an axis that was never laid out (a plot not yet shown).
constexpr int kUnplacedWidth = 640;

struct Tick {
    double seconds;
    QString label;
    double x, width;  // centre and width of the label, in pixels
};

}  // namespace

DaysDateTimeTicker::DaysDateTimeTicker(QCPAxis* axis) : axis_(axis) {}

double DaysDateTimeTicker::daysToUnixSeconds(double days) { return (days - kUnixEpochDay) * kSecondsPerDay; }

double DaysDateTimeTicker::unixSecondsToDays(double seconds) { return seconds / kSecondsPerDay + kUnixEpochDay; }

double DaysDateTimeTicker::roundStepSeconds(double spanSeconds, double pixels, double spacing) {
    return RoundStepSeconds(spanSeconds, pixels, spacing);
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

// The keys stay in days so that a series hands back exactly the x it was
// given. Ticks fall on round UTC times (1, 2, 5, 10, 15, 30 seconds or
// minutes; 1, 2, 3, 6, 12 hours; 1, 2, 7, 14 days...): the smallest such
// step whose labels stand apart on the axis as it is laid out. A tick whose
// label would stick out of the plot keeps its grid line and loses its label:
// no label is ever drawn cut or over another.
//
// The ticker reads the axis' place and font when the plot lays itself out;
// the plot asks placedFor() afterwards and lays out once more when the axis
// ended up wider or narrower than the ticks were chosen for.
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
    for (;; step = NextRoundStep(step)) {
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
