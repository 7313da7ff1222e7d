#pragma once
#include <QObject>
#include <QPointer>

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Runtime.h"

class QEventLoop;
class QTimer;

namespace qs {

// The window's event loop as the logic sees it: one-shot callbacks on
// QTimers, the UTC wall clock, and the two kinds of wait.
//
// Every callback (and every piece of user input the view forwards through
// dispatch) runs guarded: an exception escaping it goes to the error report,
// the handler is over and the program goes on.
//
// Waits nest: sleepAndPump runs a nested QEventLoop, so timer ticks, link
// events and clicks run inside the waiting handler. When the window closes
// while handlers are inside such waits, shutDown ends every wait at once and
// keeps any further callback from starting, so the handlers on the stack run
// to their end without waiting and nothing new begins after the close.
class QtRuntime : public QObject, public IScheduler, public IClock, public IEventLoop {
    Q_OBJECT
public:
    using ErrorReport = std::function<void(const std::string&)>;

    explicit QtRuntime(ErrorReport errorReport, QObject* parent = nullptr);
    ~QtRuntime() override;

    // IScheduler
    TimerId schedule(int delayMs, std::function<void()> callback) override;
    void cancel(TimerId id) override;
    // IClock
    std::time_t nowUtc() override;
    // IEventLoop
    void sleepAndPump(int ms) override;
    void sleep(int ms) override;

    // Runs work; an exception escaping it goes to the error report.
    void dispatch(const std::function<void()>& work);

    // Ends every running wait, turns later waits into no-ops and drops every
    // pending and future callback. Irreversible: the window has closed.
    void shutDown();

    // getters
    bool shuttingDown() const { return shuttingDown_; }
    // Number of sleepAndPump waits now on the stack.
    int waitDepth() const { return static_cast<int>(waits_.size()); }
    std::size_t pending() const { return timers_.size(); }

private:
    void fire(TimerId id);

    // members
    ErrorReport errorReport_;
    TimerId nextId_ = 1;
    struct Pending {
        QTimer* timer;
        std::function<void()> callback;
    };
    std::unordered_map<TimerId, Pending> timers_;
    std::vector<QPointer<QEventLoop>> waits_;
    bool shuttingDown_ = false;
};

}  // namespace qs
