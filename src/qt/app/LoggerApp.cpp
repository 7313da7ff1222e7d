#include "qt/app/LoggerApp.h"

#include <QDir>
#include <QFileInfo>

namespace qs {

LoggerApp::LoggerApp() : window(logger, runtime, dialogs, chart) {
    chart.setErrorReport([this](const std::string& m) { dialogs.reportLater(m); });
    dialogs.setWindow(&window);
    parts.stability.setListener([this](const DataAnalysis& figures) { stability.showFigures(figures); },
                                [this] { return stability.isVisible(); });
    QObject::connect(&window, &Quillstone3::stabilityAsked, &stability, [this] {
        stability.showFigures(parts.stability.analysis());
        stability.open();
    });
    QObject::connect(&window, &Quillstone3::closed, &stability, &QWidget::close);
    stability.setErrorReport([this](const std::string& m) { dialogs.reportLater(m); });
    stability.setFolder([this] {
        return QFileInfo(QDir::current(), QString::fromStdString(logger.TextFileBox.text())).absolutePath();
    });
}

void LoggerApp::create() {
    runtime.dispatch([this] { logger.FormCreate(); });
}

}  // namespace qs
