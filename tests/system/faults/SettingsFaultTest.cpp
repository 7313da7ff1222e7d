// A damaged "config.txt" at start-up: whatever it holds, the window opens,
// FormCreate runs, an error it meets is reported without holding anything up,
// and the window works. What was read is what the next close writes back.
#include <QMessageBox>

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "FaultCaseTest.h"
#include "window/Settings.h"

namespace qs::test {
namespace {

using namespace std::string_literals;

// The lines of a settings file, each ended by CR LF.
std::string Lines(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& l : lines) bytes += l + "\r\n";
    return bytes;
}

std::vector<std::string> DefaultsWith(std::size_t line, const std::string& value) {
    ConfigLines config;
    config.lines.at(line - 1) = value;
    return config.lines;
}

struct SettingsFault {
    const char* name;
    std::optional<std::string> file;  // nullopt: no "config.txt"
    std::string host;                 // HostBox's text once the window is open
    int errorReports;                 // boxes FormCreate's error raises
    int timer1Ms;                     // Timer1's interval once FormCreate ran
    int watchdogMs;                   // WatchdogTimer's
};

void PrintTo(const SettingsFault& fault, std::ostream* os) { *os << fault.name; }

std::vector<SettingsFault> SettingsFaults() {
    std::vector<std::string> twentyTwo = DefaultsWith(1, "10.1.2.3");
    twentyTwo.at(1) = "0.7";
    twentyTwo.at(21) = "0";  // StrandedCheckBox
    twentyTwo.pop_back();
    std::vector<std::string> twentyFour = DefaultsWith(1, "10.1.2.4");
    twentyFour.at(22) = "1";  // AbsoluteCheckBox
    twentyFour.push_back("24th line");
    std::vector<std::string> megabyte = DefaultsWith(1, "10.1.2.5");
    megabyte.at(2) = std::string(1 << 20, 'M');  // CommandBox
    megabyte.at(20) = "7";                        // TimeOutBox, after the long line
    std::vector<std::string> nul = DefaultsWith(1, "10.0.0.9\0\0"s);
    nul.at(2) = "MEAS\0VOLT?"s;
    nul.at(4) = "\0"s + "1";  // DisplayDataBox: no digits before the NUL
    nul.at(1) = "0.5\0"s;   // IntervalBox: no number with a NUL in it
    std::vector<std::string> utf8 = DefaultsWith(1, "\xC3\x28\xFF\xFE 10.0.0.1");
    utf8.at(2) = "MEAS\xE2\x82?";
    utf8.at(16) = "Dat\xC0\xAF.txt";  // TextFileBox
    return {
        {"missing", std::nullopt, "192.168.1.88", 0, 2000, 5000},
        {"no_lines", ""s, "192.168.1.88", 0, 2000, 5000},
        {"22_lines", Lines(twentyTwo), "10.1.2.3", 0, 700, 5000},
        {"24_lines", Lines(twentyFour), "10.1.2.4", 0, 2000, 5000},
        {"megabyte_line", Lines(megabyte), "10.1.2.5", 0, 2000, 7000},
        // The interval's conversion error ends FormCreate before the
        // watchdog's time-out is taken from its box: the design value stays.
        {"nul_bytes", Lines(nul), "10.0.0.9\0\0"s, 1, 2000, 5000},
        {"invalid_utf8", Lines(utf8), "\xC3\x28\xFF\xFE 10.0.0.1", 0, 2000, 5000},
    };
}

class SettingsFaultTest : public FaultCaseTest, public ::testing::WithParamInterface<SettingsFault> {};

TEST_P(SettingsFaultTest, WindowOpensAndWritesBackWhatItRead) {
    const SettingsFault& fault = GetParam();
    if (fault.file) WriteFile("config.txt", *fault.file);
    ASSERT_NO_FATAL_FAILURE(openWindow());

    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(logger().HostBox.text(), fault.host);
    EXPECT_EQ(logger().Timer1.interval(), fault.timer1Ms);
    EXPECT_EQ(logger().WatchdogTimer.interval(), fault.watchdogMs);
    ASSERT_EQ(static_cast<int>(answerer->boxes().size()), fault.errorReports);
    for (const auto& box : answerer->boxes()) EXPECT_EQ(box.icon, QMessageBox::Critical);
    // The window works: a click runs its handler.
    click("BoldMean");
    EXPECT_EQ(app->chart.Series(2).PenWidth(), 2);

    const std::vector<std::string> before = ReadLines("config.txt");
    closeWindow();
    const std::vector<std::string> saved = ReadLines("config.txt");
    ASSERT_EQ(saved.size(), 23u);
    EXPECT_EQ(saved[0], fault.host);
    EXPECT_EQ(saved[13], "1") << "BoldMean, ticked above";
    // Texts read are written back unchanged, however long or odd.
    for (std::size_t i = 1; i < 23 && i < before.size(); ++i) {
        if (SettingSlots()[i].kind != SettingKind::Text) continue;
        EXPECT_EQ(saved[i], before[i]) << "line " << i + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(Settings, SettingsFaultTest, ::testing::ValuesIn(SettingsFaults()),
                         [](const ::testing::TestParamInfo<SettingsFault>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace qs::test
