#include "window/StabilityStore.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace qs {

namespace {

struct Readings {
    std::vector<double> seconds, values;
};

Readings readingsOf(const StabilityAccumulator& a) {
    Readings r;
    r.seconds.reserve(static_cast<std::size_t>(a.count()));
    r.values.reserve(static_cast<std::size_t>(a.count()));
    for (long long i = 0; i < a.count(); ++i) {
        r.seconds.push_back(a.time(i));
        r.values.push_back(a.value(i));
    }
    return r;
}

Readings readingsOf(const PointRing& ring) {
    Readings r;
    r.seconds.reserve(static_cast<std::size_t>(ring.size()));
    r.values.reserve(static_cast<std::size_t>(ring.size()));
    for (long long i = 0; i < ring.size(); ++i) {
        r.seconds.push_back(ring.time(i));
        r.values.push_back(ring.value(i));
    }
    return r;
}

}  // namespace

// A sample costs what the accumulator's append costs (O(octaves), taken in
// at the next look), and a reading that leaves the mean's window what a
// drop costs: the figures are never worked out here, only when somebody
// looks.
void StabilityStore::append(int channel, double seconds, double value, bool alternate) {
    Channel& c = of(channel);
    if (meanPoints_ > 0) c.pool.push(seconds, value);
    c.covered.append(seconds, value);
    trimToMeanWindow(c);
    if (alternate && channel == 1) {
        channel1Waiting_ = true;
        waitingValue_ = value;
    } else if (alternate && channel1Waiting_) {
        pairs_.append(waitingValue_, value);
        channel1Waiting_ = false;
    }
    dropPairsBeyondReadings();
    ++revision_;
}

void StabilityStore::trimToMeanWindow(Channel& c) {
    if (meanPoints_ <= 0) return;
    while (c.covered.count() > meanPoints_) c.covered.dropOldest();
}

void StabilityStore::dropPairsBeyondReadings() {
    const long long most = AlternatePairCount(channel1_.covered.count(), channel2_.covered.count());
    while (pairs_.count() > most) pairs_.dropOldest();
}

void StabilityStore::dropBefore(int channel, double oldestSeconds) {
    Channel& c = of(channel);
    while (!c.pool.empty() && c.pool.time(0) < oldestSeconds) c.pool.pop();
    while (c.covered.count() > 0 && c.covered.time(0) < oldestSeconds) c.covered.dropOldest();
    dropPairsBeyondReadings();
    ++revision_;
}

void StabilityStore::dropAll(int channel) { dropBefore(channel, std::numeric_limits<double>::infinity()); }

void StabilityStore::setMeanPoints(int points) {
    points = std::max(points, 0);
    if (points == meanPoints_) return;
    // What the scroll window holds: the pool while there is a mean's window.
    const auto held = [this](const Channel& c) { return meanPoints_ > 0 ? readingsOf(c.pool) : readingsOf(c.covered); };
    const Readings one = held(channel1_), two = held(channel2_);
    meanPoints_ = points;
    // Nothing held (the window's start): no figure changes, nobody is told.
    if (one.seconds.empty() && two.seconds.empty()) return;
    place(channel1_, one.seconds, one.values);
    place(channel2_, two.seconds, two.values);
    rebuilt();
}

void StabilityStore::place(Channel& c, std::span<const double> seconds, std::span<const double> values) {
    const std::size_t n = std::min(seconds.size(), values.size());
    c.pool.clear();
    if (meanPoints_ > 0)
        for (std::size_t i = 0; i < n; ++i) c.pool.push(seconds[i], values[i]);
    const std::size_t from = meanPoints_ > 0 && n > static_cast<std::size_t>(meanPoints_) ? n - meanPoints_ : 0;
    c.covered.assignDeferringRows(seconds.subspan(from, n - from), values.subspan(from, n - from));
}

void StabilityStore::place(Channel& c, PointRing readings) {
    if (meanPoints_ <= 0) {
        c.pool.clear();
        c.covered.assignDeferringRows(std::move(readings));
        return;
    }
    const long long n = readings.size();
    const long long from = n > meanPoints_ ? n - meanPoints_ : 0;
    std::vector<double> seconds, values;
    for (long long i = from; i < n; ++i) {
        seconds.push_back(readings.time(i));
        values.push_back(readings.value(i));
    }
    c.pool = std::move(readings);
    c.covered.assignDeferringRows(seconds, values);
}

void StabilityStore::beginLoad() {
    clear();
    for (Channel* c : {&channel1_, &channel2_}) c->loading.clear();
}

void StabilityStore::endLoad(int channel, double oldestShownSeconds) {
    Channel& c = of(channel);
    while (!c.loading.empty() && c.loading.time(0) < oldestShownSeconds) c.loading.pop();
    place(c, std::move(c.loading));
    c.loading = PointRing();
    rebuilt();
}

void StabilityStore::assign(int channel, std::span<const double> seconds, std::span<const double> values) {
    place(of(channel), seconds, values);
    rebuilt();
}

void StabilityStore::clear() {
    for (Channel* c : {&channel1_, &channel2_}) {
        c->covered.clear();
        c->pool.clear();
    }
    rebuilt();
}

void StabilityStore::rebuildPairs() {
    pairs_.clear();
    const StabilityAccumulator &one = channel1_.covered, &two = channel2_.covered;
    const long long n = AlternatePairCount(one.count(), two.count());
    for (long long k = 0; k < n; ++k) pairs_.append(one.value(k), two.value(k));
    channel1Waiting_ = one.count() > n;
    waitingValue_ = channel1Waiting_ ? one.value(one.count() - 1) : 0.0;
}

void StabilityStore::rebuilt() {
    rebuildPairs();
    ++revision_;
    if (onRebuilt) onRebuilt();
}

DataAnalysis StabilityStore::analysis(bool withRows) const {
    DataAnalysis a;
    for (int channel : {1, 2}) {
        const StabilityAccumulator& c = covered(channel);
        if (channel == 2 && c.count() == 0) continue;
        a.channels.push_back({channel, c.figures(), withRows ? c.octaveTable() : std::vector<StabilityRow>{}});
    }
    if (pairs_.count() > 0) a.tempco = pairs_.figures();
    return a;
}

}  // namespace qs
