#include "qt/runtime/QtRuntime.h"

#include <QDateTime>
#include <QEventLoop>
#include <QLocale>
#include <QThread>
#include <QTimer>
#include <QTimerEvent>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <exception>
#include <utility>

namespace qs {

// Every callback (and every piece of user input the view forwards through
// dispatch) runs guarded: an exception escaping it goes to an error report,
// the handler is over and the program goes on. Input reports at once; a
// callback reports through callbackReport, which is to show its box only
// once the callback has returned (see QtDialogs::reportLater).
QtRuntime::QtRuntime(ErrorReport errorReport, ErrorReport callbackReport, QObject* parent)
    : QObject(parent), errorReport_(std::move(errorReport)), callbackReport_(std::move(callbackReport)) {
    if (!callbackReport_) callbackReport_ = errorReport_;
}

QtRuntime::~QtRuntime() {
    for (auto& [id, p] : timers_) killTimer(p.qtTimer);
}

TimerId QtRuntime::schedule(int delayMs, std::function<void()> callback) {
    const TimerId id = nextId_++;
    if (shuttingDown_) return id;
    // The countdown ticks every 100 ms and the absolute schedule keeps whole
    // intervals: coarse timers would drift by up to 5 % of each period.
    const int qtTimer = startTimer(std::max(delayMs, 0), Qt::PreciseTimer);
    if (qtTimer == 0) return id;
    timers_.emplace(id, Pending{qtTimer, std::move(callback)});
    byQtTimer_.emplace(qtTimer, id);
    return id;
}

void QtRuntime::cancel(TimerId id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    killTimer(it->second.qtTimer);
    byQtTimer_.erase(it->second.qtTimer);
    timers_.erase(it);
}

// Re-entry: a callback may run nested loops (the watchdog's recovery waits
// inside its tick). Callbacks therefore run from timer events of this object
// itself, which lives as long as the program, never from a signal of a
// per-callback QTimer that a deferred delete could free under the running
// callback.
void QtRuntime::timerEvent(QTimerEvent* event) {
    const int qtTimer = event->timerId();
    // Every callback runs once: the Qt timer ends before the callback starts.
    killTimer(qtTimer);
    auto byQt = byQtTimer_.find(qtTimer);
    if (byQt == byQtTimer_.end()) return;
    auto it = timers_.find(byQt->second);
    byQtTimer_.erase(byQt);
    if (it == timers_.end()) return;
    // Taken out before it runs: the callback may schedule or cancel freely,
    // its own id included.
    std::function<void()> callback = std::move(it->second.callback);
    timers_.erase(it);
    if (!shuttingDown_) guarded(callback, callbackReport_);
}

std::int64_t QtRuntime::steadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::time_t QtRuntime::nowUtc() { return static_cast<std::time_t>(QDateTime::currentSecsSinceEpoch()); }

// Waits nest: sleepAndPump runs a nested QEventLoop, so timer ticks, link
// events and clicks run inside the waiting handler. When the window closes
// while handlers are inside such waits, shutDown ends every wait at once and
// keeps any further callback from starting, so the handlers on the stack run
// to their end without waiting and nothing new begins after the close.
void QtRuntime::sleepAndPump(int ms) {
    if (shuttingDown_) return;
    QEventLoop loop;
    QTimer::singleShot(ms > 0 ? ms : 0, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    waits_.emplace_back(&loop);
    loop.exec();
    waits_.pop_back();
}

void QtRuntime::sleep(int ms) {
    if (shuttingDown_ || ms <= 0) return;
    QThread::msleep(static_cast<unsigned long>(ms));
}

void QtRuntime::guarded(const std::function<void()>& work, const ErrorReport& report) {
    if (!work) return;
    try {
        work();
    } catch (const std::exception& e) {
        if (report) report(e.what());
    } catch (...) {
        // Anything else is reported as an error without a message.
        if (report) report(std::string());
    }
}

void QtRuntime::shutDown() {
    if (shuttingDown_) return;
    shuttingDown_ = true;
    for (auto& [id, p] : timers_) killTimer(p.qtTimer);
    timers_.clear();
    byQtTimer_.clear();
    for (const QPointer<QEventLoop>& loop : waits_)
        if (loop) loop->quit();
}

void UseCLocaleForNumbers() {
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());
}

}  // namespace qs
