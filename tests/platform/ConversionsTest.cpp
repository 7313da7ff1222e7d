#include <clocale>
#include <string>

#include <gtest/gtest.h>

#include "platform/Conversions.h"
#include "platform/Exception.h"

namespace qs {
namespace {

struct FloatCase {
    double value;
    const char* text;
};

class FloatToStrForms : public ::testing::TestWithParam<FloatCase> {};

TEST_P(FloatToStrForms, ShowsShortestGeneralFormWithFifteenDigits) {
    EXPECT_EQ(FloatToStr(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Captions, FloatToStrForms,
    ::testing::Values(FloatCase{2.0, "2"}, FloatCase{2.5, "2.5"}, FloatCase{-2.0, "-2"}, FloatCase{0.0, "0"},
                      FloatCase{-0.0, "0"},
                      // the single-precision 2.1 written back by the watchdog
                      FloatCase{static_cast<double>(2.1f), "2.09999990463257"},
                      FloatCase{1.5e-7, "1.5E-7"}, FloatCase{2e20, "2E20"}, FloatCase{-2.5e-12, "-2.5E-12"},
                      FloatCase{1e15, "1E15"}, FloatCase{999999999999999.0, "999999999999999"},
                      FloatCase{0.00001, "0.00001"}, FloatCase{0.000001, "1E-6"}, FloatCase{0.0001234, "0.0001234"},
                      FloatCase{123456.789, "123456.789"}, FloatCase{-0.38, "-0.38"},
                      FloatCase{1.0 / 3.0, "0.333333333333333"}, FloatCase{2.0 / 3.0, "0.666666666666667"},
                      FloatCase{1.2345, "1.2345"}, FloatCase{99.99999999999999, "100"},
                      FloatCase{1.23456789012345678e18, "1.23456789012346E18"}));

TEST(FloatToStr, KeepsAPointUnderADecimalCommaLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 locale not generated";
    EXPECT_EQ(FloatToStr(2.5), "2.5");
    EXPECT_EQ(FloatToStr(1.5e-7), "1.5E-7");
    EXPECT_DOUBLE_EQ(StrToFloat("2.5"), 2.5);
    EXPECT_THROW(StrToFloat("2,5"), EConvertError);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

struct IntCase {
    const char* text;
    int value;
};

class StrToIntAccepts : public ::testing::TestWithParam<IntCase> {};
TEST_P(StrToIntAccepts, DecimalIntegers) { EXPECT_EQ(StrToInt(GetParam().text), GetParam().value); }
INSTANTIATE_TEST_SUITE_P(Boxes, StrToIntAccepts,
                         ::testing::Values(IntCase{"0", 0}, IntCase{"10", 10}, IntCase{"007", 7}, IntCase{"-7", -7},
                                           IntCase{"+5", 5}, IntCase{"  42", 42}, IntCase{"2147483647", 2147483647},
                                           IntCase{"-2147483648", -2147483647 - 1}));

class StrToIntRejects : public ::testing::TestWithParam<const char*> {};
TEST_P(StrToIntRejects, AnythingElseWithAConversionError) { EXPECT_THROW(StrToInt(GetParam()), EConvertError); }
INSTANTIATE_TEST_SUITE_P(Boxes, StrToIntRejects,
                         ::testing::Values("", "-", "+", "abc", "1.5", "5 ", "1e3", "2147483648", "-2147483649",
                                           "99999999999999999999", "0x10"));

struct DoubleCase {
    const char* text;
    double value;
};

class StrToFloatAccepts : public ::testing::TestWithParam<DoubleCase> {};
TEST_P(StrToFloatAccepts, DecimalNumbersWithAPoint) { EXPECT_DOUBLE_EQ(StrToFloat(GetParam().text), GetParam().value); }
INSTANTIATE_TEST_SUITE_P(Boxes, StrToFloatAccepts,
                         ::testing::Values(DoubleCase{"2", 2.0}, DoubleCase{"2.5", 2.5}, DoubleCase{"0.5", 0.5},
                                           DoubleCase{".5", 0.5}, DoubleCase{"5.", 5.0}, DoubleCase{"-3", -3.0},
                                           DoubleCase{" 2.25 ", 2.25}, DoubleCase{"1E3", 1000.0},
                                           DoubleCase{"+1.5e-2", 0.015}, DoubleCase{"1e-400", 0.0}));

class StrToFloatRejects : public ::testing::TestWithParam<const char*> {};
TEST_P(StrToFloatRejects, AnythingElseWithAConversionError) { EXPECT_THROW(StrToFloat(GetParam()), EConvertError); }
INSTANTIATE_TEST_SUITE_P(Boxes, StrToFloatRejects,
                         ::testing::Values("", " ", ".", "-", "abc", "2,5", "1e", "1e+", "inf", "nan", "0x1p3",
                                           "1.5V", "1e400"));

TEST(StrToFloat, NamesTheBadTextInItsMessage) {
    try {
        StrToFloat("abc");
        FAIL() << "no error raised";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
    }
}

}  // namespace
}  // namespace qs
