#pragma once
#include "qt/app/ProgramParts.h"
#include "qt/window/Quillstone3.h"
#include "qt/window/StabilityWindow.h"

namespace qs {

// The program with its window: the parts of the composition root and the
// window's view on them. Needs a QApplication.
class LoggerApp {
public:
    LoggerApp();
    LoggerApp(const LoggerApp&) = delete;
    LoggerApp& operator=(const LoggerApp&) = delete;

    // Runs FormCreate; an error in it is reported and start-up goes on.
    void create();

    // members, in construction order
    ProgramParts<WindowFace> parts;
    // The parts by name, for what drives the window (tests, benchmarks).
    QtDialogs& dialogs = parts.face.dialogs;
    QtChart& chart = parts.face.chart;
    QtRuntime& runtime = parts.runtime;
    QtStreamLink& telnet = parts.link;
    TGPIBTelnet& logger = parts.logger;
    Quillstone3 window;
    // Opened from the window's button and chart menu; shows parts.stability.
    StabilityWindow stability;
};

}  // namespace qs
