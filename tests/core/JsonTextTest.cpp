// JSON text for other programs: strings stay valid whatever bytes an
// instrument sent, and numbers read back as the very doubles logged.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

#include "JsonValue.h"
#include "core/JsonText.h"

namespace qs {
namespace {

struct StringCase {
    const char* name;
    std::string bytes;
    std::string json;
};

TEST(JsonString, EscapesWhatJsonCannotHoldAndKeepsUtf8) {
    const StringCase cases[] = {
        {"plain", "+1.23456789E+00", "\"+1.23456789E+00\""},
        {"quote and backslash", "a\"b\\c", "\"a\\\"b\\\\c\""},
        {"line ends and controls", "\r\n\t\x01", "\"\\u000d\\u000a\\u0009\\u0001\""},
        {"delete", "\x7f", "\"\\u007f\""},
        {"UTF-8 degree sign", "25 \xC2\xB0" "C", "\"25 \xC2\xB0" "C\""},
        {"UTF-8 three and four bytes", "\xE2\x82\xAC\xF0\x9F\x98\x80", "\"\xE2\x82\xAC\xF0\x9F\x98\x80\""},
        {"Latin-1 degree sign alone", "25 \xB0" "C", "\"25 \\u00b0C\""},
        {"cut sequence", "\xE2\x82", "\"\\u00e2\\u0082\""},
        {"overlong slash", "\xC0\xAF", "\"\\u00c0\\u00af\""},
        {"overlong three bytes", "\xE0\x80\xAF", "\"\\u00e0\\u0080\\u00af\""},
        {"surrogate", "\xED\xA0\x80", "\"\\u00ed\\u00a0\\u0080\""},
        {"above U+10FFFF", "\xF4\x90\x80\x80", "\"\\u00f4\\u0090\\u0080\\u0080\""},
        {"zero byte", std::string("a\0b", 3), "\"a\\u0000b\""},
        {"empty", "", "\"\""},
    };
    for (const StringCase& c : cases) EXPECT_EQ(JsonString(c.bytes), c.json) << c.name;
}

// Any bytes at all, read back by a JSON reader, give the same bytes: the
// reply text a subscriber reads is the one logged.
TEST(JsonString, AnyBytesReadBackAsThemselves) {
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
        std::string bytes(random() % 12, '\0');
        for (char& c : bytes) c = static_cast<char>(random() % 4 == 0 ? 0xC0 + random() % 0x40 : random() % 256);
        const auto read = test::JsonReader::parse(JsonString(bytes));
        ASSERT_TRUE(read.has_value()) << JsonString(bytes);
        ASSERT_EQ(read->text, bytes);
    }
}

TEST(JsonNumber, HasSeventeenDigitsAndNullForWhatJsonCannotHold) {
    EXPECT_EQ(JsonNumber(1.0), "1");
    EXPECT_EQ(JsonNumber(0.1), "0.10000000000000001");
    EXPECT_EQ(JsonNumber(10.0000035), "10.0000035");
    EXPECT_EQ(JsonNumber(1.0 + 1e-15), "1.0000000000000011");
    EXPECT_EQ(JsonNumber(-2.5e-300), "-2.5e-300");
    EXPECT_EQ(JsonNumber(std::nullopt), "null");
    EXPECT_EQ(JsonNumber(std::numeric_limits<double>::quiet_NaN()), "null");
    EXPECT_EQ(JsonNumber(std::numeric_limits<double>::infinity()), "null");
    EXPECT_EQ(JsonNumber(-std::numeric_limits<double>::infinity()), "null");
}

TEST(JsonNumber, EveryFiniteDoubleReadsBackAsItself) {
    std::mt19937_64 bits(20261208);
    for (int i = 0; i < 100000; ++i) {
        const std::uint64_t b = bits();
        double v;
        static_assert(sizeof v == sizeof b);
        std::memcpy(&v, &b, sizeof v);
        if (!std::isfinite(v)) continue;
        const std::string text = JsonNumber(v);
        ASSERT_EQ(std::strtod(text.c_str(), nullptr), v) << text;
    }
}

TEST(JsonObject, WritesPairsInOrder) {
    EXPECT_EQ(JsonObject().done(), "{}");
    EXPECT_EQ(JsonObject()
                  .text("name", "a\"b")
                  .count("n", -3)
                  .num("x", 0.5)
                  .num("none", std::nullopt)
                  .flag("up", true)
                  .raw("list", "[1,2]")
                  .done(),
              "{\"name\":\"a\\\"b\",\"n\":-3,\"x\":0.5,\"none\":null,\"up\":true,\"list\":[1,2]}");
}

}  // namespace
}  // namespace qs
