#pragma once
#include "TempWorkDir.h"
#include "platform/Platform.h"
#include "platform/virtual/VirtualDialogs.h"
#include "platform/virtual/VirtualTelnet.h"
#include "platform/virtual/VirtualTime.h"
#include "window/TGPIBTelnet.h"

namespace qs::test {

// The logger window on a chart store of choice (QtChart or MemoryChart), in
// a fresh working directory, with the rest of the platform virtual: nothing
// but the handlers called runs, and no repaint happens unless asked for.
template <class ChartT>
struct StoreWindow {
    TempWorkDir dir;
    VirtualTime time;
    VirtualDialogs dialogs;
    VirtualTelnet telnet{time};
    ChartT chart;
    VirtualDesktop desktop;
    Platform platform{time, time, time, dialogs, telnet, chart, desktop};
    TGPIBTelnet w{platform};
};

}  // namespace qs::test
