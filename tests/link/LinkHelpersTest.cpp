// Pure rules of the link: command bytes, countdown caption, minimum
// time-out, stranded-data recognition, status texts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "link/CommandBytes.h"
#include "link/LinkMessages.h"
#include "link/PollArithmetic.h"
#include "link/StrandedData.h"

namespace qs {
namespace {

struct CommandCase {
    const char* name;
    std::string utf8;
    std::optional<std::string> bytes;
};

class CommandToBytesTest : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandToBytesTest, MapsEachCharacterToOneByteOrRefusesTheCommand) {
    EXPECT_EQ(CommandToBytes(GetParam().utf8), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CommandToBytesTest,
    ::testing::Values(
        CommandCase{"Ascii", "MEAS:VOLT:DC? 5,0.00001", std::string("MEAS:VOLT:DC? 5,0.00001")},
        CommandCase{"OneCharacter", "X", std::string("X")},
        // U+00B5 MICRO SIGN is C2 B5 in UTF-8 and byte B5 in Latin-1.
        CommandCase{"LatinOneMicro", "RANGE 1\xC2\xB5", std::string("RANGE 1\xB5")},
        // U+00FF is the last character that fits one byte.
        CommandCase{"LatinOneLast", "\xC3\xBF", std::string("\xFF")},
        CommandCase{"Empty", "", std::nullopt},
        // U+20AC EURO SIGN has no single byte of the same value.
        CommandCase{"EuroSign", "PRICE \xE2\x82\xAC", std::nullopt},
        CommandCase{"BeyondLatinOne", "\xC4\x80", std::nullopt},
        CommandCase{"EmbeddedNul", std::string("AB\0C", 4), std::nullopt},
        CommandCase{"LoneContinuationByte", "A\x80", std::nullopt},
        CommandCase{"TruncatedSequence", "A\xC3", std::nullopt},
        CommandCase{"OverlongSlash", "\xC0\xAF", std::nullopt},
        CommandCase{"Surrogate", "\xED\xA0\x80", std::nullopt},
        CommandCase{"EmojiFourBytes", "\xF0\x9F\x98\x80", std::nullopt}),
    [](const ::testing::TestParamInfo<CommandCase>& info) { return std::string(info.param.name); });

TEST(CommandToBytesTest, LongCommandsAreConvertedWhole) {
    const std::string longCommand(12000, 'A');
    EXPECT_EQ(CommandToBytes(longCommand), longCommand);
}

struct CaptionCase {
    int ms;
    const char* caption;
};

class CountdownCaptionTest : public ::testing::TestWithParam<CaptionCase> {};

// Expected texts: ms / 1000 rounded to the nearest float, then to one decimal.
TEST_P(CountdownCaptionTest, ShowsSinglePrecisionSecondsWithOneDecimal) {
    EXPECT_EQ(CountdownCaption(GetParam().ms), GetParam().caption);
}

INSTANTIATE_TEST_SUITE_P(Captions, CountdownCaptionTest,
                         ::testing::Values(CaptionCase{2000, "2.0"}, CaptionCase{1900, "1.9"},
                                           CaptionCase{100, "0.1"}, CaptionCase{0, "0.0"},
                                           // 2.15f = 2.1500000954: rounds up, where 2.15 in double rounds down.
                                           CaptionCase{2150, "2.2"},
                                           // 1.95f = 1.9500000477; 1.45f = 1.4500000477.
                                           CaptionCase{1950, "2.0"}, CaptionCase{1450, "1.5"},
                                           // 1.65f = 1.6499999762; 0.05f = 0.0500000007.
                                           CaptionCase{1650, "1.6"}, CaptionCase{50, "0.1"},
                                           CaptionCase{123456, "123.5"}));

TEST(CountdownCaptionTest, NeverUsesTheUserLocaleSeparator) {
    // The caption is built without the C library's locale: whatever the
    // locale, a point.
    EXPECT_EQ(CountdownCaption(1500).find(','), std::string::npos);
}

TEST(ToSingleTest, NarrowsToTheNearestFloat) {
    EXPECT_EQ(static_cast<double>(ToSingle(2.1)), 2.0999999046325684);
    EXPECT_EQ(static_cast<double>(ToSingle(2.5)), 2.5);
}

TEST(ToSingleTest, ValuesBeyondTheFloatRangeBecomeInfinite) {
    EXPECT_TRUE(std::isinf(ToSingle(1e300)));
    EXPECT_GT(ToSingle(1e300), 0.0f);
    EXPECT_LT(ToSingle(-1e300), 0.0f);
}

struct TimeoutCase {
    float interval;
    int minimum;
};

class MinimumTimeoutTest : public ::testing::TestWithParam<TimeoutCase> {};

TEST_P(MinimumTimeoutTest, IsTheIntervalRoundedHalfUpAndAtLeastOne) {
    EXPECT_EQ(MinimumTimeoutSeconds(GetParam().interval), GetParam().minimum);
}

INSTANTIATE_TEST_SUITE_P(Intervals, MinimumTimeoutTest,
                         ::testing::Values(TimeoutCase{2.0f, 2}, TimeoutCase{2.5f, 3}, TimeoutCase{2.1f, 2},
                                           TimeoutCase{2.49f, 2}, TimeoutCase{0.4f, 1}, TimeoutCase{0.0f, 1},
                                           TimeoutCase{-3.0f, 1}, TimeoutCase{4.0f, 4},
                                           TimeoutCase{std::numeric_limits<float>::infinity(),
                                                       std::numeric_limits<int>::max()}));

struct StrandedCase {
    const char* name;
    std::string bytes;
    bool number;
};

class StrandedNumberTest : public ::testing::TestWithParam<StrandedCase> {};

TEST_P(StrandedNumberTest, AcceptsOnlyDigitsSignsPointsAndExponents) {
    const std::string& b = GetParam().bytes;
    EXPECT_EQ(IsStrandedNumber(reinterpret_cast<const std::uint8_t*>(b.data()), static_cast<int>(b.size())),
              GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(
    Buffers, StrandedNumberTest,
    ::testing::Values(StrandedCase{"Scientific", "+1.23456E+00", true}, StrandedCase{"LowerExponent", "-5e-3", true},
                      StrandedCase{"Digits", "12345", true}, StrandedCase{"Nothing", "", false},
                      StrandedCase{"Unit", "VDC +1.2", false}, StrandedCase{"TrailingSpace", "+1.2 ", false},
                      StrandedCase{"Comma", "1,5", false}, StrandedCase{"Carriage", "1.5\r", false},
                      StrandedCase{"OtherLetter", "1.5F", false}),
    [](const ::testing::TestParamInfo<StrandedCase>& info) { return std::string(info.param.name); });

TEST(LinkMessagesTest, RecoveryFailureTellsWhenTheNextTryComes) {
    EXPECT_EQ(RecoveryFailedStatus(kConnectFailure, true, 5000),
              "Reconnect failed: Could not connect to KISS-488 via Telnet. Retried 30 times to no avail. Something "
              "is stuck. Trying again in 5 s.");
    // A framework message without its full stop gets one before the next sentence.
    EXPECT_EQ(RecoveryFailedStatus("'x' is not a valid integer value", true, 5000),
              "Reconnect failed: 'x' is not a valid integer value. Trying again in 5 s.");
    EXPECT_EQ(RecoveryFailedStatus("boom", false, 5000), "Reconnect failed: boom.");
    EXPECT_EQ(LinkLostStatus(true, 2500), "Link down: closed by the adapter or the network; reconnecting in 2.5 s");
    EXPECT_EQ(LinkLostStatus(false, 2500), "Link down: closed by the adapter or the network");
}

}  // namespace
}  // namespace qs
