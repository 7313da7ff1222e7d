#include "platform/virtual/VirtualTime.h"

#include <algorithm>
#include <exception>

namespace qs {

TimerId VirtualTime::schedule(int delayMs, std::function<void()> callback) {
    TimerId id = nextId_++;
    Key key{nowMs_ + std::max(delayMs, 0), sequence_++};
    queue_.emplace(key, Event{id, std::move(callback)});
    index_.emplace(id, key);
    return id;
}

void VirtualTime::cancel(TimerId id) {
    auto it = index_.find(id);
    if (it == index_.end()) return;
    queue_.erase(it->second);
    index_.erase(it);
}

void VirtualTime::at(std::int64_t whenMs, std::function<void()> callback) {
    schedule(static_cast<int>(std::max<std::int64_t>(whenMs - nowMs_, 0)), std::move(callback));
}

void VirtualTime::advance(std::int64_t ms) {
    const std::int64_t target = nowMs_ + ms;
    while (!queue_.empty() && queue_.begin()->first.first <= target) {
        auto node = queue_.extract(queue_.begin());
        index_.erase(node.mapped().id);
        // An event that fell due during a wait without pumping runs late,
        // and time never goes backwards.
        nowMs_ = std::max(nowMs_, node.key().first);
        run(node.mapped().callback);
    }
    nowMs_ = std::max(nowMs_, target);
}

void VirtualTime::run(std::function<void()>& callback) {
    try {
        callback();
    } catch (const std::exception& e) {
        if (report_) report_(e.what());
        else throw;
    }
}

}  // namespace qs
