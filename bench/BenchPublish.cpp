// Publishing to a broker: what it adds to the sample handler (the record
// as JSON, its line in the spool, the hand-over to the connection), how
// fast the spool replays after an outage, and what an hour's outage at a
// sample a second costs on disk. The connection is a stand-in that takes
// every message at once, so the figures are the logger's own, not the
// network's.
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "BenchLine.h"
#include "BenchSupport.h"
#include "TempWorkDir.h"
#include "publish/SamplePublisher.h"

namespace qs::bench {
namespace {

constexpr double kPublishTargetUs = 5.0;
constexpr double kReplayTargetPerSecond = 5000.0;
constexpr double kHourOutageTargetMB = 1.0;

struct TakingBroker : IBrokerLink {
    int nextId = 1;
    std::vector<int> unacknowledged;
    std::optional<int> publish(const std::string&, const std::string&, bool) override {
        unacknowledged.push_back(nextId);
        return nextId++;
    }
};

// A sample of a 10 V reference, as the logger publishes it.
SampleRecord sample(std::uint64_t seq) {
    SampleRecord s;
    s.seq = seq;
    s.time = {2026, 12, 8, 12, static_cast<int>(seq / 60 % 60), static_cast<int>(seq % 60)};
    s.command = "MEAS:VOLT:DC? 10,0.000001";
    s.cleanText = "+1.00000" + std::to_string(100 + seq % 900) + "E+01";
    s.value = 10.0 + static_cast<double>(seq % 900) * 1e-7;
    s.mean = s.value - 3.3e-8;
    s.filter = s.value + 1.7e-8;
    s.count = static_cast<int>(seq);
    return s;
}

double seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace
}  // namespace qs::bench

int main() {
    using namespace qs;
    using namespace qs::bench;
    BenchLine line;
    test::TempWorkDir dir;

    // The handler's share: sampleTaken alone; the acknowledgement comes in
    // an event of its own and is not counted.
    {
        SampleSpool spool("live");
        std::string error;
        spool.open(error);
        TakingBroker broker;
        SamplePublisher publisher(broker, spool, PublisherTopics::Under("lab", "bench7"), "0123456789abcdef", "b");
        publisher.connected();
        std::vector<double> batches;
        std::uint64_t seq = 0;
        for (int b = 0; b < 7; ++b) {
            std::chrono::steady_clock::duration spent{};
            for (int i = 0; i < 20000; ++i) {
                const SampleRecord s = sample(++seq);
                const auto start = std::chrono::steady_clock::now();
                publisher.sampleTaken(s);
                spent += std::chrono::steady_clock::now() - start;
                for (int id : broker.unacknowledged) publisher.acknowledged(id);
                broker.unacknowledged.clear();
            }
            batches.push_back(seconds(spent) * 1e6 / 20000);
        }
        line.report("publish_per_sample", median(batches), "us", Bound::AtMost, kPublishTargetUs);
    }

    // An hour's outage at a sample a second, then its replay.
    {
        SampleSpool spool("outage");
        std::string error;
        spool.open(error);
        TakingBroker broker;
        SamplePublisher publisher(broker, spool, PublisherTopics::Under("lab", "bench7"), "0123456789abcdef", "b");
        for (std::uint64_t k = 1; k <= 3600; ++k) publisher.sampleTaken(sample(k));
        line.report("spool_hour_outage", static_cast<double>(spool.bytesOnDisk()) / 1e6, "MB", Bound::AtMost,
                    kHourOutageTargetMB);
        for (std::uint64_t k = 3601; k <= 100000; ++k) publisher.sampleTaken(sample(k));
        const auto start = std::chrono::steady_clock::now();
        publisher.connected();
        while (!broker.unacknowledged.empty()) {
            const std::vector<int> ids = std::move(broker.unacknowledged);
            broker.unacknowledged.clear();
            for (int id : ids) publisher.acknowledged(id);
        }
        const double rate = 100000.0 / seconds(std::chrono::steady_clock::now() - start);
        line.report("spool_replay", rate, "samples/s", Bound::AtLeast, kReplayTargetPerSecond, 0);
        if (spool.waiting() != 0) return 2;
    }
    return line.exitStatus();
}
