#pragma once
#include "platform/MemoryChart.h"
#include "platform/Platform.h"
#include "platform/virtual/VirtualDialogs.h"
#include "platform/virtual/VirtualTelnet.h"
#include "platform/virtual/VirtualTime.h"

namespace qs {

// The whole virtual back end, wired: errors escaping an event go to the
// recorded default error report.
struct VirtualPlatform {
    VirtualTime time;
    VirtualDialogs dialogs;
    VirtualTelnet telnet{time};
    MemoryChart chart;
    VirtualDesktop desktop;
    Platform platform{time, time, time, dialogs, telnet, chart, desktop};

    VirtualPlatform() {
        time.setErrorReport([this](const std::string& message) { dialogs.showException(message); });
    }
};

}  // namespace qs
