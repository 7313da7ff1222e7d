#pragma once
#include <QFont>
#include <QPointer>

#include <qcustomplot.h>

namespace qs {

// Date-time ticks for keys in days since 30 December 1899 (the logic's x),
// labelled "yyyy-MM-dd-hh:mm:ss" in UTC, as many as the labels have room for.
class DaysDateTimeTicker : public QCPAxisTicker {
public:
    explicit DaysDateTimeTicker(QCPAxis* axis);

    // QCPAxisTicker
    void generate(const QCPRange& range, const QLocale& locale, QChar formatChar, int precision,
                  QVector<double>& ticks, QVector<double>* subTicks, QVector<QString>* tickLabels) override;

    // Whether the last ticks were chosen for the axis' present place and font.
    bool placedFor() const { return used_ == currentPlace(); }

    // Seconds since 1970-01-01 00:00 UTC for a key in days since 1899-12-30, and back.
    static double daysToUnixSeconds(double days);
    static double unixSecondsToDays(double seconds);
    // The smallest round step, in seconds, whose ticks stand at least spacing
    // pixels apart on an axis of pixels showing spanSeconds (RoundStepSeconds).
    static double roundStepSeconds(double spanSeconds, double pixels, double spacing);

private:
    // Where the axis and its labels may go, in the plot's pixels.
    struct Place {
        int axisLeft = 0, axisWidth = 0;  // the axis rect
        int left = 0, right = 0;          // the plot's viewport: labels stay within it
        QFont font;
        bool operator==(const Place&) const = default;
    };
    Place currentPlace() const;

    // members
    QPointer<QCPAxis> axis_;
    Place used_;
};

}  // namespace qs
