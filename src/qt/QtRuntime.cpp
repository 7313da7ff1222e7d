#include "qt/QtRuntime.h"

#include <QDateTime>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <exception>
#include <utility>

namespace qs {

QtRuntime::QtRuntime(ErrorReport errorReport, QObject* parent)
    : QObject(parent), errorReport_(std::move(errorReport)) {}

QtRuntime::~QtRuntime() {
    for (auto& [id, p] : timers_) delete p.timer;
}

TimerId QtRuntime::schedule(int delayMs, std::function<void()> callback) {
    const TimerId id = nextId_++;
    if (shuttingDown_) return id;
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    // The countdown ticks every 100 ms and the absolute schedule keeps whole
    // intervals: coarse timers would drift by up to 5 % of each period.
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, [this, id] { fire(id); });
    timers_.emplace(id, Pending{timer, std::move(callback)});
    timer->start(delayMs > 0 ? delayMs : 0);
    return id;
}

void QtRuntime::cancel(TimerId id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    it->second.timer->stop();
    it->second.timer->deleteLater();
    timers_.erase(it);
}

void QtRuntime::fire(TimerId id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    // Taken out before it runs: the callback may schedule or cancel freely,
    // its own id included.
    std::function<void()> callback = std::move(it->second.callback);
    it->second.timer->deleteLater();
    timers_.erase(it);
    if (!shuttingDown_) dispatch(callback);
}

std::time_t QtRuntime::nowUtc() { return static_cast<std::time_t>(QDateTime::currentSecsSinceEpoch()); }

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

void QtRuntime::dispatch(const std::function<void()>& work) {
    if (!work) return;
    try {
        work();
    } catch (const std::exception& e) {
        if (errorReport_) errorReport_(e.what());
    } catch (...) {
        // Anything else is reported as an error without a message.
        if (errorReport_) errorReport_(std::string());
    }
}

void QtRuntime::shutDown() {
    if (shuttingDown_) return;
    shuttingDown_ = true;
    for (auto& [id, p] : timers_) {
        p.timer->stop();
        p.timer->deleteLater();
    }
    timers_.clear();
    for (const QPointer<QEventLoop>& loop : waits_)
        if (loop) loop->quit();
}

}  // namespace qs
