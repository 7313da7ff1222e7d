#pragma once
#include <functional>

#include "platform/Dialogs.h"

namespace qs {

class TGPIBTelnet;

// The program's entry without a window framework: main builds the platform
// and the window and hands its steps over to these.

// Runs step. An error escaping it is shown once by the default error report:
// an Exception or any other standard exception with its message, anything
// else with an empty message. Returns whether step ran to its end.
bool RunReported(IDialogs& dialogs, const std::function<void()>& step);

// Window creation: runs FormCreate. An error ends FormCreate at its step and
// is reported once; the window opens all the same with what was set up.
void CreateWindowReported(TGPIBTelnet& window);

// The whole program: runs createAndRun (create the window, run the message
// loop until it has closed) with its errors reported, and gives the exit
// code, which is always 0.
int ProgramEntry(IDialogs& dialogs, const std::function<void()>& createAndRun);

}  // namespace qs
