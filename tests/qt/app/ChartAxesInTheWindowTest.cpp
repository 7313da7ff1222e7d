// The chart's value axes in the window: labels that always read apart, titles
// naming the commands, and axes with nothing on them left blank.
#include <QImage>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <string>

#include "ChartWindowFixture.h"

namespace qs::test {
namespace {

// Both commands' readings spread over this range of values.
struct ValueRangeCase {
    const char* name;
    double lower, upper;
};

class ValueAxesInTheWindow : public ChartInTheWindow, public ::testing::WithParamInterface<ValueRangeCase> {};

// The labels of an axis as drawn, each checked against its tick.
void ExpectDistinctExactLabels(QCPAxis* axis) {
    const QVector<double> ticks = axis->tickVector();
    const QVector<QString> labels = axis->tickVectorLabels();
    ASSERT_GE(ticks.size(), 2) << axis->range().lower << " to " << axis->range().upper;
    ASSERT_EQ(ticks.size(), labels.size());
    const double step = ticks[1] - ticks[0];
    for (qsizetype i = 0; i < ticks.size(); ++i) {
        if (i > 0) {
            EXPECT_NE(labels[i], labels[i - 1]) << labels.toList().join(u", ").toStdString();
        }
        bool ok = false;
        const double value = QString(labels[i]).remove(QLatin1Char(',')).toDouble(&ok);
        ASSERT_TRUE(ok) << labels[i].toStdString();
        EXPECT_NEAR(value, ticks[i], 0.01 * step) << labels[i].toStdString();
    }
}

TEST_P(ValueAxesInTheWindow, TickLabelsAlwaysReadApartAndStateTheirTick) {
    const ValueRangeCase& c = GetParam();
    for (int i = 0; i < 50; ++i) {
        const double v = c.lower + (c.upper - c.lower) * (i % 10) / 9.0;
        app->chart.Series(1).AddPoint(kStart + i * kSecond, v);
        app->chart.Series(4).AddPoint(kStart + i * kSecond, 2.0 * v);
    }
    show();
    ExpectDistinctExactLabels(plot().yAxis);
    ExpectDistinctExactLabels(plot().yAxis2);
}

INSTANTIATE_TEST_SUITE_P(Ranges, ValueAxesInTheWindow,
                         ::testing::Values(ValueRangeCase{"one_volt_within_1e_7", 1.0 - 1e-7, 1.0 + 1e-7},
                                           ValueRangeCase{"reference_within_1e_6", 10.0000035 - 1e-6, 10.0000035 + 1e-6},
                                           ValueRangeCase{"a_nanovolt", 0.0, 1e-9},
                                           ValueRangeCase{"a_million", 0.0, 1e6},
                                           ValueRangeCase{"a_million_within_one", 1e6 - 1.0, 1e6 + 1.0}),
                         [](const ::testing::TestParamInfo<ValueRangeCase>& info) { return std::string(info.param.name); });

TEST_F(ChartInTheWindow, ValueAxesAreTitledWithTheCommandsTheyPlot) {
    addPoints(20);
    show();
    EXPECT_EQ(plot().yAxis->label(), "MEAS:VOLT:DC? 5,0.00001");
    EXPECT_EQ(plot().yAxis2->label(), "MEAS:VOLT:DC? 5,0.00001");
    typeAndLeave("CommandBox2", "READ?");
    show();
    EXPECT_EQ(plot().yAxis2->label(), "READ?");
    edit("CommandBox")->setFocus(Qt::MouseFocusReason);
    edit("CommandBox")->selectAll();
    QTest::keyClick(edit("CommandBox"), Qt::Key_Backspace);
    edit("HostBox")->setFocus(Qt::TabFocusReason);
    show();
    EXPECT_EQ(plot().yAxis->label(), "Command 1");
}

// Dark pixels (text, ticks, grid lines) in the rectangle.
int darkPixels(const QImage& image, const QRect& r) {
    int dark = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) dark += qGray(image.pixel(x, y)) < 160;
    return dark;
}

TEST_F(ChartInTheWindow, AnAxisWithNothingOnItShowsNoNumbersNoGridAndAnEmptyChartNoDates) {
    show();
    EXPECT_FALSE(plot().xAxis->tickLabels());
    EXPECT_FALSE(plot().xAxis->grid()->visible());
    EXPECT_FALSE(plot().xAxis->ticks());

    // Only command 1 logs: the right axis stays blank, even after a zoom and back.
    for (int i = 0; i < 100; ++i)
        for (int s = 1; s <= 3; ++s) app->chart.Series(s).AddPoint(kStart + i * kSecond, 1.0 + 0.01 * (i % 7));
    show();
    const QRect r = plot().axisRect()->rect();
    EXPECT_TRUE(plot().xAxis->tickLabels());
    EXPECT_TRUE(plot().yAxis->tickLabels());
    EXPECT_FALSE(plot().yAxis2->tickLabels());
    EXPECT_FALSE(plot().yAxis2->grid()->visible());
    EXPECT_TRUE(plot().yAxis2->label().isEmpty());
    const auto rightMargin = [&] {
        const QRect a = plot().axisRect()->rect();
        return darkPixels(picture(), QRect(a.right() + 3, a.top(), plot().width() - a.right() - 4, a.height()));
    };
    EXPECT_EQ(rightMargin(), 0);
    QTest::mousePress(&plot(), Qt::LeftButton, {}, r.center());
    QTest::mouseMove(&plot(), r.center() + QPoint(30, 30));
    QTest::mouseRelease(&plot(), Qt::LeftButton, {}, r.center() + QPoint(30, 30));
    show();
    QTest::mousePress(&plot(), Qt::LeftButton, {}, r.center());
    QTest::mouseMove(&plot(), r.center() - QPoint(30, 30));
    QTest::mouseRelease(&plot(), Qt::LeftButton, {}, r.center() - QPoint(30, 30));
    show();
    EXPECT_TRUE(app->chart.autoView());
    EXPECT_EQ(rightMargin(), 0);
    // Command 2's first point brings its numbers back.
    app->chart.Series(4).AddPoint(kStart + 100 * kSecond, 2.0);
    show();
    EXPECT_TRUE(plot().yAxis2->tickLabels());
    EXPECT_GT(rightMargin(), 0);
}

}  // namespace
}  // namespace qs::test
