// What the window keeps beside config.txt: the command mode, the chart's
// switches and the window's place, as lines of the settings file.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "window/KeptSettings.h"

namespace qs::test {
namespace {

using M = CommandMode;

struct KeptCase {
    const char* name;
    OptionValues file;
    std::optional<KeptSettings> kept;  // nullopt: refused
    const char* why;
};

class KeptSettingsRead : public ::testing::TestWithParam<KeptCase> {};

TEST_P(KeptSettingsRead, EachKeyMeansOneThingAndAnUnsetKeyKeepsItsDefault) {
    const KeptCase& c = GetParam();
    std::string why;
    const std::optional<KeptSettings> kept = ReadKeptSettings(c.file, why);
    EXPECT_EQ(kept, c.kept);
    EXPECT_EQ(why, c.why);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeptSettingsRead,
    ::testing::Values(
        KeptCase{"nothing_set", {}, KeptSettings{}, ""},
        KeptCase{"alternate", {{"command-mode", "alternate"}}, KeptSettings{M::Alternate, true, false, {}}, ""},
        KeptCase{"command_2_legend_off_gaps_joined",
                 {{"command-mode", "command-2"}, {"legend", "no"}, {"join-gaps", "yes"}},
                 KeptSettings{M::Command2, false, true, {}}, ""},
        KeptCase{"a_place", {{"window", "10, -20,1280,720"}},
                 KeptSettings{M::Command1, true, false, WindowPlace{10, -20, 1280, 720}}, ""},
        KeptCase{"an_empty_place_is_none", {{"window", ""}}, KeptSettings{}, ""},
        KeptCase{"an_unknown_mode", {{"command-mode", "both"}}, std::nullopt,
                 "command-mode = both: the value is not command-1, command-2 or alternate"},
        KeptCase{"three_numbers", {{"window", "1,2,3"}}, std::nullopt,
                 "window = 1,2,3: the value is not four whole numbers X,Y,WIDTH,HEIGHT with a size above zero"},
        KeptCase{"no_size", {{"window", "1,2,0,5"}}, std::nullopt,
                 "window = 1,2,0,5: the value is not four whole numbers X,Y,WIDTH,HEIGHT with a size above zero"},
        KeptCase{"not_a_number", {{"window", "1,2,3x,5"}}, std::nullopt,
                 "window = 1,2,3x,5: the value is not four whole numbers X,Y,WIDTH,HEIGHT with a size above zero"}),
    [](const ::testing::TestParamInfo<KeptCase>& info) { return std::string(info.param.name); });

TEST(KeptSettingsFile, WhatIsWrittenReadsBackAndAPersonsLinesStay) {
    const KeptSettings kept{M::Alternate, false, true, WindowPlace{-5, 40, 1366, 700}};
    const std::string before = "# bench 3\nmqtt = mqtt://b/lab\nlegend = yes\n";
    const std::string after = UpdateOptionsFile(before, KeptSettingValues(kept));
    EXPECT_EQ(after,
              "# bench 3\nmqtt = mqtt://b/lab\nlegend = no\ncommand-mode = alternate\njoin-gaps = yes\n"
              "window = -5,40,1366,700\n");
    const OptionRead read = ReadOptionsFile(KeptSettingKeys(), "legend = no\ncommand-mode = alternate\n"
                                                               "join-gaps = yes\nwindow = -5,40,1366,700\n",
                                            "quillstone.conf");
    ASSERT_FALSE(read.error) << *read.error;
    std::string why;
    EXPECT_EQ(ReadKeptSettings(read.values, why), kept) << why;
}

TEST(KeptSettingsFile, EveryModeHasANameThatReadsBackAsIt) {
    for (M mode : {M::Command1, M::Command2, M::Alternate})
        EXPECT_EQ(CommandModeNamed(CommandModeName(mode)), mode);
    EXPECT_EQ(CommandModeNamed("Alternate Commands"), std::nullopt);
}

}  // namespace
}  // namespace qs::test
