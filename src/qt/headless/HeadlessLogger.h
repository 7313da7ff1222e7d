#pragma once
#include <QObject>
#include <QTimer>

#include "platform/BoundedSeries.h"
#include "platform/MemoryChart.h"
#include "qt/headless/ConsoleDialogs.h"
#include "qt/runtime/QtRuntime.h"
#include "core/ChannelRouting.h"
#include "window/LinkDownWatch.h"
#include "window/StabilityFeed.h"
#include "window/TGPIBTelnet.h"

namespace qs {

// The logger without a window, for a machine without a display: the same
// TGPIBTelnet on the same Qt runtime and socket, its settings from
// "config.txt", Start pressed at once, and what a person would read in the
// window written as lines (see ProgramOptions::helpText). Nothing draws the
// series, so they hold only what the statistics need (BoundedSeries).
// Needs a QCoreApplication.
class HeadlessLogger : public QObject {
public:
    // The parts come from the composition root, which outlives this.
    HeadlessLogger(TGPIBTelnet& logger, QtRuntime& runtime, Console& console, MemoryChartOf<BoundedSeries>& store,
                   StabilityFeed& stability, bool quiet);
    HeadlessLogger(const HeadlessLogger&) = delete;
    HeadlessLogger& operator=(const HeadlessLogger&) = delete;

    // Runs until a stop signal, or until the link is down for good; returns
    // the exit status.
    int run();

    // Reads config.txt and creates the window's logic, its series bounded;
    // false, with the reason on standard error, when the settings cannot
    // serve. run() starts with it; a benchmark may call it alone.
    bool create();

    // The commands sent, as quillstone.conf keeps them (config.txt has no
    // line for it); Send Command 1 unless set before run().
    void setCommandMode(CommandMode mode) { commandMode_ = mode; }

private:
    void showWhatAPersonWouldRead();
    // A stats line per channel with readings.
    void writeStats(const DataAnalysis& analysis);
    void pressStart();
    void watchTheLink();
    // Ends as closing the window does: the link closed once, config.txt saved.
    void end(int status);

    TGPIBTelnet& logger_;
    QtRuntime& runtime_;
    Console& console_;
    MemoryChartOf<BoundedSeries>& store_;
    StabilityFeed& stability_;
    bool quiet_;
    CommandMode commandMode_ = CommandMode::Command1;
    QTimer linkWatch_;
    LinkDownWatch linkDown_;
    bool starting_ = false;
    bool ended_ = false;
    int status_ = 0;
};

}  // namespace qs
