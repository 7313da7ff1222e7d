// window-screenshot OUTPUT.png [SAMPLES [INTERVAL]]: runs the logger against
// kiss488-sim in a scratch folder, presses Start, waits for SAMPLES samples
// (default 60) polled every INTERVAL seconds (default "0.2") and saves a
// picture of the window. It draws on the offscreen
// platform unless QT_QPA_PLATFORM says otherwise, so no display is needed.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ConfigLines.h"
#include "SimulatorProcess.h"
#include "qt/app/LoggerApp.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: window-screenshot OUTPUT.png [SAMPLES [INTERVAL]]\n");
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());
    const QString output = QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1]));
    const int samples = argc > 2 ? std::atoi(argv[2]) : 60;
    const std::string interval = argc > 3 ? argv[3] : "0.2";

    qs::test::Simulator sim({QStringLiteral("--volts"), QStringLiteral("1.25")});
    if (sim.port() == 0) {
        std::fprintf(stderr, "window-screenshot: the simulator did not start\n");
        return 1;
    }
    QTemporaryDir scratch;
    QDir::setCurrent(scratch.path());
    qs::test::ConfigLines config;
    config[qs::test::ConfigLines::Host] = sim.host();
    config[qs::test::ConfigLines::Interval] = interval;
    config.write();

    int status = 0;
    {
        qs::LoggerApp logger;
        logger.create();
        logger.window.resize(1400, 860);
        logger.window.show();
        if (!QTest::qWaitForWindowExposed(&logger.window)) status = 1;
        // Both commands in turn, so that both value axes carry lines.
        qobject_cast<QRadioButton*>(logger.window.widgetOf("RadioButton3"))->click();
        qobject_cast<QPushButton*>(logger.window.widgetOf("StartButton"))->click();
        const bool enough = QTest::qWaitFor(
            [&] { return std::atoi(logger.logger.CountBox.caption().c_str()) >= samples; }, 120000);
        if (!enough) {
            std::fprintf(stderr, "window-screenshot: only %s samples arrived\n", logger.logger.CountBox.caption().c_str());
            status = 1;
        }
        logger.chart.Redraw();
        logger.chart.replotNow();
        QTest::qWait(50);
        if (status == 0 && !logger.window.grab().save(output)) {
            std::fprintf(stderr, "window-screenshot: cannot write %s\n", qPrintable(output));
            status = 1;
        }
        logger.window.close();
    }
    QDir::setCurrent(QDir::homePath());
    if (status == 0) std::printf("saved %s\n", qPrintable(output));
    return status;
}
