#pragma once
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FaultReport.h"
#include "FaultSimulator.h"
#include "TempWorkDir.h"
#include "WindowTestSupport.h"
#include "qt/app/LoggerApp.h"

namespace qs::test {

// One fault case, run in a child process: the whole program in a fresh
// working directory with its window shown, every message box answered (a
// box nobody answers would hang the case), and every sample noted with the
// monotonic time at which the logger counted it.
class FaultCaseTest : public ::testing::Test {
public:
    // TimeOutBox of the link and data-file cases: short, so that a case
    // takes seconds, and still longer than the watchdog's reconnect waits.
    static constexpr int kTimeOutSeconds = 3;

protected:
    struct Sample {
        long long atMs;
        int count;
    };

    // The settings the link and data-file cases share: polls every 0.3 s,
    // the time-out above, the raw transcript kept.
    static ConfigLines FastConfig(const std::string& host) {
        ConfigLines config;
        config[ConfigLines::Host] = host;
        config[ConfigLines::Interval] = "0.3";
        config[ConfigLines::TimeOut] = std::to_string(kTimeOutSeconds);
        config.lines.at(19) = "1";  // SaveResultsBox
        return config;
    }

    void SetUp() override {
        if (!FaultReportPath())
            GTEST_SKIP() << "a fault case runs in a child process of FaultInjection.* (set "
                         << kFaultReportVariable << "=FILE to run it here)";
        dir = std::make_unique<TempWorkDir>();
        answerer = std::make_unique<BoxAnswerer>();
    }
    void TearDown() override {
        const auto path = FaultReportPath();
        if (!path) return;
        closeWindow();
        FaultReport report;
        report.finished = true;
        report.skipped = IsSkipped();
        report.skipReason = skipReason;
        report.samplesLost = samplesLost;
        WriteFaultReport(*path, report);
        answerer.reset();
        dir.reset();
    }

    // Program entry as main() does it: the window built, FormCreate run
    // (its error, if any, reported), the window shown.
    void openWindow() {
        app = std::make_unique<LoggerApp>();
        app->logger.sampleSubscribers.add(
            [this](const SampleRecord& sample) { samples.push_back({MonotonicMs(), sample.count}); });
        app->create();
        app->window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&app->window));
    }
    void closeWindow() {
        if (!app) return;
        app->window.close();
        app.reset();
    }

    TGPIBTelnet& logger() { return app->logger; }
    Quillstone3& window() { return app->window; }
    template <typename W>
    W* view(std::string_view name) {
        return qobject_cast<W*>(window().widgetOf(name));
    }
    int count() { return logger().State.SampleCount; }
    void click(std::string_view name) { QTest::mouseClick(window().widgetOf(name), Qt::LeftButton); }

    // Samples counted at or after the time.
    int samplesSince(long long atMs) const {
        int n = 0;
        for (const Sample& s : samples)
            if (s.atMs >= atMs && s.count > 0) ++n;
        return n;
    }
    std::optional<long long> firstSampleSince(long long atMs) const {
        for (const Sample& s : samples)
            if (s.atMs >= atMs && s.count > 0) return s.atMs;
        return std::nullopt;
    }

    // Presses Stop just after the logger counted a sample, at least the nth:
    // the next command would go out one interval later, so none is left
    // unanswered by the Stop.
    bool stopRightAfterSample(int n, int timeoutMs) {
        const int target = std::max(n, count() + 1);
        if (!WaitFor([&] { return count() >= target; }, timeoutMs)) return false;
        click("ResetButton");
        return true;
    }

    void skipCase(const std::string& reason) { skipReason = reason; }

    std::unique_ptr<TempWorkDir> dir;
    std::unique_ptr<BoxAnswerer> answerer;
    std::unique_ptr<LoggerApp> app;
    std::vector<Sample> samples;
    // What the case measured for the tally (see FaultInjectionTest.cpp).
    int samplesLost = 0;
    std::string skipReason;
};

}  // namespace qs::test
