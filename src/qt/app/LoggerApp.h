#pragma once
#include <string>

#include "platform/Platform.h"
#include "qt/chart/QtChart.h"
#include "qt/runtime/QtDesktop.h"
#include "qt/runtime/QtDialogs.h"
#include "qt/runtime/QtRuntime.h"
#include "qt/link/QtTelnet.h"
#include "qt/window/Quillstone3.h"
#include "window/TGPIBTelnet.h"

namespace qs {

// The whole program's objects, built and wired in dependency order: the Qt
// back ends of the platform, the logger window's logic and its view. The
// members are destroyed in reverse, so every part outlives its users.
// Needs a QApplication.
class LoggerApp {
public:
    LoggerApp();
    LoggerApp(const LoggerApp&) = delete;
    LoggerApp& operator=(const LoggerApp&) = delete;

    // Runs FormCreate; an error in it is reported and start-up goes on.
    void create();

    // members, in construction order
    QtDialogs dialogs;
    QtRuntime runtime;
    QtTelnet telnet;
    QtChart chart;
    QtDesktop desktop;
    Platform platform;
    TGPIBTelnet logger;
    Quillstone3 window;

private:
    // Errors of timer ticks, link events and print jobs: their boxes open
    // once the callback has returned, never inside it. The person's input
    // reports at once.
    void reportLater(const std::string& message) { dialogs.reportLater(message); }
};

}  // namespace qs
