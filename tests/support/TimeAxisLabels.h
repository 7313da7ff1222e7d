#pragma once
// The chart's time axis as a person reads it: where each bottom label
// stands, points over a span of seconds, and the check that the labels are
// whole, apart and on round times. Shared by the chart alone and the chart
// in the window.
#include <QFontMetrics>
#include <QRegularExpression>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "qt/chart/DaysDateTimeTicker.h"
#include "qt/chart/QtChart.h"

namespace qs::test {

inline constexpr double kStart = 45356.5;  // 2024-03-05 12:00 UTC
inline constexpr double kSecond = 1.0 / 86400.0;

// Where a bottom label stands: measured as the axis measures it, centred on
// its tick, below the axis.
struct LabelBox {
    QString text;
    double seconds;
    QRectF rect;
};

inline std::vector<LabelBox> BottomLabels(QCustomPlot& plot) {
    QCPAxis* axis = plot.xAxis;
    const QFontMetrics metrics(axis->tickLabelFont());
    const double top = axis->axisRect()->bottom() + axis->tickLengthOut() + axis->tickLabelPadding();
    std::vector<LabelBox> boxes;
    for (int i = 0; i < axis->tickVector().size(); ++i) {
        const QString& text = axis->tickVectorLabels().value(i);
        if (text.isEmpty()) continue;
        const double width = metrics.boundingRect(0, 0, 0, 0, Qt::TextDontClip, text).width();
        const double x = axis->coordToPixel(axis->tickVector()[i]);
        boxes.push_back({text, DaysDateTimeTicker::daysToUnixSeconds(axis->tickVector()[i]),
                         QRectF(x - width / 2.0, top, width, metrics.height())});
    }
    return boxes;
}

// Points over span seconds on both value axes, a second apart up to ten
// minutes, a minute apart beyond.
inline void AddSpan(QtChart& chart, int span) {
    const int step = span <= 600 ? 1 : 60;
    for (int t = 0; t <= span; t += step) {
        chart.Series(1).AddPoint(kStart + t * kSecond, std::sin(t / 1000.0));
        chart.Series(4).AddPoint(kStart + t * kSecond, 1000.0 * std::cos(t / 1000.0));
    }
    chart.Redraw();
    chart.replotNow();
}

// The bottom labels are whole, apart, and on round times; at least atLeast of them.
inline void ExpectReadableTimeLabels(QCustomPlot& plot, std::size_t atLeast) {
    const std::vector<LabelBox> labels = BottomLabels(plot);
    ASSERT_GE(labels.size(), atLeast);
    const QRegularExpression format(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d-\\d\\d:\\d\\d:\\d\\d$"));
    const double roundSteps[] = {1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800, 3600, 7200, 10800, 21600, 43200,
                                 86400, 2 * 86400, 7 * 86400};
    const double tickStep = std::round(plot.xAxis->tickVector().size() > 1
                                           ? DaysDateTimeTicker::daysToUnixSeconds(plot.xAxis->tickVector()[1]) -
                                                 DaysDateTimeTicker::daysToUnixSeconds(plot.xAxis->tickVector()[0])
                                           : 1.0);
    EXPECT_NE(std::find(std::begin(roundSteps), std::end(roundSteps), tickStep), std::end(roundSteps)) << tickStep;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const LabelBox& l = labels[i];
        EXPECT_TRUE(format.match(l.text).hasMatch()) << l.text.toStdString();
        // Whole in the chart: QCustomPlot leaves out a label that would be cut.
        EXPECT_GE(l.rect.left(), 0.0) << l.text.toStdString();
        EXPECT_LE(l.rect.right(), plot.width()) << l.text.toStdString();
        // On a round time: a whole number of steps since the epoch.
        EXPECT_NEAR(std::fmod(l.seconds + 0.5, tickStep), 0.5, 1e-3) << l.text.toStdString();
        if (i == 0) continue;
        EXPECT_GT(l.rect.left(), labels[i - 1].rect.right())
            << labels[i - 1].text.toStdString() << " runs into " << l.text.toStdString();
    }
}

// A test name of a width (0: as narrow as it goes) and a span of seconds.
inline std::string WidthAndSpanName(const ::testing::TestParamInfo<std::tuple<int, int>>& info) {
    const int width = std::get<0>(info.param), span = std::get<1>(info.param);
    return (width ? std::to_string(width) + "px" : std::string("narrowest")) + "_" + std::to_string(span) + "s";
}

}  // namespace qs::test
