#include "qt/app/LoggerApp.h"

namespace qs {

LoggerApp::LoggerApp()
    : runtime([this](const std::string& m) { dialogs.showException(m); },
              [this](const std::string& m) { reportLater(m); }),
      telnet([this](const std::string& m) { reportLater(m); }),
      platform{runtime, runtime, runtime, dialogs, telnet, chart, desktop},
      logger(platform),
      window(logger, runtime, dialogs, chart) {
    chart.setErrorReport([this](const std::string& m) { reportLater(m); });
    dialogs.setWindow(&window);
}

void LoggerApp::create() {
    runtime.dispatch([this] { logger.FormCreate(); });
}

}  // namespace qs
