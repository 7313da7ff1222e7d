// The series table: which of the six series shows what. The expected rows
// are the chart's design as a person reads it in the legend: command 1 on
// Series1 to Series3, command 2 on Series4 to Series6, where the right axis
// has the filter before the mean.
#include <stdexcept>

#include <gtest/gtest.h>

#include "platform/MemoryChart.h"
#include "window/SeriesTable.h"

namespace qs {
namespace {

struct SeriesOf {
    int channel;
    SeriesRole role;
    int series;  // 1 to 6
};

class SeriesTableRow : public ::testing::TestWithParam<SeriesOf> {};

SeriesTable tableOf(MemoryChart& chart) {
    return SeriesTable({&chart.Series(1), &chart.Series(2), &chart.Series(3), &chart.Series(4), &chart.Series(5),
                        &chart.Series(6)});
}

TEST_P(SeriesTableRow, GivesTheSeriesOfTheChannelAndRole) {
    MemoryChart chart;
    const SeriesTable table = tableOf(chart);
    EXPECT_EQ(&table.of(GetParam().channel, GetParam().role), &chart.Series(GetParam().series));
}

using R = SeriesRole;
INSTANTIATE_TEST_SUITE_P(Design, SeriesTableRow,
                         ::testing::Values(SeriesOf{1, R::Raw, 1}, SeriesOf{1, R::Mean, 2}, SeriesOf{1, R::Filter, 3},
                                           SeriesOf{2, R::Raw, 4}, SeriesOf{2, R::Mean, 6},
                                           SeriesOf{2, R::Filter, 5}));

TEST(SeriesTable, ListsAllSixInTheirOrderAndKnowsNoThirdChannel) {
    MemoryChart chart;
    const SeriesTable table = tableOf(chart);
    ASSERT_EQ(table.all().size(), 6u);
    for (int n = 1; n <= 6; ++n) EXPECT_EQ(table.all()[n - 1], &chart.Series(n)) << n;
    EXPECT_THROW(table.of(0, R::Raw), std::out_of_range);
    EXPECT_THROW(table.of(3, R::Mean), std::out_of_range);
}

}  // namespace
}  // namespace qs
