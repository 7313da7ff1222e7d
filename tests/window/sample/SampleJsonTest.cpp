// The sample record other programs read: every field of the data-file
// line's sample, the value exactly as logged.
#include <gtest/gtest.h>

#include "window/SampleJson.h"

namespace qs {
namespace {

TEST(SampleJson, HoldsTheRecordsFieldsInOrderWithAllDigits) {
    SampleRecord s;
    s.seq = 42;
    s.time = {2026, 12, 8, 0, 15, 48};
    s.channel = 2;
    s.command = "MEAS:TEMP?";
    s.cleanText = "+2.31250000E+01 \xB0" "C";
    s.value = 23.125;
    s.mean = 23.1 + 1e-12;
    s.filter = 1.0 / 3.0;
    s.count = 7;
    EXPECT_EQ(SampleJson(s, "00c0ffee00c0ffee"),
              "{\"run\":\"00c0ffee00c0ffee\",\"seq\":42,\"time\":\"2026-12-08T00:15:48Z\",\"channel\":2,"
              "\"command\":\"MEAS:TEMP?\",\"text\":\"+2.31250000E+01 \\u00b0C\",\"value\":23.125,"
              "\"mean\":23.100000000001,\"filter\":0.33333333333333331,\"count\":7}");
}

TEST(RunId, IsSixteenHexDigits) {
    EXPECT_EQ(RunId(0), "0000000000000000");
    EXPECT_EQ(RunId(0xFEDCBA9876543210ULL), "fedcba9876543210");
}

}  // namespace
}  // namespace qs
