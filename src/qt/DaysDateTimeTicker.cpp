#include "qt/DaysDateTimeTicker.h"

#include "chart/AxisLabels.h"

namespace qs {

namespace {
// 1970-01-01 in days since 1899-12-30.
constexpr double kUnixEpochDays = 25569.0;
constexpr double kSecondsPerDay = 86400.0;
}  // namespace

DaysDateTimeTicker::DaysDateTimeTicker() {
    // Whole days and months are aligned in UTC, as the labels are.
    setDateTimeSpec(Qt::UTC);
    setTickCount(5);
}

double DaysDateTimeTicker::daysToUnixSeconds(double days) { return (days - kUnixEpochDays) * kSecondsPerDay; }

double DaysDateTimeTicker::unixSecondsToDays(double seconds) { return seconds / kSecondsPerDay + kUnixEpochDays; }

void DaysDateTimeTicker::generate(const QCPRange& range, const QLocale& locale, QChar formatChar, int precision,
                                  QVector<double>& ticks, QVector<double>* subTicks, QVector<QString>* tickLabels) {
    const QCPRange seconds(daysToUnixSeconds(range.lower), daysToUnixSeconds(range.upper));
    QCPAxisTickerDateTime::generate(seconds, locale, formatChar, precision, ticks, subTicks, tickLabels);
    for (double& t : ticks) t = unixSecondsToDays(t);
    if (subTicks)
        for (double& t : *subTicks) t = unixSecondsToDays(t);
}

QString DaysDateTimeTicker::getTickLabel(double tick, const QLocale&, QChar, int) {
    return QString::fromStdString(FormatAxisDateTime(unixSecondsToDays(tick)));
}

}  // namespace qs
