// A simulated lab: one broker (Debian's mosquitto, with logins), N adapter
// simulators and N headless loggers publishing to it at 0.1 s. In the
// middle the broker is stopped for a while and started again, and two
// loggers are killed (SIGKILL) and started again. At the end every sample
// of every data file must have reached one subscriber, value for value.
//
//   quillstone-lab --loggers N --seconds S [--outage S] [--seed S] [--keep DIR]
//
// Ends with one line:
//   lab: N loggers, N samples, M missing, D duplicates, publish latency p50 X ms p99 Y ms (seed S)
// and exit status 0 only when nothing is missing. The latency is from the
// simulator sending a reply to the subscriber having the sample, for the
// samples taken while their logger was connected to the broker.
#include <signal.h>

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "JsonValue.h"
#include "LabBench.h"
#include "MosquittoBroker.h"

namespace {

using namespace qs::test;

struct Options {
    int loggers = 5;
    int seconds = 30;
    int outage = -1;  // seconds; -1: a quarter of the run, at most 30
    unsigned seed = 0;
    std::string keep;
};

double percentile(std::vector<std::int64_t> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return static_cast<double>(v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1))]);
}

Options readOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i], value = argv[i + 1];
        if (name == "--loggers") o.loggers = std::stoi(value);
        else if (name == "--seconds") o.seconds = std::stoi(value);
        else if (name == "--outage") o.outage = std::stoi(value);
        else if (name == "--seed") o.seed = static_cast<unsigned>(std::stoul(value));
        else if (name == "--keep") o.keep = value;
    }
    if (o.seed == 0) o.seed = std::random_device()();
    if (o.outage < 0) o.outage = std::min(30, o.seconds / 4);
    return o;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::signal(SIGPIPE, SIG_IGN);
    const Options o = readOptions(argc, argv);
    QTemporaryDir temporary;
    const QString root = o.keep.empty() ? temporary.path() : QString::fromStdString(o.keep);
    QDir().mkpath(root);

    qs::test::MosquittoBroker broker((root + QStringLiteral("/broker")).toStdString(), true);
    if (!broker.started()) {
        std::fprintf(stderr, "lab: mosquitto could not be started\n");
        return 2;
    }
    qs::test::MqttSubscriber subscriber(broker.port(), "lab/#", "reader", "look", "lab-subscriber");

    std::vector<Bench> benches(static_cast<std::size_t>(o.loggers));
    for (int i = 0; i < o.loggers; ++i) {
        if (!prepareBench(benches[static_cast<std::size_t>(i)], root, i + 1, o.seed + static_cast<unsigned>(i))) {
            std::fprintf(stderr, "lab: simulator %d did not start\n", i + 1);
            return 2;
        }
    }
    for (Bench& b : benches) startLogger(b, broker.port());

    // The schedule: the outage starts at a quarter of the run, the two
    // loggers are killed at three fifths and started again 2 s later.
    const int ms = o.seconds * 1000;
    const std::int64_t start = nowMs();
    std::vector<std::pair<std::int64_t, std::int64_t>> brokerDown;
    runFor(ms / 4);
    std::fprintf(stderr, "lab: broker stopped for %d s\n", o.outage);
    brokerDown.push_back({nowMs(), 0});
    broker.stop();
    runFor(o.outage * 1000);
    broker.start();
    brokerDown.back().second = nowMs();
    runFor(std::max(0, ms * 3 / 5 - static_cast<int>(nowMs() - start)));
    std::mt19937 random(o.seed);
    std::set<std::size_t> killed;
    while (killed.size() < std::min<std::size_t>(2, benches.size())) killed.insert(random() % benches.size());
    const std::int64_t killedAt = nowMs();
    for (std::size_t k : killed) {
        std::fprintf(stderr, "lab: %s killed\n", benches[k].name().c_str());
        stopLogger(benches[k], true);
    }
    runFor(2000);
    for (std::size_t k : killed) startLogger(benches[k], broker.port());
    const std::int64_t restartedAt = nowMs();
    runFor(std::max(0, ms - static_cast<int>(nowMs() - start)));
    for (Bench& b : benches) stopLogger(b, false);

    // What the data files hold, against what the subscriber got; the last
    // replays may still be on their way.
    std::size_t samples = 0;
    for (Bench& b : benches) samples += dataFileValues(b.folder).size();
    const auto unique = [&] {
        std::set<std::string> seen;
        for (const auto& m : subscriber.messages()) {
            const auto r = qs::test::JsonReader::parse(m.payload);
            if (r && m.topic.ends_with("/sample"))
                seen.insert(m.topic + " " + (*r)["run"].text + " " + std::to_string((*r)["seq"].number));
        }
        return seen.size();
    };
    for (int i = 0; i < 300 && unique() < samples; ++i) runFor(100);

    std::size_t missing = 0, duplicates = 0;
    std::vector<std::int64_t> latencies;
    const std::vector<qs::test::MqttSubscriber::Message> messages = subscriber.messages();
    for (std::size_t bi = 0; bi < benches.size(); ++bi) {
        Bench& b = benches[bi];
        const std::string topic = "lab/" + b.name() + "/sample";
        // The times this bench's samples waited for something other than
        // publishing: from the broker going (or the logger being killed)
        // to the logger's connecting again (its status "online").
        std::vector<std::pair<std::int64_t, std::int64_t>> disturbed;
        const auto onlineAfter = [&](std::int64_t t) {
            std::int64_t first = INT64_MAX;
            for (const auto& m : messages)
                if (m.topic == "lab/" + b.name() + "/status" && m.payload == "online" && m.receivedMs > t)
                    first = std::min(first, m.receivedMs);
            return first;
        };
        for (const auto& d : brokerDown) disturbed.push_back({d.first - 1000, onlineAfter(d.second)});
        if (killed.contains(bi)) disturbed.push_back({killedAt - 1000, onlineAfter(restartedAt)});
        std::set<std::pair<std::string, long long>> seen;
        std::multiset<std::string> got;
        for (const auto& m : messages) {
            if (m.topic != topic) continue;
            const auto r = qs::test::JsonReader::parse(m.payload);
            if (!r) continue;
            if (!seen.insert({(*r)["run"].text, static_cast<long long>((*r)["seq"].number)}).second) {
                ++duplicates;
                continue;
            }
            got.insert((*r)["text"].text);
            // The simulator's sending of this reply: a reading may repeat, so
            // the last time it was sent before the subscriber had it.
            std::int64_t sent = INT64_MIN;
            const auto [from, to] = b.sent.equal_range((*r)["text"].text);
            for (auto it = from; it != to; ++it)
                if (it->second <= m.receivedMs) sent = std::max(sent, it->second);
            if (sent == INT64_MIN) continue;
            const bool waited = std::any_of(disturbed.begin(), disturbed.end(),
                                            [&](const auto& d) { return sent >= d.first && sent <= d.second; });
            if (!waited) latencies.push_back(m.receivedMs - sent);
        }
        // Value for value: each data-file line's text is a sample received.
        for (const std::string& text : dataFileValues(b.folder)) {
            auto it = got.find(text);
            if (it == got.end()) ++missing;
            else got.erase(it);
        }
    }
    std::printf("lab: %d loggers, %zu samples, %zu missing, %zu duplicates, publish latency p50 %.0f ms p99 %.0f ms "
                "(seed %u)\n",
                o.loggers, samples, missing, duplicates, percentile(latencies, 0.5), percentile(latencies, 0.99),
                o.seed);
    for (Bench& b : benches) {
        b.sim->terminate();
        b.sim->waitForFinished(3000);
    }
    return missing == 0 && samples > 0 ? 0 : 1;
}
