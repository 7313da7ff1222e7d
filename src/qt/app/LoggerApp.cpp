#include "qt/app/LoggerApp.h"

namespace qs {

LoggerApp::LoggerApp() : window(logger, runtime, dialogs, chart) {
    chart.setErrorReport([this](const std::string& m) { dialogs.reportLater(m); });
    dialogs.setWindow(&window);
}

void LoggerApp::create() {
    runtime.dispatch([this] { logger.FormCreate(); });
}

}  // namespace qs
