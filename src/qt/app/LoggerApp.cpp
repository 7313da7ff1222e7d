#include "qt/app/LoggerApp.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

#include "qt/app/ProgramOptions.h"

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
    // After FormCloseQuery has written config.txt.
    QObject::connect(&window, &Quillstone3::closed, &window, [this] { ProgramOptions::writeKept(keptNow()); });
    stability.setErrorReport([this](const std::string& m) { dialogs.reportLater(m); });
    stability.setFolder([this] {
        return QFileInfo(QDir::current(), QString::fromStdString(logger.TextFileBox.text())).absolutePath();
    });
}

void LoggerApp::create() {
    runtime.dispatch([this] { logger.FormCreate(); });
    // A file that is refused has been reported at start-up; its kept
    // settings count as unset.
    std::string error;
    const std::optional<std::string> bytes = ProgramOptions::readFile(error);
    restoreKept(ProgramOptions::parse({}, bytes).kept);
}

void LoggerApp::restoreKept(const KeptSettings& kept) {
    runtime.dispatch([this, mode = kept.commandMode] { SetCommandMode(logger, mode); });
    chart.setLegendShown(kept.legend);
    chart.setGapsJoined(kept.joinGaps);
    if (!kept.place) return;
    const QRect place(kept.place->x, kept.place->y, kept.place->width, kept.place->height);
    // A place on a screen that is no longer there keeps only the size, as
    // far as the screen now there has room for it.
    for (const QScreen* s : QGuiApplication::screens())
        if (s->availableGeometry().intersects(place)) {
            window.setGeometry(place);
            return;
        }
    QSize size = place.size();
    if (const QScreen* s = QGuiApplication::primaryScreen()) size = size.boundedTo(s->availableSize());
    window.resize(size);
}

KeptSettings LoggerApp::keptNow() const {
    const QRect place = window.normalGeometry();
    return {CommandModeOf(logger.RadioButton1.checked(), logger.RadioButton2.checked()), chart.legendShown(), chart.gapsJoined(),
            WindowPlace{place.x(), place.y(), place.width(), place.height()}};
}

}  // namespace qs
