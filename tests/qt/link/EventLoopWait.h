#pragma once
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <functional>

namespace qs::test {

// Runs the event loop until done() holds or timeoutMs have passed; returns
// whether done() holds. Never waits without a bound.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() >= timeoutMs) return false;
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// Runs the event loop for ms milliseconds, to see that nothing more happens.
inline void Pump(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace qs::test
