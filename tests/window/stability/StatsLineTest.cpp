// The headless logger's stats line: its fields, their order and their
// numbers, as a table of figures and the lines they give.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "window/ConsoleLines.h"

namespace qs {
namespace {

SeriesFigures someFigures() {
    SeriesFigures f;
    f.n = 1000;
    f.mean = 10.000001;
    f.stddev = 1.25e-6;
    f.stddevPpm = 0.125;
    f.minimum = 9.999996;
    f.maximum = 10.000005;
    f.peakToPeak = 9e-6;
    f.peakToPeakPpm = 0.9;
    f.driftPerDay = -2.5e-7;
    f.driftPpmPerDay = -0.025;
    f.driftStderrPerDay = 1e-8;
    f.tau0 = 2.0;
    return f;
}

StabilityRow row(long long m, double tau, std::optional<double> oadev, std::optional<double> error,
                 std::optional<double> mdev, std::optional<double> hdev) {
    StabilityRow r;
    r.m = m;
    r.tau = tau;
    r.oadev = oadev;
    r.oadevError = error;
    r.mdev = mdev;
    r.hdev = hdev;
    return r;
}

struct LineCase {
    const char* name;
    ChannelAnalysis channel;
    std::optional<RegressionFigures> tempco;
    std::string line;
};

const LineCase kLines[] = {
    {"NoReadings",
     {1, {}, {}},
     std::nullopt,
     "stats channel=1 n=0 mean=none stddev=none stddev_ppm=none min=none max=none p2p=none p2p_ppm=none "
     "drift_per_day=none drift_ppm_per_day=none drift_stderr=none tau0=none"},
    {"FiguresAndTwoOctaves",
     {2, someFigures(), {row(1, 2.0, 1.5e-6, 3e-8, 1.4e-6, 1.6e-6), row(2, 4.0, 1.1e-6, 4.5e-8, std::nullopt, 0.0)}},
     std::nullopt,
     "stats channel=2 n=1000 mean=10.000001 stddev=1.25e-06 stddev_ppm=0.125 min=9.999996 max=10.000005 p2p=9e-06 "
     "p2p_ppm=0.9 drift_per_day=-2.5e-07 drift_ppm_per_day=-0.025 drift_stderr=1e-08 tau0=2 oadev_m1=1.5e-06 "
     "oadev_err_m1=3e-08 mdev_m1=1.4e-06 hdev_m1=1.6e-06 oadev_m2=1.1e-06 oadev_err_m2=4.5e-08 mdev_m2=none "
     "hdev_m2=0"},
    {"TempcoOnChannelOne",
     {1, someFigures(), {}},
     RegressionFigures{40, 2.5e-6, 1e-7, 0.97, 0.25},
     "stats channel=1 n=1000 mean=10.000001 stddev=1.25e-06 stddev_ppm=0.125 min=9.999996 max=10.000005 p2p=9e-06 "
     "p2p_ppm=0.9 drift_per_day=-2.5e-07 drift_ppm_per_day=-0.025 drift_stderr=1e-08 tau0=2 tempco_pairs=40 "
     "tempco_slope=2.5e-06 tempco_slope_err=1e-07 tempco_r=0.97 tempco_ppm_per_unit=0.25"},
};

class StatsLines : public ::testing::TestWithParam<LineCase> {};

TEST_P(StatsLines, NameEveryFigureOnceInOrderWithItsExactNumberOrNone) {
    const LineCase& c = GetParam();
    EXPECT_EQ(StatsConsoleLine(c.channel, c.tempco), c.line);
}

INSTANTIATE_TEST_SUITE_P(Figures, StatsLines, ::testing::ValuesIn(kLines),
                         [](const auto& info) { return std::string(info.param.name); });

// The line read back as a program would: "stats", then name=value pairs
// separated by single spaces, each name once, each value a number that is
// the figure to the bit, or "none".
TEST(StatsLine, ReadsBackAsNameValuePairsWithTheFiguresToTheBit) {
    ChannelAnalysis c{1, someFigures(), {row(1, 2.0, 1.0 / 3.0, 2.0 / 3.0, 0.1 + 0.2, std::nullopt)}};
    c.figures.mean = 10.000000123456789;
    const std::string line = StatsConsoleLine(c, std::nullopt);
    std::istringstream in(line);
    std::string word;
    in >> word;
    EXPECT_EQ(word, "stats");
    std::map<std::string, std::string> fields;
    while (in >> word) {
        const std::size_t eq = word.find('=');
        ASSERT_NE(eq, std::string::npos) << word;
        EXPECT_TRUE(fields.emplace(word.substr(0, eq), word.substr(eq + 1)).second) << word << " twice";
    }
    EXPECT_EQ(line.find("  "), std::string::npos);
    EXPECT_EQ(std::strtod(fields.at("mean").c_str(), nullptr), 10.000000123456789);
    EXPECT_EQ(std::strtod(fields.at("oadev_m1").c_str(), nullptr), 1.0 / 3.0);
    EXPECT_EQ(std::strtod(fields.at("oadev_err_m1").c_str(), nullptr), 2.0 / 3.0);
    EXPECT_EQ(std::strtod(fields.at("mdev_m1").c_str(), nullptr), 0.1 + 0.2);
    EXPECT_EQ(fields.at("hdev_m1"), "none");
    EXPECT_EQ(fields.at("n"), "1000");
}

TEST(StatsLines, OnePerChannelWithReadingsAndTheTempcoOnChannelOnes) {
    DataAnalysis a;
    a.channels.push_back({1, someFigures(), {}});
    a.channels.push_back({2, {}, {}});
    a.tempco = RegressionFigures{3, 1.0, 0.1, 0.9, 0.1};
    std::vector<std::string> lines = StatsConsoleLines(a);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("stats channel=1 n=1000 ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find(" tempco_pairs=3 "), std::string::npos) << lines[0];
    a.channels[1].figures.n = 5;
    lines = StatsConsoleLines(a);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].rfind("stats channel=2 n=5 ", 0), 0u) << lines[1];
    EXPECT_EQ(lines[1].find("tempco"), std::string::npos) << lines[1];
}

}  // namespace
}  // namespace qs
