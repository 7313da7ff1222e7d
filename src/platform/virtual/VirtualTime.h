#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>

#include "platform/Runtime.h"

namespace qs {

// Virtual clock, scheduler and event loop in one: time moves only when a test
// advances it or a handler waits, and every event due in between runs at its
// own virtual time, in order (ties in scheduling order). Waits nest: a
// handler that waits inside an event runs the events that fall due meanwhile,
// exactly as a real event loop would pump them. Minutes of behaviour run in
// milliseconds and give the same result on every run.
class VirtualTime : public IScheduler, public IClock, public IEventLoop {
public:
    // 2024-03-05 14:07:09 UTC
    static constexpr std::time_t kDefaultEpoch = 1709647629;

    explicit VirtualTime(std::time_t epochUtc = kDefaultEpoch) : epoch_(epochUtc) {}

    // IScheduler
    TimerId schedule(int delayMs, std::function<void()> callback) override;
    void cancel(TimerId id) override;
    std::int64_t steadyMs() override { return nowMs_; }
    // IClock
    std::time_t nowUtc() override { return epoch_ + static_cast<std::time_t>(nowMs_ / 1000); }
    // IEventLoop
    void sleepAndPump(int ms) override { advance(ms); }
    void sleep(int ms) override { nowMs_ += ms; }

    // Runs everything due within the next ms milliseconds.
    void advance(std::int64_t ms);
    // A scripted event at an absolute virtual time (ms since start).
    void at(std::int64_t whenMs, std::function<void()> callback);

    // getters
    std::int64_t nowMs() const { return nowMs_; }
    std::size_t pending() const { return queue_.size(); }

    // Where an exception escaping an event goes (the default error report).
    void setErrorReport(std::function<void(const std::string&)> report) { report_ = std::move(report); }

private:
    using Key = std::pair<std::int64_t, std::uint64_t>;  // due, sequence
    struct Event {
        TimerId id;
        std::function<void()> callback;
    };
    void run(std::function<void()>& callback);

    std::time_t epoch_;
    std::int64_t nowMs_ = 0;
    std::uint64_t sequence_ = 0;
    TimerId nextId_ = 1;
    std::map<Key, Event> queue_;
    std::unordered_map<TimerId, Key> index_;
    std::function<void(const std::string&)> report_;
};

}  // namespace qs
