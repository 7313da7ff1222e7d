// The value axes' tick labels: always distinct, as short as that allows; and
// the axes' titles.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/ValueAxisLabels.h"

namespace qs {
namespace {

struct LabelCase {
    const char* name;
    std::vector<double> ticks;
    std::vector<std::string> labels;  // written out by hand
};

TEST(ValueAxisLabels, TicksReadApartInTheFewestDecimalsThatStateThemExactly) {
    const LabelCase cases[] = {
        {"1 +- 1e-7", {0.9999999, 0.99999995, 1.0, 1.00000005, 1.0000001},
         {"0.9999999", "0.99999995", "1", "1.00000005", "1.0000001"}},
        {"2 +- 1e-7 in steps of 2e-8", {1.99999996, 1.99999998, 2.0, 2.00000002},
         {"1.99999996", "1.99999998", "2", "2.00000002"}},
        {"10.0000035 +- 1e-6", {10.0000025, 10.000003, 10.0000035, 10.000004, 10.0000045},
         {"10.0000025", "10.000003", "10.0000035", "10.000004", "10.0000045"}},
        {"10.0000035 +- 1e-7", {10.00000345, 10.0000035, 10.00000355},
         {"10.00000345", "10.0000035", "10.00000355"}},
        {"0 to 1e-9", {0.0, 2e-10, 4e-10, 6e-10, 8e-10, 1e-9},
         {"0", "0.0000000002", "0.0000000004", "0.0000000006", "0.0000000008", "0.000000001"}},
        {"around -1e-9", {-1.2e-9, -1e-9, -8e-10}, {"-0.0000000012", "-0.000000001", "-0.0000000008"}},
        {"0 to 1e6", {0.0, 200000.0, 400000.0, 600000.0, 800000.0, 1e6},
         {"0", "200,000", "400,000", "600,000", "800,000", "1,000,000"}},
        {"1e6 +- 1", {999999.5, 1e6, 1000000.5}, {"999,999.5", "1,000,000", "1,000,000.5"}},
        {"quarters", {0.0, 0.25, 0.5, 0.75, 1.0}, {"0", "0.25", "0.5", "0.75", "1"}},
        {"steps of 0.1 in binary", {0.1, 0.2, 0.30000000000000004, 0.4}, {"0.1", "0.2", "0.3", "0.4"}},
        {"around zero", {-1e-8, 0.0, 1e-8}, {"-0.00000001", "0", "0.00000001"}},
        {"one tick", {1.5}, {"1.5"}},
        {"none", {}, {}},
    };
    for (const LabelCase& c : cases) EXPECT_EQ(ValueAxisLabels(c.ticks), c.labels) << c.name;
}

TEST(ValueAxisLabels, AnAxisIsTitledWithItsCommandOrItsNumber) {
    EXPECT_EQ(ValueAxisTitle(1, "MEAS:VOLT:DC? 5,0.00001"), "MEAS:VOLT:DC? 5,0.00001");
    EXPECT_EQ(ValueAxisTitle(2, "READ?"), "READ?");
    EXPECT_EQ(ValueAxisTitle(1, ""), "Command 1");
    EXPECT_EQ(ValueAxisTitle(2, "  "), "Command 2");
}

}  // namespace
}  // namespace qs
