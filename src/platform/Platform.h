#pragma once
#include "platform/Chart.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "platform/Runtime.h"
#include "platform/Telnet.h"

namespace qs {

// Everything the window needs from the outside world, built and owned by
// main (or by a test) and handed to the window.
struct Platform {
    IScheduler& scheduler;
    IClock& clock;
    IEventLoop& loop;
    IDialogs& dialogs;
    ITelnet& telnet;
    IChart& chart;
    IDesktop& desktop;
};

}  // namespace qs
