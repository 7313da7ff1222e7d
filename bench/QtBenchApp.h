#pragma once
#include <QApplication>
#include <QLocale>

#include <clocale>
#include <cstdlib>

namespace qs::bench {

// The QApplication of a bench, on the offscreen platform unless the caller
// chose another, with the C library's and Qt's numbers in the C locale as
// the logger's program entry sets them.
class QtBenchApp {
public:
    QtBenchApp(int& argc, char** argv) : app_((useOffscreen(), argc), argv) {
        std::setlocale(LC_NUMERIC, "C");
        QLocale::setDefault(QLocale::c());
    }

    QApplication& app() { return app_; }

private:
    static void useOffscreen() { ::setenv("QT_QPA_PLATFORM", "offscreen", 0); }

    QApplication app_;
};

}  // namespace qs::bench
