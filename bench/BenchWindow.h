#pragma once
#include "TempWorkDir.h"
#include "platform/Platform.h"
#include "platform/virtual/VirtualDialogs.h"
#include "platform/virtual/VirtualTelnet.h"
#include "platform/virtual/VirtualTime.h"
#include "window/TGPIBTelnet.h"

namespace qs::bench {

// The logger window on a chart store of choice (QtChart or MemoryChart), in
// a fresh working directory, with the rest of the platform virtual: nothing
// but the measured handlers runs, and no repaint happens unless the bench
// asks for one.
template <class ChartT>
struct BenchWindow {
    test::TempWorkDir dir;
    VirtualTime time;
    VirtualDialogs dialogs;
    VirtualTelnet telnet{time};
    ChartT chart;
    VirtualDesktop desktop;
    Platform platform{time, time, time, dialogs, telnet, chart, desktop};
    TGPIBTelnet w{platform};

    // 1 "Send Command 1", 2 "Send Command 2", 3 "Alternate Commands".
    void selectMode(int radio) {
        if (radio == 1) w.RadioButton1.setChecked(true);
        if (radio == 2) w.RadioButton2.setChecked(true);
        if (radio == 3) w.RadioButton3.setChecked(true);
    }
    void setMeanPoints(int points) {
        w.MeanBox.setText(std::to_string(points));
        w.MeanBoxChange();
    }
    void setScrollPoints(int points) {
        w.ScrollBox.setText(std::to_string(points));
        w.ScrollBoxExit();
    }
};

}  // namespace qs::bench
