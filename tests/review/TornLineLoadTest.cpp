// Load skips a line that a full disk tore and the next sample was glued onto:
// its fields belong to two samples, and taking it would put a number of the
// one at the time of the other.
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "WindowHarness.h"

namespace qs {
namespace {

struct TornCase {
    const char* name;
    const char* torn;
};

class LoadATornLine : public ::testing::TestWithParam<TornCase> {};

TEST_P(LoadATornLine, SkipsItAndKeepsTheLinesAroundIt) {
    test::WindowHarness h;
    h.w.RadioButton1.setChecked(true);
    {
        std::ofstream f("Data.txt", std::ios::binary);
        f << "2026-12-08 00:35:47, +5.00000000E+00, 5.00000000E+00, 5.00000000E+00\r\n"
          << GetParam().torn << "\r\n"
          << "2026-12-08 00:36:02, +7.00000000E+00, 7.00000000E+00, 7.00000000E+00\r\n";
    }
    h.w.LoadButtonClick();
    ASSERT_EQ(h.series(1).Count(), 2);
    EXPECT_DOUBLE_EQ(h.series(1).YValue(0), 5.0);
    EXPECT_DOUBLE_EQ(h.series(1).YValue(1), 7.0);
    EXPECT_EQ(h.w.CountBox.caption(), "2");
}

INSTANTIATE_TEST_SUITE_P(
    Tears, LoadATornLine,
    ::testing::Values(
        TornCase{"InTheReply", "2026-12-08 00:35:52, +1.12026-12-08 00:35:57, +2.90000000E+01, 2.9E+01, 2.9E+01"},
        TornCase{"AfterTheReply", "2026-12-08 00:35:52, +1.10000000E+012026-12-08 00:35:57, +2.9E+01, 2.9E+01, 2.9E+01"},
        TornCase{"InTheMean", "2026-12-08 00:35:52, +1.1E+01, 1.12026-12-08 00:35:57, +2.9E+01, 2.9E+01, 2.9E+01"},
        TornCase{"InTheStamp", "2026-12-08 00:32026-12-08 00:35:57, +2.90000000E+01, 2.9E+01, 2.9E+01"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qs
