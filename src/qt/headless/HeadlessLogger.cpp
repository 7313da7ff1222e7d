#include "qt/headless/HeadlessLogger.h"

#include <QCoreApplication>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "core/Statistics.h"
#include "qt/runtime/TerminationSignals.h"
#include "window/ConsoleLines.h"
#include "window/KeptSettings.h"
#include "window/Settings.h"
#include "window/UnattendedSettings.h"

namespace qs {

namespace {

constexpr int kLinkWatchMs = 1000;

void fail(const std::string& why) { std::fprintf(stderr, "quillstone: %s\n", why.c_str()); }

}  // namespace

HeadlessLogger::HeadlessLogger(TGPIBTelnet& logger, QtRuntime& runtime, Console& console,
                               MemoryChartOf<BoundedSeries>& store, StabilityFeed& stability, bool quiet)
    : logger_(logger), runtime_(runtime), console_(console), store_(store), stability_(stability), quiet_(quiet) {
    linkWatch_.setInterval(kLinkWatchMs);
    connect(&linkWatch_, &QTimer::timeout, this, [this] { watchTheLink(); });
}

int HeadlessLogger::run() {
    if (!create()) return 2;
    showWhatAPersonWouldRead();
    TerminationSignals termination([this] {
        console_.out("stopped by a signal");
        end(0);
    });
    runtime_.schedule(0, [this] { pressStart(); });
    linkWatch_.start();
    QCoreApplication::exec();
    return status_;
}

bool HeadlessLogger::create() {
    const std::string where = std::filesystem::current_path().string();
    const std::optional<Settings> settings = ReadSettingsFile(kSettingsFileName);
    if (!settings) {
        fail(std::string("cannot read ") + kSettingsFileName + " in " + where +
             " (make one with the window, or see the manual page)");
        return false;
    }
    if (const std::optional<std::string> why = WhyNotUnattended(*settings)) {
        fail(std::string(kSettingsFileName) + ", " + *why);
        return false;
    }
    try {
        logger_.FormCreate();
        SetCommandMode(logger_, commandMode_);
    } catch (const std::exception& e) {
        fail(std::string(kSettingsFileName) + ": " + e.what());
        return false;
    }
    // The settings are fixed from here on: nobody edits a box.
    const int held = PointsTheMeanNeeds(logger_.State.MeanPoints, logger_.State.ScrollPoints);
    for (int n = 1; n <= 6; ++n) store_.store(n).setHeld(held);
    return true;
}

void HeadlessLogger::showWhatAPersonWouldRead() {
    logger_.statusSubscribers.add([this](const StatusEvent& event) {
        const std::optional<ConsoleLine> line = StatusConsoleLine(event);
        if (!line) return;
        if (line->stream == ConsoleStream::Err) console_.err(line->text);
        else console_.out(line->text);
    });
    // The stats lines come with --quiet too: a few lines a minute.
    stability_.setListener([this](const DataAnalysis& analysis) { writeStats(analysis); });
    if (quiet_) return;
    logger_.sampleSubscribers.add([this](const SampleRecord& sample) { console_.out(SampleConsoleLine(sample)); });
}

void HeadlessLogger::writeStats(const DataAnalysis& analysis) {
    for (const std::string& line : StatsConsoleLines(analysis)) console_.out(line);
}

void HeadlessLogger::pressStart() {
    starting_ = true;
    logger_.StartButton.Click();
    starting_ = false;
}

// Nobody will press Start again: a link that is down with nothing under way
// to reopen it (Start gave up, or the link was lost with Auto-Reconnect
// unticked) ends the run, so that whatever started the logger can start it
// afresh.
void HeadlessLogger::watchTheLink() {
    if (!linkDown_.look(logger_.State, starting_)) return;
    console_.err("link: down, and nothing will reopen it; ending");
    end(3);
}

void HeadlessLogger::end(int status) {
    if (ended_) return;
    ended_ = true;
    status_ = status;
    linkWatch_.stop();
    runtime_.dispatch([this] {
        bool canClose = true;
        logger_.FormCloseQuery(canClose);
    });
    // The last figures, whenever the last line of them went out.
    writeStats(stability_.analysis());
    // Handlers still inside their waits end them now and unwind.
    console_.close();
    runtime_.shutDown();
    QCoreApplication::quit();
}

}  // namespace qs
