#pragma once
#include <QObject>
#include <QPointer>

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Runtime.h"

class QEventLoop;
class QTimerEvent;

namespace qs {

// The window's event loop as the logic sees it: guarded one-shot callbacks,
// the UTC wall clock, and the two kinds of wait.
class QtRuntime : public QObject, public IScheduler, public IClock, public IEventLoop {
    Q_OBJECT
public:
    using ErrorReport = std::function<void(const std::string&)>;

    // callbackReport empty: callbacks report to errorReport too.
    explicit QtRuntime(ErrorReport errorReport, ErrorReport callbackReport = {}, QObject* parent = nullptr);
    ~QtRuntime() override;

    // IScheduler
    TimerId schedule(int delayMs, std::function<void()> callback) override;
    void cancel(TimerId id) override;
    std::int64_t steadyMs() override;
    // IClock
    std::time_t nowUtc() override;
    // IEventLoop
    void sleepAndPump(int ms) override;
    void sleep(int ms) override;

    // Runs the person's input; an exception escaping it goes to the error report.
    void dispatch(const std::function<void()>& work) { guarded(work, errorReport_); }

    // Ends every running wait, turns later waits into no-ops and drops every
    // pending and future callback. Irreversible: the window has closed.
    void shutDown();

    // getters
    bool shuttingDown() const { return shuttingDown_; }
    // Number of sleepAndPump waits now on the stack.
    int waitDepth() const { return static_cast<int>(waits_.size()); }
    std::size_t pending() const { return timers_.size(); }

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    static void guarded(const std::function<void()>& work, const ErrorReport& report);

    // members
    ErrorReport errorReport_;
    ErrorReport callbackReport_;
    TimerId nextId_ = 1;
    struct Pending {
        int qtTimer;
        std::function<void()> callback;
    };
    std::unordered_map<TimerId, Pending> timers_;
    std::unordered_map<int, TimerId> byQtTimer_;
    std::vector<QPointer<QEventLoop>> waits_;
    bool shuttingDown_ = false;
};

// Files, captions and the wire keep a point as decimal separator whatever
// the user's language: numbers go back to the "C" locale, in the C library
// and as Qt's default. Call it once the application object exists, which
// sets the C library's locale from the environment.
void UseCLocaleForNumbers();

}  // namespace qs
