// Window creation and the close query, with their failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "WindowHarness.h"
#include "platform/Exception.h"
#include "window/ProgramEntry.h"
#include "window/Settings.h"

namespace qs {
namespace {

using test::WindowHarness;

const std::string kDefaultFile =
    "192.168.1.88\r\n2\r\nMEAS:VOLT:DC? 5,0.00001\r\nMEAS:VOLT:DC? 5,0.00001\r\n1\r\n1\r\n10\r\n0\r\n0\r\n1\r\n1\r\n"
    "10\r\n1\r\n0\r\n0\r\n500\r\nData.txt\r\n1\r\n5\r\n0\r\n5\r\n1\r\n0\r\n";

std::string withLine(const std::string& bytes, int line, const std::string& value) {
    std::string out;
    std::size_t pos = 0;
    for (int n = 1; pos < bytes.size(); ++n) {
        const std::size_t end = bytes.find("\r\n", pos);
        out += (n == line ? value : bytes.substr(pos, end - pos)) + "\r\n";
        pos = end + 2;
    }
    return out;
}

void dirtyState(TGPIBTelnet& w) {
    w.State.SampleCount = 12;
    w.State.DataEvents = 3;
    w.State.Closing = 1;
    w.State.Minimum = -4.0;
    w.State.HeldValue1 = 8.0;
    w.State.CountdownMs = 1500;
    w.State.ReplyPhase = 1;
    w.State.IntervalSeconds = 9.0;
    for (int n = 1; n <= 6; ++n) w.Chart1.Series(n).AddPoint(45000.0, 1.0);
}

TEST(FormCreate, WithoutConfigTheWindowOpensWithItsDesignValues) {
    WindowHarness h;
    dirtyState(h.w);
    CreateWindowReported(h.w);
    EXPECT_TRUE(h.vp.dialogs.errors.empty());
    EXPECT_EQ(h.w.Timer1.interval(), 2000);
    EXPECT_EQ(h.w.Timer3.interval(), 2000);
    EXPECT_EQ(h.w.WatchdogTimer.interval(), 5000);
    EXPECT_EQ(h.w.Timer2.interval(), 100);
    EXPECT_FALSE(h.w.Timer1.enabled());
    EXPECT_FALSE(h.w.Timer3.enabled());
    EXPECT_FALSE(h.w.WatchdogTimer.enabled());
    EXPECT_TRUE(h.w.Timer2.enabled());
    for (int n = 1; n <= 6; ++n) EXPECT_EQ(h.series(n).Count(), 0) << n;
    const LoggerState& s = h.w.State;
    EXPECT_EQ(s.SampleCount, 0);
    EXPECT_EQ(s.DataEvents, 0);
    EXPECT_EQ(s.Closing, 0);
    EXPECT_EQ(s.Connected, 0);
    EXPECT_EQ(s.Minimum, 999999999999999.0);
    EXPECT_EQ(s.HeldValue1, -9999.0);
    EXPECT_EQ(s.CountdownMs, 0);
    EXPECT_EQ(s.ReplyPhase, 0);
    EXPECT_EQ(s.IntervalSeconds, 2.0);
    EXPECT_EQ(s.SamplesPerPage, 500);
    EXPECT_EQ(s.ScrollPoints, 0);
    EXPECT_EQ(h.w.HostBox.text(), "192.168.1.88");
    EXPECT_TRUE(h.w.StartButton.enabled());
    EXPECT_FALSE(h.w.ResetButton.enabled());
    EXPECT_FALSE(test::FileExists("config.txt"));
}

TEST(FormCreate, TheFirstCloseWritesTheDefaultFile) {
    WindowHarness h;
    CreateWindowReported(h.w);
    bool canClose = true;
    h.w.FormCloseQuery(canClose);
    EXPECT_TRUE(canClose);
    EXPECT_EQ(test::ReadFile("config.txt"), kDefaultFile);
}

TEST(FormCreate, TheSettingsFileSetsTheTimers) {
    WindowHarness h;
    test::WriteFile("config.txt", withLine(withLine(kDefaultFile, 2, "0.75"), 21, "12"));
    CreateWindowReported(h.w);
    EXPECT_EQ(h.w.Timer1.interval(), 750);
    EXPECT_EQ(h.w.Timer3.interval(), 750);
    EXPECT_EQ(h.w.WatchdogTimer.interval(), 12000);
    EXPECT_EQ(h.w.State.IntervalSeconds, 0.75);
    EXPECT_FALSE(h.w.Timer1.enabled());
}

// The boxes a person sees are the values the logic uses from the start,
// whether or not the settings file changed their texts.
struct StartValueCase {
    const char* name;
    int line;
    const char* text;
    int meanPoints, scrollPoints, samplesPerPage;
};

class StartValues : public ::testing::TestWithParam<StartValueCase> {};

TEST_P(StartValues, MeanScrollAndPageSizeFollowTheirBoxes) {
    const StartValueCase& c = GetParam();
    WindowHarness h;
    if (c.line > 0) test::WriteFile("config.txt", withLine(kDefaultFile, c.line, c.text));
    CreateWindowReported(h.w);
    EXPECT_TRUE(h.vp.dialogs.errors.empty());
    EXPECT_EQ(h.w.State.MeanPoints, c.meanPoints);
    EXPECT_EQ(h.w.Stability.meanPoints(), c.meanPoints);  // the standard deviation's window is the mean's
    EXPECT_EQ(h.w.State.ScrollPoints, c.scrollPoints);
    EXPECT_EQ(h.w.State.SamplesPerPage, c.samplesPerPage);
}

INSTANTIATE_TEST_SUITE_P(Startup, StartValues,
                         ::testing::Values(StartValueCase{"NoConfig", 0, "", 10, 0, 500},
                                           StartValueCase{"MeanTwenty", 7, "20", 20, 0, 500},
                                           StartValueCase{"ScrollHundred", 8, "100", 10, 100, 500},
                                           StartValueCase{"ScrollNegative", 8, "-4", 10, 0, 500},
                                           StartValueCase{"ScrollNoNumber", 8, "many", 10, 0, 500},
                                           StartValueCase{"PageThousand", 16, "1000", 10, 0, 1000},
                                           StartValueCase{"PageFifty", 16, "50", 10, 0, 100},
                                           StartValueCase{"PageEmpty", 16, "", 10, 0, 500}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FormCreateFailure, AnIntervalThatIsNoNumberIsReportedOnceAndTheWindowOpens) {
    WindowHarness h;
    std::string file = withLine(kDefaultFile, 2, "fast");
    file = withLine(file, 21, "9");
    file = withLine(file, 23, "1");
    test::WriteFile("config.txt", file);
    h.w.State.CountdownMs = 700;
    CreateWindowReported(h.w);
    ASSERT_EQ(h.vp.dialogs.errors.size(), 1u);
    EXPECT_NE(h.vp.dialogs.errors[0].find("fast"), std::string::npos);
    EXPECT_EQ(h.w.IntervalBox.text(), "fast");
    EXPECT_EQ(h.w.TimeOutBox.text(), "9");
    EXPECT_TRUE(h.w.AbsoluteCheckBox.checked());
    EXPECT_EQ(h.w.Timer1.interval(), 2000);
    EXPECT_EQ(h.w.Timer3.interval(), 2000);
    EXPECT_EQ(h.w.State.IntervalSeconds, 2.0);
    EXPECT_EQ(h.w.WatchdogTimer.interval(), 5000);
    // The steps after the failing one did not run.
    EXPECT_EQ(h.w.State.CountdownMs, 700);
}

// A failed line ends the steps after it, but the mean window, the scroll
// window and the page size still follow the boxes the window shows.
TEST(FormCreateFailure, AfterAFailedLineTheWindowsStillFollowTheirBoxes) {
    const int failingLines[] = {2, 21};
    for (int failing : failingLines) {
        WindowHarness h;
        std::string file = withLine(kDefaultFile, 7, "20");
        file = withLine(file, 8, "100");
        file = withLine(file, 16, "1000");
        file = withLine(file, failing, "fast");
        test::WriteFile("config.txt", file);
        CreateWindowReported(h.w);
        EXPECT_EQ(h.vp.dialogs.errors.size(), 1u) << failing;
        EXPECT_EQ(h.w.State.MeanPoints, 20) << failing;
        EXPECT_EQ(h.w.State.ScrollPoints, 100) << failing;
        EXPECT_EQ(h.w.State.SamplesPerPage, 1000) << failing;
    }
}

TEST(FormCreateFailure, AMeanBoxThatIsNoNumberLeavesTheLinesAfterItUnapplied) {
    WindowHarness h;
    std::string file = withLine(kDefaultFile, 1, "10.0.0.1");
    file = withLine(file, 5, "0");
    file = withLine(file, 7, "ten");
    file = withLine(file, 8, "50");
    file = withLine(file, 18, "0");
    file = withLine(file, 21, "9");
    test::WriteFile("config.txt", file);
    CreateWindowReported(h.w);
    EXPECT_EQ(h.vp.dialogs.errors.size(), 1u);
    EXPECT_EQ(h.w.HostBox.text(), "10.0.0.1");
    EXPECT_FALSE(h.w.DisplayDataBox.checked());
    EXPECT_FALSE(h.series(1).Visible());
    EXPECT_EQ(h.w.MeanBox.text(), "ten");
    EXPECT_EQ(h.w.ScrollBox.text(), "0");
    EXPECT_TRUE(h.w.HintBox.checked());
    EXPECT_TRUE(h.w.Form.showHint());
    EXPECT_EQ(h.w.TimeOutBox.text(), "5");
    EXPECT_EQ(h.w.Timer1.interval(), 2000);
    EXPECT_EQ(h.w.WatchdogTimer.interval(), 5000);
}

TEST(FormCreateFailure, ATimeOutThatIsNoWholeNumberKeepsTheDesignWatchdog) {
    WindowHarness h;
    test::WriteFile("config.txt", withLine(withLine(kDefaultFile, 2, "3"), 21, "2.5"));
    CreateWindowReported(h.w);
    EXPECT_EQ(h.vp.dialogs.errors.size(), 1u);
    EXPECT_EQ(h.w.Timer1.interval(), 3000);
    EXPECT_EQ(h.w.WatchdogTimer.interval(), 5000);
}

// ---- the close query

// A link whose Disconnect raises, as a broken socket's may.
class FailingDisconnect : public ITelnet {
public:
    void setEvents(TelnetEvents) override {}
    void setHost(const std::string&) override {}
    void Connect() override {}
    void Disconnect(bool) override {
        ++calls;
        throw Exception("Not Connected.");
    }
    void SendCh(char) override {}
    int calls = 0;
};

TEST(FormCloseQuery, ClosingWhileConnectedDisconnectsOnceAndSaves) {
    WindowHarness h;
    CreateWindowReported(h.w);
    h.vp.telnet.Connect();
    h.advance(30);
    ASSERT_TRUE(h.vp.telnet.linkUp());
    // The window as the link's coming up leaves it.
    h.w.State.Connected = 1;
    h.w.StartButton.setEnabled(false);
    h.w.ResetButton.setEnabled(true);
    h.w.IntervalBox.setEnabled(false);
    h.w.TextFileBox.setEnabled(false);
    h.w.CountDown.setCaption("1.5");
    const int before = h.vp.telnet.disconnectCalls();
    bool canClose = true;
    h.w.FormCloseQuery(canClose);
    EXPECT_TRUE(canClose);
    EXPECT_EQ(h.vp.telnet.disconnectCalls(), before + 1);
    EXPECT_EQ(h.w.State.Closing, 1);
    EXPECT_EQ(test::ReadFile("config.txt"), kDefaultFile);
    // The link's going down during shutdown leaves the controls alone.
    h.advance(1000);
    EXPECT_EQ(h.vp.telnet.disconnectCalls(), before + 1);
    EXPECT_FALSE(h.w.StartButton.enabled());
    EXPECT_TRUE(h.w.ResetButton.enabled());
    EXPECT_NE(h.w.CountDown.caption(), "Offline");
    EXPECT_TRUE(h.vp.dialogs.boxes.empty());
}

TEST(FormCloseQuery, ClosingWhileNotConnectedStillCallsDisconnect) {
    WindowHarness h;
    bool canClose = true;
    h.w.FormCloseQuery(canClose);
    EXPECT_EQ(h.vp.telnet.disconnectCalls(), 1);
    EXPECT_TRUE(canClose);
}

TEST(FormCloseQuery, ADisconnectThatRaisesIsIgnoredAndTheSettingsAreSaved) {
    test::TempWorkDir dir;
    VirtualPlatform vp;
    FailingDisconnect telnet;
    Platform platform{vp.time, vp.time, vp.time, vp.dialogs, telnet, vp.chart, vp.desktop};
    TGPIBTelnet w(platform);
    w.HostBox.setText("10.0.0.9");
    bool canClose = true;
    EXPECT_NO_THROW(w.FormCloseQuery(canClose));
    EXPECT_TRUE(canClose);
    EXPECT_EQ(telnet.calls, 1);
    EXPECT_TRUE(vp.dialogs.errors.empty());
    EXPECT_EQ(test::ReadFile("config.txt").substr(0, 10), "10.0.0.9\r\n");
}

TEST(FormCloseQuery, ClosingIsNeverRefusedAlsoWhenConfigCannotBeWritten) {
    WindowHarness h;
    std::filesystem::create_directory("config.txt");
    bool canClose = true;
    EXPECT_NO_THROW(h.w.FormCloseQuery(canClose));
    EXPECT_TRUE(canClose);
    EXPECT_TRUE(std::filesystem::is_directory("config.txt"));
    EXPECT_TRUE(h.vp.dialogs.errors.empty());
    EXPECT_FALSE(test::FileExists(TemporaryFileFor("config.txt")));
}

TEST(FormCloseQuery, TheNextStartSelectsCommand1Again) {
    std::string saved;
    {
        WindowHarness h;
        CreateWindowReported(h.w);
        h.w.RadioButton2.setChecked(true);
        bool canClose = true;
        h.w.FormCloseQuery(canClose);
        saved = test::ReadFile("config.txt");
    }
    WindowHarness h;
    test::WriteFile("config.txt", saved);
    CreateWindowReported(h.w);
    EXPECT_TRUE(h.w.RadioButton1.checked());
    EXPECT_FALSE(h.w.RadioButton2.checked());
}

// ---- program entry

TEST(ProgramEntry, ReportsAnEscapingErrorOnceAndReturnsZero) {
    VirtualDialogs dialogs;
    EXPECT_EQ(ProgramEntry(dialogs, [] { throw Exception("Out of resources"); }), 0);
    EXPECT_EQ(ProgramEntry(dialogs, [] { throw std::runtime_error("bad state"); }), 0);
    EXPECT_EQ(ProgramEntry(dialogs, [] { throw 42; }), 0);
    EXPECT_EQ(ProgramEntry(dialogs, [] {}), 0);
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"Out of resources", "bad state", ""}));
}

TEST(ProgramEntry, RunReportedTellsWhetherTheStepRanToItsEnd) {
    VirtualDialogs dialogs;
    EXPECT_TRUE(RunReported(dialogs, [] {}));
    EXPECT_FALSE(RunReported(dialogs, [] { throw EConvertError("'x' is not a valid integer value"); }));
    EXPECT_EQ(dialogs.errors.size(), 1u);
}

}  // namespace
}  // namespace qs
