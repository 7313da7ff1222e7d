#pragma once
#include "qt/app/ProgramParts.h"
#include "window/KeptSettings.h"
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
    // Then what the window keeps in quillstone.conf (the command mode, the
    // chart's switches, the window's place) is put back; the close writes
    // it there again.
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

private:
    void restoreKept(const KeptSettings& kept);
    KeptSettings keptNow() const;
};

}  // namespace qs
