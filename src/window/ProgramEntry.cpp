#include "window/ProgramEntry.h"

#include <exception>

#include "platform/Exception.h"
#include "window/TGPIBTelnet.h"

namespace qs {

bool RunReported(IDialogs& dialogs, const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const std::exception& e) {
        dialogs.showException(e.what());
    } catch (...) {
        dialogs.showException("");
    }
    return false;
}

void CreateWindowReported(TGPIBTelnet& window) {
    RunReported(window.platform.dialogs, [&window] { window.FormCreate(); });
}

int ProgramEntry(IDialogs& dialogs, const std::function<void()>& createAndRun) {
    RunReported(dialogs, createAndRun);
    return 0;
}

}  // namespace qs
