#pragma once
#include <QObject>
#include <QTimer>

#include "platform/BoundedSeries.h"
#include "platform/Desktop.h"
#include "platform/MemoryChart.h"
#include "platform/Platform.h"
#include "qt/headless/ConsoleDialogs.h"
#include "qt/runtime/QtRuntime.h"
#include "qt/link/QtTelnet.h"
#include "window/LinkDownWatch.h"
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
    explicit HeadlessLogger(bool quiet);
    HeadlessLogger(const HeadlessLogger&) = delete;
    HeadlessLogger& operator=(const HeadlessLogger&) = delete;

    // Runs until a stop signal, or until the link is down for good; returns
    // the exit status.
    int run();

    // Reads config.txt and creates the window's logic, its series bounded;
    // false, with the reason on standard error, when the settings cannot
    // serve. run() starts with it; a benchmark may call it alone.
    bool create();
    // The logger, for a benchmark that feeds it samples.
    TGPIBTelnet& logger() { return logger_; }

private:
    void showWhatAPersonWouldRead();
    void pressStart();
    void watchTheLink();
    // Ends as closing the window does: the link closed once, config.txt saved.
    void end(int status);

    struct NoDesktop : IDesktop {
        void openFolder(const std::string&) override {}
    };

    bool quiet_;
    Console console_;
    ConsoleDialogs dialogs_{console_};
    QtRuntime runtime_;
    QtTelnet telnet_;
    MemoryChartOf<BoundedSeries> chart_;
    NoDesktop desktop_;
    Platform platform_;
    TGPIBTelnet logger_;
    QTimer linkWatch_;
    LinkDownWatch linkDown_;
    bool starting_ = false;
    bool ended_ = false;
    int status_ = 0;
};

// The program with --headless: a QCoreApplication (no display needed),
// SIGINT and SIGTERM ending it, and HeadlessLogger. Returns the exit status.
int RunHeadless(int argc, char** argv, bool quiet);

}  // namespace qs
