#pragma once
#include <qcustomplot.h>

namespace qs {

// Date-time ticks for keys in days since 30 December 1899 (the logic's x),
// labelled "yyyy-MM-dd-hh:mm:ss" in UTC.
//
// The keys stay in days so that a series hands back exactly the x it was
// given; the ticker converts the visible range to seconds since the Unix
// epoch, lets QCustomPlot pick whole seconds, minutes, hours or days there,
// and converts the ticks back.
class DaysDateTimeTicker : public QCPAxisTickerDateTime {
public:
    DaysDateTimeTicker();

    void generate(const QCPRange& range, const QLocale& locale, QChar formatChar, int precision,
                  QVector<double>& ticks, QVector<double>* subTicks, QVector<QString>* tickLabels) override;

    // Seconds since 1970-01-01 00:00 UTC for a key in days since 1899-12-30, and back.
    static double daysToUnixSeconds(double days);
    static double unixSecondsToDays(double seconds);

protected:
    // tick: seconds since the Unix epoch (generate works in seconds).
    QString getTickLabel(double tick, const QLocale& locale, QChar formatChar, int precision) override;
};

}  // namespace qs
