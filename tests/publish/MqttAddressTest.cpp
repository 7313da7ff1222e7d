// The broker's address on the command line: every form a person may write,
// and each wrong one named with what is wrong.
#include <gtest/gtest.h>

#include "publish/MqttAddress.h"

namespace qs {
namespace {

struct GoodCase {
    const char* text;
    MqttAddress address;
};

TEST(MqttAddress, ReadsEveryForm) {
    const GoodCase cases[] = {
        {"mqtt://broker/lab", {false, "", "broker", 1883, "lab"}},
        {"mqtt://10.0.0.5:1884/lab/bench", {false, "", "10.0.0.5", 1884, "lab/bench"}},
        {"mqtts://broker/lab", {true, "", "broker", 8883, "lab"}},
        {"mqtts://logger@broker:9883/q", {true, "logger", "broker", 9883, "q"}},
        {"mqtt://[::1]:1883/lab", {false, "", "::1", 1883, "lab"}},
        {"mqtt://u@[fe80::1]/lab", {false, "u", "fe80::1", 1883, "lab"}},
        {"mqtt://a@b@host/x", {false, "a@b", "host", 1883, "x"}},
    };
    for (const GoodCase& c : cases) {
        const auto parsed = ParseMqttAddress(c.text);
        ASSERT_TRUE(std::holds_alternative<MqttAddress>(parsed)) << c.text << ": " << std::get<std::string>(parsed);
        EXPECT_EQ(std::get<MqttAddress>(parsed), c.address) << c.text;
    }
}

struct BadCase {
    const char* text;
    const char* what;
};

TEST(MqttAddress, NamesWhatIsWrongWithEachBadForm) {
    const BadCase cases[] = {
        {"broker/lab", "does not begin with mqtt:// or mqtts://"},
        {"http://broker/lab", "does not begin with mqtt:// or mqtts://"},
        {"mqtt://broker", "the topic prefix is missing"},
        {"mqtt://broker/", "the topic prefix is empty"},
        {"mqtt://broker/lab/", "has an empty level"},
        {"mqtt://broker/a//b", "has an empty level"},
        {"mqtt://broker/lab/#", "may not hold + #"},
        {"mqtt://broker/+/x", "may not hold + #"},
        {"mqtt:///lab", "the broker's host is missing"},
        {"mqtt://@broker/lab", "the user before @ is empty"},
        {"mqtt://broker:/lab", "the port after : is empty"},
        {"mqtt://broker:0/lab", "from 1 to 65535"},
        {"mqtt://broker:65536/lab", "from 1 to 65535"},
        {"mqtt://broker:18x3/lab", "from 1 to 65535"},
        {"mqtt://[::1/lab", "is not closed"},
        {"mqtt://[::1]x/lab", "only :PORT may follow"},
    };
    for (const BadCase& c : cases) {
        const auto parsed = ParseMqttAddress(c.text);
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << c.text;
        const std::string& error = std::get<std::string>(parsed);
        EXPECT_NE(error.find(c.what), std::string::npos) << c.text << ": " << error;
        EXPECT_EQ(error.rfind(std::string("--mqtt ") + c.text + ": ", 0), 0u) << error;
        EXPECT_NE(error.find("mqtt://[USER@]HOST[:PORT]/PREFIX"), std::string::npos) << error;
    }
}

TEST(TopicLevel, MakesAnyNameOneLevelWithoutWildcards) {
    EXPECT_EQ(TopicLevel("bench pc/Data"), "bench_pc_Data");
    EXPECT_EQ(TopicLevel("a+b#c"), "a_b_c");
    EXPECT_EQ(TopicLevel(""), "_");
    EXPECT_TRUE(IsTopicLevel(TopicLevel("x/y #\t")));
    EXPECT_FALSE(IsTopicLevel("a/b"));
    EXPECT_FALSE(IsTopicLevel(""));
    EXPECT_TRUE(IsTopicLevel("lab-7"));
}

}  // namespace
}  // namespace qs
